#include "app/EncodingBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "common/QtMessages.h"

CEncodingBar::CEncodingBar(QWidget* parent)
    : QFrame(parent),
      openAsUtf8_(new QPushButton(msg::QText(msg::Id::EncodingOpenAsUtf8))),
      keep_(new QPushButton(msg::QText(msg::Id::EncodingKeepAsIs))) {
    setObjectName(QStringLiteral("encodingBar"));
    openAsUtf8_->setObjectName(QStringLiteral("openAsUtf8Button"));
    keep_->setObjectName(QStringLiteral("keepEncodingButton"));
    setFrameShape(QFrame::StyledPanel);
    // The colours of a tooltip: set apart from the text, readable on a dark desktop too.
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, colours.color(QPalette::ToolTipBase));
    colours.setColor(QPalette::WindowText, colours.color(QPalette::ToolTipText));
    setPalette(colours);
    auto* text = new QLabel(msg::QText(msg::Id::EncodingUtf8Found));
    text->setObjectName(QStringLiteral("encodingText"));
    auto* row = new QHBoxLayout(this);
    row->addWidget(text, 1);
    row->addWidget(openAsUtf8_);
    row->addWidget(keep_);
    connect(openAsUtf8_, &QPushButton::clicked, this, [this] {
        hide();
        emit OpenAsUtf8Chosen();
    });
    connect(keep_, &QPushButton::clicked, this, &QWidget::hide);
    hide();
}

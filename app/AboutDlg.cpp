#include "app/AboutDlg.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "common/QtMessages.h"
#include "ui/DialogControls.h"

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(msg::QText(msg::Id::AboutCaption));

    auto* icon = new QLabel;
    icon->setPixmap(QPixmap(QStringLiteral(":/res/about.png")));

    auto* version = new QLabel(msg::QText(msg::Id::AboutVersion));
    version->setObjectName(QStringLiteral("version"));

    auto* greeting = new QLabel(msg::QText(msg::Id::AboutGreeting));
    greeting->setObjectName(QStringLiteral("greeting"));
    greeting->setWordWrap(true);
    greeting->setFrameStyle(QFrame::Panel | QFrame::Sunken);

    auto* ok = new QPushButton(msg::QText(msg::Id::AboutOk));
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QGridLayout;
    layout->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(version, 0, 1);
    layout->addWidget(greeting, 1, 1);
    layout->addWidget(ok, 2, 1, Qt::AlignRight);
    layout->setColumnStretch(1, 1);
    ui::controls::SizeToContents(this, layout);
}

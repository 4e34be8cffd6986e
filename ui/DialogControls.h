#pragma once

#include <initializer_list>

#include <QBoxLayout>
#include <QDialog>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>

namespace ui {

// Whether `event` takes the focus away from a field. The field's own context menu does not: the
// user is still editing it, as on the platform, where that menu leaves the focus in place.
inline bool LeavesField(const QEvent* event) {
    return event->type() == QEvent::FocusOut &&
           static_cast<const QFocusEvent*>(event)->reason() != Qt::PopupFocusReason;
}

// A line edit as wide as `sample` in the font it is finally shown with (a style sheet may set
// that font after construction), and `lines` lines tall; layouts never make it smaller.
class FittedEdit : public QLineEdit {
public:
    explicit FittedEdit(QString sample, int lines = 1)
        : sample_(std::move(sample)), lines_(lines) {}

    QSize sizeHint() const override {
        // QLineEdit's own hint is 17 "x" wide; the frame and margins around them stay.
        QSize size = QLineEdit::sizeHint();
        const QFontMetrics metrics = fontMetrics();
        size.rwidth() += metrics.horizontalAdvance(sample_) - 17 * metrics.horizontalAdvance(u'x');
        size.rheight() += (lines_ - 1) * metrics.lineSpacing();
        return size;
    }
    QSize minimumSizeHint() const override { return sizeHint(); }

private:
    QString sample_;
    int lines_;
};

// Small builders for dialogs laid out by Qt's layouts: controls named for tests to find,
// groups that hold their own layout, and a dialog that takes the size its contents ask for.
namespace controls {

inline QLineEdit* Edit(const char* name, int maxLength = 0) {
    auto* edit = new QLineEdit;
    edit->setObjectName(QLatin1String(name));
    if (maxLength > 0)
        edit->setMaxLength(maxLength);
    return edit;
}

// A field sized for `sample`, the widest text it is meant to show.
inline FittedEdit* Field(const QString& name, const QString& sample, int maxLength = 0) {
    auto* edit = new FittedEdit(sample);
    edit->setObjectName(name);
    if (maxLength > 0)
        edit->setMaxLength(maxLength);
    return edit;
}

// A box for a file path: room for about 30 characters, as wide as the groups that frame it.
inline QLineEdit* PathEdit(const char* name) {
    return Field(QLatin1String(name), QString(30, u'x'));
}

inline QPushButton* Button(const QString& text, const char* name) {
    auto* button = new QPushButton(text);
    button->setObjectName(QLatin1String(name));
    return button;
}

inline QGroupBox* Group(const QString& title, QLayout* contents) {
    auto* group = new QGroupBox(title);
    group->setLayout(contents);
    return group;
}

inline QHBoxLayout* Row(std::initializer_list<QWidget*> widgets) {
    auto* row = new QHBoxLayout;
    for (QWidget* widget : widgets)
        row->addWidget(widget);
    return row;
}

// Buttons spread evenly along the bottom of a dialog.
inline QHBoxLayout* ButtonRow(std::initializer_list<QWidget*> buttons) {
    auto* row = new QHBoxLayout;
    row->addStretch();
    for (QWidget* button : buttons) {
        row->addWidget(button);
        row->addStretch();
    }
    return row;
}

// The dialog takes exactly the size its layout asks for, so it grows with the font and scale and
// cannot be dragged smaller than its texts. Where that is more than the screen holds (a large
// scale on a small screen), the contents scroll inside a dialog that fits.
inline void SizeToContents(QDialog* dialog, QLayout* layout) {
    const QSize needed = layout->totalSizeHint();
    const QScreen* screen = dialog->screen();
    // Room left for the window's title bar and frame.
    const int titleBar = 3 * dialog->fontMetrics().height();
    const QSize room =
        screen ? screen->availableGeometry().size() - QSize(titleBar / 2, titleBar) : needed;
    if (needed.width() <= room.width() && needed.height() <= room.height()) {
        layout->setSizeConstraint(QLayout::SetFixedSize);
        dialog->setLayout(layout);
        return;
    }
    auto* contents = new QWidget;
    contents->setObjectName(QStringLiteral("scrolledContents"));
    contents->setLayout(layout);
    auto* scroll = new QScrollArea;
    scroll->setObjectName(QStringLiteral("contentsScroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(contents);
    auto* outer = new QVBoxLayout(dialog);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);
    const int bar = scroll->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    dialog->resize((needed + QSize(bar, bar)).boundedTo(room));
}

// Tab order in the given order, whichever layout each control ended up in.
inline void TabOrder(std::initializer_list<QWidget*> order) {
    QWidget* previous = nullptr;
    for (QWidget* next : order) {
        if (previous)
            QWidget::setTabOrder(previous, next);
        previous = next;
    }
}

}  // namespace controls
}  // namespace ui

#pragma once

#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRect>

namespace ui {

// Dialogs are laid out in dialog units of the "System" 10 point font.
inline QRect FromDialogUnits(int x, int y, int width, int height) {
    auto horizontal = [](int units) { return units * 7 / 4; };
    auto vertical = [](int units) { return units * 19 / 10; };
    return {horizontal(x), vertical(y), horizontal(width), vertical(height)};
}

// Whether `event` takes the focus away from a field. The field's own context menu does not: the
// user is still editing it, as on the platform, where that menu leaves the focus in place.
inline bool LeavesField(const QEvent* event) {
    return event->type() == QEvent::FocusOut &&
           static_cast<const QFocusEvent*>(event)->reason() != Qt::PopupFocusReason;
}

// Controls placed in dialog units and tagged with their control id, so tests can find them as
// the dialog template names them.
namespace controls {

inline QLineEdit* Edit(QWidget* parent, const QString& name, int id, QRect units,
                       int maxLength = 0) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setProperty("controlId", id);
    edit->setGeometry(units);
    if (maxLength > 0)
        edit->setMaxLength(maxLength);
    return edit;
}

inline QPushButton* Button(QWidget* parent, const QString& text, const QString& name, int id,
                           QRect units) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setProperty("controlId", id);
    button->setGeometry(units);
    return button;
}

// Group boxes go beneath the controls they frame, whatever order they are made in, so that
// clicks reach those controls.
inline void Group(QWidget* parent, const QString& title, QRect units) {
    auto* group = new QGroupBox(title, parent);
    group->setGeometry(units);
    group->lower();
}

inline void Label(QWidget* parent, const QString& text, QRect units) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(units);
}

}  // namespace controls
}  // namespace ui

#pragma once

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "link/DialogUnits.h"

// Controls of the download dialogs, placed in dialog units and tagged with their control id.
namespace ctrl::controls {

inline QLineEdit* Edit(QWidget* parent, const char* name, int id, QRect units, int maxLength = 0) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setProperty("controlId", id);
    edit->setGeometry(units);
    if (maxLength > 0)
        edit->setMaxLength(maxLength);
    return edit;
}

inline QPushButton* Button(QWidget* parent, const QString& text, const char* name, int id,
                           QRect units) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setProperty("controlId", id);
    button->setGeometry(units);
    button->setAutoDefault(false);
    return button;
}

inline void Group(QWidget* parent, const QString& title, QRect units) {
    auto* group = new QGroupBox(title, parent);
    group->setGeometry(units);
    group->lower();
}

inline void Label(QWidget* parent, const QString& text, QRect units) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(units);
}

}  // namespace ctrl::controls

#pragma once

#include "ui/DialogControls.h"

// Controls of the download dialogs. Their buttons are never pressed by Enter on their own
// account: only the default button is.
namespace ctrl::controls {

using ui::controls::Edit;
using ui::controls::Group;
using ui::controls::Label;

inline QPushButton* Button(QWidget* parent, const QString& text, const QString& name, int id,
                           QRect units) {
    QPushButton* button = ui::controls::Button(parent, text, name, id, units);
    button->setAutoDefault(false);
    return button;
}

}  // namespace ctrl::controls

#pragma once

#include <QString>

namespace ctrl {

// Where the screen download puts its screen data: dat01.dat in the user's application data
// folder, which is created when missing. The root of a drive is no place an ordinary user may
// write to.
QString DefaultScratchPath();

}  // namespace ctrl

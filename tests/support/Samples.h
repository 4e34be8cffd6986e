#pragma once

#include <string>

namespace testsupport {

// A 64 x 128 one-bit bitmap as the screen download takes it: all white but the top-left pixel.
std::string ScreenBitmap();

}  // namespace testsupport

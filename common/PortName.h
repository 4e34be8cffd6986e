#pragma once

#include <string_view>

namespace text {

constexpr int kHighestComPort = 255;

// "COMn" names serial port n, 1 to 255: upper case, digits to the end, nothing else. Any other
// text (COM0, com2, COM3x) names no port, so that no device is opened in place of the one meant.
// Returns n, or 0 for no port.
int ComPortNumber(std::string_view text);

// A device path from the root ("/dev/ttyUSB0", a pseudo-terminal) is used as it stands.
constexpr bool IsDevicePath(std::string_view text) {
    return text.starts_with('/');
}

// The text names a port one way or the other.
inline bool NamesPort(std::string_view text) {
    return IsDevicePath(text) || ComPortNumber(text) != 0;
}

}  // namespace text

#include "tests/support/Samples.h"

#include <utility>

namespace testsupport {

std::string ScreenBitmap() {
    std::string b(1086, '\xFF');
    for (std::size_t i = 0; i < 62; ++i)
        b[i] = 0;
    const std::pair<int, int> fields[] = {{0, 0x4D42}, {2, 1086}, {18, 64},  {22, 128},
                                          {26, 1},     {28, 1},   {34, 1024}};
    for (auto [at, value] : fields) {
        b[at] = static_cast<char>(value & 0xFF);
        b[at + 1] = static_cast<char>(value >> 8);
    }
    b[62 + 127 * 8] = '\x7F';  // rows run bottom up: the last row's first pixel
    return b;
}

}  // namespace testsupport

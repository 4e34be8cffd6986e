#include "cli/LineWriter.h"

#include <string>

namespace cli {

void LineWriter::Write(std::string_view prefix, std::string_view text) {
    std::string lines;
    for (std::size_t from = 0;;) {
        const std::size_t nl = text.find('\n', from);
        lines.append(prefix).append(text.substr(from, nl - from)).append("\n");
        if (nl == std::string_view::npos || nl + 1 == text.size())
            break;
        from = nl + 1;
    }
    const std::lock_guard<std::mutex> hold(lock);
    to << lines << std::flush;
}

}  // namespace cli

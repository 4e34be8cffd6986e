#pragma once

#include <mutex>
#include <ostream>
#include <string_view>

namespace cli {

// Whole lines to one stream from any thread: each port's loop writes with its own name in front,
// and no line is cut by another's.
class LineWriter {
public:
    explicit LineWriter(std::ostream& to) : to(to) {}
    // Every line of `text` with `prefix` in front, flushed at once.
    void Write(std::string_view prefix, std::string_view text);

private:
    std::mutex lock;
    std::ostream& to;
};

}  // namespace cli

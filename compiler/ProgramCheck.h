#pragma once

#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

namespace compiler {

// One faulty code line, as the compile would report it were this line the first fault.
struct Finding {
    int editorLine = 0;   // 1-based line of the program text
    int codeLine = 0;     // 1-based code line, as the compile's message counts
    int code = 0;         // EncodeLine's result code, or kTooManyLinesCode
    std::string message;  // UTF-8, exactly the compile's message for it
};

// The code of the finding on the first code line an object program cannot hold.
constexpr int kTooManyLinesCode = -1;

struct CheckReport {
    std::vector<Finding> findings;  // in program order, up to the first END
    bool endReached = false;
};

// Checks every code line up to the first END with the compile's own steps (cut, labels, encode),
// without stopping at the first fault. A stop request ends it soon, with what it found so far.
CheckReport CheckProgram(std::string_view programText, std::stop_token stop = {});

}  // namespace compiler

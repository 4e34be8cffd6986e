#pragma once

#include <string>
#include <vector>

namespace text {

// The words of this process's command line as typed, the program first, in UTF-8 like every
// text of the tools. On Windows they come from the wide command line: main's argv holds them in
// the ANSI code page, where a Chinese file name turns into "??".
std::vector<std::string> CommandWords(int argc, char** argv);

}  // namespace text

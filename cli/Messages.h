#pragma once

#include <string>
#include <string_view>

namespace cli {

// The message for an input file that cannot be read, in the style of the compile messages.
std::string UnreadableMessage(std::string_view path);

}  // namespace cli

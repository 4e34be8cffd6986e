#pragma once

#include <string>
#include <string_view>
#include <system_error>

namespace registers {

// The standard file-error message for a failure's cause, naming the file (UTF-8).
std::string FileErrorMessage(std::error_code cause, std::string_view fileName);

}  // namespace registers

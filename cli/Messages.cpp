#include "cli/Messages.h"

namespace cli {

std::string UnreadableMessage(std::string_view path) {
    return "不能读取文件： " + std::string(path) + " ！";
}

}  // namespace cli

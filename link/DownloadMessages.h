#pragma once

#include <string>
#include <string_view>

namespace ctrl {

// What the three download dialogs and `tarvex download` tell the user, word for word (UTF-8).
inline std::string CannotOpenMessage(std::string_view path) {
    return "不能打开文件:" + std::string(path) + " !";
}
inline constexpr std::string_view kFileFormatMessage = "文件格式错误！";
inline constexpr std::string_view kScreenNumberRangeMessage = "液晶画面序号超限！";
inline constexpr std::string_view kRegisterNumberRangeMessage = "参数序号超限！";

}  // namespace ctrl

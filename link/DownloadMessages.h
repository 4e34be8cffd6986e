#pragma once

#include <string>
#include <string_view>

#include "common/Messages.h"

namespace ctrl {

// What the three download dialogs and `tarvex download` tell the user, word for word (UTF-8).
inline std::string CannotOpenMessage(std::string_view path) {
    return msg::Text(msg::Id::CannotOpenFile, {path});
}
inline const std::string kFileFormatMessage = msg::Text(msg::Id::FileFormatError);
inline const std::string kScreenNumberRangeMessage = msg::Text(msg::Id::ScreenNumberOutOfRange);
inline const std::string kRegisterNumberRangeMessage = msg::Text(msg::Id::RegisterNumberOutOfRange);

}  // namespace ctrl

#pragma once

#include <string>
#include <string_view>

#include "common/Messages.h"

namespace ctrl {

// What the three download dialogs and `tarvex download` tell the user, word for word (UTF-8).
inline std::string CannotOpenMessage(std::string_view path) {
    return msg::Text(msg::Id::CannotOpenFile, {path});
}
inline constexpr msg::Deferred kFileFormatMessage{msg::Id::FileFormatError};
inline constexpr msg::Deferred kScreenNumberRangeMessage{msg::Id::ScreenNumberOutOfRange};
inline constexpr msg::Deferred kRegisterNumberRangeMessage{msg::Id::RegisterNumberOutOfRange};

}  // namespace ctrl

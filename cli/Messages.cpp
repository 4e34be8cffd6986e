#include "cli/Messages.h"

#include "common/Messages.h"

namespace cli {

std::string UnreadableMessage(std::string_view path) {
    return msg::Text(msg::Id::CannotReadFile, {path});
}

}  // namespace cli

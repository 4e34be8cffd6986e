#include <ostream>

#include "common/Messages.h"
#include "emulator/ServeLine.h"

namespace emu {

bool ServeOnNewLine(VirtualController&, const LineOptions&, std::ostream&, std::ostream& err) {
    err << msg::Text(msg::Id::EmulatorNoPtyHere) << "\n";
    return false;
}

}  // namespace emu

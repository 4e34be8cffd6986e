#include "link/ParameterSource.h"

#include <string_view>

#include "common/DecimalValue.h"
#include "registers/RegisterFile.h"

namespace ctrl {

SourceOpen ParameterSource::Open(const std::filesystem::path& path) {
    CloseSource();
    registerFile.open(path, std::ios::binary);
    if (!registerFile.is_open())
        return SourceOpen::CannotOpen;
    if (!ReadLine() || lineText != registers::kIdentification) {
        CloseSource();
        return SourceOpen::BadFormat;
    }
    return SourceOpen::Opened;
}

bool ParameterSource::ReadLine() {
    lineText.clear();
    if (!registerFile.is_open() || !std::getline(registerFile, lineText)) {
        // getline fails on an empty last line only; a last line without LF still counts.
        return false;
    }
    if (!registerFile.eof() && !lineText.empty() && lineText.back() == '\r')
        lineText.pop_back();
    return true;
}

void ParameterSource::BuildHeaderPacket(Packet& packet) {
    packet.fill(0);
    packet[0] = static_cast<std::uint8_t>(pageNumber >> 8);
    packet[1] = static_cast<std::uint8_t>(pageNumber);
}

bool ParameterSource::NextDataPacket(Packet& packet) {
    for (std::size_t slot = 0; slot < 4; ++slot) {
        std::int32_t value = 0;
        if (ReadLine()) {
            const std::string_view line(lineText);
            value =
                text::DecimalValue(line.substr(std::min(line.size(), registers::kPrefixLength)));
        } else if (slot == 0) {
            return false;
        }
        const auto bits = static_cast<std::uint32_t>(value);
        for (std::size_t i = 0; i < 4; ++i)
            packet[slot * 4 + i] = static_cast<std::uint8_t>(bits >> (24 - 8 * i));
    }
    return true;
}

void ParameterSource::CloseSource() {
    if (registerFile.is_open())
        registerFile.close();
    registerFile.clear();
}

}  // namespace ctrl

#include "downloads/ParameterSource.h"

#include <string_view>

#include "common/DecimalValue.h"
#include "registers/RegisterFile.h"

namespace ctrl {

SourceOpen ParameterSource::Load(std::string bytes) {
    CloseSource();
    if (bytes.size() > kMaxFileSize)
        return SourceOpen::BadFormat;
    fileBytes = std::move(bytes);
    if (!ReadLine() || lineText != registers::kIdentification) {
        CloseSource();
        return SourceOpen::BadFormat;
    }
    return SourceOpen::Opened;
}

bool ParameterSource::ReadLine() {
    lineText.clear();
    // An empty piece after the last LF is no line; a last line without LF still counts.
    if (readAt >= fileBytes.size())
        return false;
    const std::size_t end = fileBytes.find('\n', readAt);
    if (end == std::string::npos) {
        lineText.assign(fileBytes, readAt);
        readAt = fileBytes.size();
        return true;
    }
    lineText.assign(fileBytes, readAt, end - readAt);
    readAt = end + 1;
    if (!lineText.empty() && lineText.back() == '\r')
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
    fileBytes.clear();
    readAt = 0;
}

}  // namespace ctrl

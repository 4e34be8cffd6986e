#include "downloads/ProgramSource.h"

#include <utility>

#include "compiler/EncodeLine.h"

namespace ctrl {

bool ProgramSource::EndsWithEnd() const {
    compiler::InstructionRecord end{};
    compiler::EncodeLine("END", end);
    const std::size_t size = bytes.size();
    if (size < kObjectHeader.size() + end.size() || (size - kObjectHeader.size()) % end.size() != 0)
        return false;
    const std::size_t last = size - end.size();
    return static_cast<std::uint8_t>(bytes[last]) == end[0] &&
           static_cast<std::uint8_t>(bytes[last + 1]) == end[1];
}

SourceOpen ProgramSource::Load(std::string program) {
    CloseSource();
    if (program.size() > kMaxFileSize)
        return SourceOpen::BadFormat;
    if (!std::string_view(program).starts_with(kObjectHeader))
        return SourceOpen::BadFormat;
    bytes = std::move(program);
    sent = kObjectHeader.size();
    const std::size_t body = bytes.size() - kObjectHeader.size();
    packetCount = static_cast<int>((body + 15) / 16);
    return SourceOpen::Opened;
}

void ProgramSource::BuildHeaderPacket(Packet& packet) {
    packet.fill(0);
    packet[0] = static_cast<std::uint8_t>(programNumber >> 8);
    packet[1] = static_cast<std::uint8_t>(programNumber);
}

void ProgramSource::CloseSource() {
    SnapshotSource::CloseSource();
    packetCount = 0;
}

}  // namespace ctrl

#include "link/ProgramSource.h"

#include <algorithm>
#include <array>

namespace ctrl {

SourceOpen ProgramSource::Open(const std::filesystem::path& path) {
    CloseSource();
    programFile.open(path, std::ios::binary);
    if (!programFile.is_open())
        return SourceOpen::CannotOpen;
    std::array<char, kObjectHeader.size()> header{};
    programFile.read(header.data(), header.size());
    if (programFile.gcount() != static_cast<std::streamsize>(header.size()) ||
        !std::equal(header.begin(), header.end(), kObjectHeader.begin())) {
        CloseSource();
        return SourceOpen::BadFormat;
    }
    programFile.seekg(0, std::ios::end);
    const std::streamoff size = programFile.tellg();
    programFile.seekg(static_cast<std::streamoff>(kObjectHeader.size()));
    const std::streamoff body = size - static_cast<std::streamoff>(kObjectHeader.size());
    packetCount = body > 0 ? static_cast<int>((body + 15) / 16) : 0;
    return SourceOpen::Opened;
}

void ProgramSource::BuildHeaderPacket(Packet& packet) {
    packet.fill(0);
    packet[0] = static_cast<std::uint8_t>(programNumber >> 8);
    packet[1] = static_cast<std::uint8_t>(programNumber);
}

bool ProgramSource::NextDataPacket(Packet& packet) {
    if (!programFile.is_open())
        return false;
    std::array<char, 16> piece{};
    programFile.read(piece.data(), piece.size());
    const auto got = static_cast<std::size_t>(programFile.gcount());
    if (got == 0)
        return false;
    std::transform(piece.begin(), piece.begin() + static_cast<std::ptrdiff_t>(got), packet.begin(),
                   [](char c) { return static_cast<std::uint8_t>(c); });
    return true;
}

void ProgramSource::CloseSource() {
    if (programFile.is_open())
        programFile.close();
    programFile.clear();
    packetCount = 0;
}

}  // namespace ctrl

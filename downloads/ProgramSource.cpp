#include "downloads/ProgramSource.h"

#include <algorithm>
#include <utility>

#include "common/FileIo.h"
#include "compiler/EncodeLine.h"

namespace ctrl {

bool ProgramSource::EndsWithEnd() const {
    compiler::InstructionRecord end{};
    compiler::EncodeLine("END", end);
    const std::size_t size = programBytes.size();
    if (size < kObjectHeader.size() + end.size() || (size - kObjectHeader.size()) % end.size() != 0)
        return false;
    const std::size_t last = size - end.size();
    return static_cast<std::uint8_t>(programBytes[last]) == end[0] &&
           static_cast<std::uint8_t>(programBytes[last + 1]) == end[1];
}

SourceOpen ProgramSource::Open(const std::filesystem::path& path) {
    CloseSource();
    std::string bytes;
    switch (fileio::ReadLimited(path, kMaxFileSize, bytes)) {
        case fileio::ReadStatus::Unreadable:
            return SourceOpen::CannotOpen;
        case fileio::ReadStatus::TooLarge:
            return SourceOpen::BadFormat;
        case fileio::ReadStatus::Ok:
            break;
    }
    return Load(std::move(bytes));
}

SourceOpen ProgramSource::Load(std::string bytes) {
    CloseSource();
    if (bytes.size() > kMaxFileSize)
        return SourceOpen::BadFormat;
    if (!std::string_view(bytes).starts_with(kObjectHeader))
        return SourceOpen::BadFormat;
    programBytes = std::move(bytes);
    sent = kObjectHeader.size();
    const std::size_t body = programBytes.size() - kObjectHeader.size();
    packetCount = static_cast<int>((body + 15) / 16);
    return SourceOpen::Opened;
}

void ProgramSource::BuildHeaderPacket(Packet& packet) {
    packet.fill(0);
    packet[0] = static_cast<std::uint8_t>(programNumber >> 8);
    packet[1] = static_cast<std::uint8_t>(programNumber);
}

bool ProgramSource::NextDataPacket(Packet& packet) {
    if (sent >= programBytes.size())
        return false;
    const std::size_t got = std::min<std::size_t>(16, programBytes.size() - sent);
    std::transform(programBytes.begin() + static_cast<std::ptrdiff_t>(sent),
                   programBytes.begin() + static_cast<std::ptrdiff_t>(sent + got), packet.begin(),
                   [](char c) { return static_cast<std::uint8_t>(c); });
    sent += got;
    return true;
}

void ProgramSource::CloseSource() {
    programBytes.clear();
    sent = 0;
    packetCount = 0;
}

}  // namespace ctrl

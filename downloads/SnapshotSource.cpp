#include "downloads/SnapshotSource.h"

#include <algorithm>

#include "common/FileIo.h"

namespace ctrl {

SourceOpen ReadSourceFile(const std::filesystem::path& path, std::size_t limit,
                          std::string& bytes) {
    switch (fileio::ReadLimited(path, limit, bytes)) {
        case fileio::ReadStatus::Unreadable:
            return SourceOpen::CannotOpen;
        case fileio::ReadStatus::TooLarge:
            return SourceOpen::BadFormat;
        case fileio::ReadStatus::Ok:
            break;
    }
    return SourceOpen::Opened;
}

bool SnapshotSource::NextDataPacket(Packet& packet) {
    if (sent >= bytes.size())
        return false;
    const std::size_t got = std::min<std::size_t>(16, bytes.size() - sent);
    std::transform(bytes.begin() + static_cast<std::ptrdiff_t>(sent),
                   bytes.begin() + static_cast<std::ptrdiff_t>(sent + got), packet.begin(),
                   [](char c) { return static_cast<std::uint8_t>(c); });
    sent += got;
    return true;
}

void SnapshotSource::CloseSource() {
    bytes.clear();
    sent = 0;
}

}  // namespace ctrl

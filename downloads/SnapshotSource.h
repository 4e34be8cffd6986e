#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>

#include "link/DownloadSource.h"

namespace ctrl {

enum class SourceOpen { Opened, CannotOpen, BadFormat };

// Reads a download's file whole, at most `limit` bytes: one that cannot be read cannot be
// opened, a longer one is no file of its kind.
SourceOpen ReadSourceFile(const std::filesystem::path& path, std::size_t limit, std::string& bytes);

// Open for a source that checks bytes with Load: nothing left of what it held before, the file
// read whole (at most Source::kMaxFileSize bytes), then loaded.
template <typename Source>
SourceOpen OpenSourceFile(Source& source, const std::filesystem::path& path) {
    source.CloseSource();
    std::string bytes;
    if (const SourceOpen read = ReadSourceFile(path, Source::kMaxFileSize, bytes);
        read != SourceOpen::Opened)
        return read;
    return source.Load(std::move(bytes));
}

// A source whose data packets are a copy of bytes taken when the download starts, sent in
// pieces of 16 from `sent` on.
class SnapshotSource : public DownloadSource {
public:
    // A short last piece overwrites only the front of the packet; the rest keeps the bytes of
    // the packet sent before, as the controller has always been sent them.
    bool NextDataPacket(Packet& packet) override;
    void CloseSource() override;
    std::string_view Snapshot() const override { return bytes; }

protected:
    std::string bytes;
    std::size_t sent = 0;
};

}  // namespace ctrl

#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "downloads/SnapshotSource.h"

namespace ctrl {

inline constexpr std::string_view kObjectHeader = "This is RVL412E.kxo!";

// An object program on its way to a program slot: the header packet names the slot, the data
// packets are the bytes after the 20-byte header in pieces of 16, whatever the record bounds.
class ProgramSource : public SnapshotSource {
public:
    // The header and the most records a program slot holds.
    static constexpr std::size_t kMaxFileSize = 20 + 24 * 2048;

    // Reads the whole file and checks its header; what goes out is this copy, whatever happens
    // to the file afterwards. A refused file leaves nothing behind.
    SourceOpen Open(const std::filesystem::path& path) { return OpenSourceFile(*this, path); }
    // The same check on bytes already read, such as a program compiled in memory.
    SourceOpen Load(std::string program);
    // Whether the last whole record is END; a program without it is likely what a failed compile
    // left behind.
    bool EndsWithEnd() const;
    // What goes out, header included.
    const std::string& Bytes() const { return bytes; }
    // Number of data packets, the short last one included.
    int PacketCount() const { return packetCount; }

    std::int32_t programNumber = 0;

    void BuildHeaderPacket(Packet& packet) override;
    void CloseSource() override;

private:
    int packetCount = 0;
};

}  // namespace ctrl

#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string_view>

#include "link/DownloadSource.h"

namespace ctrl {

inline constexpr std::string_view kObjectHeader = "This is RVL412E.kxo!";

enum class SourceOpen { Opened, CannotOpen, BadFormat };

// An object program on its way to a program slot: the header packet names the slot, the data
// packets are the bytes after the 20-byte header in pieces of 16, whatever the record bounds.
class ProgramSource : public DownloadSource {
public:
    // Opens the file and checks its header; a refused file is closed again.
    SourceOpen Open(const std::filesystem::path& path);
    // Number of data packets, the short last one included.
    int PacketCount() const { return packetCount; }

    std::int32_t programNumber = 0;

    void BuildHeaderPacket(Packet& packet) override;
    // A short last piece overwrites only the front of the packet; the rest keeps the bytes of
    // the packet sent before, as the controller has always been sent them.
    bool NextDataPacket(Packet& packet) override;
    void CloseSource() override;

private:
    std::ifstream programFile;
    int packetCount = 0;
};

}  // namespace ctrl

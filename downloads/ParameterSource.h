#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "downloads/ProgramSource.h"
#include "link/DownloadSource.h"

namespace ctrl {

// A register file on its way to a parameter page: four register lines per data packet, each
// value 32 bits high byte first, 0 for lines the file does not have.
class ParameterSource : public DownloadSource {
public:
    static constexpr int kPacketCount = 1024;

    // Far more than the identification line and 4096 register lines need; a longer file is
    // refused rather than read without end.
    static constexpr std::size_t kMaxFileSize = 1 << 20;

    // Reads the whole file and checks its identification line; what goes out is this copy. A
    // refused file leaves nothing behind.
    SourceOpen Open(const std::filesystem::path& path) { return OpenSourceFile(*this, path); }
    // The same check on bytes already read, such as a register file with per-unit values.
    SourceOpen Load(std::string bytes);

    std::int32_t pageNumber = 0;
    std::string lineText;

    void BuildHeaderPacket(Packet& packet) override;
    bool NextDataPacket(Packet& packet) override;
    void CloseSource() override;
    std::string_view Snapshot() const override { return fileBytes; }

private:
    // Lines end at LF; a CR before it is dropped. False at the end of the file.
    bool ReadLine();

    std::string fileBytes;
    std::size_t readAt = 0;
};

}  // namespace ctrl

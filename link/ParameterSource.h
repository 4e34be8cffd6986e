#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "link/DownloadSource.h"
#include "link/ProgramSource.h"

namespace ctrl {

// A register file on its way to a parameter page: four register lines per data packet, each
// value 32 bits high byte first, 0 for lines the file does not have.
class ParameterSource : public DownloadSource {
public:
    static constexpr int kPacketCount = 1024;

    // Opens the file and checks its identification line; a refused file is closed again.
    SourceOpen Open(const std::filesystem::path& path);

    std::int32_t pageNumber = 0;
    std::string lineText;

    void BuildHeaderPacket(Packet& packet) override;
    bool NextDataPacket(Packet& packet) override;
    void CloseSource() override;

private:
    // Lines end at LF; a CR before it is dropped. False at the end of the file.
    bool ReadLine();

    std::ifstream registerFile;
};

}  // namespace ctrl

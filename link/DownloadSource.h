#pragma once

#include <string_view>

#include "link/TransferProfile.h"

namespace ctrl {

// What a download supplies to the transfer engine. The engine owns the packet buffer; a source
// writes into it and may leave bytes of the previous packet in place (a short last piece).
class DownloadSource {
public:
    virtual ~DownloadSource() = default;
    virtual void BuildHeaderPacket(Packet& packet) = 0;
    // Fills the next data packet; false when there is none left.
    virtual bool NextDataPacket(Packet& packet) = 0;
    virtual void CloseSource() = 0;
    // The bytes read when the download started, for the record of what was sent.
    virtual std::string_view Snapshot() const { return {}; }
};

}  // namespace ctrl

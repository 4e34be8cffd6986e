#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include <QString>

#include "link/SerialLink.h"

class QTimer;

namespace ctrl {

// The link commands of the session menu, with their command identifiers.
enum class LinkCommand : int {
    Serial = 32772,
    Connect = 32773,
    DownloadProgram = 32774,
    DownloadParams = 32775,
    DownloadScreen = 32776,
    Disconnect = 32777,
};

// The period in which the controller is known to answer: connect sends the handshake byte, the
// 500 ms tick waits for the answer 1 and gives up after 20 ticks, disconnect says goodbye.
class ControllerSession {
public:
    static constexpr int kTickMs = 500;
    static constexpr std::uint32_t kGiveUpTicks = 20;
    static constexpr std::uint8_t kHandshakeByte = 1;
    static constexpr std::uint8_t kFarewellByte = 136;

    // Shows a message to the user and returns when the user has closed it.
    using Reporter = std::function<void(const QString&)>;

    ControllerSession(SerialLink& port, Reporter report);
    ~ControllerSession();
    ControllerSession(const ControllerSession&) = delete;
    ControllerSession& operator=(const ControllerSession&) = delete;

    // The view shows a new or opened document: the 500 ms tick starts again and the commands that
    // need a session are disabled until the next handshake.
    void ViewUpdate();
    // `portText` names the port in the failure message, as the user typed it.
    void Connect(const QString& portText);
    void Tick();
    void Disconnect();
    bool IsEnabled(LinkCommand command) const;

    bool connected = false;
    std::uint32_t handshakeTicks = 0;
    std::uint8_t linkByte = 0;
    int linkTimer = 0;

private:
    SerialLink& port;
    Reporter report;
    std::unique_ptr<QTimer> timer;
};

}  // namespace ctrl

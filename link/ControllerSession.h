#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include <QString>

#include "link/SerialLink.h"
#include "link/TransferProfile.h"

class QTimer;

namespace ctrl {

// The commands of the session menu whose enabling the session decides.
enum class LinkCommand {
    Serial,
    Connect,
    DownloadProgram,
    DownloadParams,
    DownloadScreen,
    Disconnect
};

// Whether the controller has answered the handshake. Only the session changes it, and it tells
// its listener each time, so nobody has to ask.
class ConnectedFlag {
public:
    operator bool() const { return value_; }

private:
    friend class ControllerSession;
    bool value_ = false;
};

// The period in which the controller is known to answer: connect sends the handshake byte, the
// 500 ms tick waits for the answer 1 and gives up after 20 ticks, disconnect says goodbye.
class ControllerSession {
public:
    static constexpr int kTickMs = 500;
    static constexpr std::uint32_t kGiveUpTicks = 20;
    // The fastest tick a suite may ask for: a virtual controller still answers within it.
    static constexpr int kLeastTickMs = 50;
    // The tick's period: kTickMs, or shorter where kTickMsVariable asks for it.
    static int TickMs();

    // Shows a message to the user and returns when the user has closed it.
    using Reporter = std::function<void(const QString&)>;
    using ConnectedListener = std::function<void(bool connected)>;

    ControllerSession(SerialLink& port, Reporter report, ConnectedListener listener = {});
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
    // The device went away: in whatever state, the session ends now, the port is closed and the
    // user is told. The port calls it; a transfer on the line sees the loss on its next tick.
    void LineLost();
    bool IsEnabled(LinkCommand command) const;

    ConnectedFlag connected;
    // The session ended because the device went away; cleared by the next Connect.
    bool lineLost = false;
    // Hears of a lost line before the user is told.
    std::function<void()> onLineLost;
    std::uint32_t handshakeTicks = 0;
    std::uint8_t linkByte = 0;

private:
    void SetConnected(bool value);

    SerialLink& port;
    Reporter report;
    ConnectedListener listener;
    std::unique_ptr<QTimer> timer;
};

// Suites that drive many handshakes over virtual lines tick the session this many milliseconds
// instead of 500 (never below kLeastTickMs); the counts of ticks stay the same. Unset, not a
// number or not shorter: the product's 500 ms.
inline constexpr const char* kTickMsVariable = "TARVEX_TICK_MS";

}  // namespace ctrl

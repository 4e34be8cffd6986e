#include "link/ControllerSession.h"

#include <QTimer>

#include "link/LinkMessages.h"

namespace ctrl {

ControllerSession::ControllerSession(SerialLink& port, Reporter report)
    : port(port), report(std::move(report)) {}

ControllerSession::~ControllerSession() = default;

void ControllerSession::ViewUpdate() {
    if (!timer) {
        timer = std::make_unique<QTimer>();
        timer->setTimerType(Qt::PreciseTimer);
        timer->callOnTimeout([this] { Tick(); });
    }
    timer->start(kTickMs);
    linkTimer = timer->timerId();
    connected = false;
}

void ControllerSession::Connect(const QString& portText) {
    if (port.OpenConfigured()) {
        port.sessionState = LINK_HANDSHAKE;
        handshakeTicks = 0;
        linkByte = kHandshakeByte;
        port.Send(&linkByte, 1);
    } else {
        report(PortOpenFailedMessage(portText));
    }
    connected = false;
}

void ControllerSession::Tick() {
    ++handshakeTicks;
    if (port.sessionState == LINK_IDLE) {
        connected = false;
        return;
    }
    if (port.sessionState != LINK_HANDSHAKE)
        return;
    if (handshakeTicks >= kGiveUpTicks) {
        port.sessionState = LINK_IDLE;
        handshakeTicks = 0;
        connected = false;
        // Ticks that come while the box is up see state 0 and only clear `connected`; the port
        // closes once the user has read the message.
        report(kHandshakeFailedMessage);
        port.Close();
        return;
    }
    if (port.QueuedBytes() > 0 && port.Receive(&linkByte, 1) == 1 && linkByte == kHandshakeByte) {
        connected = true;
        port.sessionState = LINK_READY;
    }
}

void ControllerSession::Disconnect() {
    const std::uint8_t farewell = kFarewellByte;
    port.Send(&farewell, 1);
    port.Close();
    connected = false;
}

bool ControllerSession::IsEnabled(LinkCommand command) const {
    switch (command) {
        case LinkCommand::Serial:
            return true;
        case LinkCommand::Connect:
            return !connected;
        case LinkCommand::DownloadProgram:
        case LinkCommand::DownloadParams:
        case LinkCommand::DownloadScreen:
        case LinkCommand::Disconnect:
            return connected;
    }
    return false;
}

}  // namespace ctrl

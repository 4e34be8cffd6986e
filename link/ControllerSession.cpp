#include "link/ControllerSession.h"

#include <QTimer>
#include <QtGlobal>

#include <algorithm>

#include "link/LinkMessages.h"

namespace ctrl {

ControllerSession::ControllerSession(SerialLink& port, Reporter report, ConnectedListener listener)
    : port(port), report(std::move(report)), listener(std::move(listener)) {
    this->port.onLost = [this] { LineLost(); };
}

ControllerSession::~ControllerSession() {
    port.onLost = nullptr;
}

int ControllerSession::TickMs() {
    bool given = false;
    const int ms = qEnvironmentVariableIntValue(kTickMsVariable, &given);
    if (!given || ms <= 0 || ms >= kTickMs)
        return kTickMs;
    return std::max(ms, kLeastTickMs);
}

void ControllerSession::ViewUpdate() {
    if (!timer) {
        timer = std::make_unique<QTimer>();
        timer->setTimerType(Qt::PreciseTimer);
        timer->callOnTimeout([this] { Tick(); });
    }
    timer->start(TickMs());
    SetConnected(false);
}

void ControllerSession::Connect(const QString& portText) {
    lineLost = false;
    if (port.OpenConfigured()) {
        port.sessionState = LINK_HANDSHAKE;
        handshakeTicks = 0;
        linkByte = kHandshakeByte;
        port.Send(&linkByte, 1);
    } else {
        report(ExplainOpenFailure(PortOpenFailedMessage(portText), port.LastOpenFailure()));
    }
    SetConnected(false);
}

void ControllerSession::Tick() {
    ++handshakeTicks;
    if (port.sessionState == LINK_IDLE) {
        SetConnected(false);
        return;
    }
    if (port.sessionState != LINK_HANDSHAKE)
        return;
    if (handshakeTicks >= kGiveUpTicks) {
        port.sessionState = LINK_IDLE;
        handshakeTicks = 0;
        SetConnected(false);
        // Ticks that come while the box is up see state 0 and only clear `connected`; the port
        // closes once the user has read the message.
        report(kHandshakeFailedMessage);
        port.Close();
        return;
    }
    if (port.QueuedBytes() > 0 && port.Receive(&linkByte, 1) == 1 && linkByte == kHandshakeByte) {
        port.sessionState = LINK_READY;
        SetConnected(true);
    }
}

void ControllerSession::Disconnect() {
    const std::uint8_t farewell = kFarewellByte;
    port.Send(&farewell, 1);
    port.Close();
    SetConnected(false);
}

void ControllerSession::LineLost() {
    port.sessionState = LINK_IDLE;
    handshakeTicks = 0;
    port.Close();
    lineLost = true;
    SetConnected(false);
    if (onLineLost)
        onLineLost();
    report(msg::QText(msg::Id::LineLost));
}

void ControllerSession::SetConnected(bool value) {
    if (connected.value_ == value)
        return;
    connected.value_ = value;
    if (listener)
        listener(value);
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

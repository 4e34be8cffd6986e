#include "link/Link.h"

#include "common/DecimalValue.h"
#include "common/PortName.h"

namespace ctrl {

Link::Link(ControllerSession::Reporter report, QObject* parent)
    : QObject(parent),
      session_(
          port_,
          // A failed connect or a given-up handshake reports; the state shown must change first.
          [this, report = std::move(report)](const QString& text) {
              emit StateChanged();
              report(text);
          },
          [this](bool connected) {
              emit ConnectedChanged(connected);
              emit StateChanged();
          }) {}

Link::LineState Link::State() const {
    if (session_.connected)
        return LineState::Connected;
    return port_.sessionState == LINK_HANDSHAKE ? LineState::Connecting : LineState::Disconnected;
}

Link::~Link() = default;

void Link::Configure(const QString& portText, const QString& baudText) {
    portText_ = portText;
    baudText_ = baudText;
    // Only "COMn" names port n; any other text names port 0, which no device answers to.
    port_.portNumber = text::ComPortNumber(portText.toStdString());
    port_.baudRate = text::DecimalValue(baudText.toStdString());
    port_.portPath = text::IsDevicePath(portText.toStdString()) ? portText : QString();
    emit StateChanged();
}

void Link::Connect() {
    session_.Connect(portText_);
    emit StateChanged();
}

void Link::Disconnect() {
    session_.Disconnect();
    emit StateChanged();
}

void Link::RestartTicks() {
    session_.ViewUpdate();
}

}  // namespace ctrl

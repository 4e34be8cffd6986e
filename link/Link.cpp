#include "link/Link.h"

#include "common/DecimalValue.h"
#include "common/PortName.h"

namespace ctrl {

Link::Link(ControllerSession::Reporter report, QObject* parent)
    : QObject(parent), session_(port_, std::move(report), [this](bool connected) {
          emit ConnectedChanged(connected);
      }) {}

Link::~Link() = default;

void Link::Configure(const QString& portText, const QString& baudText) {
    portText_ = portText;
    baudText_ = baudText;
    // Only "COMn" names port n; any other text names port 0, which no device answers to.
    port_.portNumber = text::ComPortNumber(portText.toStdString());
    port_.baudRate = text::DecimalValue(baudText.toStdString());
    port_.portPath = text::IsDevicePath(portText.toStdString()) ? portText : QString();
}

void Link::Connect() {
    session_.Connect(portText_);
}

void Link::Disconnect() {
    session_.Disconnect();
}

void Link::RestartTicks() {
    session_.ViewUpdate();
}

}  // namespace ctrl

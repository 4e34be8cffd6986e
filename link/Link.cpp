#include "link/Link.h"

#include "registers/RegisterFile.h"

namespace ctrl {

namespace {

std::int32_t DecimalValue(const QString& text) {
    return registers::RegisterValue(text.toStdString());
}

}  // namespace

Link::Link(ControllerSession::Reporter report, QObject* parent)
    : QObject(parent), session_(port_, std::move(report), [this](bool connected) {
          emit ConnectedChanged(connected);
      }) {}

Link::~Link() = default;

void Link::Configure(const QString& portText, const QString& baudText) {
    portText_ = portText;
    baudText_ = baudText;
    port_.portNumber = DecimalValue(portText.mid(3));
    port_.baudRate = DecimalValue(baudText);
    port_.portPath = portText.startsWith(u'/') ? portText : QString();
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

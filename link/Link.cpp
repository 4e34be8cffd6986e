#include "link/Link.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTimer>

#include "common/DecimalValue.h"
#include "common/PortName.h"
#include "common/QtMessages.h"

namespace ctrl {

Link::Link(ControllerSession::Reporter report, QObject* parent)
    : QObject(parent),
      report_(std::move(report)),
      virtualTool_(VirtualControllerProcess::ToolBesideProgram()),
      virtualStore_(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)),
      session_(
          port_,
          // A failed connect or a given-up handshake reports; the state shown must change first.
          [this](const QString& text) {
              emit StateChanged();
              Report(text);
          },
          [this](bool connected) {
              emit ConnectedChanged(connected);
              emit StateChanged();
          }) {
    session_.onLineLost = [this] { LineLost(); };
}

Link::LineState Link::State() const {
    if (session_.connected)
        return LineState::Connected;
    if (port_.sessionState == LINK_HANDSHAKE)
        return LineState::Connecting;
    return port_.IsOpen() && port_.sessionState == LINK_READY ? LineState::ReconnectNeeded
                                                              : LineState::Disconnected;
}

QString Link::PortShown() const {
    return UsesVirtualController() ? msg::QText(msg::Id::VirtualControllerPort) : portText_;
}

Link::~Link() = default;

void Link::Configure(const QString& portText, const QString& baudText) {
    // Other settings make the lost device's return no longer the user's concern.
    EndReturnWatch();
    portText_ = portText;
    baudText_ = baudText;
    // Only "COMn" names port n; any other text names port 0, which no device answers to.
    port_.portNumber = text::ComPortNumber(portText.toStdString());
    port_.baudRate = text::DecimalValue(baudText.toStdString());
    port_.portPath = text::IsDevicePath(portText.toStdString()) ? portText : QString();
    if (UsesVirtualController())
        port_.portPath = virtual_.DevicePath();
    else
        virtual_.Stop();
    emit StateChanged();
}

void Link::Report(const QString& text) {
    emit Failing(text);
    report_(text);
}

void Link::SetVirtualControllerPlace(const QString& tool, const QString& storeFolder) {
    virtualTool_ = tool;
    virtualStore_ = storeFolder;
}

bool Link::StartVirtualController() {
    if (!UsesVirtualController())
        return false;
    const QString before = virtual_.DevicePath();
    if (!virtual_.Start(virtualTool_, virtualStore_)) {
        emit StateChanged();
        Report(virtual_.Error());
        return false;
    }
    // A controller started again has a new device; the old one is gone.
    if (virtual_.DevicePath() != before && port_.IsOpen())
        session_.Disconnect();
    port_.portPath = virtual_.DevicePath();
    emit StateChanged();
    return true;
}

void Link::Connect() {
    if (UsesVirtualController() && !StartVirtualController())
        return;
    EndReturnWatch();
    emit ConnectStarting();
    session_.Connect(UsesVirtualController() ? port_.ConfiguredName() : portText_);
    // A USB device is known by its identity too: after a loss it may come back under a new name.
    hasIdentity_ = false;
    if (port_.IsOpen()) {
        const QString path = port_.ConfiguredName();
        for (const PortEntry& entry : ListPorts()) {
            if (entry.hasUsbIds && (entry.path == path || entry.target == path)) {
                identity_ = {entry.vendorId, entry.productId, entry.serialNumber};
                hasIdentity_ = true;
                break;
            }
        }
    }
    emit StateChanged();
}

void Link::LineLost() {
    lostPath_ = port_.ConfiguredName();
    lostPathGone_ = false;
    returnedPath_.clear();
    if (!returnWatch_) {
        returnWatch_ = std::make_unique<QTimer>();
        returnWatch_->setInterval(kReturnWatchMs);
        returnWatch_->callOnTimeout([this] { LookForLostDevice(); });
    }
    returnWatch_->start();
}

// The old path counts once it has been seen gone: a device that never left is no return.
void Link::LookForLostDevice() {
    if (lostPath_.isEmpty() || ReconnectOffered())
        return;
    QString back;
    if (QFileInfo::exists(lostPath_)) {
        if (lostPathGone_)
            back = lostPath_;
    } else {
        lostPathGone_ = true;
    }
    if (back.isEmpty() && hasIdentity_)
        back = FindByIdentity(ListPorts(), identity_);
    if (back.isEmpty())
        return;
    returnedPath_ = back;
    if (returnWatch_)
        returnWatch_->stop();
    emit ReconnectOfferChanged(true);
}

void Link::Reconnect() {
    if (!ReconnectOffered())
        return;
    const QString path = returnedPath_;
    if (path != port_.ConfiguredName())
        Configure(path, baudText_);
    Connect();
}

void Link::EndReturnWatch() {
    if (returnWatch_)
        returnWatch_->stop();
    lostPath_.clear();
    const bool offered = ReconnectOffered();
    returnedPath_.clear();
    if (offered)
        emit ReconnectOfferChanged(false);
}

void Link::Disconnect() {
    EndReturnWatch();
    session_.Disconnect();
    emit StateChanged();
}

bool Link::RestartTicks() {
    const bool wasConnected = session_.connected;
    session_.ViewUpdate();
    return wasConnected;
}

}  // namespace ctrl

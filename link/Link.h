#pragma once

#include <memory>

#include <QObject>
#include <QString>

#include "link/ControllerSession.h"
#include "link/PortList.h"
#include "link/SerialPort.h"
#include "link/VirtualControllerProcess.h"

class QTimer;

namespace ctrl {

// The one line to the controller: the serial port, the settings the user chose for it and the
// session on it. The settings dialog edits it, the downloads borrow its port.
class Link : public QObject {
    Q_OBJECT

public:
    explicit Link(ControllerSession::Reporter report, QObject* parent = nullptr);
    ~Link() override;

    CSerialPort& Port() { return port_; }
    const CSerialPort& Port() const { return port_; }
    // The port text that stands for the virtual controller, in the profile as in PortText().
    static inline const QString kVirtualPort = QStringLiteral("virtual");

    // The texts as the user chose them; the port text also names the port in messages.
    const QString& PortText() const { return portText_; }
    // The port as the panes show it: the virtual controller by its name, any other as typed.
    QString PortShown() const;
    bool UsesVirtualController() const { return portText_ == kVirtualPort; }
    const QString& BaudText() const { return baudText_; }
    // "COM3" names port 3 and any other text that is no "COMn" port 0, which no device answers
    // to; a path names the device itself.
    void Configure(const QString& portText, const QString& baudText);
    // Downloads send each next frame on the answer instead of the next tick ("快速传输").
    bool FastTransfer() const { return fastTransfer_; }
    void SetFastTransfer(bool fast) { fastTransfer_ = fast; }

    // Starts the virtual controller chosen as the port, unless it runs, and points the port at
    // its device; false (the user told why) when it could not start.
    bool StartVirtualController();
    // Where the virtual controller's program is and where it stores what it receives.
    void SetVirtualControllerPlace(const QString& tool, const QString& storeFolder);
    const VirtualControllerProcess& VirtualController() const { return virtual_; }

    void Connect();
    void Disconnect();
    // A new or opened document: the tick starts again and the handshake is forgotten. True when
    // that ended a session.
    bool RestartTicks();
    // One tick of the session's 500 ms timer, for a caller that keeps time itself.
    void TickSession() { session_.Tick(); }
    bool IsConnected() const { return session_.connected; }
    bool IsEnabled(LinkCommand command) const { return session_.IsEnabled(command); }

    // ReconnectNeeded: the port is still open but a new document ended the session.
    enum class LineState { Disconnected, Connecting, Connected, ReconnectNeeded };
    LineState State() const;

    // After a lost line the same device is back (its path, or its USB identity under a new name):
    // one call connects to it again.
    bool ReconnectOffered() const { return !returnedPath_.isEmpty(); }
    void Reconnect();
    // Looks once for the lost device; the watch timer calls it every kReturnWatchMs.
    void LookForLostDevice();
    static constexpr int kReturnWatchMs = 1000;

signals:
    // A connect begins: nothing has been sent yet.
    void ConnectStarting();
    void ConnectedChanged(bool connected);
    // The settings or the state changed: what the status bar shows of the line.
    void StateChanged();
    // The reconnect offer came or went.
    void ReconnectOfferChanged(bool offered);
    // A failure of the line is about to be shown to the user: a port that did not open, a
    // handshake given up, a lost line, a virtual controller that did not start.
    void Failing(const QString& text);

private:
    void Report(const QString& text);
    void LineLost();
    void EndReturnWatch();

    ControllerSession::Reporter report_;
    CSerialPort port_;
    VirtualControllerProcess virtual_;
    QString virtualTool_;
    QString virtualStore_;
    QString portText_ = QStringLiteral("COM1");
    QString baudText_ = QStringLiteral("4800");
    bool fastTransfer_ = false;
    ControllerSession session_;
    // The device of the session, remembered while connected so that it is known after a loss.
    UsbIdentity identity_;
    bool hasIdentity_ = false;
    // While lost: the path it had, whether that path has been gone, and where it came back.
    QString lostPath_;
    bool lostPathGone_ = false;
    QString returnedPath_;
    std::unique_ptr<QTimer> returnWatch_;
};

}  // namespace ctrl

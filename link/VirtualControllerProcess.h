#pragma once

#include <memory>

#include <QString>
#include <QStringList>

class QProcess;

namespace ctrl {

// `tarvex emulate --store FOLDER` as a child of this program, so the serial settings can offer a
// controller without hardware. It ends with this object, and with this program where the system
// allows (a child left behind would hold the pseudo-terminal).
class VirtualControllerProcess {
public:
    // The device path comes as the first line; a start that takes longer has failed.
    static constexpr int kStartWaitMs = 5000;
    static constexpr int kStopWaitMs = 2000;

    VirtualControllerProcess();
    ~VirtualControllerProcess();
    VirtualControllerProcess(const VirtualControllerProcess&) = delete;
    VirtualControllerProcess& operator=(const VirtualControllerProcess&) = delete;

    // Pseudo-terminals exist here, so there can be a virtual controller.
    static bool Available();
    // `tarvex` beside this program's own executable.
    static QString ToolBesideProgram();

    // Starts the controller unless it runs; true once its device path is known. Otherwise
    // Error() says why.
    bool Start(const QString& tool, const QString& storeFolder);
    // `tarvex emulate --replay TRACE`: the controller of a kept wire trace, answering as it did.
    bool StartReplay(const QString& tool, const QString& tracePath);
    void Stop();
    bool IsRunning() const;
    const QString& DevicePath() const { return devicePath_; }
    const QString& Error() const { return error_; }

private:
    bool Launch(const QString& tool, const QStringList& arguments);

    std::unique_ptr<QProcess> process_;
    QString devicePath_;
    QString error_;
};

}  // namespace ctrl

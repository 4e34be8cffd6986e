#pragma once
// A serial port already in session with the virtual controller on a pty, and one transfer run
// to its end with the real timer; shared by the link benchmarks.
#include <chrono>
#include <string>
#include <thread>

#include <QCoreApplication>
#include <QEventLoop>

#include "emulator/PtyServer.h"
#include "link/SerialPort.h"
#include "link/TimedTransfer.h"

namespace bench {

class QuietWindows : public ctrl::TransferListener {
public:
    void ProgressMoved(int) override {}
    void WindowsClosed() override { closed = true; }
    void Report(const QString&) override {}
    bool closed = false;
};

class EmulatedLine {
public:
    EmulatedLine() : server(controller) {
        if (!server.Open(error))
            return;
        serving = std::thread([this] { server.Serve(); });
        port.portPath = QString::fromStdString(server.DevicePath());
        port.baudRate = 19200;
        port.OpenConfigured();
        port.sessionState = ctrl::LINK_READY;
    }
    ~EmulatedLine() {
        port.Close();
        server.RequestStop();
        if (serving.joinable())
            serving.join();
    }
    bool Ready() const { return error.empty(); }

    struct Run {
        double wallSeconds = 0;
        bool finished = false;
    };
    Run Transfer(const ctrl::TransferProfile& profile, ctrl::DownloadSource& source) {
        QuietWindows windows;
        ctrl::TimedTransfer transfer(port, profile, source, windows);
        const auto start = std::chrono::steady_clock::now();
        transfer.Start();
        while (!windows.closed)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        Run run;
        run.wallSeconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        run.finished = transfer.Engine().Outcome() == ctrl::TransferOutcome::Finished;
        return run;
    }

    emu::VirtualController controller;
    emu::PtyServer server;
    CSerialPort port;
    std::string error;

private:
    std::thread serving;
};

}  // namespace bench

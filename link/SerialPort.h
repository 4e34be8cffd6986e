#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include <QString>

#include "link/SerialLink.h"

class QSerialPort;

// The serial port that carries all controller traffic: 8 data bits, odd parity, one byte per
// write with a bounded wait, and reads that only ever ask for bytes already waiting.
class CSerialPort : public ctrl::SerialLink {
public:
    static constexpr int kQueueBytes = 10000;
    static constexpr int kWriteWaitMs = 1000;

    CSerialPort();
    ~CSerialPort() override;
    CSerialPort(const CSerialPort&) = delete;
    CSerialPort& operator=(const CSerialPort&) = delete;

    std::int32_t baudRate = 4800;
    std::int32_t portNumber = 1;
    // A device path ("/dev/ttyUSB0", a pseudo-terminal) used instead of the port number when set.
    QString portPath;

    // The device that port `portNumber` names on this platform: "COMn" on Windows, the n-th
    // standard serial device (/dev/ttyS(n-1)) elsewhere.
    static QString DeviceName(std::int32_t portNumber);
    // The port as configured: its path, or the device its number names.
    QString ConfiguredName() const {
        return portPath.isEmpty() ? DeviceName(portNumber) : portPath;
    }

    // Does nothing and reports success while the port is open: new settings wait for Close.
    bool Open(std::int32_t portNumber, std::int32_t baudRate);
    bool Close() override;
    bool PutByte(std::uint8_t byte);
    int Send(const std::uint8_t* bytes, int count) override;
    int QueuedBytes() override;
    int Receive(std::uint8_t* buffer, int limit) override;
    bool OpenConfigured() override { return Open(portNumber, baudRate); }
    ctrl::OpenFailure LastOpenFailure() const override { return openFailure; }

    bool IsOpen() const { return isOpen; }

    // Sees every byte written (`sent`) and read, for the wire trace; unset by default.
    std::function<void(bool sent, const std::uint8_t* bytes, int count)> tap;

private:
    // The Qt port, made on the first open, with the hooks for a lost line and arriving bytes.
    void MakeSerial();
    void PullWaitingBytes();
    void WriteStraight(char c);
    void CloseIfLineLost();
    static ctrl::OpenFailure ExplainFailure(const QString& deviceName, int openErrno, int qtError);

    struct PreviousLine;
    std::unique_ptr<PreviousLine> previousLine;  // the settings to put back on close
    std::unique_ptr<QSerialPort> serial;         // kept for the object's life, opened and closed
    QSerialPort* device = nullptr;               // the open device; null when closed
    bool isOpen = false;
    bool lineLost = false;
    ctrl::OpenFailure openFailure;
};

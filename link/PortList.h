#pragma once

#include <QList>
#include <QString>

namespace ctrl {

// One serial port as the system reports it. Ids are 0 when the port is not a USB device.
struct PortEntry {
    QString path;    // the device to open: /dev/ttyUSB0, a /dev/serial/by-id link, COM3
    QString target;  // for a by-id link, the device it resolves to
    QString description;
    QString manufacturer;
    quint16 vendorId = 0;
    quint16 productId = 0;
    bool hasUsbIds = false;
    QString serialNumber;
};

// A USB device named by identity, so that it is found again after it comes back under another name.
struct UsbIdentity {
    quint16 vendorId = 0;
    quint16 productId = 0;
    QString serialNumber;  // empty matches any serial number
};

// The ports present now, plus the /dev/serial/by-id links on Linux (with the details of the
// device each one resolves to), ordered by path.
QList<PortEntry> ListPorts();

// False when the system knows no hardware behind the device (a pseudo-terminal), so that asking
// for its USB identity can be skipped: listing every port costs a third of a second of CPU.
bool MayHaveUsbIdentity(const QString& device);

// "/dev/ttyUSB0 — FT232R USB UART (FTDI 0403:6001 A1B2C3)"; the path alone when nothing more is
// known.
QString PortLabel(const PortEntry& entry);

// "usb:VID:PID[:SERIAL]" with hexadecimal ids; false for any other text.
bool ParseUsbPortName(const QString& text, UsbIdentity& identity);

// The path of the port with that identity, preferring the device itself over a by-id link; empty
// when none or more than one device matches.
QString FindByIdentity(const QList<PortEntry>& ports, const UsbIdentity& identity);

}  // namespace ctrl

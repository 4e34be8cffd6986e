#include <gtest/gtest.h>

#include "common/PortName.h"
#include "link/PortList.h"

namespace {

using ctrl::PortEntry;

PortEntry Usb(const char* path, quint16 vid, quint16 pid, const char* serial,
              const char* target = "") {
    PortEntry p;
    p.path = QString::fromUtf8(path);
    p.target = QString::fromUtf8(target);
    p.vendorId = vid;
    p.productId = pid;
    p.hasUsbIds = true;
    p.serialNumber = QString::fromUtf8(serial);
    return p;
}

TEST(PortLabel, NamesWhatIsKnown) {
    PortEntry ftdi = Usb("/dev/ttyUSB0", 0x0403, 0x6001, "A1B2C3");
    ftdi.description = "FT232R USB UART";
    ftdi.manufacturer = "FTDI";
    PortEntry bare;
    bare.path = "/dev/pts/3";
    PortEntry noDesc = Usb("/dev/ttyACM0", 0x1a86, 0x7523, "");
    PortEntry link = ftdi;
    link.path = "/dev/serial/by-id/usb-FTDI_A1B2C3-if00-port0";
    link.target = "/dev/ttyUSB0";
    const struct {
        PortEntry entry;
        const char* label;
    } rows[] = {
        {ftdi, "/dev/ttyUSB0 — FT232R USB UART (FTDI 0403:6001 A1B2C3)"},
        {bare, "/dev/pts/3"},
        {noDesc, "/dev/ttyACM0 — (1a86:7523)"},
        {link,
         "/dev/serial/by-id/usb-FTDI_A1B2C3-if00-port0 → /dev/ttyUSB0 — FT232R USB UART "
         "(FTDI 0403:6001 A1B2C3)"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ctrl::PortLabel(row.entry), QString::fromUtf8(row.label));
}

TEST(UsbPortName, ParsesHexIdsAndOptionalSerial) {
    const struct {
        const char* text;
        bool ok;
        quint16 vid, pid;
        const char* serial;
    } rows[] = {
        {"usb:0403:6001", true, 0x0403, 0x6001, ""},
        {"usb:10C4:ea60:0001", true, 0x10c4, 0xea60, "0001"},
        {"usb:403:6001", true, 0x0403, 0x6001, ""},
        {"usb:0403", false, 0, 0, ""},
        {"usb:0403:6001:", false, 0, 0, ""},
        {"usb:10000:6001", false, 0, 0, ""},
        {"usb:xyz:6001", false, 0, 0, ""},
        {"USB:0403:6001", false, 0, 0, ""},
        {"/dev/ttyUSB0", false, 0, 0, ""},
        {"usb:0403:6001:a:b", false, 0, 0, ""},
    };
    for (const auto& row : rows) {
        ctrl::UsbIdentity id;
        ASSERT_EQ(ctrl::ParseUsbPortName(QString::fromUtf8(row.text), id), row.ok) << row.text;
        if (!row.ok)
            continue;
        EXPECT_EQ(id.vendorId, row.vid) << row.text;
        EXPECT_EQ(id.productId, row.pid) << row.text;
        EXPECT_EQ(id.serialNumber, QString::fromUtf8(row.serial)) << row.text;
    }
}

TEST(UsbIdentity, FindsTheDeviceUnderItsCurrentName) {
    // Two FTDI adapters and a CH340; the first FTDI came back as ttyUSB2 after a re-plug.
    const QList<PortEntry> ports = {
        Usb("/dev/serial/by-id/usb-FTDI_A1-if00", 0x0403, 0x6001, "A1", "/dev/ttyUSB2"),
        Usb("/dev/ttyUSB1", 0x0403, 0x6001, "B2"),
        Usb("/dev/ttyUSB2", 0x0403, 0x6001, "A1"),
        Usb("/dev/ttyUSB3", 0x1a86, 0x7523, ""),
    };
    const struct {
        ctrl::UsbIdentity id;
        const char* path;
    } rows[] = {
        {{0x0403, 0x6001, "A1"}, "/dev/ttyUSB2"},
        {{0x0403, 0x6001, "B2"}, "/dev/ttyUSB1"},
        {{0x0403, 0x6001, ""}, ""},  // two adapters match: refuse to guess
        {{0x1a86, 0x7523, ""}, "/dev/ttyUSB3"},
        {{0x0403, 0x6001, "C3"}, ""},
        {{0x067b, 0x2303, ""}, ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ctrl::FindByIdentity(ports, row.id), QString::fromUtf8(row.path)) << row.path;
}

// What the list offers must open: on Windows the COM name, which the port reader takes.
TEST(PortList, OffersNamesThePortReaderTakes) {
    const QList<PortEntry> ports = ctrl::ListPorts();
    if (ports.isEmpty())
        GTEST_SKIP() << "this system has no serial port";
    for (const PortEntry& p : ports) {
        EXPECT_TRUE(text::NamesPort(p.path.toStdString())) << p.path.toStdString();
#ifdef Q_OS_WIN
        EXPECT_TRUE(p.path.startsWith(QLatin1String("COM"))) << p.path.toStdString();
#endif
    }
}

}  // namespace

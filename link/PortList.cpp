#include "link/PortList.h"

#include <algorithm>

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <QStringList>

namespace ctrl {

namespace {

PortEntry FromInfo(const QSerialPortInfo& info) {
    PortEntry entry;
#ifdef Q_OS_WIN
    // "COM3", as Windows users name a port and as the port reader takes it, not the device path
    // \\.\COM3.
    entry.path = info.portName();
#else
    entry.path = info.systemLocation();
#endif
    entry.description = info.description();
    entry.manufacturer = info.manufacturer();
    entry.hasUsbIds = info.hasVendorIdentifier() && info.hasProductIdentifier();
    if (entry.hasUsbIds) {
        entry.vendorId = info.vendorIdentifier();
        entry.productId = info.productIdentifier();
    }
    entry.serialNumber = info.serialNumber();
    return entry;
}

QString Hex4(quint16 id) {
    return QStringLiteral("%1").arg(id, 4, 16, QLatin1Char('0'));
}

}  // namespace

QList<PortEntry> ListPorts() {
    QList<PortEntry> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        ports << FromInfo(info);
#ifdef Q_OS_LINUX
    // Stable names that survive a re-plug; each takes the details of the device it points at.
    const QDir byId(QStringLiteral("/dev/serial/by-id"));
    for (const QFileInfo& link :
         byId.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot)) {
        const QString target = link.canonicalFilePath();
        if (target.isEmpty())
            continue;
        auto device = std::find_if(ports.cbegin(), ports.cend(),
                                   [&](const PortEntry& p) { return p.path == target; });
        PortEntry entry = device != ports.cend() ? *device : PortEntry{};
        entry.path = link.absoluteFilePath();
        entry.target = target;
        ports << entry;
    }
#endif
    std::sort(ports.begin(), ports.end(),
              [](const PortEntry& a, const PortEntry& b) { return a.path < b.path; });
    return ports;
}

bool MayHaveUsbIdentity(const QString& device) {
#ifdef Q_OS_LINUX
    // Every tty with a device behind it has /sys/class/tty/NAME/device; pseudo-terminals have none.
    const QString name = QFileInfo(QFileInfo(device).canonicalFilePath()).fileName();
    return name.isEmpty() ||
           QFileInfo::exists(QStringLiteral("/sys/class/tty/%1/device").arg(name));
#else
    Q_UNUSED(device);
    return true;
#endif
}

QString PortLabel(const PortEntry& entry) {
    QStringList usb;
    if (!entry.manufacturer.isEmpty())
        usb << entry.manufacturer;
    if (entry.hasUsbIds)
        usb << Hex4(entry.vendorId) + QLatin1Char(':') + Hex4(entry.productId);
    if (!entry.serialNumber.isEmpty())
        usb << entry.serialNumber;
    QString label = entry.path;
    if (!entry.target.isEmpty())
        label += QStringLiteral(" → ") + entry.target;
    if (!entry.description.isEmpty())
        label += QStringLiteral(" — ") + entry.description;
    if (!usb.isEmpty())
        label += (entry.description.isEmpty() ? QStringLiteral(" — (") : QStringLiteral(" (")) +
                 usb.join(QLatin1Char(' ')) + QLatin1Char(')');
    return label;
}

bool ParseUsbPortName(const QString& text, UsbIdentity& identity) {
    const QStringList parts = text.split(QLatin1Char(':'));
    if (parts.size() < 3 || parts.size() > 4 || parts[0] != QLatin1String("usb"))
        return false;
    UsbIdentity parsed;
    for (int i = 1; i <= 2; ++i) {
        bool ok = false;
        const uint id = parts[i].toUInt(&ok, 16);
        if (!ok || parts[i].size() > 4 || id > 0xffff || parts[i].startsWith(QLatin1Char('+')))
            return false;
        (i == 1 ? parsed.vendorId : parsed.productId) = static_cast<quint16>(id);
    }
    if (parts.size() == 4) {
        if (parts[3].isEmpty())
            return false;
        parsed.serialNumber = parts[3];
    }
    identity = parsed;
    return true;
}

QString FindByIdentity(const QList<PortEntry>& ports, const UsbIdentity& identity) {
    QString found;
    for (const PortEntry& p : ports) {
        // by-id links are a second name for a device already counted.
        if (!p.target.isEmpty() || !p.hasUsbIds)
            continue;
        if (p.vendorId != identity.vendorId || p.productId != identity.productId)
            continue;
        if (!identity.serialNumber.isEmpty() && p.serialNumber != identity.serialNumber)
            continue;
        if (!found.isEmpty())
            return {};  // ambiguous: opening either could hit the wrong controller
        found = p.path;
    }
    return found;
}

}  // namespace ctrl

#include "link/SerialPort.h"

#include <algorithm>
#include <cerrno>

#include <QMetaObject>
#include <QSerialPort>

#include "common/PortName.h"

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <QFile>
#endif

#ifdef Q_OS_UNIX
// Qt writes every line setting when it opens a device. To leave stop bits and flow control as the
// port has them, they are read first through a descriptor held from before Qt's open until after
// its close, so the device is never closed in between (a last close could drop the modem lines)
// and the settings it had can be put back once Qt is done with it.
class CSerialPort::PreviousLine {
public:
    explicit PreviousLine(const QString& path)
        : fd(::open(QFile::encodeName(path).constData(),
                    O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)),
          openErrno(fd < 0 ? errno : 0) {
        known = fd >= 0 && ::tcgetattr(fd, &tio) == 0;
    }
    ~PreviousLine() {
        if (fd >= 0)
            ::close(fd);
    }
    PreviousLine(const PreviousLine&) = delete;
    PreviousLine& operator=(const PreviousLine&) = delete;

    void ApplyTo(QSerialPort& port) const {
        if (!known)
            return;
        port.setStopBits((tio.c_cflag & CSTOPB) != 0 ? QSerialPort::TwoStop : QSerialPort::OneStop);
        if ((tio.c_cflag & CRTSCTS) != 0) {
            port.setFlowControl(QSerialPort::HardwareControl);
        } else if ((tio.c_iflag & (IXON | IXOFF)) != 0) {
            port.setFlowControl(QSerialPort::SoftwareControl);
        } else {
            port.setFlowControl(QSerialPort::NoFlowControl);
        }
    }

    void Restore() const {
        if (known)
            (void)::tcsetattr(fd, TCSANOW, &tio);
    }

    // A process killed while it held the port leaves its settings behind (a pty keeps PARODD,
    // IGNPAR and CLOCAL but drops PARENB), and Qt's open then fails reading back its own. So
    // every line flag is set from raw, for Qt to set those it relies on.
    bool StartClean() const {
        if (!known)
            return false;
        termios clean = tio;
        ::cfmakeraw(&clean);
        clean.c_iflag &= ~tcflag_t(IGNPAR | INPCK | PARMRK | IXON | IXOFF | IXANY);
        clean.c_cflag &= ~tcflag_t(PARENB | PARODD | CLOCAL | CRTSCTS | CSTOPB);
#ifdef CMSPAR
        clean.c_cflag &= ~tcflag_t(CMSPAR);
#endif
        clean.c_cflag |= CREAD;
        clean.c_cc[VMIN] = 0;
        clean.c_cc[VTIME] = 0;
        return ::tcsetattr(fd, TCSANOW, &clean) == 0;
    }

    int fd;
    int openErrno;  // why the device would not open for us; 0 when it did
    bool known = false;
    termios tio{};
};
#else
// Elsewhere the port starts from one stop bit and no flow control.
class CSerialPort::PreviousLine {
public:
    explicit PreviousLine(const QString&) {}
    void ApplyTo(QSerialPort&) const {}
    void Restore() const {}
    bool StartClean() const { return false; }
    int openErrno = 0;
};
#endif

CSerialPort::CSerialPort() = default;

CSerialPort::~CSerialPort() {
    Close();
}

QString CSerialPort::DeviceName(std::int32_t portNumber) {
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(portNumber);
#else
    return QStringLiteral("/dev/ttyS%1").arg(portNumber - 1);
#endif
}

void CSerialPort::MakeSerial() {
    serial = std::make_unique<QSerialPort>();
    // A vanished device (adapter pulled, pty closed) makes Qt repeat the error forever while
    // the port stays open; closing ends that. The close is deferred out of Qt's own call.
    QObject::connect(
        serial.get(), &QSerialPort::errorOccurred, serial.get(),
        [this](QSerialPort::SerialPortError error) {
            if (error != QSerialPort::ReadError && error != QSerialPort::ResourceError) {
                return;
            }
            if (!isOpen || lineLost)
                return;
            lineLost = true;
            QMetaObject::invokeMethod(
                serial.get(), [this] { CloseIfLineLost(); }, Qt::QueuedConnection);
        });
    // A copy: the call may end the transfer, which unsets the hook.
    QObject::connect(serial.get(), &QSerialPort::readyRead, serial.get(), [this] {
        if (const std::function<void()> arrived = onArrival)
            arrived();
    });
}

bool CSerialPort::Open(std::int32_t number, std::int32_t baud) {
    if (isOpen)
        return true;
    if (!serial)
        MakeSerial();
    const QString deviceName =
        text::IsDevicePath(portPath.toStdString()) ? portPath : DeviceName(number);
    serial->setPortName(deviceName);
    serial->setReadBufferSize(kQueueBytes);
    previousLine = std::make_unique<PreviousLine>(deviceName);
    previousLine->ApplyTo(*serial);
    QSerialPort::SerialPortError failure = QSerialPort::NoError;
    const auto openDevice = [&] {
        const bool opened = serial->setBaudRate(baud) && serial->setDataBits(QSerialPort::Data8) &&
                            serial->setParity(QSerialPort::OddParity) &&
                            serial->open(QIODevice::ReadWrite);
        if (!opened) {
            failure = serial->error();
            serial->close();
            serial->clearError();
        }
        return opened;
    };
    // Settings are reset only when Qt could not take the port as it was: a missing port or one
    // that another process holds (Qt's lock) is never touched.
    bool opened = openDevice();
    if (!opened && failure != QSerialPort::PermissionError &&
        failure != QSerialPort::DeviceNotFoundError && previousLine->StartClean()) {
        opened = openDevice();
        if (!opened)
            previousLine->Restore();
    }
    if (!opened) {
        openFailure = ExplainFailure(deviceName, previousLine->openErrno, failure);
        previousLine.reset();
        return false;
    }
    device = serial.get();
    lineLost = false;
    lost = false;
    openFailure = {};
    isOpen = true;
    return true;
}

bool CSerialPort::Close() {
    if (!isOpen || !device)
        return true;
    device->close();
    if (previousLine)
        previousLine->Restore();
    previousLine.reset();
    device->clearError();
    device = nullptr;
    isOpen = false;
    lineLost = false;
    return true;
}

// The device is gone: the port closes now, so nothing more goes out, and the owner hears of it
// once the current send or read has returned.
void CSerialPort::CloseIfLineLost() {
    if (!lineLost)
        return;
    Close();
    lost = true;
    QMetaObject::invokeMethod(
        serial.get(),
        [this] {
            if (lost && onLost)
                onLost();
        },
        Qt::QueuedConnection);
}

// Our own open of the device tells permission, busy and missing apart; when it opened for us but
// not for Qt, another program holds Qt's lock on it.
ctrl::OpenFailure CSerialPort::ExplainFailure(const QString& deviceName, int openErrno,
                                              int qtError) {
    ctrl::OpenFailure why;
    why.device = deviceName;
    if (openErrno != 0) {
        why.reason = ctrl::ReasonFromErrno(openErrno);
    } else if (qtError == QSerialPort::PermissionError) {
        why.reason = ctrl::OpenFailureReason::Busy;
    } else if (qtError == QSerialPort::DeviceNotFoundError) {
        why.reason = ctrl::OpenFailureReason::NotFound;
    }
    if (why.reason == ctrl::OpenFailureReason::Permission)
        why.group = ctrl::OwningGroup(deviceName);
    return why;
}

bool CSerialPort::PutByte(std::uint8_t byte) {
    if (!device)
        return true;
    const char c = static_cast<char>(byte);
#ifdef Q_OS_UNIX
    WriteStraight(c);
#else
    if (device->write(&c, 1) == 1)
        device->waitForBytesWritten(kWriteWaitMs);
#endif
    CloseIfLineLost();
    return true;
}

#ifdef Q_OS_UNIX
// Qt's buffered write costs a poll besides the write for every byte, most of the processor time
// of many ports at once. Nothing else writes through Qt, so its buffer is always empty here. A
// byte the device does not take now gets one more try once it may, within the same wait.
void CSerialPort::WriteStraight(char c) {
    const int fd = static_cast<int>(device->handle());
    if (::write(fd, &c, 1) == 1 || (errno != EAGAIN && errno != EINTR))
        return;
    pollfd pfd{};
    pfd.fd = fd;
    pfd.events = POLLOUT;
    if (::poll(&pfd, 1, kWriteWaitMs) > 0 && (pfd.revents & POLLOUT) != 0) [[maybe_unused]]
        ssize_t n = ::write(fd, &c, 1);
}
#endif

int CSerialPort::Send(const std::uint8_t* bytes, int count) {
    if (!isOpen || !device)
        return 0;
    for (int i = 0; i < count; ++i)
        PutByte(bytes[i]);
    if (tap)
        tap(true, bytes, count);
    return count;
}

// Qt fills its buffer from the device only when the event loop runs; a tick that asks what is
// waiting must also see bytes that arrived since, without blocking.
void CSerialPort::PullWaitingBytes() {
#ifdef Q_OS_UNIX
    pollfd pfd{};
    pfd.fd = static_cast<int>(device->handle());
    pfd.events = POLLIN;
    if (::poll(&pfd, 1, 0) > 0 && pfd.revents != 0)
        device->waitForReadyRead(0);
#endif
    CloseIfLineLost();
}

int CSerialPort::QueuedBytes() {
    if (!isOpen || !device)
        return 0;
    PullWaitingBytes();
    if (!device)
        return 0;
    // Line errors are cleared so that reception goes on; they are not reported.
    if (device->error() != QSerialPort::NoError)
        device->clearError();
    return static_cast<int>(std::min<qint64>(device->bytesAvailable(), kQueueBytes));
}

int CSerialPort::Receive(std::uint8_t* buffer, int limit) {
    if (!isOpen || !device || limit <= 0)
        return 0;
    const int waiting = QueuedBytes();
    if (waiting == 0 || !device)
        return 0;
    const qint64 got = device->read(reinterpret_cast<char*>(buffer), std::min(waiting, limit));
    if (got > 0 && tap)
        tap(false, buffer, static_cast<int>(got));
    return got > 0 ? static_cast<int>(got) : 0;
}

#include "link/VirtualControllerProcess.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

#ifdef Q_OS_LINUX
#include <signal.h>
#include <sys/prctl.h>
#endif

#include "common/QtMessages.h"

namespace ctrl {

VirtualControllerProcess::VirtualControllerProcess() = default;

VirtualControllerProcess::~VirtualControllerProcess() {
    Stop();
}

bool VirtualControllerProcess::Available() {
#ifdef Q_OS_WIN
    return false;
#else
    return true;
#endif
}

QString VirtualControllerProcess::ToolBesideProgram() {
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("tarvex"));
}

bool VirtualControllerProcess::IsRunning() const {
    return process_ && process_->state() == QProcess::Running && !devicePath_.isEmpty();
}

bool VirtualControllerProcess::Start(const QString& tool, const QString& storeFolder) {
    if (IsRunning())
        return true;
    // The controller stores into an existing folder only.
    QDir().mkpath(storeFolder);
    return Launch(tool, {QStringLiteral("emulate"), QStringLiteral("--store"), storeFolder});
}

bool VirtualControllerProcess::StartReplay(const QString& tool, const QString& tracePath) {
    return Launch(tool, {QStringLiteral("emulate"), QStringLiteral("--replay"), tracePath});
}

bool VirtualControllerProcess::Launch(const QString& tool, const QStringList& arguments) {
    Stop();
    error_.clear();
    if (!QFileInfo(tool).isExecutable()) {
        error_ = msg::QText(msg::Id::VirtualControllerNoTool, {QDir::toNativeSeparators(tool)});
        return false;
    }
    process_ = std::make_unique<QProcess>();
#ifdef Q_OS_LINUX
    process_->setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
#endif
    process_->start(tool, arguments);
    const QDeadlineTimer deadline(kStartWaitMs);
    while (!process_->canReadLine() && process_->state() != QProcess::NotRunning &&
           !deadline.hasExpired())
        process_->waitForReadyRead(static_cast<int>(deadline.remainingTime()));
    const QString path = process_->canReadLine()
                             ? QString::fromLocal8Bit(process_->readLine()).trimmed()
                             : QString();
    if (!path.startsWith(u'/')) {
        const QString said = QString::fromLocal8Bit(process_->readAllStandardError()).trimmed();
        error_ = msg::QText(msg::Id::VirtualControllerNotStarted,
                            {said.isEmpty() ? process_->errorString() : said});
        Stop();
        return false;
    }
    devicePath_ = path;
    // One line per stored transfer follows; nobody reads them, so the pipe must not fill.
    QObject::connect(process_.get(), &QProcess::readyReadStandardOutput, process_.get(),
                     [p = process_.get()] { p->readAllStandardOutput(); });
    QObject::connect(process_.get(), &QProcess::readyReadStandardError, process_.get(),
                     [p = process_.get()] { p->readAllStandardError(); });
    return true;
}

void VirtualControllerProcess::Stop() {
    devicePath_.clear();
    if (!process_)
        return;
    if (process_->state() != QProcess::NotRunning) {
        process_->terminate();
        if (!process_->waitForFinished(kStopWaitMs)) {
            process_->kill();
            process_->waitForFinished(kStopWaitMs);
        }
    }
    process_.reset();
}

}  // namespace ctrl

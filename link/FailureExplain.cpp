#include "link/FailureExplain.h"

#include <cerrno>

#include "common/QtMessages.h"

#ifdef Q_OS_UNIX
#include <grp.h>
#include <sys/stat.h>

#include <QFile>
#endif

namespace ctrl {

OpenFailureReason ReasonFromErrno(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
            return OpenFailureReason::Permission;
        case EBUSY:
            return OpenFailureReason::Busy;
        case ENOENT:
        case ENODEV:
        case ENXIO:
            return OpenFailureReason::NotFound;
        default:
            return OpenFailureReason::Unknown;
    }
}

QString OwningGroup(const QString& path) {
#ifdef Q_OS_UNIX
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    if (const group* owner = ::getgrgid(info.st_gid))
        return QString::fromLocal8Bit(owner->gr_name);
#else
    (void)path;
#endif
    return {};
}

QString ExplainOpenFailure(const QString& firstLine, const OpenFailure& failure) {
    using msg::Id;
    switch (failure.reason) {
        case OpenFailureReason::Permission:
            if (failure.group.isEmpty())
                return msg::QText(Id::OpenFailedPermissionNoGroup, {firstLine, failure.device});
            return msg::QText(Id::OpenFailedPermission, {firstLine, failure.device, failure.group});
        case OpenFailureReason::Busy:
            return msg::QText(Id::OpenFailedBusy, {firstLine, failure.device});
        case OpenFailureReason::NotFound:
            return msg::QText(Id::OpenFailedNotFound, {firstLine, failure.device});
        case OpenFailureReason::Unknown:
            break;
    }
    return firstLine;
}

namespace {

// The most telling cause first: a line that never answered, one that asked again and again, one
// that spoke at the wrong rate, and last one that went quiet.
msg::Id LikelyCause(const TransferCounters& c) {
    if (c.silentMs < 0)
        return msg::Id::CauseNoByte;
    if (c.resendRequests >= kManyResendRequests)
        return msg::Id::CauseManyResends;
    if (c.unmatchedBytes > 0)
        return msg::Id::CauseUnmatchedBytes;
    return msg::Id::CauseStoppedAnswering;
}

}  // namespace

QString ExplainAbandon(const QString& firstLine, const TransferCounters& c) {
    const QString silence =
        c.silentMs < 0
            ? msg::QText(msg::Id::AbandonNeverAnswered)
            : msg::QText(msg::Id::AbandonSilentFor,
                         {QString::number(static_cast<double>(c.silentMs) / 1000.0, 'f', 1)});
    return msg::QText(msg::Id::AbandonExplained,
                      {firstLine, QString::number(c.answers), QString::number(c.resendRequests),
                       QString::number(c.timedResends), QString::number(c.unmatchedBytes), silence,
                       msg::QText(LikelyCause(c))});
}

}  // namespace ctrl

#pragma once

#include <QString>

namespace ctrl {

// Why a port did not open, as far as the system tells.
enum class OpenFailureReason { Unknown, Permission, Busy, NotFound };

struct OpenFailure {
    OpenFailureReason reason = OpenFailureReason::Unknown;
    QString device;  // the path that was opened
    QString group;   // the group owning the device; empty when unknown
};

// The reason an open(2) of the device gave; Unknown for anything else.
OpenFailureReason ReasonFromErrno(int error);
// The name of the group owning `path`; empty when it cannot be read.
QString OwningGroup(const QString& path);
// `firstLine` unchanged, then why and what to do; `firstLine` alone when the reason is unknown.
QString ExplainOpenFailure(const QString& firstLine, const OpenFailure& failure);

// What a transfer engine saw on the line up to the moment it gave up.
struct TransferCounters {
    int answers = 0;         // answer bytes that meant something in their phase
    int resendRequests = 0;  // of those, the controller's requests to resend
    int timedResends = 0;    // frames resent because no answer came in time
    int unmatchedBytes = 0;  // bytes that fit no rule of the phase they came in
    int silentMs = -1;       // time since the last byte; -1 when none ever came
};

// At this many resend requests the cable or the baud rate is the likely cause.
inline constexpr int kManyResendRequests = 3;

// `firstLine` unchanged, then the counters and the likely cause.
QString ExplainAbandon(const QString& firstLine, const TransferCounters& counters);

}  // namespace ctrl

#include <gtest/gtest.h>

#include <cerrno>

#include <QStringList>

#include "link/FailureExplain.h"
#include "link/LinkMessages.h"

using ctrl::OpenFailureReason;

namespace {

QStringList Lines(const QString& text) {
    return text.split(QLatin1Char('\n'));
}

// Counters as an abandoned transfer recorded them: what the user is told they mean.
TEST(FailureExplainTest, AbandonedTransfersNameWhatTheEngineSawAndTheLikelyCause) {
    const struct {
        ctrl::TransferCounters counters;
        const char* saw;
        const char* silence;
        const char* cause;
    } rows[] = {
        {{0, 0, 2, 0, -1},
         "收到应答 0 个，重发请求 0 次，超时重发 2 次，不符合协议的字节 0 个。",
         "从未收到控制器的任何字节。",
         "可能的原因：没有收到任何字节，串口或波特率不对，或控制器未上电。"},
        {{12, 5, 1, 0, 8000},
         "收到应答 12 个，重发请求 5 次，超时重发 1 次，不符合协议的字节 0 个。",
         "最后一个字节之后已 8.0 秒无数据。",
         "可能的原因：重发请求很多，请检查电缆和波特率。"},
        // Two requests are not yet many; bytes that fit nothing point at the baud rate.
        {{3, 2, 0, 7, 1300},
         "收到应答 3 个，重发请求 2 次，超时重发 0 次，不符合协议的字节 7 个。",
         "最后一个字节之后已 1.3 秒无数据。",
         "可能的原因：收到不符合协议的字节，请检查波特率。"},
        // Only garbage came back: still a byte, so the line is not dead.
        {{0, 0, 1, 4, 500},
         "收到应答 0 个，重发请求 0 次，超时重发 1 次，不符合协议的字节 4 个。",
         "最后一个字节之后已 0.5 秒无数据。",
         "可能的原因：收到不符合协议的字节，请检查波特率。"},
        {{40, 0, 1, 0, 8000},
         "收到应答 40 个，重发请求 0 次，超时重发 1 次，不符合协议的字节 0 个。",
         "最后一个字节之后已 8.0 秒无数据。",
         "可能的原因：控制器中途停止应答，请检查电缆和控制器电源。"},
    };
    for (const auto& row : rows) {
        const QStringList lines = Lines(ctrl::ExplainAbandon(ctrl::kNoAnswerMessage, row.counters));
        ASSERT_EQ(lines.size(), 4) << row.saw;
        EXPECT_EQ(lines[0], ctrl::kNoAnswerMessage);
        EXPECT_EQ(lines[1], QString::fromUtf8(row.saw));
        EXPECT_EQ(lines[2], QString::fromUtf8(row.silence));
        EXPECT_EQ(lines[3], QString::fromUtf8(row.cause));
    }
}

TEST(FailureExplainTest, OpenErrorsMapToTheirReason) {
    const struct {
        int error;
        OpenFailureReason reason;
    } rows[] = {
        {EACCES, OpenFailureReason::Permission}, {EPERM, OpenFailureReason::Permission},
        {EBUSY, OpenFailureReason::Busy},        {ENOENT, OpenFailureReason::NotFound},
        {ENODEV, OpenFailureReason::NotFound},   {ENXIO, OpenFailureReason::NotFound},
        {EIO, OpenFailureReason::Unknown},       {0, OpenFailureReason::Unknown},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ctrl::ReasonFromErrno(row.error), row.reason) << row.error;
}

// The first line stays the connect failure as it always was; the rest says why and what to do.
TEST(FailureExplainTest, OpenFailuresSayWhyAndWhatToDo) {
    const QString first = ctrl::PortOpenFailedMessage(QStringLiteral("/dev/ttyUSB0"));
    const struct {
        ctrl::OpenFailure failure;
        QStringList after;
    } rows[] = {
        {{OpenFailureReason::Permission, "/dev/ttyUSB0", "dialout"},
         {"原因：没有使用 /dev/ttyUSB0 的权限，该设备属于 dialout 组。",
          "处理：执行 sudo usermod -aG dialout $USER，然后注销并重新登录。"}},
        {{OpenFailureReason::Permission, "/dev/ttyUSB0", ""},
         {"原因：没有使用 /dev/ttyUSB0 的权限。",
          "处理：把当前用户加入该设备所属的组，然后注销并重新登录。"}},
        {{OpenFailureReason::Busy, "/dev/ttyUSB0", ""},
         {"原因：/dev/ttyUSB0 正被其他程序占用。",
          "处理：关闭占用该串口的程序（串口终端、ModemManager 等）后重试。"}},
        {{OpenFailureReason::NotFound, "/dev/ttyUSB0", ""},
         {"原因：找不到 /dev/ttyUSB0。",
          "处理：检查串口名称和连接线，或在串口设置中重新选择串口。"}},
        {{OpenFailureReason::Unknown, "/dev/ttyUSB0", "dialout"}, {}},
    };
    for (const auto& row : rows) {
        const QStringList lines = Lines(ctrl::ExplainOpenFailure(first, row.failure));
        EXPECT_EQ(lines.first(), first);
        EXPECT_EQ(lines.mid(1), row.after);
    }
}

}  // namespace

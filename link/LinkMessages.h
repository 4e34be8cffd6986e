#pragma once

#include <QString>

namespace ctrl {

// What the user is told about the link, word for word.
inline QString PortOpenFailedMessage(const QString& portText) {
    return QStringLiteral("串口 %1 打开失败").arg(portText);
}
inline const QString kHandshakeFailedMessage = QStringLiteral("控制器连接：失败！");
inline const QString kNoAnswerMessage = QStringLiteral("控制器无应答！");

}  // namespace ctrl

#pragma once

#include <QString>

#include "common/QtMessages.h"

namespace ctrl {

// What the user is told about the link, word for word.
inline QString PortOpenFailedMessage(const QString& portText) {
    return msg::QText(msg::Id::PortOpenFailed, {portText});
}
inline const QString kHandshakeFailedMessage = msg::QText(msg::Id::HandshakeFailed);
inline const QString kNoAnswerMessage = msg::QText(msg::Id::NoAnswer);
inline QString SuspectAnswersMessage(int count) {
    return msg::QText(msg::Id::SuspectAnswers, {QString::number(count)});
}

}  // namespace ctrl

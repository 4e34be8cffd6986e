#pragma once

#include <QString>

#include "common/QtMessages.h"

namespace ctrl {

// What the user is told about the link, word for word.
inline QString PortOpenFailedMessage(const QString& portText) {
    return msg::QText(msg::Id::PortOpenFailed, {portText});
}
inline constexpr msg::QDeferred kHandshakeFailedMessage{msg::Id::HandshakeFailed};
inline constexpr msg::QDeferred kNoAnswerMessage{msg::Id::NoAnswer};
inline QString SuspectAnswersMessage(int count) {
    return msg::QText(msg::Id::SuspectAnswers, {QString::number(count)});
}

}  // namespace ctrl

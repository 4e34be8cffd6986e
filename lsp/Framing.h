#pragma once

#include <optional>

#include <QByteArray>
#include <QByteArrayView>
#include <QJsonObject>
#include <QString>

// The base protocol of a language server: "Content-Length: N" headers, an empty line, N bytes of
// JSON. QtCore only.
namespace lsp {

// Far above the largest program as JSON (1 MB of GBK is at most 3 MB of escaped UTF-8).
constexpr qint64 kMaxMessageBytes = 8 * 1024 * 1024;
// A header block longer than this is no header.
constexpr qsizetype kMaxHeaderBytes = 4096;

struct Incoming {
    enum class Kind { Message, BadHeader, TooLarge };
    Kind kind = Kind::Message;
    QByteArray body;    // Message: the JSON text
    QString detail;     // BadHeader: the offending header text
    qint64 length = 0;  // TooLarge: the announced length, which is skipped unread
};

// Cuts a byte stream into messages. A message over kMaxMessageBytes is skipped as it arrives,
// never held; a broken header is reported and reading goes on at the next "Content-Length".
class MessageReader {
public:
    void Feed(QByteArrayView bytes);
    // The next complete message or fault, if one has arrived.
    std::optional<Incoming> Next();
    // Whether part of a message is still awaited.
    bool Pending() const { return !buffer_.isEmpty() || bodyLength_ >= 0 || skipping_ > 0; }

private:
    std::optional<Incoming> ReadHeader();

    QByteArray buffer_;
    qint64 bodyLength_ = -1;  // the body now awaited, -1 while a header is
    qint64 skipping_ = 0;     // bytes of a refused message still to drop
};

// One message with its header, ready to write.
QByteArray Frame(const QJsonObject& message);

}  // namespace lsp

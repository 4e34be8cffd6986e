#include "lsp/Framing.h"

#include <algorithm>

#include <QJsonDocument>

namespace lsp {
namespace {

constexpr QByteArrayView kLengthField = "content-length";

// Where the header block ends and the body starts; CR LF pairs as the protocol says, bare LFs
// from a careless client taken too.
std::optional<std::pair<qsizetype, qsizetype>> HeaderEnd(const QByteArray& buffer) {
    const qsizetype crlf = buffer.indexOf("\r\n\r\n");
    const qsizetype lf = buffer.indexOf("\n\n");
    if (crlf >= 0 && (lf < 0 || crlf < lf))
        return std::pair{crlf, crlf + 4};
    if (lf >= 0)
        return std::pair{lf, lf + 2};
    return std::nullopt;
}

// The Content-Length of a header block, or -1 when the block is not a valid header.
qint64 ContentLength(const QByteArray& block) {
    qint64 length = -1;
    for (QByteArray line : block.split('\n')) {
        line = line.trimmed();
        if (line.isEmpty())
            continue;
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            return -1;
        const QByteArray name = line.first(colon).trimmed().toLower();
        if (name != kLengthField)
            continue;
        bool ok = false;
        length = line.sliced(colon + 1).trimmed().toLongLong(&ok);
        if (!ok || length < 0)
            return -1;
    }
    return length;
}

}  // namespace

void MessageReader::Feed(QByteArrayView bytes) {
    if (skipping_ > 0) {
        const qint64 dropped = std::min<qint64>(skipping_, bytes.size());
        skipping_ -= dropped;
        bytes = bytes.sliced(dropped);
    }
    buffer_.append(bytes);
}

std::optional<Incoming> MessageReader::Next() {
    if (skipping_ > 0)
        return std::nullopt;
    if (bodyLength_ < 0) {
        if (auto fault = ReadHeader())
            return fault;
        if (bodyLength_ < 0)
            return std::nullopt;
    }
    if (buffer_.size() < bodyLength_)
        return std::nullopt;
    Incoming in;
    in.body = buffer_.first(bodyLength_);
    buffer_.remove(0, bodyLength_);
    bodyLength_ = -1;
    return in;
}

// Takes a header off the buffer. Returns a fault to report, if any; sets bodyLength_ when a good
// header was taken.
std::optional<Incoming> MessageReader::ReadHeader() {
    const auto end = HeaderEnd(buffer_);
    if (!end) {
        if (buffer_.size() <= kMaxHeaderBytes)
            return std::nullopt;
        Incoming fault{Incoming::Kind::BadHeader, {}, QString::fromUtf8(buffer_.first(80)), 0};
        buffer_.clear();
        return fault;
    }
    const QByteArray block = buffer_.first(end->first);
    const qint64 length = ContentLength(block);
    if (length < 0) {
        // Text in front of a header (a body longer than announced): drop up to the next field.
        const qsizetype next = block.toLower().indexOf(kLengthField, 1);
        const qsizetype drop = next > 0 ? next : end->second;
        Incoming fault{
            Incoming::Kind::BadHeader,
            {},
            QString::fromUtf8(block.first(std::min<qsizetype>({drop, block.size(), 80}))),
            0};
        buffer_.remove(0, drop);
        return fault;
    }
    buffer_.remove(0, end->second);
    if (length > kMaxMessageBytes) {
        const qint64 dropped = std::min<qint64>(length, buffer_.size());
        buffer_.remove(0, dropped);
        skipping_ = length - dropped;
        return Incoming{Incoming::Kind::TooLarge, {}, {}, length};
    }
    bodyLength_ = length;
    return std::nullopt;
}

QByteArray Frame(const QJsonObject& message) {
    const QByteArray body = QJsonDocument(message).toJson(QJsonDocument::Compact);
    return "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

}  // namespace lsp

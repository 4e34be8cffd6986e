#include "common/GbkText.h"

#include <array>
#include <vector>

#include <QList>
#include <QStringDecoder>
#include <QStringEncoder>

#ifdef Q_OS_WIN
#include "common/CodePage936.h"
#endif

namespace gbk {

namespace {

constexpr char16_t kNone = 0;
constexpr char16_t kReplacement = 0xFFFD;

bool IsRawCode(char16_t c) {
    return c >= kRawByteBase && c <= kRawByteBase + 0xFF;
}

// Code points the editor's document would not hand back as they came in, so a byte sequence
// decoding to one of them cannot round-trip as text.
bool EditorKeeps(char16_t c) {
    return c >= 0x80 && c != kReplacement && !QChar::isSurrogate(c) && !IsRawCode(c) &&
           c != 0x00A0 && c != 0x2028 && c != 0x2029 && c != 0xFDD0 && c != 0xFDD1 && c != 0xFEFF;
}

int PairIndex(unsigned char lead, unsigned char trail) {
    return (lead - 0x80) * 256 + trail;
}

struct Tables {
    bool available = false;
    std::array<char16_t, 256> single{};
    std::vector<char16_t> pair = std::vector<char16_t>(128 * 256, kNone);
    // Code unit to bytes: a lead and trail as lead * 256 + trail, or a single byte as its value.
    std::vector<std::uint16_t> encoded = std::vector<std::uint16_t>(65536, 0);
};

struct Candidate {
    QByteArray bytes;
    char16_t code;
};

#ifdef Q_OS_WIN

// Windows' code page 936, one sequence at a time: Qt's GBK converter needs ICU, which a Windows
// Qt may lack. What does not convert comes back empty and is left out of the tables.
bool ConverterPresent() {
    return cp936::Available();
}

QList<QString> DecodeEach(const QList<QByteArray>& sequences) {
    QList<QString> parts;
    for (const QByteArray& s : sequences) {
        const auto text = cp936::Decode(std::string_view(s.constData(), std::size_t(s.size())));
        parts.append(text ? QString::fromStdU16String(*text) : QString());
    }
    return parts;
}

QList<QByteArray> EncodeEach(const QList<Candidate>& candidates) {
    QList<QByteArray> parts;
    for (const Candidate& c : candidates) {
        const auto bytes = cp936::Encode(std::u16string_view(&c.code, 1));
        parts.append(bytes ? QByteArray(bytes->data(), qsizetype(bytes->size())) : QByteArray());
    }
    return parts;
}

#else

bool ConverterPresent() {
    return QStringDecoder("GBK").isValid() && QStringEncoder("GBK").isValid();
}

// Decodes each byte sequence on its own. Sequences are joined by LF, which no GBK sequence holds,
// so one call does them all; should the converter ever disagree about where they split, each is
// decoded alone.
QList<QString> DecodeEach(const QList<QByteArray>& sequences) {
    QByteArray joined;
    for (const QByteArray& s : sequences)
        joined += s + '\n';
    QStringDecoder decoder("GBK");
    QString all = decoder.decode(joined);
    QList<QString> parts = all.split(u'\n');
    if (parts.size() == sequences.size() + 1) {
        parts.removeLast();
        return parts;
    }
    parts.clear();
    for (const QByteArray& s : sequences) {
        QStringDecoder one("GBK");
        parts.append(one.decode(s));
    }
    return parts;
}

QList<QByteArray> EncodeEach(const QList<Candidate>& candidates) {
    QString joined;
    for (const Candidate& c : candidates) {
        joined += QChar(c.code);
        joined += u'\n';
    }
    QStringEncoder encoder("GBK");
    QByteArray all = encoder.encode(joined);
    QList<QByteArray> parts = all.split('\n');
    if (parts.size() == candidates.size() + 1) {
        parts.removeLast();
        return parts;
    }
    parts.clear();
    for (const Candidate& c : candidates) {
        QStringEncoder one("GBK");
        parts.append(one.encode(QStringView(&c.code, 1)));
    }
    return parts;
}

#endif

Tables BuildTables() {
    Tables t;
    if (!ConverterPresent())
        return t;
    t.available = true;

    QList<QByteArray> sequences;
    for (int b = 0x80; b <= 0xFF; ++b)
        sequences.append(QByteArray(1, char(b)));
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail != 0x7F) {
                const char pair[] = {char(lead), char(trail)};
                sequences.append(QByteArray(pair, 2));
            }
        }
    }
    const QList<QString> decoded = DecodeEach(sequences);

    QList<Candidate> candidates;
    for (qsizetype i = 0; i < sequences.size(); ++i) {
        if (decoded[i].size() == 1 && EditorKeeps(decoded[i][0].unicode()))
            candidates.append({sequences[i], decoded[i][0].unicode()});
    }
    // Only what comes back as the same bytes counts: GBK has a few characters with two codes.
    const QList<QByteArray> reencoded = EncodeEach(candidates);
    for (qsizetype i = 0; i < candidates.size(); ++i) {
        const Candidate& c = candidates[i];
        if (reencoded[i] != c.bytes)
            continue;
        const auto lead = static_cast<unsigned char>(c.bytes[0]);
        if (c.bytes.size() == 1) {
            t.single[lead] = c.code;
            t.encoded[c.code] = lead;
        } else {
            const auto trail = static_cast<unsigned char>(c.bytes[1]);
            t.pair[PairIndex(lead, trail)] = c.code;
            t.encoded[c.code] = static_cast<std::uint16_t>(lead * 256 + trail);
        }
    }
    return t;
}

const Tables& Table() {
    static const Tables tables = BuildTables();
    return tables;
}

}  // namespace

bool Available() {
    return Table().available;
}

QString Decode(QByteArrayView bytes) {
    // Built on the first byte beyond ASCII: an empty or ASCII start-up never pays for the tables.
    const Tables* table = nullptr;
    // Never more characters than bytes; written in place, a megabyte program decodes in one pass.
    QString text(bytes.size(), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    char16_t* const first = out;
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            if (b == '\r' && i + 1 < n && bytes[i + 1] == '\n') {
                *out++ = u'\n';
                i += 2;
                continue;
            }
            *out++ = (b == '\r' || b == '\n' || b == 0) ? char16_t(kRawByteBase + b) : char16_t(b);
            ++i;
            continue;
        }
        if (!table)
            table = &Table();
        const Tables& t = *table;
        if (i + 1 < n) {
            const char16_t c = t.pair[PairIndex(b, static_cast<unsigned char>(bytes[i + 1]))];
            if (c != kNone) {
                *out++ = c;
                i += 2;
                continue;
            }
        }
        *out++ = t.single[b] != kNone ? t.single[b] : char16_t(kRawByteBase + b);
        ++i;
    }
    text.truncate(out - first);
    return text;
}

namespace {

// Calls `out` with the bytes of each character: one or two bytes, or the whole CR LF.
template <typename Out>
void EncodeInto(QStringView text, Out&& out) {
    const Tables* table = nullptr;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'\n' || c == 0x2029) {
            out('\r');
            out('\n');
        } else if (c < 0x80) {
            out(char(c));
        } else if (IsRawCode(c)) {
            out(char(c - kRawByteBase));
        } else if (const std::uint16_t e = (table ? table : (table = &Table()))->encoded[c];
                   e != 0) {
            if (e > 0xFF)
                out(char(e >> 8));
            out(char(e & 0xFF));
        } else {
            if (QChar::isHighSurrogate(c) && i + 1 < n && text[i + 1].isLowSurrogate())
                ++i;
            out('?');
        }
    }
}

}  // namespace

QByteArray Encode(QStringView text) {
    QByteArray bytes;
    bytes.reserve(text.size() * 2);
    EncodeInto(text, [&bytes](char b) { bytes += b; });
    return bytes;
}

qsizetype EncodedLength(QStringView text) {
    qsizetype length = 0;
    EncodeInto(text, [&length](char) { ++length; });
    return length;
}

}  // namespace gbk

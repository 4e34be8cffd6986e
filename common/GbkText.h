#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace gbk {

// Program texts are GBK bytes with CR LF line ends, and the editor must give back exactly the bytes
// it was given. Valid characters and CR LF pairs become ordinary text ('\n' for CR LF); every other
// byte that GBK cannot carry through a round trip (a lead byte with a bad trail, a lone lead byte,
// 0xFF, a lone CR or LF, NUL) becomes the private-use code point kRawByteBase + byte and turns back
// into that byte on the way out.
inline constexpr char16_t kRawByteBase = 0xF700;

// Whether the system has a GBK converter at all; without one every byte above 0x7F stays raw.
bool Available();

QString Decode(QByteArrayView bytes);

// Characters that GBK has no code for are written as '?', as the system's own converter does.
QByteArray Encode(QStringView text);

// The length Encode would give, without building the bytes.
qsizetype EncodedLength(QStringView text);

}  // namespace gbk

#include "registers/ValueText.h"

#include "common/FileErrors.h"
#include "common/QtMessages.h"

#include <QStringDecoder>
#include <QStringEncoder>

#ifdef Q_OS_WIN
#include "common/CodePage936.h"
#endif

namespace registers {

QString ShowBytes(const std::string& bytes) {
#ifdef Q_OS_WIN
    if (const auto text = cp936::Decode(bytes))
        return QString::fromStdU16String(*text);
#else
    QStringDecoder decoder("GBK", QStringConverter::Flag::Stateless);
    if (decoder.isValid()) {
        QString text = decoder.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
        if (!decoder.hasError())
            return text;
    }
#endif
    return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
}

std::string EncodeText(const QString& text) {
#ifdef Q_OS_WIN
    if (auto bytes = cp936::Encode(text.toStdU16String()))
        return *bytes;
#else
    QStringEncoder encoder("GBK", QStringConverter::Flag::Stateless);
    if (encoder.isValid()) {
        const QByteArray bytes = encoder.encode(text);
        if (!encoder.hasError())
            return bytes.toStdString();
    }
#endif
    return text.toLatin1().toStdString();
}

std::string TakeText(const QString& shown, const std::string& held) {
    return shown == ShowBytes(held) ? held : EncodeText(shown);
}

QString FileErrorText(std::error_code cause, const std::filesystem::path& file) {
    const QString name = QString::fromStdU16String(file.u16string());
    return QString::fromStdString(FileErrorMessage(cause, name.toStdString()));
}

QString WriteFaultText(const WriteResult& result) {
    switch (result.status) {
        case WriteStatus::Done:
            return {};
        case WriteStatus::CannotOpen:
            // Without a cause the file opened but is no register file.
            return result.cause ? FileErrorText(result.cause, result.file)
                                : msg::QText(msg::Id::RegistersNotRegisterFile);
        case WriteStatus::BadPage:
            return msg::QText(msg::Id::RegistersPageOutOfRange);
        case WriteStatus::BadText:
        case WriteStatus::TooManyLines:
            return msg::QText(msg::Id::RegistersNotRegisterFile);
        case WriteStatus::FileError:
            return FileErrorText(result.cause, result.file);
    }
    return {};
}

}  // namespace registers

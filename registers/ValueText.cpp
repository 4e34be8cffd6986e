#include "registers/ValueText.h"

#include "common/FileErrors.h"
#include "common/GbkText.h"
#include "common/QtMessages.h"

namespace registers {

QString ShowBytes(const std::string& bytes) {
    return gbk::Decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
}

std::string EncodeText(const QString& text) {
    return gbk::Encode(text).toStdString();
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

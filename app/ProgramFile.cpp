#include "app/ProgramFile.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <system_error>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "common/FileErrors.h"
#include "common/FileIo.h"
#include "common/QtMessages.h"

namespace programfile {

namespace {

QString CauseMessage(std::error_code cause, const QString& path) {
    const std::string text =
        registers::FileErrorMessage(cause, QDir::toNativeSeparators(path).toStdString());
    return QString::fromStdString(text);
}

QString CauseMessage(int error, const QString& path) {
    return CauseMessage(std::error_code(error, std::generic_category()), path);
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

std::FILE* OpenForReading(const QString& path) {
#ifdef _WIN32
    return _wfopen(reinterpret_cast<const wchar_t*>(path.utf16()), L"rb");
#else
    return std::fopen(QFile::encodeName(path).constData(), "rb");
#endif
}

}  // namespace

std::filesystem::path NativePath(const QString& path) {
#ifdef _WIN32
    return std::filesystem::path(path.toStdWString());
#else
    const QByteArray local = QFile::encodeName(path);
    return std::filesystem::path(
        std::string(local.constData(), static_cast<std::size_t>(local.size())));
#endif
}

ReadResult Read(const QString& path) {
    ReadResult result;
    errno = 0;
    std::unique_ptr<std::FILE, FileCloser> file(OpenForReading(path));
    if (!file) {
        result.message =
            errno != 0 ? CauseMessage(errno, path) : msg::QText(msg::Id::ProgramOpenFailed);
        return result;
    }
    // A folder opens for reading here but is no document; the desktop calls this access denied.
    if (QFileInfo(path).isDir()) {
        result.message = CauseMessage(EACCES, path);
        return result;
    }
    result.outcome = ReadResult::Outcome::Abandoned;
    if (std::fseek(file.get(), 0, SEEK_END) != 0) {
        result.message = CauseMessage(errno, path);
        return result;
    }
    // A size beyond what ftell can tell is beyond the capacity as well.
    const long size = std::ftell(file.get());
    if (size < 0 || size > kCapacity) {
        result.message = msg::QText(msg::Id::ProgramTooLarge);
        return result;
    }
    std::rewind(file.get());
    result.bytes.resize(static_cast<qsizetype>(size));
    const std::size_t got = std::fread(result.bytes.data(), 1, result.bytes.size(), file.get());
    if (got != static_cast<std::size_t>(result.bytes.size())) {
        result.message = std::ferror(file.get()) && errno != 0
                             ? CauseMessage(errno, path)
                             : msg::QText(msg::Id::ProgramUnexpectedFormat);
        result.bytes.clear();
        return result;
    }
    result.outcome = ReadResult::Outcome::Read;
    return result;
}

std::optional<QString> Write(const QString& path, const QByteArray& bytes) {
    const std::string_view content(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    if (const std::error_code cause = fileio::WriteSafely(NativePath(path), content))
        return CauseMessage(cause, path);
    return std::nullopt;
}

}  // namespace programfile

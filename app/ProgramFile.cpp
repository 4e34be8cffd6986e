#include "app/ProgramFile.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <system_error>

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include "registers/FileErrors.h"

namespace programfile {

namespace {

const QString kTooLarge = QStringLiteral("该文件太大，无法打开。");
const QString kUnexpectedEnd = QStringLiteral("非预期的文件格式。");
const QString kOpenFailed = QStringLiteral("打开文档失败。");
const QString kCreateFailed = QStringLiteral("无效的文件名。");
const QString kWriteFailed = QStringLiteral("保存文档失败。");

QString CauseMessage(int error, const QString& path) {
    const std::string text =
        registers::FileErrorMessage(std::error_code(error, std::generic_category()),
                                    QDir::toNativeSeparators(path).toStdString());
    return QString::fromStdString(text);
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

ReadResult Read(const QString& path) {
    ReadResult result;
    errno = 0;
    std::unique_ptr<std::FILE, FileCloser> file(OpenForReading(path));
    if (!file) {
        result.message = errno != 0 ? CauseMessage(errno, path) : kOpenFailed;
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
        result.message = kTooLarge;
        return result;
    }
    std::rewind(file.get());
    result.bytes.resize(static_cast<qsizetype>(size));
    const std::size_t got = std::fread(result.bytes.data(), 1, result.bytes.size(), file.get());
    if (got != static_cast<std::size_t>(result.bytes.size())) {
        result.message =
            std::ferror(file.get()) && errno != 0 ? CauseMessage(errno, path) : kUnexpectedEnd;
        result.bytes.clear();
        return result;
    }
    result.outcome = ReadResult::Outcome::Read;
    return result;
}

std::optional<QString> Write(const QString& path, const QByteArray& bytes) {
    // A folder of that name: the save cannot replace it, as the desktop denies access to it.
    if (QFileInfo(path).isDir())
        return CauseMessage(EISDIR, path);
    QSaveFile file(path);
    // A file the user may write in a folder where they may not create one: rewrite it in place,
    // as the other writers do, rather than refuse a save the file itself allows.
    file.setDirectWriteFallback(true);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly)) {
        const int cause = errno;
        return cause != 0 ? CauseMessage(cause, path) : kCreateFailed;
    }
    errno = 0;
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        const int cause = errno;
        file.cancelWriting();
        return cause != 0 ? CauseMessage(cause, path) : kWriteFailed;
    }
    return std::nullopt;
}

}  // namespace programfile

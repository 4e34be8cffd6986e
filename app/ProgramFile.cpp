#include "app/ProgramFile.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <system_error>

#include <sys/stat.h>

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

}  // namespace

ReadResult Read(const QString& path) {
    ReadResult result;
    errno = 0;
    std::unique_ptr<std::FILE, FileCloser> file(
        std::fopen(QFile::encodeName(path).constData(), "rb"));
    if (!file) {
        result.message = errno != 0 ? CauseMessage(errno, path) : kOpenFailed;
        return result;
    }
    struct stat info {};
    if (fstat(fileno(file.get()), &info) != 0) {
        result.message = CauseMessage(errno, path);
        return result;
    }
    // A folder opens for reading here but is no document; the desktop calls this access denied.
    if (S_ISDIR(info.st_mode)) {
        result.message = CauseMessage(EACCES, path);
        return result;
    }
    result.outcome = ReadResult::Outcome::Abandoned;
    if (info.st_size > kCapacity) {
        result.message = kTooLarge;
        return result;
    }
    result.bytes.resize(static_cast<qsizetype>(info.st_size));
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

#include "registers/RegisterFile.h"

#include "common/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#if !defined(_WIN32)
#include <unistd.h>
#endif

namespace registers {
namespace fs = std::filesystem;

namespace {

std::error_code LastError() {
    return std::error_code(errno != 0 ? errno : EIO, std::generic_category());
}

// Closes on every way out of an operation, so nothing stays open between operations.
class File {
public:
    File(const fs::path& path, const char* mode) {
        std::error_code ec;
        // A folder opens for reading on some systems; it is no file for us.
        if (!fs::is_directory(path, ec)) {
            errno = 0;
#if defined(_WIN32)
            const std::string narrow(mode);
            file_ = ::_wfopen(path.c_str(), std::wstring(narrow.begin(), narrow.end()).c_str());
#else
            file_ = std::fopen(path.c_str(), mode);
#endif
        } else {
            errno = EISDIR;
        }
    }
    ~File() {
        if (file_ != nullptr)
            std::fclose(file_);
    }
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    std::FILE* get() const {
        return file_;
    }
    explicit operator bool() const {
        return file_ != nullptr;
    }
    // Closes now and reports whether everything buffered reached the file; closing again is a
    // no-op, so cleanup paths need not know whether the file was closed already.
    bool Close() {
        std::FILE* f = file_;
        file_ = nullptr;
        return f == nullptr || std::fclose(f) == 0;
    }

private:
    std::FILE* file_ = nullptr;
};

// Splits at LF and drops a CR right before it; the text after the last LF, if any, is a line too.
class LineReader {
public:
    explicit LineReader(std::FILE* file) : file_(file) {}

    // Keeps at most `keep` bytes of the line but always consumes all of it.
    bool Next(std::string& line, std::size_t keep = std::string::npos) {
        line.clear();
        bool any = false;
        bool lastWasCr = false;
        std::size_t total = 0;
        while (pos_ < end_ || Fill()) {
            any = true;
            const char* start = buffer_ + pos_;
            const std::size_t available = end_ - pos_;
            const auto* lf = static_cast<const char*>(std::memchr(start, '\n', available));
            const std::size_t length =
                lf != nullptr ? static_cast<std::size_t>(lf - start) : available;
            if (length > 0)
                lastWasCr = start[length - 1] == '\r';
            if (line.size() < keep)
                line.append(start, std::min(length, keep - line.size()));
            total += length;
            pos_ += length;
            if (lf != nullptr) {
                ++pos_;
                if (lastWasCr && total <= keep)
                    line.pop_back();
                return true;
            }
        }
        return any;
    }

    bool Failed() const { return std::ferror(file_) != 0; }

private:
    bool Fill() {
        pos_ = 0;
        end_ = std::fread(buffer_, 1, sizeof buffer_, file_);
        return end_ > 0;
    }

    std::FILE* file_;
    char buffer_[1 << 16];
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
};

// Remembers the first failure; later writes are skipped.
class LineWriter {
public:
    explicit LineWriter(std::FILE* file) : file_(file) {}

    void Line(std::string_view text) {
        Put(text);
        Put("\r\n");
    }
    const std::error_code& error() const { return error_; }

private:
    void Put(std::string_view bytes) {
        if (error_ || bytes.empty())
            return;
        errno = 0;
        if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size())
            error_ = LastError();
    }

    std::FILE* file_;
    std::error_code error_;
};

// Readers split at LF only, so a CR inside a text reads back as it was written.
bool HasLineBreak(std::string_view text) {
    return text.find('\n') != std::string_view::npos;
}

// Characters 3 to 6 take the position's number. A line too short to hold a number becomes a
// register line with an empty value text, which reads as the short line did.
void Renumber(std::string& line, int k) {
    if (line.size() < 6)
        line = RegisterLine(k, {});
    else
        line.replace(2, 4, FourDigits(k));
}

bool FlushToDisk(std::FILE* file) {
    if (std::fflush(file) != 0)
        return false;
#if !defined(_WIN32)
    // The rename must not reach the disk before the data it points at.
    if (::fsync(::fileno(file)) != 0 && errno != EINVAL)
        return false;
#endif
    return true;
}

WriteResult Failure(WriteStatus status, std::error_code cause = {}, fs::path file = {}) {
    return WriteResult{status, cause, std::move(file)};
}

}  // namespace

std::string FourDigits(int k) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%04d", k);
    return digits;
}

std::string RegisterLine(int k, std::string_view valueText) {
    std::string line = "[S" + FourDigits(k) + "] = ";
    line += valueText;
    return line;
}

bool IsPageBase(int base) {
    return base >= 0 && base <= kLastPageBase && base % kPageSize == 0;
}

fs::path WorkingCopyPath(const fs::path& path) {
    fs::path copy = path;
    copy += ".bak";
    return copy;
}

CheckResult CheckRegisterFile(const fs::path& path) {
    File file(path, "rb");
    if (!file)
        return CheckResult::CannotOpen;
    LineReader reader(file.get());
    std::string first;
    // One byte more than the identification is enough to tell a longer line apart.
    if (!reader.Next(first, kIdentification.size() + 2) || first != kIdentification)
        return CheckResult::NotRegisterFile;
    return CheckResult::RegisterFile;
}

std::error_code CreateRegisterFile(const fs::path& path) {
    File file(path, "wb");
    if (!file)
        return LastError();
    LineWriter writer(file.get());
    writer.Line(kIdentification);
    if (writer.error())
        return writer.error();
    errno = 0;
    if (!file.Close())
        return LastError();
    return {};
}

PageRead ReadRegisterPage(const fs::path& path, int base) {
    PageRead result;
    if (!IsPageBase(base)) {
        result.status = ReadStatus::BadPage;
        return result;
    }
    File file(path, "rb");
    if (!file)
        return result;
    LineReader reader(file.get());
    std::string line;
    for (int skip = 0; skip <= base; ++skip) {
        if (!reader.Next(line, 0))
            break;
    }
    for (std::string& text : result.texts) {
        if (!reader.Next(line))
            break;
        if (line.size() > kPrefixLength)
            text = line.substr(kPrefixLength);
    }
    result.status = ReadStatus::Done;
    return result;
}

WriteResult WriteRegisterPage(const fs::path& requested, int base, const PageTexts& texts) {
    const fs::path path = fileio::WriteTarget(requested);
    if (!IsPageBase(base))
        return Failure(WriteStatus::BadPage);
    for (const std::string& text : texts) {
        if (HasLineBreak(text))
            return Failure(WriteStatus::BadText);
    }
    File in(path, "rb");
    if (!in)
        return Failure(WriteStatus::CannotOpen, LastError(), path);

    const fs::path copy = WorkingCopyPath(path);
    File out(copy, "wb");
    if (!out)
        return Failure(WriteStatus::FileError, LastError(), copy);
    // Whatever goes wrong from here on, the working copy must not stay behind.
    auto fail = [&](WriteStatus status, std::error_code cause, const fs::path& file) {
        out.Close();
        std::error_code ignored;
        fs::remove(copy, ignored);
        return Failure(status, cause, file);
    };

    LineReader reader(in.get());
    LineWriter writer(out.get());
    std::string line;
    writer.Line(reader.Next(line) ? std::string_view(line) : kIdentification);
    int k = 0;
    for (; k < base; ++k) {
        if (reader.Next(line))
            writer.Line(line);
        else
            writer.Line(RegisterLine(k, "0"));
    }
    for (; k < base + kPageSize; ++k) {
        writer.Line(RegisterLine(k, texts[static_cast<std::size_t>(k - base)]));
        reader.Next(line, 0);
    }
    for (; reader.Next(line); ++k) {
        if (k >= kMaxRegisterLines)
            return fail(WriteStatus::TooManyLines, {}, path);
        Renumber(line, k);
        writer.Line(line);
        if (writer.error())
            break;
    }
    for (; k < kRegisterCount; ++k)
        writer.Line(RegisterLine(k, "0"));

    if (reader.Failed())
        return fail(WriteStatus::FileError, std::make_error_code(std::errc::io_error), path);
    if (writer.error())
        return fail(WriteStatus::FileError, writer.error(), copy);
    errno = 0;
    if (!FlushToDisk(out.get()))
        return fail(WriteStatus::FileError, LastError(), copy);
    errno = 0;
    if (!out.Close())
        return fail(WriteStatus::FileError, LastError(), copy);
    in.Close();

    std::error_code ec;
    const auto oldStatus = fs::status(path, ec);
    if (!ec)
        fs::permissions(copy, oldStatus.permissions(), ec);
    // Renaming over the old file replaces it in one step: there is no moment without it.
    fs::rename(copy, path, ec);
    if (ec)
        return fail(WriteStatus::FileError, ec, path);
    return {};
}

}  // namespace registers

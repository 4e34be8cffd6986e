#include "registers/RegisterFile.h"

#include "common/FileIo.h"
#include "common/WriterTurn.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <limits>
#include <thread>

#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <cwctype>
#else
#include <sys/file.h>
#include <sys/stat.h>
#endif

namespace registers {
namespace fs = std::filesystem;

namespace {

// A file open for reading that closes on every way out of an operation, so nothing stays open
// between operations.
class File {
public:
    File() = default;
    explicit File(const fs::path& path) { Open(path); }
    ~File() { Close(); }
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    void Open(const fs::path& path) {
        Close();
        std::error_code ec;
        // A folder opens for reading on some systems; it is no file for us.
        if (fs::is_directory(path, ec)) {
            errno = EISDIR;
            return;
        }
        file_ = fileio::OpenForReading(path);
    }
    std::FILE* get() const { return file_; }
    explicit operator bool() const { return file_ != nullptr; }
    // Closes now; closing again is a no-op.
    void Close() {
        if (file_ != nullptr)
            std::fclose(file_);
        file_ = nullptr;
    }

private:
    std::FILE* file_ = nullptr;
};

// Splits at LF and drops a CR right before it; the text after the last LF, if any, is a line too.
// Reads a file piece by piece, or bytes already in memory.
class LineReader {
public:
    explicit LineReader(std::FILE* file) : file_(file), data_(buffer_) {}
    explicit LineReader(std::string_view bytes) : data_(bytes.data()), end_(bytes.size()) {}

    // Keeps at most `keep` bytes of the line but always consumes all of it.
    bool Next(std::string& line, std::size_t keep = std::string::npos) {
        line.clear();
        bool any = false;
        bool lastWasCr = false;
        std::size_t total = 0;
        while (pos_ < end_ || Fill()) {
            any = true;
            const char* start = data_ + pos_;
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

    bool Failed() const { return file_ != nullptr && std::ferror(file_) != 0; }

private:
    bool Fill() {
        if (file_ == nullptr)
            return false;
        pos_ = 0;
        end_ = std::fread(buffer_, 1, sizeof buffer_, file_);
        return end_ > 0;
    }

    std::FILE* file_ = nullptr;
    const char* data_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    char buffer_[1 << 16];
};

// k as four digits; k outside 0..9999 as printf's "%04d" has it.
void AppendFourDigits(std::string& out, int k) {
    if (k < 0 || k > 9999) {
        char digits[16];
        std::snprintf(digits, sizeof digits, "%04d", k);
        out += digits;
        return;
    }
    const char digits[4] = {static_cast<char>('0' + k / 1000),
                            static_cast<char>('0' + k / 100 % 10),
                            static_cast<char>('0' + k / 10 % 10), static_cast<char>('0' + k % 10)};
    out.append(digits, 4);
}

// Collects the lines of a new register file in memory.
class LineWriter {
public:
    explicit LineWriter(std::string& memory) : lines_(&memory) {
        // Every page write makes at least the 4096 register lines.
        memory.reserve(memory.size() + kRegisterCount * 16);
    }

    void Line(std::string_view text) {
        *lines_ += text;
        *lines_ += "\r\n";
    }
    // RegisterLine(k, valueText), without building it first: most lines of a new file are these,
    // and one append per line keeps a page write quick.
    void Register(int k, std::string_view valueText) {
        char line[kPrefixLength + kMaxValueText + 2];
        if (k < 0 || k > 9999 || valueText.size() > kMaxValueText) {
            Line(RegisterLine(k, valueText));
            return;
        }
        std::memcpy(line, "[S", 2);
        for (int i = 5, n = k; i >= 2; --i, n /= 10)
            line[i] = static_cast<char>('0' + n % 10);
        std::memcpy(line + 6, "] = ", 4);
        std::memcpy(line + kPrefixLength, valueText.data(), valueText.size());
        std::memcpy(line + kPrefixLength + valueText.size(), "\r\n", 2);
        *lines_ += std::string_view(line, kPrefixLength + valueText.size() + 2);
    }

private:
    std::string* lines_;
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

// The identification line decides; one byte more than it is enough to tell a longer line apart.
CheckResult CheckLines(LineReader& reader) {
    std::string first;
    if (!reader.Next(first, kIdentification.size() + 2) || first != kIdentification)
        return CheckResult::NotRegisterFile;
    return CheckResult::RegisterFile;
}

PageRead ReadPage(LineReader& reader, int base) {
    PageRead result;
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

// What a page write refuses before it looks at the file.
WriteStatus RefusedWrite(int base, const PageTexts& texts) {
    if (!IsPageBase(base))
        return WriteStatus::BadPage;
    for (const std::string& text : texts) {
        if (HasLineBreak(text))
            return WriteStatus::BadText;
    }
    return WriteStatus::Done;
}

// The new file from the old one: the page's lines replaced, every later line renumbered by its
// position, registers the old file lacks added as 0. Stops with TooManyLines when the old file
// holds more lines than four digits can number.
WriteStatus RewritePage(LineReader& reader, LineWriter& writer, int base, const PageTexts& texts) {
    std::string line;
    writer.Line(reader.Next(line) ? std::string_view(line) : kIdentification);
    int k = 0;
    for (; k < base; ++k) {
        if (reader.Next(line))
            writer.Line(line);
        else
            writer.Register(k, "0");
    }
    for (; k < base + kPageSize; ++k) {
        writer.Register(k, texts[static_cast<std::size_t>(k - base)]);
        reader.Next(line, 0);
    }
    for (; reader.Next(line); ++k) {
        if (k >= kMaxRegisterLines)
            return WriteStatus::TooManyLines;
        Renumber(line, k);
        writer.Line(line);
    }
    for (; k < kRegisterCount; ++k)
        writer.Register(k, "0");
    return WriteStatus::Done;
}

#if defined(_WIN32)
using Turn = fileio::WriterTurn;

// Waits up to `wait` for the turn, which lasts until the new file is in place; `opened` tells a
// file that could not be opened from one in use.
std::error_code OpenLocked(File& in, Turn& turn, const fs::path& path,
                           std::chrono::milliseconds wait, bool& opened) {
    opened = false;
    in.Open(path);
    if (!in)
        return fileio::LastError();
    opened = true;
    // Opened again once it is our turn: the file may have been replaced while we waited.
    in.Close();
    if (const std::error_code ec = turn.Take(path, L"registers", wait))
        return ec;
    in.Open(path);
    return in ? std::error_code() : fileio::LastError();
}
#else
class Turn {};

// Page writes on one file take turns: each holds an exclusive lock on the register file from
// reading it until its new file has been renamed over it. A writer that waited while another
// replaced the file finds a different file at the path, and starts over with that one. Waits up
// to `wait` for the lock; `opened` tells a file that could not be opened from one in use.
std::error_code OpenLocked(File& in, Turn&, const fs::path& path, std::chrono::milliseconds wait,
                           bool& opened) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        opened = false;
        in.Open(path);
        if (!in)
            return fileio::LastError();
        opened = true;
        const int fd = ::fileno(in.get());
        while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            // A file system without locks writes as before, unguarded.
            if (errno != EWOULDBLOCK && errno != EINTR)
                return {};
            if (std::chrono::steady_clock::now() >= deadline)
                return std::make_error_code(std::errc::device_or_resource_busy);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        struct stat held {};
        struct stat now {};
        if (::fstat(fd, &held) == 0 && ::stat(path.c_str(), &now) == 0 &&
            held.st_dev == now.st_dev && held.st_ino == now.st_ino)
            return {};
    }
}
#endif

// The rest of an open file; false on a read error or past what any register file could hold.
bool ReadAll(std::FILE* file, std::string& bytes) {
    char buffer[1 << 16];
    bytes.clear();
    for (;;) {
        const std::size_t n = std::fread(buffer, 1, sizeof buffer, file);
        bytes.append(buffer, n);
        if (bytes.size() > kMostRegisterFileBytes)
            return false;
        if (n < sizeof buffer)
            return std::ferror(file) == 0;
    }
}

WriteResult Failure(WriteStatus status, std::error_code cause = {}, fs::path file = {}) {
    return WriteResult{status, cause, std::move(file)};
}

}  // namespace

std::string FourDigits(int k) {
    std::string digits;
    AppendFourDigits(digits, k);
    return digits;
}

std::string RegisterLine(int k, std::string_view valueText) {
    std::string line = "[S";
    AppendFourDigits(line, k);
    line += "] = ";
    line += valueText;
    return line;
}

ValueFault CheckValueText(std::string_view text) {
    if (text.find_first_of("\r\n") != std::string_view::npos)
        return ValueFault::LineBreak;
    return text.size() > kMaxValueText ? ValueFault::TooLong : ValueFault::None;
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
    File file(path);
    if (!file)
        return CheckResult::CannotOpen;
    LineReader reader(file.get());
    return CheckLines(reader);
}

CheckResult CheckRegisterBytes(std::string_view contents) {
    LineReader reader(contents);
    return CheckLines(reader);
}

std::error_code CreateRegisterFile(const fs::path& path) {
    std::string line(kIdentification);
    line += "\r\n";
    std::error_code ec;
    // Nobody can be writing a file that is not there yet; a device stays the device it was.
    if (!fs::is_regular_file(fileio::WriteTarget(path), ec))
        return fileio::WriteSafely(path, line);
    const WriteResult result =
        ModifyRegisterFile(path, [&line](std::string_view, std::string& out) {
            out = line;
            return WriteStatus::Done;
        });
    if (result.status == WriteStatus::Done)
        return {};
    return result.cause ? result.cause : std::make_error_code(std::errc::io_error);
}

PageRead ReadRegisterPage(const fs::path& path, int base) {
    PageRead result;
    if (!IsPageBase(base)) {
        result.status = ReadStatus::BadPage;
        return result;
    }
    File file(path);
    if (!file)
        return result;
    LineReader reader(file.get());
    return ReadPage(reader, base);
}

PageRead ReadRegisterPageBytes(std::string_view contents, int base) {
    if (!IsPageBase(base))
        return PageRead{ReadStatus::BadPage, {}};
    LineReader reader(contents);
    return ReadPage(reader, base);
}

WriteStatus RewriteRegisterPageBytes(std::string_view contents, int base, const PageTexts& texts,
                                     std::string& rewritten) {
    rewritten.clear();
    if (const WriteStatus refused = RefusedWrite(base, texts); refused != WriteStatus::Done)
        return refused;
    LineReader reader(contents);
    LineWriter writer(rewritten);
    const WriteStatus status = RewritePage(reader, writer, base, texts);
    if (status != WriteStatus::Done)
        rewritten.clear();
    return status;
}

WriteResult ModifyRegisterFile(const fs::path& requested, const RegisterChange& change,
                               std::chrono::milliseconds wait) {
    const fs::path path = fileio::WriteTarget(requested);
    Turn turn;
    File in;
    bool opened = false;
    if (const std::error_code ec = OpenLocked(in, turn, path, wait, opened))
        return Failure(opened ? WriteStatus::FileError : WriteStatus::CannotOpen, ec, path);
    std::string current;
    if (!ReadAll(in.get(), current))
        return Failure(WriteStatus::FileError, std::make_error_code(std::errc::io_error), path);
    std::string rewritten;
    if (const WriteStatus status = change(current, rewritten); status != WriteStatus::Done)
        return Failure(status, {}, path);
    if (rewritten.empty())
        return {};

    const fs::path copy = WorkingCopyPath(path);
    fileio::Replacement out;
    if (const std::error_code ec = out.OpenThrough(path, copy))
        return Failure(WriteStatus::FileError, ec, copy);
    // From here on, every way out that does not commit removes the working copy with `out`.
    if (const std::error_code ec = out.Write(rewritten))
        return Failure(WriteStatus::FileError, ec, copy);
#if defined(_WIN32)
    // Windows refuses to rename over a file that is still open.
    in.Close();
#endif
    // The lock on the old file is held until the new one has taken its place.
    // Renaming over the old file replaces it in one step: there is no moment without it.
    if (const std::error_code ec = out.Commit())
        return Failure(WriteStatus::FileError, ec, out.FailedFile());
    return {};
}

WriteResult WriteRegisterPage(const fs::path& path, int base, const PageTexts& texts,
                              std::chrono::milliseconds wait) {
    if (const WriteStatus refused = RefusedWrite(base, texts); refused != WriteStatus::Done)
        return Failure(refused);
    return ModifyRegisterFile(
        path,
        [&](std::string_view current, std::string& rewritten) {
            return RewriteRegisterPageBytes(current, base, texts, rewritten);
        },
        wait);
}

}  // namespace registers

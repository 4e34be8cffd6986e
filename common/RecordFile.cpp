#include "common/RecordFile.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <string>
#include <thread>

#include "common/FileIo.h"
#include "common/WriterTurn.h"

#if defined(_WIN32)
#include <cstdio>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fileio {
namespace fs = std::filesystem;

namespace {

// "downloads.3.jsonl" for "downloads.jsonl" and 3.
fs::path Numbered(const fs::path& path, int number) {
    fs::path name = path.stem();
    name += "." + std::to_string(number);
    name += path.extension();
    return path.parent_path() / name;
}

// The numbers of the rolled-over files there are, in order.
std::vector<int> RolledNumbers(const fs::path& path) {
    std::vector<int> numbers;
    std::error_code ec;
    const fs::path folder = path.parent_path().empty() ? fs::path(".") : path.parent_path();
    const std::string stem = path.stem().string() + ".";
    const std::string extension = path.extension().string();
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() <= stem.size() + extension.size() || name.rfind(stem, 0) != 0 ||
            name.compare(name.size() - extension.size(), extension.size(), extension) != 0)
            continue;
        const std::string digits =
            name.substr(stem.size(), name.size() - stem.size() - extension.size());
        if (digits.empty() || digits.size() > 6 ||
            digits.find_first_not_of("0123456789") != std::string::npos)
            continue;
        numbers.push_back(std::stoi(digits));
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

bool RollOver(const fs::path& path) {
    const std::vector<int> numbers = RolledNumbers(path);
    std::error_code ec;
    fs::rename(path, Numbered(path, numbers.empty() ? 1 : numbers.back() + 1), ec);
    return !ec;
}

#if defined(_WIN32)
std::error_code Append(const fs::path& path, std::string_view line, std::size_t rollOverAt) {
    // Appenders take turns, so that none opens the file while another renames it away.
    WriterTurn turn;
    if (const std::error_code busy = turn.Take(path, L"records", std::chrono::seconds(10)))
        return busy;
    std::error_code ec;
    if (fs::exists(path, ec) && !fs::is_regular_file(path, ec))
        return std::make_error_code(std::errc::invalid_argument);
    if (fs::is_regular_file(path, ec) && fs::file_size(path, ec) >= rollOverAt)
        RollOver(path);  // a file that cannot be renamed grows on
    std::string record;
    if (std::FILE* in = ::_wfopen(path.c_str(), L"rb")) {
        if (std::fseek(in, -1, SEEK_END) == 0 && std::fgetc(in) != '\n')
            record += '\n';
        std::fclose(in);
    }
    record.append(line).append("\n");
    std::FILE* out = ::_wfopen(path.c_str(), L"ab");
    if (out == nullptr)
        return LastError();
    const bool written = std::fwrite(record.data(), 1, record.size(), out) == record.size();
    const bool closed = std::fclose(out) == 0;
    return written && closed ? std::error_code() : LastError();
}
#else
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// Opens the file at the path, locked for us alone; a writer that rolled it over meanwhile left a
// new file there, so the lock is taken again on that one.
std::error_code OpenLocked(const fs::path& path, int& fd) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    for (;;) {
        errno = 0;
        // Not blocking: opening a pipe without a reader would wait for one forever. Read too, for
        // the last byte.
        fd = ::open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
        if (fd < 0)
            return errno == ENXIO ? std::make_error_code(std::errc::invalid_argument) : LastError();
        struct stat held {};
        if (::fstat(fd, &held) != 0 || !S_ISREG(held.st_mode)) {
            ::close(fd);
            return std::make_error_code(std::errc::invalid_argument);
        }
        while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            if (errno != EWOULDBLOCK && errno != EINTR)
                break;  // no locks on this file system: append unguarded, as O_APPEND allows
            if (std::chrono::steady_clock::now() >= deadline) {
                ::close(fd);
                return std::make_error_code(std::errc::device_or_resource_busy);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        struct stat now {};
        if (::stat(path.c_str(), &now) == 0 && now.st_dev == held.st_dev &&
            now.st_ino == held.st_ino)
            return {};
        ::close(fd);
    }
}

std::error_code Append(const fs::path& path, std::string_view line, std::size_t rollOverAt) {
    int raw = -1;
    if (const std::error_code ec = OpenLocked(path, raw))
        return ec;
    Descriptor fd(raw);
    struct stat info {};
    if (::fstat(fd.get(), &info) == 0 && static_cast<std::size_t>(info.st_size) >= rollOverAt &&
        RollOver(path)) {
        // Renamed while we hold its lock; the next writer finds the new file at the path. One
        // that cannot be renamed grows on.
        return Append(path, line, rollOverAt);
    }
    std::string record;
    char last = '\n';
    if (info.st_size > 0 && ::pread(fd.get(), &last, 1, info.st_size - 1) == 1 && last != '\n')
        record += '\n';
    record.append(line).append("\n");
    std::string_view rest = record;
    while (!rest.empty()) {
        errno = 0;
        const ssize_t n = ::write(fd.get(), rest.data(), rest.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return LastError();
        rest.remove_prefix(static_cast<std::size_t>(n));
    }
    // A record is a promise about what a controller received: on the disk before we go on.
    if (::fsync(fd.get()) != 0)
        return LastError();
    return {};
}
#endif

}  // namespace

std::error_code AppendRecord(const fs::path& path, std::string_view line, std::size_t rollOverAt) {
    std::error_code ec;
    if (!path.parent_path().empty())
        fs::create_directories(path.parent_path(), ec);
    return Append(path, line, rollOverAt);
}

std::vector<fs::path> RecordFiles(const fs::path& path) {
    std::vector<fs::path> files;
    for (const int number : RolledNumbers(path))
        files.push_back(Numbered(path, number));
    std::error_code ec;
    if (fs::exists(path, ec))
        files.push_back(path);
    return files;
}

}  // namespace fileio

#include "common/FileIo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <fstream>
#include <limits>
#include <random>

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

namespace fileio {
namespace fs = std::filesystem;

std::error_code LastError() {
    return std::error_code(errno != 0 ? errno : EIO, std::generic_category());
}

namespace {

// Thin wrappers over the descriptor calls, which differ in name and types between the systems.
#if defined(_WIN32)
int OpenForWriting(const fs::path& path, int extraFlags) {
    return ::_wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_BINARY | _O_NOINHERIT | extraFlags,
                    _S_IREAD | _S_IWRITE);
}
constexpr int kExclusive = _O_EXCL;
long long WriteSome(int fd, const char* data, std::size_t size) {
    const auto chunk =
        static_cast<unsigned int>(std::min<std::size_t>(size, std::numeric_limits<int>::max()));
    return ::_write(fd, data, chunk);
}
bool SyncToDisk(int fd) {
    return ::_commit(fd) == 0;
}
bool Truncate(int fd, unsigned long long size) {
    return ::_chsize_s(fd, static_cast<long long>(size)) == 0;
}
int CloseFile(int fd) {
    return ::_close(fd);
}
void SyncFolder(const fs::path&) {}
void KeepAccess(int, const fs::path& temporary, const fs::path& target) {
    std::error_code ec;
    const fs::file_status old = fs::status(target, ec);
    if (fs::is_regular_file(old))
        fs::permissions(temporary, old.permissions(), ec);
}
#else
int OpenForWriting(const fs::path& path, int extraFlags) {
    int fd;
    do {
        fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | extraFlags, 0666);
    } while (fd < 0 && errno == EINTR);
    return fd;
}
constexpr int kExclusive = O_EXCL;
long long WriteSome(int fd, const char* data, std::size_t size) {
    return ::write(fd, data, size);
}
// Pipes, terminals and some file systems cannot be synced; there is nothing more to wait for.
bool SyncToDisk(int fd) {
    return ::fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP;
}
bool Truncate(int fd, unsigned long long size) {
    return ::ftruncate(fd, static_cast<off_t>(size)) == 0;
}
int CloseFile(int fd) {
    return ::close(fd);
}
// Others than root may only keep a group they belong to; the rest stays the writer's.
void KeepAccess(int fd, const fs::path&, const fs::path& target) {
    struct stat old {};
    if (::stat(target.c_str(), &old) != 0 || !S_ISREG(old.st_mode))
        return;
    if (::fchown(fd, old.st_uid, old.st_gid) != 0 &&
        ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0)
        errno = 0;
    ::fchmod(fd, old.st_mode & 07777);
}
// Makes the rename itself last. Best effort: the new content is in place already, so a failure
// here must not be reported as the old file having stayed.
void SyncFolder(const fs::path& folder) {
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}
#endif

// ".NAME.tarvex-" followed by six random letters or digits. A name near the length limit is cut
// so that the temporary name still fits.
fs::path TemporaryName(const fs::path& target, std::mt19937_64& random) {
    static constexpr char kSymbols[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    static constexpr std::size_t kMaxName = 255 - 15;
    fs::path::string_type name = target.filename().native();
    if (name.size() > kMaxName)
        name.resize(kMaxName);
    std::string suffix = ".tarvex-";
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kSymbols - 2);
    for (int i = 0; i < 6; ++i)
        suffix += kSymbols[pick(random)];
    fs::path temporary = target.parent_path();
    temporary /= fs::path(fs::path::string_type(1, '.') + name);
    temporary += suffix;
    return temporary;
}

}  // namespace

fs::path WriteTarget(const fs::path& path) {
    // Link by link, so that a link to a file not made yet names that file too.
    fs::path target = path;
    for (int depth = 0; depth < 40; ++depth) {
        std::error_code ec;
        if (!fs::is_symlink(target, ec))
            break;
        const fs::path next = fs::read_symlink(target, ec);
        if (ec)
            break;
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    return target;
}

Replacement::~Replacement() {
    Abandon();
}

std::error_code Replacement::Open(const fs::path& path) {
    Start();
    target_ = WriteTarget(path);
    std::error_code ec;
    const fs::file_status existing = fs::status(target_, ec);
    if (fs::is_directory(existing))
        return Fail(std::make_error_code(std::errc::is_a_directory), target_);
    if (target_.filename().empty())
        return Fail(std::make_error_code(std::errc::no_such_file_or_directory), target_);
    // Renaming over a device or pipe would replace it instead of feeding it.
    if (fs::exists(existing) && !fs::is_regular_file(existing))
        return OpenInPlace();

    std::random_device seed;
    std::mt19937_64 random((std::uint64_t{seed()} << 32) ^ seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary_ = TemporaryName(target_, random);
        errno = 0;
        fd_ = OpenForWriting(temporary_, kExclusive);
        if (fd_ >= 0)
            break;
        if (errno != EEXIST)
            break;
    }
    if (fd_ < 0) {
        temporary_.clear();
        return OpenInPlace();
    }
    // The replacement is the same file to its users, so it keeps who may read and write it.
    KeepAccess(fd_, temporary_, target_);
    return {};
}

std::error_code Replacement::OpenThrough(const fs::path& path, const fs::path& workingCopy) {
    Start();
    target_ = WriteTarget(path);
    // A copy left by an earlier write goes first, then ours is made anew: whatever that name
    // held, a link or another's file, is never written through. A folder of that name stays and
    // makes the failure.
    std::error_code ec;
    if (!fs::is_directory(fs::symlink_status(workingCopy, ec)))
        fs::remove(workingCopy, ec);
    temporary_ = workingCopy;
    errno = 0;
    fd_ = OpenForWriting(temporary_, kExclusive);
    if (fd_ < 0) {
        const std::error_code cause = LastError();
        temporary_.clear();
        return Fail(cause, workingCopy);
    }
    KeepAccess(fd_, temporary_, target_);
    return {};
}

void Replacement::Start() {
    Abandon();
    error_.clear();
    failedFile_.clear();
}

std::error_code Replacement::OpenInPlace() {
    errno = 0;
    fd_ = OpenForWriting(target_, 0);
    if (fd_ < 0)
        return Fail(LastError(), target_);
    return {};
}

std::error_code Replacement::Write(std::string_view bytes) {
    if (error_)
        return error_;
    if (fd_ < 0)
        return Fail(std::make_error_code(std::errc::bad_file_descriptor), target_);
    while (!bytes.empty()) {
        errno = 0;
        const long long n = WriteSome(fd_, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return Fail(LastError(), temporary_.empty() ? target_ : temporary_);
        bytes.remove_prefix(static_cast<std::size_t>(n));
        written_ += static_cast<unsigned long long>(n);
    }
    return {};
}

std::error_code Replacement::Commit() {
    if (error_)
        return error_;
    if (fd_ < 0)
        return Fail(std::make_error_code(std::errc::bad_file_descriptor), target_);
    const fs::path& written = temporary_.empty() ? target_ : temporary_;
    errno = 0;
    if (temporary_.empty()) {
        std::error_code ec;
        // Rewritten in place without emptying it first: what is left past the new end goes now.
        if (fs::is_regular_file(target_, ec) && !Truncate(fd_, written_))
            return Fail(LastError(), target_);
    }
    if (!SyncToDisk(fd_))
        return Fail(LastError(), written);
    const int fd = fd_;
    fd_ = -1;
    errno = 0;
    if (CloseFile(fd) != 0)
        return Fail(LastError(), written);
    if (temporary_.empty())
        return {};

    std::error_code ec;
    fs::rename(temporary_, target_, ec);
    if (ec)
        return Fail(ec, target_);
    temporary_.clear();
    SyncFolder(target_.parent_path());
    return {};
}

void Replacement::Abandon() {
    Close();
    if (!temporary_.empty()) {
        std::error_code ignored;
        fs::remove(temporary_, ignored);
        temporary_.clear();
    }
    written_ = 0;
}

std::error_code Replacement::Fail(std::error_code cause, const fs::path& file) {
    failedFile_ = file;
    Abandon();
    error_ = cause;
    return cause;
}

void Replacement::Close() {
    if (fd_ >= 0)
        CloseFile(fd_);
    fd_ = -1;
}

std::error_code WriteSafely(const fs::path& path, std::string_view bytes) {
    Replacement replacement;
    if (std::error_code ec = replacement.Open(path))
        return ec;
    if (std::error_code ec = replacement.Write(bytes))
        return ec;
    return replacement.Commit();
}

bool CanWrite(const fs::path& target) {
    std::ofstream out(target, std::ios::binary | std::ios::app);
    return static_cast<bool>(out);
}

bool ReadWholeFile(const fs::path& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::error_code ec;
    if (fs::is_directory(path, ec))
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

}  // namespace fileio

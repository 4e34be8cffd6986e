#include "common/FileIo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <fstream>
#include <limits>
#include <random>
#include <thread>

#if defined(_WIN32)
#include <io.h>
#include <process.h>
#else
#include <poll.h>
#include <signal.h>
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
// Windows refuses to rename over a file someone has open, as every reader through the C library
// has it for a moment; such readers are waited for a little before the replacement fails.
void RenameOver(const fs::path& from, const fs::path& to, std::error_code& ec) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    for (;;) {
        fs::rename(from, to, ec);
        if (ec != std::errc::permission_denied || std::chrono::steady_clock::now() >= deadline)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}
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
void RenameOver(const fs::path& from, const fs::path& to, std::error_code& ec) {
    fs::rename(from, to, ec);
}
#endif

constexpr std::string_view kTemporaryMark = ".tarvex-";

// The hidden name ".NAME" all temporary files of `target` start with; a name near the length limit
// is cut so that the temporary name still fits.
fs::path::string_type HiddenName(const fs::path& target) {
    static constexpr std::size_t kMaxName = 255 - 48;
    fs::path::string_type name = target.filename().native();
    if (name.size() > kMaxName)
        name.resize(kMaxName);
    return fs::path::string_type(1, '.') + name;
}

// This computer's name, eight hex digits of its hash: a folder shared over the network can hold
// another computer's writes, whose processes cannot be looked for here.
std::string HostTag() {
    char host[256] = {};
#if !defined(_WIN32)
    ::gethostname(host, sizeof host - 1);
#endif
    std::uint32_t hash = 2166136261u;
    for (const char* c = host; *c != '\0'; ++c)
        hash = (hash ^ static_cast<unsigned char>(*c)) * 16777619u;
    char tag[9];
    std::snprintf(tag, sizeof tag, "%08x", static_cast<unsigned>(hash));
    return tag;
}

long ProcessId() {
#if defined(_WIN32)
    return static_cast<long>(::_getpid());
#else
    return static_cast<long>(::getpid());
#endif
}

// Whether the process `pid` of this computer has ended; a live one, or one that cannot be asked
// about, counts as still writing.
bool ProcessGone(long pid) {
#if defined(_WIN32)
    (void)pid;
    return false;
#else
    return pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
#endif
}

// Removes the temporary files of `target` that writers on this computer left when they were
// killed: a write whose process is gone never finishes, and nothing else would ever remove them.
void SweepLeftovers(const fs::path& target) {
    const std::string prefix =
        fs::path(HiddenName(target)).string() + std::string(kTemporaryMark) + HostTag() + "-";
    std::error_code ec;
    const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.rfind(prefix, 0) != 0)
            continue;
        // PID-RANDOM after the prefix.
        const std::string rest = name.substr(prefix.size());
        const std::size_t dash = rest.find('-');
        if (dash == 0 || dash == std::string::npos ||
            rest.find_first_not_of("0123456789") != dash || dash > 10)
            continue;
        std::error_code removed;
        if (ProcessGone(std::stol(rest.substr(0, dash))))
            fs::remove(it->path(), removed);
    }
}

// ".NAME.tarvex-HOST-PID-" followed by six random letters or digits.
fs::path TemporaryName(const fs::path& target, std::mt19937_64& random) {
    static constexpr char kSymbols[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kSymbols - 2);
    std::string part;
    for (int i = 0; i < 6; ++i)
        part += kSymbols[pick(random)];
    return TemporaryPath(target, ProcessId(), part);
}

}  // namespace

namespace {

// Temporary files of writes under way, readable from a signal handler: a slot is claimed, its
// path copied in, and only then marked listed; the handler reads listed slots only.
enum SlotState : int { kFree, kClaimed, kListed };
struct TemporarySlot {
    std::atomic<int> state{kFree};
    char path[4096] = {};
};
std::array<TemporarySlot, 16> temporaries;
static_assert(std::atomic<int>::is_always_lock_free);

#if !defined(_WIN32)
extern "C" void RemoveTemporariesAndEnd(int signal) {
    for (TemporarySlot& slot : temporaries) {
        if (slot.state.load(std::memory_order_acquire) == kListed)
            unlink(slot.path);
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}
#endif

}  // namespace

void RemoveTemporariesOnSignals() {
#if !defined(_WIN32)
    struct sigaction action {};
    action.sa_handler = RemoveTemporariesAndEnd;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}

void Replacement::Track() {
#if !defined(_WIN32)  // no signal handler there removes anything, so nothing to list
    const std::string name = temporary_.string();
    if (name.size() >= sizeof(TemporarySlot::path))
        return;
    for (std::size_t i = 0; i < temporaries.size(); ++i) {
        TemporarySlot& slot = temporaries[i];
        int expected = kFree;
        if (!slot.state.compare_exchange_strong(expected, kClaimed, std::memory_order_acquire))
            continue;
        std::memcpy(slot.path, name.c_str(), name.size() + 1);
        slot.state.store(kListed, std::memory_order_release);
        slot_ = static_cast<int>(i);
        return;
    }
#endif
}

void Replacement::Untrack() {
    if (slot_ < 0)
        return;
    temporaries[static_cast<std::size_t>(slot_)].state.store(kFree, std::memory_order_release);
    slot_ = -1;
}

fs::path TemporaryPath(const fs::path& target, long pid, std::string_view random) {
    fs::path temporary = target.parent_path();
    temporary /= fs::path(HiddenName(target));
    temporary += std::string(kTemporaryMark) + HostTag() + "-" + std::to_string(pid) + "-" +
                 std::string(random);
    return temporary;
}

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

    SweepLeftovers(target_);
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
    Track();
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
    Track();
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
    RenameOver(temporary_, target_, ec);
    if (ec)
        return Fail(ec, target_);
    Untrack();
    temporary_.clear();
    SyncFolder(target_.parent_path());
    return {};
}

void Replacement::Abandon() {
    Close();
    if (!temporary_.empty()) {
        std::error_code ignored;
        fs::remove(temporary_, ignored);
        Untrack();
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
    // A read error leaves the stream buffer by an exception whatever the stream's mask says.
    try {
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    } catch (const std::exception&) {
        return false;
    }
    return !in.bad();
}

std::FILE* OpenForReading(const fs::path& path) {
    errno = 0;
#if defined(_WIN32)
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    for (;;) {
        std::FILE* file = ::_wfopen(path.c_str(), L"rb");
        if (file != nullptr || errno != EACCES || std::chrono::steady_clock::now() >= deadline)
            return file;
        std::error_code ec;
        if (!fs::is_regular_file(path, ec))
            return nullptr;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
#else
    // Not inherited by programs started meanwhile: a lock taken on it would go with them.
    return std::fopen(path.c_str(), "rbe");
#endif
}

#if defined(_WIN32)
ReadStatus ReadLimited(const fs::path& path, std::size_t limit, std::string& bytes,
                       std::chrono::milliseconds) {
    bytes.clear();
    std::error_code ec;
    if (fs::is_directory(path, ec))
        return ReadStatus::Unreadable;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return ReadStatus::Unreadable;
    bytes.resize(limit + 1);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (in.bad())
        return ReadStatus::Unreadable;
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    if (bytes.size() <= limit)
        return ReadStatus::Ok;
    bytes.resize(limit);
    return ReadStatus::TooLarge;
}
#else
ReadStatus ReadLimited(const fs::path& path, std::size_t limit, std::string& bytes,
                       std::chrono::milliseconds patience) {
    using Clock = std::chrono::steady_clock;
    bytes.clear();
    // Not blocking, so that a pipe without a writer or one that stays silent cannot hold us.
    int fd;
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return ReadStatus::Unreadable;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        ::close(fd);
        return ReadStatus::Unreadable;
    }
    const Clock::time_point deadline = Clock::now() + patience;
    ReadStatus status = ReadStatus::Ok;
    char buffer[65536];
    for (;;) {
        // One byte past the limit tells a full file from one that holds more.
        const std::size_t wanted = std::min(sizeof buffer, limit + 1 - bytes.size());
        const ssize_t n = ::read(fd, buffer, wanted);
        if (n > 0) {
            bytes.append(buffer, static_cast<std::size_t>(n));
            if (bytes.size() > limit) {
                bytes.resize(limit);
                status = ReadStatus::TooLarge;
                break;
            }
            continue;
        }
        if (n == 0)
            break;
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            status = ReadStatus::Unreadable;
            break;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            status = ReadStatus::Unreadable;
            break;
        }
        pollfd wait{fd, POLLIN, 0};
        ::poll(&wait, 1, static_cast<int>(left.count()));
    }
    ::close(fd);
    if (status == ReadStatus::Unreadable)
        bytes.clear();
    return status;
}
#endif

bool SameFile(const fs::path& input, const fs::path& output) {
    std::error_code ec;
    if (fs::exists(input, ec) && fs::exists(output, ec)) {
        const bool same = fs::equivalent(input, output, ec);
        if (!ec)
            return same;
    }
    // A link to a file not made yet names that file, so both sides are resolved as far as they go.
    const fs::path a = fs::weakly_canonical(fs::absolute(WriteTarget(input), ec), ec);
    const fs::path b = fs::weakly_canonical(fs::absolute(WriteTarget(output), ec), ec);
    return !a.empty() && a.lexically_normal() == b.lexically_normal();
}

}  // namespace fileio

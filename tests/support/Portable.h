#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What the tests need from the operating system, behind one header, so that test files include no
// system headers of their own. What a system lacks answers through Lacks(): the test skips with
// that reason instead of failing, or passing, without a word.
namespace portable {

namespace fs = std::filesystem;

enum class Feature {
    Fork,           // a copy of this process running a function, which may die by a signal
    FileSizeLimit,  // a per-process limit that makes big writes fail
    Fifo,           // named pipes in the file system
    FileLock,       // flock: the advisory lock the POSIX register file writers take
    Pty,            // pseudo-terminals and terminal descriptors
    Signals,        // signals another process can catch, as SIGTERM and SIGINT
};

// Why this system lacks `feature`; empty when it has it.
std::string_view Lacks(Feature feature);

int ProcessId();
// Processor seconds the calling thread has used, in user and system mode together.
double ThreadCpuSeconds();
// This program's own executable.
fs::path SelfPath();

// A fresh, empty folder under the temporary folder, named after `stem`, this process and a count.
fs::path NewTempFolder(std::string_view stem);

// A NewTempFolder removed, with everything in it, when the object goes.
class TempDir {
public:
    explicit TempDir(std::string_view stem = "tarvex-test") : path_(NewTempFolder(stem)) {}
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const fs::path& path() const { return path_; }
    fs::path operator/(std::string_view name) const { return path_ / name; }

private:
    fs::path path_;
};

// How a child process ended.
struct Ending {
    int code = -1;   // its exit code; -1 when it did not exit by itself
    int signal = 0;  // the signal that ended it; 0 when none did
    bool Exited(int wanted) const { return signal == 0 && code == wanted; }
};

// A program run as a child process. Its standard output goes to a file, or to a pipe read line by
// line; its standard error to a file, or where this process's goes.
class Process {
public:
    Process() = default;
    ~Process();  // a child still running is ended and waited for, so none outlives its test
    Process(Process&& other) noexcept;
    Process& operator=(Process&& other) noexcept;

    // Starts `program args...`; with `out` empty its standard output goes to the pipe ReadLine
    // reads, with `err` empty its standard error is ours. False when it did not start.
    bool Start(const fs::path& program, const std::vector<std::string>& args,
               const fs::path& out = {}, const fs::path& err = {});
    bool Running() const { return child_ != kNone; }

    // The next line it printed to the pipe, without its end (a last one needs none); none at the
    // pipe's end or when no line came within `patience`.
    std::optional<std::string> ReadLine(std::chrono::milliseconds patience);
    // Sends it `signal` where Feature::Signals is; elsewhere ends it as if that signal had.
    void Signal(int signal);
    // Waits for its end; an Ending of -1 when none was started.
    Ending Wait();

private:
    static constexpr std::intptr_t kNone = -1;
    void End();      // ends and waits for a child still running, and closes the pipe
    void Release();  // closes the pipe
    // Start's work on this system, once no child runs and no pipe is left.
    bool Spawn(const fs::path& program, const std::vector<std::string>& args, const fs::path& out,
               const fs::path& err);
    // A whole line already read, taken off what the pipe gave; none while the line is unfinished.
    std::optional<std::string> TakeLine();
    // A child started: its id or handle and its pipe's read end (kNone without one).
    void Started(std::intptr_t child, std::intptr_t pipe);

    std::intptr_t child_ = kNone;  // its process id, or process handle
    std::intptr_t pipe_ = kNone;   // the read end of its standard output
    int ended_by_ = 0;             // the signal Signal() stood in for where there are none
    std::string pending_;          // what the pipe gave beyond the last line
};

// Whether this process has root's rights: it then opens any file, whatever its permissions.
bool IsRoot();
// The name of this process's effective group; empty where there are no groups.
std::string GroupName();

using SignalHandler = void (*)(int);
// The handler `signal` has now; SetSignalHandler installs `handler` and answers the one before.
SignalHandler SignalHandlerOf(int signal);
SignalHandler SetSignalHandler(int signal, SignalHandler handler);

// Signals only POSIX systems have; 0 elsewhere.
extern const int kSigHup;
extern const int kSigXfsz;

// Runs `body` in a copy of this process; what it returns is the copy's exit code. Needs
// Feature::Fork.
Ending InChild(const std::function<int()>& body);
// Gives this process an ordinary user's rights when it has root's, so that permissions hold for
// it too. False when it could not.
bool DropRoot();

// Lowers this process's file size limit to `bytes`; a write beyond it raises SIGXFSZ. False when
// it could not. Needs Feature::FileSizeLimit.
bool LimitFileSize(std::uintmax_t bytes);

// The file size limit lowered, with its signal ignored so that a write beyond it fails with
// EFBIG, until the object goes. Needs Feature::FileSizeLimit.
class FileSizeLimit {
public:
    explicit FileSizeLimit(std::uintmax_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    std::uintmax_t oldSoft_ = 0;
    std::uintmax_t oldHard_ = 0;
    void (*oldHandler_)(int) = nullptr;
    bool set_ = false;
};

// A named pipe made at `path` and held open for reading and writing, so that its readers never
// see its end, until the object goes. Needs Feature::Fifo.
class Fifo {
public:
    explicit Fifo(const fs::path& path);
    ~Fifo();
    Fifo(const Fifo&) = delete;
    Fifo& operator=(const Fifo&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    bool Write(std::string_view bytes);

private:
    int fd_ = -1;
};

// `path` opened and held under an exclusive flock until the object goes. Needs Feature::FileLock.
class FileLock {
public:
    explicit FileLock(const fs::path& path);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool Held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

// Descriptors of terminals: a pty's ends or a device a program printed. Needs Feature::Pty.

// A new pseudo-terminal in raw mode: its two ends and the far end's device path. False when none.
bool OpenPty(int& master, int& slave, std::string& slavePath);
// The device at `path` opened for reading and writing, not as a controlling terminal; made raw
// when `raw`. -1 when it cannot be opened.
int OpenTerminal(const std::string& path, bool raw = true, bool nonBlocking = false);
void Close(int fd);
// Whether all of `size` bytes were written.
bool WriteAll(int fd, const void* data, std::size_t size);
// Whether bytes wait to be read, waiting up to `patience` for them.
bool Readable(int fd, std::chrono::milliseconds patience);
// What a read of up to `size` bytes gave: 0 at the end, -1 on an error.
long ReadSome(int fd, void* data, std::size_t size);

}  // namespace portable

#include <process.h>
#include <windows.h>

#include <algorithm>
#include <csignal>
#include <thread>
#include <utility>

#include "tests/support/Portable.h"

namespace portable {

std::string_view Lacks(Feature feature) {
    switch (feature) {
        case Feature::Fork:
            return "Windows has no fork";
        case Feature::FileSizeLimit:
            return "Windows has no per-process file size limit";
        case Feature::Fifo:
            return "Windows has no named pipes in the file system";
        case Feature::FileLock:
            return "Windows has no flock";
        case Feature::Pty:
            return "Windows has no pseudo-terminals to open as files";
        case Feature::Signals:
            return "Windows has no signals one process can send another";
    }
    return "not on Windows";
}

int ProcessId() {
    return ::_getpid();
}

double ThreadCpuSeconds() {
    FILETIME created, ended, kernel, user;
    if (!::GetThreadTimes(::GetCurrentThread(), &created, &ended, &kernel, &user))
        return 0;
    // In units of 100 ns.
    auto seconds = [](FILETIME t) {
        return double((std::uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}

fs::path SelfPath() {
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (n == 0)
            return {};
        if (n < name.size()) {
            name.resize(n);
            return name;
        }
        name.resize(name.size() * 2);
    }
}

namespace {

std::wstring Wide(const std::string& utf8) {
    if (utf8.empty())
        return {};
    const int n =
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
    return wide;
}

// One word of a command line as the C runtime's parser splits it again: quoted when it has
// blanks or quotes, backslashes doubled only where a quote follows them.
void AppendQuoted(std::wstring& line, const std::wstring& word) {
    if (!line.empty())
        line += L' ';
    if (!word.empty() && word.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
        line += word;
        return;
    }
    line += L'"';
    std::size_t backslashes = 0;
    for (const wchar_t c : word) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        if (c == L'"')
            line.append(backslashes * 2 + 1, L'\\');
        else
            line.append(backslashes, L'\\');
        backslashes = 0;
        line += c;
    }
    line.append(backslashes * 2, L'\\');
    line += L'"';
}

HANDLE Inheritable(const fs::path& file) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return ::CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                         CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

HANDLE AsHandle(std::intptr_t h) {
    return reinterpret_cast<HANDLE>(h);
}

}  // namespace

bool Process::Spawn(const fs::path& program, const std::vector<std::string>& args,
                    const fs::path& out, const fs::path& err) {
    std::wstring line;
    AppendQuoted(line, program.native());
    for (const std::string& a : args)
        AppendQuoted(line, Wide(a));

    HANDLE readEnd = nullptr;
    HANDLE outHandle = INVALID_HANDLE_VALUE;
    if (out.empty()) {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        if (!::CreatePipe(&readEnd, &outHandle, &inherit, 0))
            return false;
        // Only the write end goes to the child.
        ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    } else {
        outHandle = Inheritable(out);
    }
    HANDLE errHandle = err.empty() ? ::GetStdHandle(STD_ERROR_HANDLE) : Inheritable(err);
    if (outHandle == INVALID_HANDLE_VALUE || errHandle == INVALID_HANDLE_VALUE) {
        for (HANDLE h : {readEnd, outHandle})
            if (h != nullptr && h != INVALID_HANDLE_VALUE)
                ::CloseHandle(h);
        if (!err.empty() && errHandle != INVALID_HANDLE_VALUE)
            ::CloseHandle(errHandle);
        return false;
    }

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = outHandle;
    startup.hStdError = errHandle;
    PROCESS_INFORMATION info{};
    const BOOL started = ::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE, 0,
                                          nullptr, nullptr, &startup, &info);
    ::CloseHandle(outHandle);
    if (!err.empty())
        ::CloseHandle(errHandle);
    if (!started) {
        if (readEnd != nullptr)
            ::CloseHandle(readEnd);
        return false;
    }
    ::CloseHandle(info.hThread);
    Started(reinterpret_cast<std::intptr_t>(info.hProcess),
            readEnd != nullptr ? reinterpret_cast<std::intptr_t>(readEnd) : kNone);
    return true;
}

std::optional<std::string> Process::ReadLine(std::chrono::milliseconds patience) {
    if (pipe_ == kNone)
        return std::nullopt;
    const auto until = std::chrono::steady_clock::now() + patience;
    for (;;) {
        if (std::optional<std::string> line = TakeLine()) {
            if (!line->empty() && line->back() == '\r')
                line->pop_back();
            return line;
        }
        // Anonymous pipes cannot be waited on: look, and look again a little later.
        DWORD waiting = 0;
        if (!::PeekNamedPipe(AsHandle(pipe_), nullptr, 0, nullptr, &waiting, nullptr)) {
            if (!pending_.empty())
                return std::exchange(pending_, {});  // the last line, without its end
            return std::nullopt;
        }
        if (waiting == 0) {
            if (std::chrono::steady_clock::now() >= until)
                return std::nullopt;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            continue;
        }
        char buffer[256];
        DWORD n = 0;
        if (!::ReadFile(AsHandle(pipe_), buffer, std::min<DWORD>(waiting, sizeof buffer), &n,
                        nullptr) ||
            n == 0)
            return std::nullopt;
        pending_.append(buffer, n);
    }
}

void Process::Signal(int signal) {
    if (!Running())
        return;
    // No signal to send: it ends as a program with no handler for one would.
    if (::TerminateProcess(AsHandle(child_), 128u + static_cast<unsigned>(signal)))
        ended_by_ = signal;
}

Ending Process::Wait() {
    if (!Running())
        return {};
    Ending ending;
    DWORD code = 0;
    if (::WaitForSingleObject(AsHandle(child_), INFINITE) == WAIT_OBJECT_0 &&
        ::GetExitCodeProcess(AsHandle(child_), &code)) {
        if (ended_by_ != 0)
            ending.signal = ended_by_;
        else
            ending.code = static_cast<int>(code);
    }
    ::CloseHandle(AsHandle(child_));
    child_ = kNone;
    return ending;
}

void Process::Release() {
    if (pipe_ != kNone)
        ::CloseHandle(AsHandle(pipe_));
    pipe_ = kNone;
}

bool IsRoot() {
    return false;  // an administrator still meets file permissions
}

std::string GroupName() {
    return {};
}

SignalHandler SignalHandlerOf(int signal) {
    // The C library can only tell the handler by replacing it.
    const SignalHandler now = std::signal(signal, SIG_DFL);
    std::signal(signal, now);
    return now;
}

SignalHandler SetSignalHandler(int signal, SignalHandler handler) {
    return std::signal(signal, handler);
}

const int kSigHup = 0;
const int kSigXfsz = 0;

Ending InChild(const std::function<int()>&) {
    return {};
}

bool DropRoot() {
    return true;  // no root to drop
}

bool LimitFileSize(std::uintmax_t) {
    return false;
}

FileSizeLimit::FileSizeLimit(std::uintmax_t) {}
FileSizeLimit::~FileSizeLimit() = default;

Fifo::Fifo(const fs::path&) {}
Fifo::~Fifo() = default;
bool Fifo::Write(std::string_view) {
    return false;
}

FileLock::FileLock(const fs::path&) {}
FileLock::~FileLock() = default;

bool OpenPty(int& master, int& slave, std::string& slavePath) {
    master = slave = -1;
    slavePath.clear();
    return false;
}

int OpenTerminal(const std::string&, bool, bool) {
    return -1;
}

void Close(int) {}

bool WriteAll(int, const void*, std::size_t) {
    return false;
}

bool Readable(int, std::chrono::milliseconds) {
    return false;
}

long ReadSome(int, void*, std::size_t) {
    return -1;
}

}  // namespace portable

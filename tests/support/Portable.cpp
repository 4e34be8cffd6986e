#include "tests/support/Portable.h"

#include <atomic>
#include <csignal>
#include <string>
#include <system_error>
#include <utility>

// What does not differ between systems.
namespace portable {

fs::path NewTempFolder(std::string_view stem) {
    static std::atomic<int> count{0};
    const fs::path path =
        fs::temp_directory_path() /
        (std::string(stem) + "-" + std::to_string(ProcessId()) + "-" + std::to_string(count++));
    fs::remove_all(path);
    fs::create_directories(path);
    return path;
}

TempDir::~TempDir() {
    std::error_code ec;
    // A test may leave the folder read-only; its files still go.
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

Process::~Process() {
    End();
}

void Process::End() {
    if (Running()) {
        Signal(SIGTERM);
        Wait();
    }
    Release();
}

Process::Process(Process&& other) noexcept
    : child_(std::exchange(other.child_, kNone)),
      pipe_(std::exchange(other.pipe_, kNone)),
      ended_by_(other.ended_by_),
      pending_(std::move(other.pending_)) {}

Process& Process::operator=(Process&& other) noexcept {
    if (this != &other) {
        End();
        child_ = std::exchange(other.child_, kNone);
        pipe_ = std::exchange(other.pipe_, kNone);
        ended_by_ = other.ended_by_;
        pending_ = std::move(other.pending_);
    }
    return *this;
}

bool Process::Start(const fs::path& program, const std::vector<std::string>& args,
                    const fs::path& out, const fs::path& err) {
    if (Running())
        return false;
    Release();  // the pipe of a run before
    return Spawn(program, args, out, err);
}

void Process::Started(std::intptr_t child, std::intptr_t pipe) {
    child_ = child;
    pipe_ = pipe;
    ended_by_ = 0;
    pending_.clear();
}

std::optional<std::string> Process::TakeLine() {
    const std::size_t end = pending_.find('\n');
    if (end == std::string::npos)
        return std::nullopt;
    std::string line = pending_.substr(0, end);
    pending_.erase(0, end + 1);
    return line;
}

}  // namespace portable

#pragma once

#if defined(_WIN32)
#include <process.h>
#else
#include <sys/resource.h>
#include <unistd.h>
#endif

#include <csignal>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

// What tests of file writers share: a fresh folder per test, removed with everything in it
// afterwards, whole-file helpers and an injected write failure.
namespace testfs {

namespace fs = std::filesystem;

inline int ProcessId() {
#if defined(_WIN32)
    return ::_getpid();
#else
    return static_cast<int>(::getpid());
#endif
}

// Whether symbolic links can be made in `folder`: MinGW's library cannot make any, and Windows
// allows them only to administrators or in developer mode.
inline bool CanLink(const fs::path& folder) {
    std::error_code ec;
    const fs::path probe = folder / ".link-probe";
    fs::create_symlink("none", probe, ec);
    if (ec)
        return false;
    fs::remove(probe, ec);
    return true;
}

// A name's UTF-8 bytes, whatever the system's own encoding of names.
inline std::string Utf8(const fs::path& path) {
    const std::u8string bytes = path.u8string();
    return std::string(bytes.begin(), bytes.end());
}

class TempDir {
public:
    explicit TempDir(std::string_view stem = "tarvex-test") {
        static int counter = 0;
        path_ = fs::temp_directory_path() / (std::string(stem) + "-" + std::to_string(ProcessId()) +
                                             "-" + std::to_string(counter++));
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const fs::path& path() const { return path_; }
    fs::path operator/(const std::string& name) const { return path_ / name; }

private:
    fs::path path_;
};

inline void WriteFile(const fs::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The file's bytes, or "<missing>" when it cannot be read.
inline std::string ReadFile(const fs::path& path) {
    std::error_code ec;
    std::ifstream in(path, std::ios::binary);
    if (!in || fs::is_directory(path, ec))
        return "<missing>";
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The names in a folder, sorted: what a writer left behind.
inline std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

#if !defined(_WIN32)
// Lowers the file size limit, with its signal ignored, so a write beyond it fails with EFBIG.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited{bytes, old_.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
};
#endif

}  // namespace testfs

#pragma once

#if defined(_WIN32)
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cwctype>
#include <filesystem>
#include <string>
#include <system_error>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace fileio {

// Writers of one file on Windows take turns through a mutex named after the file (`kind` keeps
// the names of different kinds of file apart): a lock on the file would shut readers out too, and
// Windows cannot rename over a file another writer holds open.
class WriterTurn {
public:
    WriterTurn() = default;
    ~WriterTurn() {
        if (held_)
            ::ReleaseMutex(mutex_);
        if (mutex_ != nullptr)
            ::CloseHandle(mutex_);
    }
    WriterTurn(const WriterTurn&) = delete;
    WriterTurn& operator=(const WriterTurn&) = delete;

    std::error_code Take(const std::filesystem::path& path, const wchar_t* kind,
                         std::chrono::milliseconds wait) {
        std::error_code ec;
        const std::wstring key =
            std::filesystem::weakly_canonical(std::filesystem::absolute(path, ec), ec).native();
        // Windows names ignore case; FNV-1a keeps the name the same in every program.
        std::uint64_t hash = 14695981039346656037ull;
        for (wchar_t c : key) {
            hash ^= static_cast<std::uint64_t>(std::towlower(static_cast<wint_t>(c)));
            hash *= 1099511628211ull;
        }
        wchar_t name[96];
        std::swprintf(name, 96, L"Local\\tarvex-%ls-%016llx", kind,
                      static_cast<unsigned long long>(hash));
        mutex_ = ::CreateMutexW(nullptr, FALSE, name);
        // Without the mutex the write goes as before, unguarded.
        if (mutex_ == nullptr)
            return {};
        const DWORD waited = ::WaitForSingleObject(mutex_, static_cast<DWORD>(wait.count()));
        held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
        return held_ ? std::error_code() : std::make_error_code(std::errc::device_or_resource_busy);
    }

private:
    HANDLE mutex_ = nullptr;
    bool held_ = false;
};

}  // namespace fileio
#endif

#pragma once

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace fileio {

// The cause of the last failed system call, from errno; EIO where the call left none.
std::error_code LastError();

// The temporary file a writer with process id `pid` on this computer uses for `target`, with
// `random` as its last part.
std::filesystem::path TemporaryPath(const std::filesystem::path& target, long pid,
                                    std::string_view random);

// The file a write to `path` must change: the one a symbolic link points to, else `path` itself.
// Renaming a new file over the link would replace the link and leave its file as it was.
std::filesystem::path WriteTarget(const std::filesystem::path& path);

// The one way a file holding user data is replaced. The new content goes to a temporary file
// beside the target, reaches the disk, takes the target's permissions and is renamed over it, so
// any failure leaves the old file complete and no temporary file behind. Where no temporary file
// can be made (a folder the user may write files in but not create them) and for devices and
// other special files, the target itself is rewritten in place.
class Replacement {
public:
    Replacement() = default;
    ~Replacement();
    Replacement(const Replacement&) = delete;
    Replacement& operator=(const Replacement&) = delete;

    // Starts replacing WriteTarget(path) through a new temporary file
    // ".NAME.tarvex-HOST-PID-XXXXXX". Temporary files of the target that writers on this computer
    // left behind when they were killed are removed first.
    std::error_code Open(const std::filesystem::path& path);
    // Starts replacing WriteTarget(path) through the named working copy, made anew (one left
    // behind is removed first); there is no in-place fallback, a working copy that cannot be made
    // is the failure. Writers sharing one working-copy name must take turns.
    std::error_code OpenThrough(const std::filesystem::path& path,
                                const std::filesystem::path& workingCopy);

    // Appends all of `bytes`; after a failure every later call fails with the first cause.
    std::error_code Write(std::string_view bytes);

    // Puts the new content in place; whatever happens, the temporary file is gone afterwards.
    std::error_code Commit();

    // Drops what was written and removes the temporary file; a no-op after Commit.
    void Abandon();

    // The file the last failure concerns: the temporary file, or the target.
    const std::filesystem::path& FailedFile() const { return failedFile_; }
    const std::filesystem::path& Target() const { return target_; }
    // Empty while writing in place.
    const std::filesystem::path& Temporary() const { return temporary_; }

private:
    std::error_code Fail(std::error_code cause, const std::filesystem::path& file);
    void Start();
    std::error_code OpenInPlace();
    void Close();

    std::filesystem::path target_;
    std::filesystem::path temporary_;
    std::filesystem::path failedFile_;
    std::error_code error_;
    void Track();
    void Untrack();

    int fd_ = -1;
    int slot_ = -1;  // where the temporary file is listed for removal on a fatal signal
    unsigned long long written_ = 0;
};

// From now on SIGINT, SIGTERM and SIGHUP first remove the temporary files of writes under way,
// then end the process as before; SIGXFSZ is ignored, so a write over the file size limit fails
// like any other and leaves the old file. For the programs' main functions.
void RemoveTemporariesOnSignals();

// Replaces the file at `path` (through a link, the file it points to) with `bytes`, as
// Replacement does. Returns an empty error code on success.
std::error_code WriteSafely(const std::filesystem::path& path, std::string_view bytes);

// Whether `target` can be opened for writing (created when missing), without changing its content.
bool CanWrite(const std::filesystem::path& target);

// Opens a file for reading in binary. On Windows a file that another program is renaming over is
// refused for a moment, so that refusal is waited out for up to a second.
std::FILE* OpenForReading(const std::filesystem::path& path);

// Reads a whole file; returns false when it cannot be opened or read.
bool ReadWholeFile(const std::filesystem::path& path, std::string& bytes);

enum class ReadStatus { Ok, Unreadable, TooLarge };

// Reads at most `limit` bytes of a file. TooLarge leaves the first `limit` bytes in `bytes`.
// A folder, a read error, or a pipe or device that gives nothing for `patience` is Unreadable;
// no I/O error escapes as an exception.
ReadStatus ReadLimited(const std::filesystem::path& path, std::size_t limit, std::string& bytes,
                       std::chrono::milliseconds patience = std::chrono::seconds(1));

// Whether writing `output` would change the file `input`: the same file after resolving links,
// or, where either does not exist yet, the same path once made absolute and normalised.
bool SameFile(const std::filesystem::path& input, const std::filesystem::path& output);

}  // namespace fileio

#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <system_error>

// The register file: an identification line, then one text line per register,
// "[S0007] = 250", each ended by CR LF. Line 2 + k belongs to register k by position alone.
namespace registers {

inline constexpr std::string_view kIdentification = "This is Par.dat for RVL412E. By RSE.";
inline constexpr int kRegisterCount = 4096;
inline constexpr int kPageSize = 24;
inline constexpr int kLastPageBase = 4080;
// "[S0000] = " - the register number sits in characters 3 to 6.
inline constexpr std::size_t kPrefixLength = 10;
// Four digits hold the register numbers 0 to 9999; a file with more lines cannot be renumbered.
inline constexpr int kMaxRegisterLines = 10000;
// More than any register file holds: 10000 lines of the longest value texts many times over.
inline constexpr std::size_t kMostRegisterFileBytes = std::size_t{64} << 20;
// What the editor lets a user type into a value field.
inline constexpr std::size_t kMaxValueText = 9;

using PageTexts = std::array<std::string, kPageSize>;

// What a value text may hold: at most kMaxValueText bytes, and no CR or LF, either of which would
// end its line when the file is read back.
enum class ValueFault { None, TooLong, LineBreak };
ValueFault CheckValueText(std::string_view text);

// k as four decimal digits, zero-padded (7 gives "0007"); k must lie in 0..9999.
std::string FourDigits(int k);

// "[S0007] = " followed by the value text.
std::string RegisterLine(int k, std::string_view valueText);

// The page bases 0, 24, ... 4080. Other bases are refused by the page read and write, since
// they either name no page or would need register numbers the four digits cannot hold.
bool IsPageBase(int base);

enum class CheckResult { CannotOpen, NotRegisterFile, RegisterFile };
CheckResult CheckRegisterFile(const std::filesystem::path& path);

// Creates the file, or empties an existing one, holding just the identification line.
std::error_code CreateRegisterFile(const std::filesystem::path& path);

enum class ReadStatus { Done, CannotOpen, BadPage };
struct PageRead {
    ReadStatus status = ReadStatus::CannotOpen;
    PageTexts texts;  // registers base to base + 23; empty where the file has no such line
};
PageRead ReadRegisterPage(const std::filesystem::path& path, int base);

enum class WriteStatus {
    Done,
    CannotOpen,    // the register file cannot be read; nothing written
    BadPage,       // not a page base; nothing written
    BadText,       // a value text holds an LF, which would add a line; nothing written
    TooManyLines,  // the file holds more register lines than four digits can number; unchanged
    FileError,     // in use, or writing, flushing or renaming failed; see cause and file
};
struct WriteResult {
    WriteStatus status = WriteStatus::Done;
    std::error_code cause;
    std::filesystem::path file;  // the file the failure concerns
};

// The check, the page read and the page write on a register file's contents in memory, as the
// functions on files do them once the file is open. A write that is not Done leaves `rewritten`
// empty.
CheckResult CheckRegisterBytes(std::string_view contents);
PageRead ReadRegisterPageBytes(std::string_view contents, int base);
WriteStatus RewriteRegisterPageBytes(std::string_view contents, int base, const PageTexts& texts,
                                     std::string& rewritten);

// Working copy of a page write: the full path with ".bak" appended.
std::filesystem::path WorkingCopyPath(const std::filesystem::path& path);

// How long a page write waits for another one on the same file to finish.
inline constexpr std::chrono::milliseconds kLockWait{2000};

// Makes a register file's new contents from its contents as they are now; leaving `rewritten`
// empty means there is nothing to write.
using RegisterChange = std::function<WriteStatus(std::string_view current, std::string& rewritten)>;

// The one way a register file changes, so that writers of every kind take turns. Waits up to
// `wait` for the turn (in vain: nothing written, a file error naming the file as busy), reads the
// file as it is then, builds the change in the working copy and renames it over the register
// file before the turn passes on. Any failure leaves the old or the new file complete and no
// working copy behind; a change that is not Done writes nothing and gives its status.
WriteResult ModifyRegisterFile(const std::filesystem::path& path, const RegisterChange& change,
                               std::chrono::milliseconds wait = kLockWait);

// The page's texts written through ModifyRegisterFile.
WriteResult WriteRegisterPage(const std::filesystem::path& path, int base, const PageTexts& texts,
                              std::chrono::milliseconds wait = kLockWait);

}  // namespace registers

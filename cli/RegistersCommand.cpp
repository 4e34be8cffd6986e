#include <charconv>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "registers/FileErrors.h"
#include "registers/RegisterFile.h"

namespace cli {
namespace {

constexpr std::string_view kHelp =
    "usage: tarvex registers new FILE\n"
    "       tarvex registers read FILE BASE\n"
    "       tarvex registers write FILE BASE V0 ... V23\n"
    "\n"
    "new creates (or empties) a register file holding only its identification line.\n"
    "read prints the 24 value texts of the page that holds register BASE, one per line.\n"
    "write puts 24 value texts (at most 9 characters each, taken as typed) on that page,\n"
    "completing the file to 4096 registers, as the register settings editor saves.\n"
    "BASE is a register number 0 to 4103, rounded down to its page (0, 24, ... 4080).\n"
    "Values may start with a minus sign; nothing after BASE is read as an option.\n"
    "\n"
    "exit status: 0 done, 3 the file could not be written, 4 the file could not be\n"
    "read or is no register file, 64 bad command line.\n";

constexpr std::string_view kNotRegisterFile = "文件格式不正确！请确认你选择的是RVL412E寄存器文件。";

int Usage(std::ostream& err, std::string_view problem) {
    err << "tarvex registers: " << problem << "\n" << kHelp;
    return exitcode::kUsage;
}

// The page that holds register `text`, or nothing when the text is no number or the page lies
// outside the file's format.
std::optional<int> PageBase(std::string_view text) {
    int n = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (ec != std::errc() || end != text.data() + text.size() || n < 0)
        return std::nullopt;
    const int base = n - n % registers::kPageSize;
    return registers::IsPageBase(base) ? std::optional<int>(base) : std::nullopt;
}

// The register file must be there and be one; read and write only work on register files.
bool CheckFile(const std::filesystem::path& file, std::ostream& err) {
    switch (registers::CheckRegisterFile(file)) {
        case registers::CheckResult::RegisterFile:
            return true;
        case registers::CheckResult::NotRegisterFile:
            err << kNotRegisterFile << "\n";
            return false;
        case registers::CheckResult::CannotOpen:
            err << registers::FileErrorMessage(
                       std::make_error_code(std::errc::no_such_file_or_directory), file.string())
                << "\n";
            return false;
    }
    return false;
}

int New(const std::filesystem::path& file, std::ostream& err) {
    if (const std::error_code ec = registers::CreateRegisterFile(file)) {
        err << registers::FileErrorMessage(ec, file.string()) << "\n";
        return exitcode::kCannotCreate;
    }
    return exitcode::kOk;
}

int Read(const std::filesystem::path& file, int base, std::ostream& out, std::ostream& err) {
    if (!CheckFile(file, err))
        return exitcode::kUnreadable;
    const registers::PageRead page = registers::ReadRegisterPage(file, base);
    if (page.status != registers::ReadStatus::Done) {
        err << registers::FileErrorMessage(std::make_error_code(std::errc::io_error), file.string())
            << "\n";
        return exitcode::kUnreadable;
    }
    for (const std::string& text : page.texts)
        out << text << "\n";
    return exitcode::kOk;
}

int Write(const std::filesystem::path& file, int base, const registers::PageTexts& texts,
          std::ostream& err) {
    if (!CheckFile(file, err))
        return exitcode::kUnreadable;
    const registers::WriteResult result = registers::WriteRegisterPage(file, base, texts);
    switch (result.status) {
        case registers::WriteStatus::Done:
            return exitcode::kOk;
        case registers::WriteStatus::CannotOpen:
            err << registers::FileErrorMessage(result.cause, file.string()) << "\n";
            return exitcode::kUnreadable;
        case registers::WriteStatus::TooManyLines:
            err << kNotRegisterFile << "\n";
            return exitcode::kUnreadable;
        case registers::WriteStatus::BadPage:
            return Usage(err, "page base must be a register number from 0 to 4103");
        case registers::WriteStatus::BadText:
            return Usage(err, "a value holds a line break");
        case registers::WriteStatus::FileError:
            err << registers::FileErrorMessage(result.cause, result.file.string()) << "\n";
            return exitcode::kCannotCreate;
    }
    return exitcode::kCannotCreate;
}

}  // namespace

int RunRegisters(Args args, std::ostream& out, std::ostream& err) {
    if (!args.empty() && (args[0] == "-h" || args[0] == "--help")) {
        out << kHelp;
        return exitcode::kOk;
    }
    if (args.size() < 2)
        return Usage(err, "expected new, read or write and a register file");
    const std::string_view action = args[0];
    const std::filesystem::path file{std::string(args[1])};
    if (action == "new")
        return args.size() == 2 ? New(file, err) : Usage(err, "new takes only the file");
    if (action != "read" && action != "write")
        return Usage(err, "unknown action " + std::string(action));
    if (args.size() < 3)
        return Usage(err, "expected a page base");
    const std::optional<int> base = PageBase(args[2]);
    if (!base)
        return Usage(err, "page base must be a register number from 0 to 4103");
    if (action == "read")
        return args.size() == 3 ? Read(file, *base, out, err)
                                : Usage(err, "read takes the file and the page base only");

    if (args.size() != 3 + registers::kPageSize)
        return Usage(err, "write takes exactly 24 values");
    registers::PageTexts texts;
    for (std::size_t r = 0; r < texts.size(); ++r) {
        texts[r] = std::string(args[3 + r]);
        if (texts[r].size() > registers::kMaxValueText)
            return Usage(err, "“请填入不多于9个的字符。” (" + texts[r] + ")");
    }
    return Write(file, *base, texts, err);
}

const Command kRegistersCommand{
    "registers", "registers new|read|write FILE ...   create, read or write a register file page",
    kHelp, RunRegisters};

}  // namespace cli

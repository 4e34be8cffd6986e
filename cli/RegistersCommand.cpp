#include <charconv>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "common/FileErrors.h"
#include "common/FileIo.h"
#include "common/Utf8Path.h"
#include "registers/AllRegisters.h"
#include "registers/RegisterFile.h"

namespace cli {
namespace {

// Register values may start with a minus sign: after the action no word is an option.
constexpr Grammar kGrammar{{}, -1, msg::Id::UnknownError, LaterWords::ArePositional};

int Usage(std::ostream& err, msg::Id problem, std::string_view arg = {}) {
    return cli::Usage(kRegistersCommand, msg::Text(problem, {arg}), err);
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
    // A device or a pipe is no register file, and reading one might never end.
    std::error_code ec;
    const auto status = std::filesystem::status(file, ec);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        err << msg::Source(msg::Id::CliNotRegisterFile) << "\n";
        return false;
    }
    switch (registers::CheckRegisterFile(file)) {
        case registers::CheckResult::RegisterFile:
            return true;
        case registers::CheckResult::NotRegisterFile:
            err << msg::Source(msg::Id::CliNotRegisterFile) << "\n";
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
            err << msg::Source(msg::Id::CliNotRegisterFile) << "\n";
            return exitcode::kUnreadable;
        case registers::WriteStatus::BadPage:
            return Usage(err, msg::Id::CliRegistersBadBase);
        case registers::WriteStatus::BadText:
            return Usage(err, msg::Id::CliRegistersLineBreak);
        case registers::WriteStatus::FileError:
            err << registers::FileErrorMessage(result.cause, result.file.string()) << "\n";
            return exitcode::kCannotCreate;
    }
    return exitcode::kCannotCreate;
}

// The register file's 4096 texts, or nothing after saying why on `err`.
std::optional<registers::AllTexts> ReadAll(const std::filesystem::path& file, std::ostream& err) {
    if (!CheckFile(file, err))
        return std::nullopt;
    registers::AllRead read = registers::ReadAllRegisters(file);
    if (read.status != registers::ReadAllStatus::Done) {
        err << registers::FileErrorMessage(read.cause, file.string()) << "\n";
        return std::nullopt;
    }
    return std::move(read.texts);
}

int Diff(const std::filesystem::path& a, const std::filesystem::path& b, std::ostream& out,
         std::ostream& err) {
    const auto before = ReadAll(a, err);
    if (!before)
        return exitcode::kUnreadable;
    const auto after = ReadAll(b, err);
    if (!after)
        return exitcode::kUnreadable;
    const auto differences = registers::DiffRegisters(*before, *after);
    for (const registers::Difference& d : differences)
        out << msg::Text(msg::Id::CliRegistersDiffLine,
                         {registers::RegisterName(d.number), d.before, d.after})
            << "\n";
    // A listing that did not all arrive is no answer; the tool says so once, on its way out.
    if (!out.flush())
        return exitcode::kOutputFailed;
    return differences.empty() ? exitcode::kOk : exitcode::kRefused;
}

int Export(const std::filesystem::path& file, const std::filesystem::path& csv, std::ostream& err) {
    const auto texts = ReadAll(file, err);
    if (!texts)
        return exitcode::kUnreadable;
    if (const std::error_code ec = fileio::WriteSafely(csv, registers::ExportCsv(*texts))) {
        err << registers::FileErrorMessage(ec, csv.string()) << "\n";
        return exitcode::kCannotCreate;
    }
    return exitcode::kOk;
}

int Import(const std::filesystem::path& file, const std::filesystem::path& csv, std::ostream& err) {
    const auto loaded = ReadAll(file, err);
    if (!loaded)
        return exitcode::kUnreadable;
    std::string bytes;
    if (fileio::ReadLimited(csv, registers::kMostCsvBytes, bytes) != fileio::ReadStatus::Ok) {
        err << msg::Text(msg::Id::CliRegistersCsvUnreadable, {csv.string()}) << "\n";
        return exitcode::kUnreadable;
    }
    const registers::CsvRead read = registers::ParseCsv(bytes);
    if (!read.problems.empty()) {
        std::string lines;
        for (const registers::CsvProblem& problem : read.problems)
            lines += registers::CsvProblemText(problem) + "\n";
        lines.pop_back();
        err << msg::Text(msg::Id::RegistersCsvRefused, {csv.string(), lines}) << "\n";
        return exitcode::kRefused;
    }
    for (const registers::CsvWarning& warning : read.warnings)
        err << registers::CsvWarningText(warning) << "\n";
    registers::AllTexts texts = *loaded;
    for (const registers::CsvRow& row : read.rows)
        texts[std::size_t(row.number)] = row.value;
    // Only the registers the CSV names change, in the file as it is when the import's turn comes.
    const registers::WriteResult result = registers::WriteAllRegisters(file, texts, &*loaded);
    if (result.status == registers::WriteStatus::Done)
        return exitcode::kOk;
    if (result.status == registers::WriteStatus::FileError) {
        err << registers::FileErrorMessage(result.cause, result.file.string()) << "\n";
        return exitcode::kCannotCreate;
    }
    err << msg::Source(msg::Id::CliNotRegisterFile) << "\n";
    return exitcode::kUnreadable;
}

int Registers(const ParsedArgs& parsed, std::ostream& out, std::ostream& err) {
    const std::vector<std::string_view> args(parsed.positional.begin(), parsed.positional.end());
    if (args.size() < 2)
        return Usage(err, msg::Id::CliRegistersExpectsAction);
    const std::string_view action = args[0];
    const std::filesystem::path file = fileio::PathFromUtf8(args[1]);
    if (action == "new")
        return args.size() == 2 ? New(file, err) : Usage(err, msg::Id::CliRegistersNewTakesFile);
    if (action == "diff")
        return args.size() == 3 ? Diff(file, fileio::PathFromUtf8(args[2]), out, err)
                                : Usage(err, msg::Id::CliRegistersDiffTakes);
    if (action == "export" || action == "import") {
        if (args.size() != 3)
            return Usage(err, msg::Id::CliRegistersCsvTakes, action);
        const std::filesystem::path csv = fileio::PathFromUtf8(args[2]);
        return action == "export" ? Export(file, csv, err) : Import(file, csv, err);
    }
    if (action != "read" && action != "write")
        return Usage(err, msg::Id::CliRegistersUnknownAction, action);
    if (args.size() < 3)
        return Usage(err, msg::Id::CliRegistersExpectsBase);
    const std::optional<int> base = PageBase(args[2]);
    if (!base)
        return Usage(err, msg::Id::CliRegistersBadBase);
    if (action == "read")
        return args.size() == 3 ? Read(file, *base, out, err)
                                : Usage(err, msg::Id::CliRegistersReadTakes);

    if (args.size() != 3 + registers::kPageSize)
        return Usage(err, msg::Id::CliRegistersWriteTakes);
    registers::PageTexts texts;
    for (std::size_t r = 0; r < texts.size(); ++r) {
        texts[r] = std::string(args[3 + r]);
        if (texts[r].size() > registers::kMaxValueText)
            return Usage(err, msg::Id::CliRegistersValueTooLong, texts[r]);
        // A CR would be read back as the end of the line, like an LF.
        if (texts[r].find('\r') != std::string::npos)
            return Usage(err, msg::Id::CliRegistersLineBreak);
    }
    return Write(file, *base, texts, err);
}

// The register file is read and rewritten in place by new, write and import: for the guard it is
// their output, beside the CSV they read.
fileio::FileRoles Files(const ParsedArgs& parsed) {
    const std::vector<std::string>& words = parsed.positional;
    fileio::FileRoles roles;
    if (words.size() < 2)
        return roles;
    const std::string& action = words[0];
    const std::string& file = words[1];
    const std::string second = words.size() > 2 ? words[2] : std::string();
    if (action == "new" || action == "write")
        roles.Out(file);
    else if (action == "read")
        roles.In(file);
    else if (action == "diff")
        roles.In(file).In(second);
    else if (action == "export")
        roles.In(file).Out(second);
    else if (action == "import")
        roles.In(second).Out(file);
    return roles;
}

}  // namespace

int RunRegisters(Args args, std::ostream& out, std::ostream& err) {
    return RunCommand(kRegistersCommand, args, out, err);
}

const Command kRegistersCommand{
    "registers", msg::Id::CliRegistersSynopsis, msg::Id::CliRegistersHelp, kGrammar, Registers,
    Files};

}  // namespace cli

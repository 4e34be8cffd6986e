#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include <QDir>

#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "common/FileIo.h"
#include "common/PortName.h"
#include "jobs/JobEditing.h"
#include "jobs/JobFile.h"
#include "jobs/JobInputs.h"
#include "jobs/UnitLedger.h"
#include "jobs/UnitRun.h"
#include "link/PortList.h"

namespace cli {
namespace {

constexpr OptionRule kOptions[] = {
    {"--program", "", true},       {"--number", "", true},    {"--params", "", true},
    {"--page", "", true},          {"--screen", "", true},    {"--kind", "", true},
    {"--screen-number", "", true}, {"--registers", "", true}, {"--stamp", "", true},
    {"--stamp-csv", "", true},     {"--port", "", true},      {"--unit", "", true},
    {"--operator", "", true},      {"--loop", "", false},     {"--units", "", true},
    {"--ledger", "", true},        {"--fast", "", false},     {"--baud", "", true},
    {"--golden", "", false},
};
// The action and everything after it are read by the action itself, which needs their order.
constexpr Grammar kGrammar{{}, -1, msg::Id::UnknownError, LaterWords::ArePositional};

int Fault(std::ostream& out, const jobs::JobFault& fault) {
    return Report(out, fault.Text(), fault.status);
}

// The i-th value of an option given once per step, or its only value for every step.
std::optional<std::string> Nth(const ParsedArgs& args, std::string_view name, std::size_t i) {
    if (const auto many = args.repeated.find(name); many != args.repeated.end())
        return i < many->second.size() ? std::optional(many->second[i]) : std::nullopt;
    return args.Value(name);
}

std::optional<int> WholeNumber(const std::string& text, int least, int most) {
    if (text.empty() || text.size() > 9 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const int value = std::stoi(text);
    return value >= least && value <= most ? std::optional(value) : std::nullopt;
}

// "S0100:1000:1:4" as a counter stamp.
std::optional<jobs::Stamp> CounterStamp(const std::string& text) {
    std::vector<std::string> parts;
    for (std::size_t from = 0;;) {
        const std::size_t colon = text.find(':', from);
        parts.push_back(text.substr(from, colon == std::string::npos ? colon : colon - from));
        if (colon == std::string::npos)
            break;
        from = colon + 1;
    }
    if (parts.size() != 4 || parts[0].size() < 2 || (parts[0][0] != 'S' && parts[0][0] != 's'))
        return std::nullopt;
    const auto reg = WholeNumber(parts[0].substr(1), 0, jobs::kRegisterCount - 1);
    const auto start = WholeNumber(parts[1], 0, 999999999);
    const auto step = WholeNumber(parts[2], 1, 999999999);
    const auto digits = WholeNumber(parts[3], 0, 9);
    if (!reg || !start || !step || !digits)
        return std::nullopt;
    return jobs::Stamp{jobs::StampKind::Counter, *reg, *start, *step, *digits, {}};
}

// Steps in the order their options were given; the numbers of each kind pair up by position.
std::string StepsFromWords(const std::vector<std::string>& words, const ParsedArgs& args,
                           jobs::Job& job) {
    std::size_t counts[3] = {};
    for (const std::string& word : words) {
        const std::string name = word.substr(0, word.find('='));
        const int kind = name == "--program"  ? 0
                         : name == "--params" ? 1
                         : name == "--screen" ? 2
                                              : -1;
        if (kind < 0)
            continue;
        const std::size_t i = counts[kind]++;
        jobs::Step step;
        step.kind = jobs::StepKind(kind);
        step.file = *Nth(args, name, i);
        const char* numberOption = kind == 0   ? "--number"
                                   : kind == 1 ? "--page"
                                               : "--screen-number";
        if (const auto n = Nth(args, numberOption, i)) {
            const auto value = WholeNumber(*n, 0, kind == 2 ? ctrl::kLastScreenNumber : 9999);
            if (!value)
                return msg::Text(msg::Id::CliDownloadBadNumber, {numberOption, *n});
            step.number = *value;
        }
        if (kind == 2) {
            const auto screenKind =
                jobs::ScreenKindNamed(Nth(args, "--kind", i).value_or("startup"));
            if (!screenKind)
                return msg::Text(msg::Id::CliDownloadBadScreenKind, {*Nth(args, "--kind", i)});
            step.screenKind = *screenKind;
            const std::string list = Nth(args, "--registers", i).value_or("0,0,0,0");
            std::size_t from = 0;
            for (std::size_t r = 0; r < 4; ++r) {
                const std::size_t comma = list.find(',', from);
                const auto value =
                    WholeNumber(list.substr(from, comma - from), 0, ctrl::kLastRegisterNumber);
                if (!value || (comma == std::string::npos) != (r == 3))
                    return msg::Text(msg::Id::CliDownloadBadRegisters, {list});
                step.registers[r] = *value;
                from = comma + 1;
            }
        }
        job.steps.push_back(std::move(step));
    }
    return {};
}

// The files named on the command line as the job names them: relative to the job's folder.
void RelativeToJob(const std::filesystem::path& jobPath, jobs::Job& job) {
    const QDir folder(
        QString::fromStdString(std::filesystem::absolute(jobPath).parent_path().string()));
    const auto relative = [&](std::string& file) {
        file =
            folder.relativeFilePath(QDir::current().absoluteFilePath(QString::fromStdString(file)))
                .toStdString();
    };
    for (jobs::Step& step : job.steps)
        relative(step.file);
    if (job.stamp.kind == jobs::StampKind::Csv)
        relative(job.stamp.csv);
}

int NewJob(const std::string& jobPath, const std::vector<std::string>& words,
           const ParsedArgs& args, std::ostream& out, std::ostream& err) {
    if (!args.Has("--program"))
        return Usage(kJobCommand, msg::Text(msg::Id::CliJobNeedsProgram), err);
    jobs::Job job;
    if (const std::string fault = StepsFromWords(words, args, job); !fault.empty())
        return Usage(kJobCommand, fault, err);
    if (const auto stamp = args.Value("--stamp")) {
        const auto counter = CounterStamp(*stamp);
        if (!counter)
            return Usage(kJobCommand, msg::Text(msg::Id::CliJobBadStamp, {*stamp}), err);
        job.stamp = *counter;
    } else if (const auto csv = args.Value("--stamp-csv")) {
        job.stamp = jobs::Stamp{jobs::StampKind::Csv, 0, 0, 1, 0, *csv};
    }
    RelativeToJob(jobPath, job);
    // The job as written must read back: the same checks as every later use.
    const jobs::JobRead check = jobs::ParseJob(jobPath, jobs::JobText(job));
    if (!check.job)
        return Fault(out, check.fault);
    if (const std::error_code ec = jobs::WriteJob(jobPath, job))
        return Report(out, msg::Text(msg::Id::JobNotWritten, {jobPath, ec.message()}),
                      exitcode::kCannotCreate);
    return Report(out, msg::Text(msg::Id::JobWritten, {jobPath, std::to_string(job.steps.size())}),
                  exitcode::kOk);
}

std::optional<jobs::PreparedJob> Prepare(const std::string& jobPath, std::ostream& out,
                                         int& status) {
    const jobs::JobRead read = jobs::ReadJob(jobPath);
    if (!read.job) {
        status = Fault(out, read.fault);
        return std::nullopt;
    }
    jobs::Preparation prepared = jobs::PrepareJob(jobPath, *read.job);
    if (!prepared.prepared) {
        status = Fault(out, prepared.fault);
        return std::nullopt;
    }
    return std::move(prepared.prepared);
}

int Approve(const std::string& jobPath, std::ostream& out) {
    const jobs::Approval approval = jobs::ApproveJob(jobPath);
    if (!approval.job)
        return Fault(out, approval.fault);
    return Report(
        out,
        msg::Text(msg::Id::JobApproved, {jobPath, std::to_string(approval.job->approved.size()),
                                         jobs::ApprovalHash(approval.job->approved)}),
        exitcode::kOk);
}

int Check(const std::string& jobPath, std::ostream& out) {
    int status = 0;
    const auto prepared = Prepare(jobPath, out, status);
    if (!prepared)
        return status;
    for (const auto& [file, hash] : prepared->hashes)
        out << hash << "  " << prepared->sizes.at(file) << "  " << file << "\n";
    for (const jobs::PreparedStep& step : prepared->steps) {
        if (!step.objectHash.empty())
            out << msg::Text(msg::Id::JobObjectHash, {step.objectHash, step.step.file}) << "\n";
    }
    const auto changed = jobs::ChangedSinceApproval(*prepared);
    if (prepared->job.approved.empty())
        out << msg::Text(msg::Id::JobNotApproved, {jobs::JobName(jobPath)}) << "\n";
    else if (!changed.empty())
        out << msg::Text(msg::Id::JobChanged, {jobs::JobName(jobPath)}) << "\n";
    return Report(
        out, msg::Text(msg::Id::JobCheckPassed, {jobPath, std::to_string(prepared->steps.size())}),
        exitcode::kOk);
}

}  // namespace

int RunJobUnits(const std::string& jobPath, const ParsedArgs& args, std::ostream& out,
                std::ostream& err);

namespace {

int Job(const ParsedArgs& parsed, std::ostream& out, std::ostream& err) {
    if (parsed.positional.empty())
        return Usage(kJobCommand, msg::Text(msg::Id::CliJobUnknownAction, {""}), err);
    const std::string& action = parsed.positional[0];
    const std::vector<std::string> words(parsed.positional.begin() + 1, parsed.positional.end());
    const std::vector<std::string_view> views(words.begin(), words.end());
    const ParsedArgs args = ParseArguments(views, kOptions);
    if (!args.error.empty())
        return Usage(kJobCommand, args.error, err);
    if (action != "new" && action != "approve" && action != "check" && action != "run")
        return Usage(kJobCommand, msg::Text(msg::Id::CliJobUnknownAction, {action}), err);
    if (args.positional.size() != 1)
        return Usage(kJobCommand, msg::Text(msg::Id::CliJobExpectsOneJob), err);
    const std::string& jobPath = args.positional[0];
    EnsureApplication();
    if (action == "new")
        return NewJob(jobPath, words, args, out, err);
    if (action == "approve")
        return Approve(jobPath, out);
    if (action == "check")
        return Check(jobPath, out);
    return RunJobUnits(jobPath, args, out, err);
}

// The job file is written by new and approve and read by the rest; the steps' files are read and
// a ledger named on the line is written.
fileio::FileRoles Files(const ParsedArgs& parsed) {
    const std::vector<std::string>& words = parsed.positional;
    fileio::FileRoles roles;
    if (words.size() < 2)
        return roles;
    if (words[0] == "new" || words[0] == "approve")
        roles.Out(words[1]);
    else
        roles.In(words[1]);
    for (std::size_t i = 2; i + 1 < words.size(); ++i) {
        const std::string& word = words[i];
        if (word == "--program" || word == "--params" || word == "--screen" ||
            word == "--stamp-csv")
            roles.In(words[i + 1]);
        else if (word == "--ledger")
            roles.Out(words[i + 1]);
    }
    return roles;
}

}  // namespace

const Command kJobCommand{"job", msg::Id::CliJobSynopsis, msg::Id::CliJobHelp, kGrammar, Job,
                          Files};

}  // namespace cli

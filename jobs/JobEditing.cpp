#include "jobs/JobEditing.h"

#include "common/FileIo.h"
#include "jobs/JobInputs.h"
#include "jobs/UnitLedger.h"

namespace jobs {
namespace {

// The status `tarvex job approve` ends with when the job file cannot be written.
constexpr int kNotWrittenStatus = 3;

std::optional<JobFault> Refusal(const std::filesystem::path& jobPath, Job job) {
    const Preparation prepared = PrepareJob(jobPath, std::move(job));
    return prepared.prepared ? std::nullopt : std::optional(prepared.fault);
}

}  // namespace

std::vector<JobProblem> JobProblems(const std::filesystem::path& jobPath, const Job& job) {
    const JobRead parsed = ParseJob(jobPath.string(), JobText(job));
    if (!parsed.job)
        return {{std::nullopt, parsed.fault}};
    std::vector<JobProblem> problems;
    for (std::size_t i = 0; i < job.steps.size(); ++i) {
        if (auto fault = Refusal(jobPath, Job{{job.steps[i]}, {}, {}, {}}))
            problems.push_back({i, *fault});
    }
    // The stamp against the steps needs the steps whole; the unit rows alone do not.
    Job stampOnly{{}, job.stamp, {}, {}};
    if (auto fault = Refusal(jobPath, problems.empty() ? job : stampOnly))
        problems.push_back({std::nullopt, *fault});
    return problems;
}

Approval ApproveJob(const std::filesystem::path& jobPath) {
    Approval approval;
    const JobRead read = ReadJob(jobPath);
    if (!read.job) {
        approval.fault = read.fault;
        return approval;
    }
    Preparation prepared = PrepareJob(jobPath, *read.job);
    if (!prepared.prepared) {
        approval.fault = prepared.fault;
        return approval;
    }
    Job job = prepared.prepared->job;
    job.approved = prepared.prepared->hashes;
    if (const std::error_code ec = WriteJob(jobPath, job)) {
        approval.fault = {
            msg::Id::JobNotWritten, {jobPath.string(), ec.message()}, kNotWrittenStatus};
        return approval;
    }
    approval.job = std::move(job);
    return approval;
}

std::vector<UnitStamp> NextUnits(const std::filesystem::path& jobPath, const Job& job, int count) {
    PreparedJob prepared;
    prepared.path = jobPath;
    prepared.job = job;
    if (job.stamp.kind == StampKind::Csv) {
        std::string bytes;
        if (!fileio::ReadWholeFile(Resolve(jobPath, job.stamp.csv), bytes))
            return {};
        UnitRows rows = ReadUnitRows(job.stamp.csv, bytes);
        if (rows.fault)
            return {};
        prepared.csvRows = std::move(rows.rows);
    }
    return NextUnits(prepared, count);
}

std::string PinHash(const std::string& pin) {
    return Sha256Hex(pin);
}

bool PinMatches(const Job& job, const std::string& pin) {
    return job.pinSha256.empty() || PinHash(pin) == job.pinSha256;
}

}  // namespace jobs

#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "jobs/JobFile.h"
#include "jobs/Stamping.h"

// What the job editor asks of the job core: every problem of a job at once, approval, the units
// the stamp hands out next, and the PIN.
namespace jobs {

// A problem and where it is: the step's index, or none for the stamp and the job as a whole.
struct JobProblem {
    std::optional<std::size_t> step;
    JobFault fault;
};

// Every problem the job check finds, each step looked at on its own, then the stamp; empty when
// the job would run.
std::vector<JobProblem> JobProblems(const std::filesystem::path& jobPath, const Job& job);

// Approves the job file as it is on disk: the hash of every input file goes into it, written
// through the safe write. The approved job, or the refusal (status 3 when it cannot be written).
struct Approval {
    std::optional<Job> job;
    JobFault fault;
};
Approval ApproveJob(const std::filesystem::path& jobPath);

// The next `count` units the stamp would hand out, without taking them.
std::vector<UnitStamp> NextUnits(const std::filesystem::path& jobPath, const Job& job, int count);

std::string PinHash(const std::string& pin);
// A job without a PIN lets everyone leave.
bool PinMatches(const Job& job, const std::string& pin);

}  // namespace jobs

#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "jobs/JobFile.h"
#include "jobs/Stamping.h"

namespace jobs {

// A step with what it sends, read and converted once at the start of a run: the object program
// (compiled in memory from a .kxc), the register file's bytes, or the screen data.
struct PreparedStep {
    Step step;
    std::string bytes;
    std::string objectHash;  // SHA-256 of a compiled program's object, empty otherwise
};

struct PreparedJob {
    std::filesystem::path path;
    std::string name;
    Job job;
    std::vector<PreparedStep> steps;
    std::vector<UnitStamp> csvRows;
    // File as written in the job -> SHA-256 (hex) of the bytes read now.
    std::map<std::string, std::string> hashes;
    std::map<std::string, std::int64_t> sizes;
};

struct Preparation {
    std::optional<PreparedJob> prepared;
    JobFault fault;
};

std::string Sha256Hex(std::string_view bytes);

// Reads every input once, compiles programs, converts screens and reads the unit rows: any
// refusal names the job's field or the file's line, before anything is sent.
Preparation PrepareJob(const std::filesystem::path& jobPath, Job job);

// The files whose bytes differ from their approval, or that were never approved.
std::vector<std::string> ChangedSinceApproval(const PreparedJob& prepared);
// One hash for the whole approval, as the unit records name it.
std::string ApprovalHash(const std::map<std::string, std::string>& approved);

}  // namespace jobs

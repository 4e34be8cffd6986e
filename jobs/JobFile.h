#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/Messages.h"
#include "downloads/ScreenSource.h"
#include "screen/PictureImport.h"

// A commissioning job: the ordered steps every unit receives and the per-unit stamp, kept as
// UTF-8 JSON beside its files (paths relative to the job file).
namespace jobs {

inline constexpr int kFormatVersion = 1;
inline constexpr int kRegisterCount = 4096;

enum class StepKind { Program, Params, Screen };

struct Step {
    StepKind kind = StepKind::Program;
    std::string file;  // as written in the job, relative to the job's folder
    int number = 1;    // program number, parameter page, or screen number
    ctrl::ScreenKind screenKind = ctrl::ScreenKind::Startup;
    std::array<int, 4> registers{};
    screen::ImportOptions picture;  // for a screen from a picture other than a 64 x 128 bitmap
};

enum class StampKind { None, Counter, Csv };

struct Stamp {
    StampKind kind = StampKind::None;
    int registerNumber = 0;
    std::int64_t start = 0;
    std::int64_t step = 1;
    int digits = 0;
    std::string csv;  // relative to the job's folder
};

struct Job {
    std::vector<Step> steps;
    Stamp stamp;
    // File as written in the job -> SHA-256 (hex) at approval; empty before approval.
    std::map<std::string, std::string> approved;
    // SHA-256 (hex) of the PIN that leaving the station window asks for; empty: none asked.
    std::string pinSha256;
};

// A refused job: the message and the exit status that go with it.
struct JobFault {
    msg::Id id = msg::Id::UnknownError;
    std::vector<std::string> args;
    int status = 1;
    std::string Text() const;
};

struct JobRead {
    std::optional<Job> job;
    JobFault fault;
};

// The job file's name without folder or extension, as records and messages name the job.
std::string JobName(const std::filesystem::path& jobPath);
// A file of the job as a path from the working folder.
std::filesystem::path Resolve(const std::filesystem::path& jobPath, const std::string& file);

// Reads and checks the job's structure and numbers; the files themselves are looked at later.
JobRead ReadJob(const std::filesystem::path& jobPath);
JobRead ParseJob(const std::string& jobPath, const std::string& bytes);
std::string JobText(const Job& job);
// Writes through the safe write; an empty code on success.
std::error_code WriteJob(const std::filesystem::path& jobPath, const Job& job);

// Every input file of the job, in step order, the CSV last; each once.
std::vector<std::string> InputFiles(const Job& job);

// "startup", "parameter", "status".
std::optional<ctrl::ScreenKind> ScreenKindNamed(const std::string& name);

}  // namespace jobs

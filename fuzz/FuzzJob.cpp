// Any bytes as a job file: reading must never crash or hang, a refusal always says why, and a
// job it accepts writes back as text that reads as the same job.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/Broken.h"
#include "jobs/JobFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const jobs::JobRead read = jobs::ParseJob("fuzz.tvjob", bytes);
    if (!read.job) {
        Check(!read.fault.Text().empty(), "refused without a reason");
        return 0;
    }
    const std::string text = jobs::JobText(*read.job);
    const jobs::JobRead again = jobs::ParseJob("fuzz.tvjob", text);
    Check(again.job.has_value(), "a job it wrote back is refused");
    Check(jobs::JobText(*again.job) == text, "a job does not write back as itself");
    return 0;
}

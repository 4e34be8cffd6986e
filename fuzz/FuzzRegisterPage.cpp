// Any bytes as a register file, a page base and 24 value texts: the page read and write must
// never crash, never leave a working copy behind, leave the file unchanged when they refuse, and
// otherwise produce a file within the format that reads back the page just written.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "registers/RegisterFile.h"

namespace {

namespace fs = std::filesystem;
using namespace registers;

void Check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

const fs::path& Folder() {
    static const fs::path folder = [] {
        std::error_code ec;
        fs::path base =
            fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
        fs::path dir = base / ("tarvex-fuzz-reg-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        return dir;
    }();
    return folder;
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Splits at LF, dropping a CR before it, as the readers do.
std::vector<std::string> SplitLines(std::string_view bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t lf = bytes.find('\n', start);
        if (lf == std::string_view::npos) {
            lines.emplace_back(bytes.substr(start));
            break;
        }
        std::string line(bytes.substr(start, lf - start));
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
        start = lf + 1;
    }
    return lines;
}

int Base(std::uint8_t selector, std::uint8_t extra) {
    static constexpr int kOdd[] = {-24,
                                   -1,
                                   1,
                                   23,
                                   4081,
                                   4104,
                                   9984,
                                   9999,
                                   10000,
                                   99984,
                                   std::numeric_limits<int>::min(),
                                   std::numeric_limits<int>::max()};
    if (selector <= kLastPageBase / kPageSize)
        return selector * kPageSize;
    return kOdd[extra % std::size(kOdd)];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2 + kPageSize)
        return 0;
    const int base = Base(data[0], data[1]);
    std::size_t pos = 2 + kPageSize;
    PageTexts texts;
    for (int r = 0; r < kPageSize; ++r) {
        const std::size_t length = std::min<std::size_t>(data[2 + r] % 12, size - pos);
        texts[r].assign(reinterpret_cast<const char*>(data) + pos, length);
        pos += length;
    }
    const std::string old(reinterpret_cast<const char*>(data) + pos, size - pos);

    const fs::path file = Folder() / "r.dat";
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out << old;
    }
    CheckRegisterFile(file);
    const PageRead before = ReadRegisterPage(file, base);
    Check(before.status == (IsPageBase(base) ? ReadStatus::Done : ReadStatus::BadPage),
          "read status");

    const WriteResult result = WriteRegisterPage(file, base, texts);
    Check(!fs::exists(WorkingCopyPath(file)), "working copy left behind");
    const std::string now = ReadAll(file);
    if (result.status != WriteStatus::Done) {
        Check(result.status != WriteStatus::FileError && result.status != WriteStatus::CannotOpen,
              "unexpected failure");
        Check(now == old, "refused write changed the file");
        return 0;
    }
    Check(IsPageBase(base), "wrote an invalid page");

    // Every line the writer produced ends in CR LF.
    for (std::size_t lf = now.find('\n'); lf != std::string::npos; lf = now.find('\n', lf + 1))
        Check(lf > 0 && now[lf - 1] == '\r', "bare LF written");
    Check(now.size() >= 2 && now.compare(now.size() - 2, 2, "\r\n") == 0, "no final CR LF");

    const std::vector<std::string> oldLines = SplitLines(old);
    const std::vector<std::string> lines = SplitLines(now);
    const int registerLines = static_cast<int>(lines.size()) - 1;
    Check(registerLines >= kRegisterCount && registerLines >= base + kPageSize &&
              registerLines <= kMaxRegisterLines,
          "register line count");
    Check(oldLines.empty() ? lines[0] == kIdentification : lines[0] == oldLines[0], "line 1");
    for (int k = 0; k < registerLines; ++k) {
        const std::string& line = lines[static_cast<std::size_t>(k) + 1];
        const std::size_t oldIndex = static_cast<std::size_t>(k) + 1;
        if (k < base) {
            Check(oldIndex < oldLines.size() ? line == oldLines[oldIndex]
                                             : line == RegisterLine(k, "0"),
                  "line before the page");
        } else if (k < base + kPageSize) {
            Check(line == RegisterLine(k, texts[static_cast<std::size_t>(k - base)]), "page line");
        } else {
            // Only the number is the writer's; the rest of a later line is the old file's.
            Check(line.size() >= 6 && line.compare(2, 4, FourDigits(k)) == 0,
                  "line after the page not numbered");
        }
    }
    const PageRead after = ReadRegisterPage(file, base);
    Check(after.status == ReadStatus::Done && after.texts == texts, "page does not read back");
    return 0;
}

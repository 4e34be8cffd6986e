// Any bytes as a register file, a page base and 24 value texts: the page read and write run in
// memory, on the same line handling as the file operations, and must never crash, refuse only for
// a bad base or too many lines, and otherwise produce a file within the format that reads back
// the page just written.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/Broken.h"
#include "registers/RegisterFile.h"

namespace {

using namespace registers;

// Splits at LF, dropping a CR before it, as the readers do. Views into `bytes`: a rewritten
// file has thousands of lines, and copying each would cost more than the code under test.
std::vector<std::string_view> SplitLines(std::string_view bytes) {
    std::vector<std::string_view> lines;
    lines.reserve(kRegisterCount + 1);
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t lf = bytes.find('\n', start);
        if (lf == std::string_view::npos) {
            lines.push_back(bytes.substr(start));
            break;
        }
        std::string_view line = bytes.substr(start, lf - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        start = lf + 1;
    }
    return lines;
}

// Characters 3 to 6 of `line` hold k as four digits.
bool NumberedAs(std::string_view line, int k) {
    if (line.size() < 6)
        return false;
    for (int i = 5; i >= 2; --i, k /= 10) {
        if (line[static_cast<std::size_t>(i)] != '0' + k % 10)
            return false;
    }
    return true;
}

// The line RegisterLine(k, text) makes, checked without building it.
bool IsRegisterLine(std::string_view line, int k, std::string_view text) {
    return line.size() == kPrefixLength + text.size() && line.substr(0, 2) == "[S" &&
           NumberedAs(line, k) && line.substr(6, 4) == "] = " && line.substr(kPrefixLength) == text;
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
    // A copy of exactly the file's bytes, so that ASan sees any read past its end.
    const std::string old(reinterpret_cast<const char*>(data) + pos, size - pos);

    const CheckResult check = CheckRegisterBytes(old);
    Check(check != CheckResult::CannotOpen, "check of bytes in memory");
    const PageRead before = ReadRegisterPageBytes(old, base);
    Check(before.status == (IsPageBase(base) ? ReadStatus::Done : ReadStatus::BadPage),
          "read status");

    const std::vector<std::string_view> oldLines = SplitLines(old);
    std::string now;
    const WriteStatus status = RewriteRegisterPageBytes(old, base, texts, now);
    if (status != WriteStatus::Done) {
        const bool lineBreak = std::any_of(texts.begin(), texts.end(), [](const std::string& t) {
            return t.find('\n') != std::string::npos;
        });
        Check(status == WriteStatus::BadPage || status == WriteStatus::BadText ||
                  status == WriteStatus::TooManyLines,
              "unexpected refusal");
        Check((status == WriteStatus::BadPage) == !IsPageBase(base), "page base");
        Check(status != WriteStatus::BadText || lineBreak, "text refused without a line break");
        Check(status != WriteStatus::TooManyLines || oldLines.size() > kMaxRegisterLines,
              "too many lines in a short file");
        Check(now.empty(), "refused write left output");
        return 0;
    }
    Check(IsPageBase(base), "wrote an invalid page");

    // One pass over the new file: every line ends in CR LF, line 1 is the old one (or the
    // identification), and the register lines hold the old lines, the page and the numbering.
    std::string_view rest = now;
    int k = -1;
    while (!rest.empty()) {
        const std::size_t lf = rest.find('\n');
        Check(lf != std::string_view::npos, "no final CR LF");
        Check(lf > 0 && rest[lf - 1] == '\r', "bare LF written");
        const std::string_view line = rest.substr(0, lf - 1);
        rest.remove_prefix(lf + 1);
        if (k < 0) {
            Check(line == (oldLines.empty() ? kIdentification : oldLines[0]), "line 1");
        } else if (k < base) {
            const std::size_t oldIndex = static_cast<std::size_t>(k) + 1;
            Check(oldIndex < oldLines.size() ? line == oldLines[oldIndex]
                                             : IsRegisterLine(line, k, "0"),
                  "line before the page");
        } else if (k < base + kPageSize) {
            Check(IsRegisterLine(line, k, texts[static_cast<std::size_t>(k - base)]), "page line");
        } else {
            // Only the number is the writer's; the rest of a later line is the old file's.
            Check(NumberedAs(line, k), "line after the page not numbered");
        }
        ++k;
    }
    Check(k >= kRegisterCount && k >= base + kPageSize && k <= kMaxRegisterLines,
          "register line count");
    const PageRead after = ReadRegisterPageBytes(now, base);
    Check(after.status == ReadStatus::Done && after.texts == texts, "page does not read back");
    Check(CheckRegisterBytes(now) == check || oldLines.empty(), "identification changed");
    return 0;
}

#include "compiler/LabelPass.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

#include "common/MbcsText.h"
#include "compiler/LineSyntax.h"

namespace compiler {
namespace {

bool IsSeparator(char c) {
    return c == ' ' || c == ',';
}

bool EndsWithName(std::string_view line, std::string_view name) {
    if (line.size() < name.size())
        return false;
    const std::size_t start = line.size() - name.size();
    return line.substr(start) == name && mbcs::IsBoundary(line, start);
}

// Whether the first occurrence of `name` at `p` is a use of the label.
bool IsUse(std::string_view line, std::string_view name, std::size_t p) {
    const std::size_t after = p + name.size();
    const bool separatorAfter = after < line.size() && IsSeparator(line[after]);
    if (p == 0)
        return line.size() == name.size() || separatorAfter;
    // A double-byte character before the occurrence is no separator, whatever its second byte.
    const bool separatorBefore =
        mbcs::PreviousCharStart(line, p) == p - 1 && IsSeparator(line[p - 1]);
    if (EndsWithName(line, name))
        return separatorBefore;
    return separatorBefore && separatorAfter;
}

// Replaces every occurrence left to right in one pass over the line.
void ReplaceAll(std::string& line, std::string_view name, std::string_view number) {
    std::string result;
    result.reserve(line.size());
    if (!mbcs::HasLeadBytes(line)) {
        std::size_t from = 0;
        for (std::size_t at = line.find(name); at != std::string::npos;
             at = line.find(name, from)) {
            result.append(line, from, at - from).append(number);
            from = at + name.size();
        }
        result.append(line, from, std::string::npos);
    } else {
        // Matches start on character boundaries only; a name is whole characters, so the text
        // after a match starts on one too.
        for (std::size_t i = 0; i < line.size();) {
            if (line.compare(i, name.size(), name) == 0) {
                result.append(number);
                i += name.size();
            } else {
                const std::size_t len = mbcs::CharLength(line, i);
                result.append(line, i, len);
                i += len;
            }
        }
    }
    line = std::move(result);
}

// Where a label's use can start: the start of a line and every byte after a blank or comma. Each
// such place is kept under the first bytes that stand there, in the order the places were entered,
// so the lines that may use a name are found by its first bytes without searching every line for
// every label. Places are only ever added; a line that changed is entered again and stale places
// are weeded out by the exact check.
//
// Whether a line uses a name depends on the line and the name alone, so a line that did not use a
// name still does not while it stays as it was: a name defined again needs only the places
// entered since it was last looked for. Without that, a label repeated on every line would look
// at every line once per definition.
class UsePlaces {
public:
    using Mark = std::uint64_t;

    void Add(std::uint32_t line, std::string_view text) {
        for (std::size_t p = 0; p < text.size(); ++p) {
            if (p == 0 || IsSeparator(text[p - 1]))
                places_[std::string(text.substr(p, kKeyBytes))].push_back({next_++, line});
        }
    }

    // Every line with a place where `name` may start entered since `since`, some more than once.
    template <typename Visit>
    void ForCandidates(std::string_view name, Mark since, Visit visit) const {
        const std::string_view key = name.substr(0, kKeyBytes);
        for (auto it = places_.lower_bound(key);
             it != places_.end() && std::string_view(it->first).substr(0, key.size()) == key;
             ++it) {
            const std::vector<Place>& entered = it->second;
            auto from = std::lower_bound(entered.begin(), entered.end(), since,
                                         [](const Place& p, Mark m) { return p.mark < m; });
            for (; from != entered.end(); ++from)
                visit(from->line);
        }
    }

    // What ForCandidates takes as `since` to see only places entered from now on.
    Mark Now() const { return next_; }

private:
    struct Place {
        Mark mark;
        std::uint32_t line;
    };
    // Short enough to stay inside std::string's own buffer.
    static constexpr std::size_t kKeyBytes = 15;
    std::map<std::string, std::vector<Place>, std::less<>> places_;
    Mark next_ = 0;
};

}  // namespace

bool ApplyLabel(std::string& line, std::string_view name, std::string_view number) {
    const std::size_t p = mbcs::Find(line, name);
    if (p == std::string::npos || !IsUse(line, name, p))
        return false;
    ReplaceAll(line, name, number);
    return true;
}

bool TakeDefinition(std::string& line, std::string& name) {
    const std::optional<std::size_t> colon = syntax::LabelEnd(line);
    if (!colon)
        return false;
    name = std::string(mbcs::TrimRight(std::string_view(line).substr(0, *colon)));
    line = std::string(mbcs::TrimLeft(std::string_view(line).substr(*colon + 1)));
    return true;
}

// Labels are taken line by line, each one replaced in every line before the next is taken, so a
// replacement can shape a later name or use; only the lines that can hold a use are looked at.
void ResolveLabels(std::vector<CodeLine>& lines, std::stop_token stop) {
    UsePlaces places;
    for (std::size_t j = 0; j < lines.size(); ++j)
        places.Add(static_cast<std::uint32_t>(j), lines[j].text);

    std::vector<std::size_t> seenFor(lines.size(), 0);
    std::vector<std::uint32_t> candidates;
    std::unordered_map<std::string, UsePlaces::Mark> lookedFor;
    std::string name;
    for (std::size_t i = 0; i < lines.size() && !stop.stop_requested(); ++i) {
        if (!TakeDefinition(lines[i].text, name))
            continue;
        places.Add(static_cast<std::uint32_t>(i), lines[i].text);
        // An empty name would match everywhere and replace nothing useful.
        if (name.empty())
            continue;

        candidates.clear();
        UsePlaces::Mark& last = lookedFor.try_emplace(name, 0).first->second;
        const UsePlaces::Mark since = last;
        last = places.Now();
        places.ForCandidates(name, since, [&](std::uint32_t j) {
            if (seenFor[j] != i + 1) {
                seenFor[j] = i + 1;
                candidates.push_back(j);
            }
        });
        const std::string number = std::to_string(i + 1);
        for (std::uint32_t j : candidates) {
            if (ApplyLabel(lines[j].text, name, number))
                places.Add(j, lines[j].text);
        }
    }
}

}  // namespace compiler

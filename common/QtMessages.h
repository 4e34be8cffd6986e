#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include <QString>

#include "common/Messages.h"

// The message table for Qt code: the same ids and texts, as QString.
namespace msg {

inline QString QText(Id id, std::initializer_list<QString> args = {}) {
    std::vector<std::string> utf8;
    utf8.reserve(args.size());
    for (const QString& arg : args)
        utf8.push_back(arg.toStdString());
    const std::vector<std::string_view> views(utf8.begin(), utf8.end());
    return QString::fromStdString(Fill(Source(id), views));
}

// A text fetched at each use, so a constant made before the language was chosen still follows it.
struct QDeferred {
    Id id;
    operator QString() const { return QText(id); }
};

}  // namespace msg

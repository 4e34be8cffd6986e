#pragma once

#include <filesystem>
#include <optional>

#include <QByteArray>
#include <QString>

#include "compiler/CompileRun.h"

namespace programfile {

// The editor holds at most this many bytes of program text.
inline constexpr qsizetype kCapacity = compiler::kProgramCapacity;

struct ReadResult {
    enum class Outcome {
        Read,
        NotOpened,  // the file could not be opened: nothing about the document changes
        Abandoned,  // opened but not read completely (too large, read error)
    };
    Outcome outcome = Outcome::NotOpened;
    QByteArray bytes;
    QString message;  // what the user is told when it did not go well
};

ReadResult Read(const QString& path);

// The name the system knows the file by: the local 8-bit encoding on POSIX, UTF-16 on Windows.
std::filesystem::path NativePath(const QString& path);

// Replaces the file as every writer of user data does (fileio::WriteSafely), so a failure leaves
// any old file whole. Returns the message for the user when it failed.
std::optional<QString> Write(const QString& path, const QByteArray& bytes);

}  // namespace programfile

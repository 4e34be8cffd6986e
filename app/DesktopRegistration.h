#pragma once

#include <QString>

// The program text file type as the desktop knows it: opened and printed by this program.
namespace desktop {

inline const QString kFileTypeId = QStringLiteral("Tarvex.Document");
inline const QString kFileTypeName = QStringLiteral("Tarvex Document");
inline const QString kMimeType = QStringLiteral("application/x-tarvex-document");

// True when `programPath` runs from an installed tree: its prefix holds the desktop entry, so the
// installation registered the program and the file type for every user already.
bool Installed(const QString& programPath);
// Renews the registration for the program at `programPath`, unless it is installed. Failures are
// ignored: the program runs the same without it.
void Register(const QString& programPath);
// Removes what Register wrote; false when something stays behind.
bool Unregister();

// Linux: where the entries go ($XDG_DATA_HOME, or ~/.local/share).
QString DataHome();
QString DesktopEntryPath();
QString MimePackagePath();

}  // namespace desktop

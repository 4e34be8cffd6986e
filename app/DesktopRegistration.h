#pragma once

#include <QString>

// The program text file type as the desktop knows it: opened and printed by this program.
namespace desktop {

inline const QString kFileTypeId = QStringLiteral("Tarvex.Document");
inline const QString kFileTypeName = QStringLiteral("Tarvex Document");
inline const QString kMimeType = QStringLiteral("application/x-tarvex-document");

// Renews the registration for the program at `programPath`. Failures are ignored: the program
// runs the same without it.
void Register(const QString& programPath);
// Removes what Register wrote; false when something stays behind.
bool Unregister();

// Linux: where the entries go ($XDG_DATA_HOME, or ~/.local/share).
QString DataHome();
QString DesktopEntryPath();
QString MimePackagePath();

}  // namespace desktop

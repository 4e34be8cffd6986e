#include "downloads/ScratchPath.h"

#include <QDir>
#include <QStandardPaths>

#include "screen/ScreenImage.h"

namespace ctrl {

QString DefaultScratchPath() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(folder);
    return QDir(folder).filePath(
        QString::fromUtf8(screen::kScratchFileName.data(), screen::kScratchFileName.size()));
}

}  // namespace ctrl

#include "app/DesktopRegistration.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QSaveFile>
#include <QSettings>

#include "common/QtMessages.h"

namespace desktop {

QString DataHome() {
    const QString configured = qEnvironmentVariable("XDG_DATA_HOME");
    if (!configured.isEmpty())
        return configured;
    return QDir::homePath() + QStringLiteral("/.local/share");
}

QString DesktopEntryPath() {
    return DataHome() + QStringLiteral("/applications/tarvex620b.desktop");
}

QString MimePackagePath() {
    return DataHome() + QStringLiteral("/mime/packages/tarvex620b.xml");
}

#ifdef Q_OS_WIN

// The installer puts its uninstaller beside the program and registers the file types itself.
bool Installed(const QString& programPath) {
    return QFileInfo::exists(QFileInfo(programPath).absolutePath() +
                             QStringLiteral("/Uninstall.exe"));
}

void Register(const QString& programPath) {
    if (Installed(programPath))
        return;
    QSettings classes(QStringLiteral("HKEY_CURRENT_USER\\Software\\Classes"),
                      QSettings::NativeFormat);
    const QString program = QDir::toNativeSeparators(programPath);
    classes.setValue(kFileTypeId + "/.", kFileTypeName);
    // Icon 1 of the program's resources is the document icon (app/tarvex620b.rc).
    classes.setValue(kFileTypeId + "/DefaultIcon/.", program + ",1");
    classes.setValue(kFileTypeId + "/shell/open/command/.", program + " \"%1\"");
    classes.setValue(kFileTypeId + "/shell/print/command/.", program + " /p \"%1\"");
    classes.setValue(kFileTypeId + "/shell/printto/command/.",
                     program + " /pt \"%1\" \"%2\" \"%3\" \"%4\"");
    const QString bound = classes.value(QStringLiteral(".kxc/.")).toString();
    if (bound.isEmpty() || bound == kFileTypeId) {
        classes.setValue(QStringLiteral(".kxc/."), kFileTypeId);
        classes.setValue(QStringLiteral(".kxc/ShellNew/NullFile"), QString());
    }
}

bool Unregister() {
    QSettings classes(QStringLiteral("HKEY_CURRENT_USER\\Software\\Classes"),
                      QSettings::NativeFormat);
    classes.remove(kFileTypeId);
    if (classes.value(QStringLiteral(".kxc/.")).toString() == kFileTypeId)
        classes.remove(QStringLiteral(".kxc"));
    classes.sync();
    return classes.status() == QSettings::NoError && !classes.childGroups().contains(kFileTypeId);
}

#else

namespace {

const QString kAppIcon = QStringLiteral("tarvex620b");
const QString kDocumentIcon = QStringLiteral("application-x-tarvex-document");

QString AppIconPath() {
    return DataHome() + QStringLiteral("/icons/hicolor/32x32/apps/") + kAppIcon + ".png";
}

QString DocumentIconPath() {
    return DataHome() + QStringLiteral("/icons/hicolor/32x32/mimetypes/") + kDocumentIcon + ".png";
}

// Every start registers again: a file that already holds the bytes is left alone, so a start
// neither waits on the disk nor wakes the desktop's watchers.
bool WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile existing(path);
    if (existing.size() == bytes.size() && existing.open(QIODevice::ReadOnly) &&
        existing.readAll() == bytes)
        return true;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(bytes);
    return file.commit();
}

bool WriteText(const QString& path, const QString& text) {
    return WriteBytes(path, text.toUtf8());
}

// The resource is already the PNG the desktop wants: copied as it is, nothing decoded at start.
void WriteIcon(const QString& resource, const QString& path) {
    QFile icon(resource);
    if (icon.open(QIODevice::ReadOnly))
        WriteBytes(path, icon.readAll());
}

// A desktop entry Exec argument: quoted, with the characters the format reserves escaped.
QString ExecQuoted(const QString& path) {
    QString quoted = path;
    for (const QChar c : {u'\\', u'"', u'`', u'$'})
        quoted.replace(c, QString(u'\\') + c);
    return u'"' + quoted + u'"';
}

// The extension stays with another type that already claims it.
bool ExtensionFree() {
    const QMimeType type =
        QMimeDatabase().mimeTypeForFile(QStringLiteral("x.kxc"), QMimeDatabase::MatchExtension);
    return type.isDefault() || type.name() == kMimeType;
}

}  // namespace

bool Installed(const QString& programPath) {
    return QFileInfo::exists(QFileInfo(programPath).absolutePath() +
                             QStringLiteral("/../share/applications/tarvex620b.desktop"));
}

void Register(const QString& programPath) {
    if (Installed(programPath))
        return;
    const QString exec = ExecQuoted(QDir::toNativeSeparators(programPath));
    const QString entry =
        QStringLiteral(
            "[Desktop Entry]\n"
            "Type=Application\n"
            "Name=Tarvex620B\n"
            "Comment=%1\n"
            "Exec=%2 %f\n"
            "Icon=%3\n"
            "MimeType=%4;\n"
            "Terminal=false\n"
            "Actions=print;\n"
            "\n"
            "[Desktop Action print]\n"
            "Name=%5\n"
            "Exec=%2 /p %f\n")
            .arg(kFileTypeName, exec, kAppIcon, kMimeType, msg::QText(msg::Id::DesktopPrintAction));
    WriteText(DesktopEntryPath(), entry);

    const QString glob =
        ExtensionFree() ? QStringLiteral("    <glob pattern=\"*.kxc\"/>\n") : QString();
    const QString mime =
        QStringLiteral(
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
            "  <mime-type type=\"%1\">\n"
            "    <comment>%2</comment>\n"
            "    <sub-class-of type=\"text/plain\"/>\n"
            "%3"
            "    <icon name=\"%4\"/>\n"
            "  </mime-type>\n"
            "</mime-info>\n")
            .arg(kMimeType, kFileTypeName, glob, kDocumentIcon);
    WriteText(MimePackagePath(), mime);

    WriteIcon(QStringLiteral(":/res/tarvex.png"), AppIconPath());
    WriteIcon(QStringLiteral(":/res/document.png"), DocumentIconPath());
}

bool Unregister() {
    bool allGone = true;
    for (const QString& path :
         {DesktopEntryPath(), MimePackagePath(), AppIconPath(), DocumentIconPath()}) {
        if (QFileInfo::exists(path) && !QFile::remove(path))
            allGone = false;
    }
    return allGone;
}

#endif

}  // namespace desktop

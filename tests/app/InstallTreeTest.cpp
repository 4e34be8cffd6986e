// `cmake --install` into a scratch prefix: every file a desktop needs is there and valid, and the
// installed program leaves the user's folders alone.
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QMimeDatabase>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "app/DesktopRegistration.h"

namespace {

struct Run {
    int code = -1;
    QString out;
    QString err;
};

Run Execute(const QString& program, const QStringList& arguments,
            const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    Run run;
    if (!process.waitForFinished(60000))
        return run;
    run.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

}  // namespace

class InstallTreeTest : public QObject {
    Q_OBJECT
    QTemporaryDir prefix_;

    QString Installed(const QString& path) const { return prefix_.filePath(path); }
    // The tool, or a skip when this machine lacks it.
    static QString Tool(const char* name) { return QStandardPaths::findExecutable(name); }

private slots:
    void initTestCase() {
        QVERIFY(prefix_.isValid());
        const Run install = Execute(QStringLiteral(TARVEX_CMAKE),
                                    {"--install", TARVEX_BUILD_DIR, "--prefix", prefix_.path()});
        QVERIFY2(install.code == 0, qPrintable(install.err));
    }

    void everyFileIsThere_data() {
        QTest::addColumn<QString>("path");
        for (const char* path :
             {"bin/tarvex", "bin/tarvex620b", "share/applications/tarvex620b.desktop",
              "share/mime/packages/tarvex620b.xml", "lib/udev/rules.d/60-tarvex-serial.rules",
              "share/man/man1/tarvex.1.gz", "share/man/man1/tarvex620b.1.gz",
              "share/bash-completion/completions/tarvex", "share/doc/tarvex620b/copyright",
              "share/icons/hicolor/scalable/apps/tarvex620b.svg",
              "share/icons/hicolor/scalable/mimetypes/application-x-tarvex-document.svg",
              "share/org.kde.syntax-highlighting/syntax/tarvex.xml",
              "share/vim/vimfiles/syntax/tarvex.vim", "share/vim/vimfiles/ftdetect/tarvex.vim"})
            QTest::newRow(path) << QString::fromLatin1(path);
        for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
            for (const QString& icon :
                 {QStringLiteral("apps/tarvex620b"),
                  QStringLiteral("mimetypes/application-x-tarvex-document")}) {
                const QString path =
                    QStringLiteral("share/icons/hicolor/%1x%1/%2.png").arg(size).arg(icon);
                QTest::newRow(qPrintable(path)) << path;
            }
        }
    }
    void everyFileIsThere() {
        QFETCH(QString, path);
        const QFileInfo file(Installed(path));
        QVERIFY2(file.isFile() && file.size() > 0, qPrintable(path));
        if (path.startsWith(u"bin/"))
            QVERIFY(file.isExecutable());
        const int size = path.section(u'/', 3, 3).section(u'x', 0, 0).toInt();
        if (path.endsWith(u".png"))
            QCOMPARE(QImage(file.filePath()).size(), QSize(size, size));
    }

    void theDesktopEntryIsValid() {
        const QString validate = Tool("desktop-file-validate");
        if (validate.isEmpty())
            QSKIP("desktop-file-validate is not installed");
        const Run run = Execute(validate, {Installed("share/applications/tarvex620b.desktop")});
        QVERIFY2(run.code == 0 && run.out.isEmpty(), qPrintable(run.out + run.err));
    }

    // Registered the way a desktop finds it: update-mime-database, then Qt's own lookup.
    void theFileTypesAreRegistered() {
        const QString update = Tool("update-mime-database");
        if (update.isEmpty())
            QSKIP("update-mime-database is not installed");
        const Run run = Execute(update, {Installed("share/mime")});
        QVERIFY2(run.code == 0, qPrintable(run.err));
        qputenv("XDG_DATA_DIRS", Installed("share").toLocal8Bit());
        const QMimeDatabase types;
        const QMimeType program =
            types.mimeTypeForFile(QStringLiteral("a.kxc"), QMimeDatabase::MatchExtension);
        QCOMPARE(program.name(), desktop::kMimeType);
        QVERIFY(program.inherits(QStringLiteral("text/plain")));
        QCOMPARE(program.iconName(), QStringLiteral("application-x-tarvex-document"));
        const QByteArray object = QByteArray("This is RVL412E.kxo!") + QByteArray(24, '\0');
        QCOMPARE(types.mimeTypeForData(object).name(),
                 QStringLiteral("application/x-tarvex-object"));
        QCOMPARE(
            types.mimeTypeForFile(QStringLiteral("a.kxo"), QMimeDatabase::MatchExtension).name(),
            QStringLiteral("application/x-tarvex-object"));
    }

    void theManPagesRender_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QStringList>("mentions");
        QTest::newRow("tarvex") << "tarvex"
                                << QStringList{"compile PROGRAM.kxc", "download program",
                                               "--hang-up-after N", "exit status: 0 listed"};
        QTest::newRow("tarvex620b") << "tarvex620b" << QStringList{"/Unregister", "dialout"};
    }
    void theManPagesRender() {
        QFETCH(QString, page);
        QFETCH(QStringList, mentions);
        const QString man = Tool("man");
        if (man.isEmpty())
            QSKIP("man is not installed");
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("MANWIDTH", "100");
        environment.insert("LC_ALL", "C.UTF-8");
        const Run run = Execute(
            man, {"--warnings", "-l", Installed("share/man/man1/" + page + ".1.gz")}, environment);
        QVERIFY2(run.code == 0 && run.err.isEmpty(), qPrintable(run.err));
        // Plain text: the bold and underline overstrikes of a terminal-less man removed.
        QString text = run.out;
        text.remove(QRegularExpression(QStringLiteral(".\b")));
        text.replace(QChar(0x2010), u'-').replace(QChar(0x2212), u'-');
        QVERIFY(text.startsWith(page.toUpper() + "(1)"));
        for (const QString& mention : mentions)
            QVERIFY2(text.contains(mention), qPrintable(mention));
    }

    // The completion as bash runs it: each line is the words typed, then what Tab offers.
    void theCompletionOffersCommandsAndOptions_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("offered");
        QTest::newRow("command") << "tarvex com"
                                 << "compile";
        QTest::newRow("sub-command") << "tarvex registers w"
                                     << "write";
        QTest::newRow("option") << "tarvex download screen x.bmp --ki"
                                << "--kind";
        QTest::newRow("option value") << "tarvex download screen x.bmp --kind st"
                                      << "startup status";
        QTest::newRow("help") << "tarvex help em"
                              << "emulate";
    }
    void theCompletionOffersCommandsAndOptions() {
        QFETCH(QString, typed);
        QFETCH(QString, offered);
        const QString completion = Installed("share/bash-completion/completions/tarvex");
        const Run syntax = Execute(QStringLiteral("bash"), {"-n", completion});
        QVERIFY2(syntax.code == 0, qPrintable(syntax.err));
        const QString script = QStringLiteral(
            "cd /nonexistent 2>/dev/null; source \"$1\"; COMP_WORDS=($2); "
            "[[ $2 == *' ' ]] && COMP_WORDS+=(''); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); "
            "_tarvex; echo \"${COMPREPLY[*]}\"");
        const Run run = Execute(QStringLiteral("bash"), {"-c", script, "bash", completion, typed});
        QVERIFY2(run.code == 0, qPrintable(run.err));
        QCOMPARE(run.out.trimmed(), offered);
    }

    // The installed program finds its desktop entry and registers nothing; a program outside an
    // installed tree (a build folder) goes on registering itself.
    void onlyAProgramOutsideAnInstalledTreeRegisters() {
        QTemporaryDir home;
        qputenv("XDG_DATA_HOME", home.path().toLocal8Bit());
        const QString installed = Installed("bin/tarvex620b");
        QVERIFY(desktop::Installed(installed));
        desktop::Register(installed);
        QVERIFY(QDir(home.path()).isEmpty());

        const QString built = QStringLiteral(TARVEX_BUILD_DIR "/bin/tarvex620b");
        QVERIFY(!desktop::Installed(built));
        desktop::Register(built);
        QVERIFY(QFileInfo::exists(desktop::DesktopEntryPath()));
    }
};

QTEST_MAIN(InstallTreeTest)
#include "InstallTreeTest.moc"

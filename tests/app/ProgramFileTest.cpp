#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "app/ProgramFile.h"
#include "tests/support/QtFiles.h"

class ProgramFileTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString Path(const QString& name) const { return dir.filePath(name); }
    static QByteArray Bytes(const QString& path) { return testsupport::ReadFile(path); }
    static void Put(const QString& path, const QByteArray& bytes) {
        testsupport::WriteFile(path, bytes);
    }

private slots:
    void init() { QVERIFY(dir.isValid()); }
    void cleanup() { QDir(dir.path()).removeRecursively(); }

    void saveReplacesTheFileItNames_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("existing");
        QTest::addColumn<bool>("throughLink");
        QTest::newRow("new") << QStringLiteral("a.kxc") << false << false;
        QTest::newRow("non-ascii name") << QStringLiteral("程序 一.kxc") << false << false;
        QTest::newRow("replaced") << QStringLiteral("程序.kxc") << true << false;
        QTest::newRow("through a link") << QStringLiteral("b.kxc") << true << true;
    }
    void saveReplacesTheFileItNames() {
        QFETCH(QString, name);
        QFETCH(bool, existing);
        QFETCH(bool, throughLink);
        QVERIFY(QDir().mkpath(dir.path()));
        QStringList expected{name};
        if (existing)
            Put(Path(name), QByteArray(5000, 'o'));
        QString written = Path(name);
        if (throughLink) {
            written = Path(QStringLiteral("link.kxc"));
            QVERIFY(QFile::link(Path(name), written));
            expected << QStringLiteral("link.kxc");
        }
        const QByteArray text(
            "MOV M1,5\r\n\xd6\xd0"
            "END\r\n");
        QCOMPARE(programfile::Write(written, text), std::nullopt);
        QCOMPARE(Bytes(Path(name)), text);
        QCOMPARE(QFileInfo(written).isSymLink(), throughLink);
        expected.sort();
        QCOMPARE(QDir(dir.path())
                     .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
                 expected);
    }
};

QTEST_APPLESS_MAIN(ProgramFileTest)
#include "ProgramFileTest.moc"

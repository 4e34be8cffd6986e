#include <QCryptographicHash>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "AppFixture.h"
#include "app/LiveCheck.h"
#include "app/MainFrm.h"
#include "app/ProblemsDock.h"
#include "app/TarvexView.h"
#include "compiler/TranslateDlg.h"
#include "link/DownProDlg.h"

// The road of a new user: type a program, save and compile it, connect to the virtual controller
// on a pseudo-terminal, and get the program into the controller's store.
class UserRoadTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QProcess controller;
    QString device;

    // "串口设置" pointed at the emulator, then "连接控制器" until the controller has answered.
    void Connect(AppRun& run) {
        QVERIFY(run.ChoosePort(device));
        run.Do().connect->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(run.Do().downloadProgram->isEnabled(), 8000);
    }

    // "下载程序": the object chosen with Browse, the number typed, "开始下载" pressed. The
    // dialog lives on in the window while its transfer runs.
    CDownProDlg* StartProgramDownload(AppRun& run, const QString& object, const QString& number) {
        run.prompts.fileAnswers.enqueue(object);
        return RunModal<CDownProDlg>(run.Do().downloadProgram, [number](CDownProDlg& download) {
            download.programNumberText = number;
            download.Refresh();
            download.Browse();
            download.StartDownload();
        });
    }

    static void TypeLines(AppRun& run, std::initializer_list<const char*> lines) {
        for (const char* line : lines) {
            QTest::keyClicks(&run.View(), QString::fromLatin1(line));
            QTest::keyClick(&run.View(), Qt::Key_Return);
        }
    }

private slots:
    void initTestCase() {
        ClearProfile();
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("store")));  // the emulator creates none
        controller.start(
            QStringLiteral(TARVEX_BIN),
            {QStringLiteral("emulate"), QStringLiteral("--store"), dir.filePath("store")});
        QVERIFY(controller.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(controller.canReadLine() || controller.waitForReadyRead(100),
                                 10000);
        device = QString::fromLocal8Bit(controller.readLine()).trimmed();
        QVERIFY2(device.startsWith(u'/'), qPrintable(device));
    }

    void cleanupTestCase() {
        controller.terminate();
        controller.waitForFinished(3000);
    }

    void aProgramGoesFromTheEditorIntoTheController() {
        AppRun run;
        QVERIFY(run.Start());
        run.Frame().show();
        for (const char* line : {"; count M1 up to 100", "        MOV M1,0", "LOOP1:  INC M1",
                                 "        JLD LOOP1,M1,100", "        END"}) {
            QTest::keyClicks(&run.View(), QString::fromLatin1(line));
            QTest::keyClick(&run.View(), Qt::Key_Return);
        }

        const QString program = dir.filePath(QStringLiteral("first.kxc"));
        run.prompts.fileAnswers.enqueue(program);
        run.Do().fileSave->trigger();
        QVERIFY(ReadBytes(program).contains("LOOP1:  INC M1\r\n"));
        QCOMPARE(run.Frame().windowTitle(), QStringLiteral("first.kxc - Tarvex620B-KF"));

        const QString object = dir.filePath(QStringLiteral("first.kxo"));
        run.prompts.fileAnswers.enqueue(object);
        QVERIFY(RunModal<CTranslateDlg>(run.Do().compile, [](CTranslateDlg& compile) {
            compile.Browse();
            compile.Compile();
        }));
        QVERIFY2(run.prompts.messages.value(0).startsWith(QStringLiteral("编译成功！")),
                 qPrintable(run.prompts.messages.value(0)));
        const QByteArray objectBytes = ReadBytes(object);
        QVERIFY(objectBytes.startsWith("This is RVL412E.kxo!"));
        QCOMPARE(objectBytes.size(), 20 + 4 * 24);  // header and four code lines, END included

        Connect(run);
        if (QTest::currentTestFailed())
            return;
        CDownProDlg* download = StartProgramDownload(run, object, QStringLiteral("7"));
        QVERIFY(download);
        // The dialog hides while the transfer runs on its timer.
        QTRY_VERIFY_WITH_TIMEOUT(!download->run.IsRunning(), 10000);
        QVERIFY(run.Link().IsConnected());
        QTRY_VERIFY_WITH_TIMEOUT(!QDir(dir.filePath("store")).entryList(QDir::Files).isEmpty(),
                                 8000);
        const QStringList stored = QDir(dir.filePath("store")).entryList(QDir::Files);
        bool found = false;
        for (const QString& name : stored)
            found = found || ReadBytes(QDir(dir.filePath("store")).filePath(name)) == objectBytes;
        QVERIFY2(found, qPrintable(stored.join(u' ')));
        QCOMPARE(run.prompts.messages.size(), 1);

        run.Do().disconnect->trigger();
        QVERIFY(!run.Link().Port().IsOpen());
    }

    // The one-key loop: Ctrl+F7 finds the fault and leaves no object, F5 compiles the mended
    // program beside it and opens its download, Enter sends it; the log and the ledger say what
    // went where.
    void oneKeyCommandsCompileAndDownloadTheOpenProgram() {
        AppRun run;
        QVERIFY(run.Start());
        run.Frame().show();
        run.app.ledgerPath = dir.filePath(QStringLiteral("downloads.jsonl"));
        const QString program = dir.filePath(QStringLiteral("second.kxc"));
        const QString object = dir.filePath(QStringLiteral("second.kxo"));
        run.View().LiveCheck().SetSynchronous(true);
        TypeLines(run, {"MOV M1,0", "FOO", "END"});
        // The problem is listed as typed, and F4 goes to it.
        QTreeWidget& problems = *run.Frame().problemsDock->List();
        QCOMPARE(problems.topLevelItemCount(), 1);
        QCOMPARE(problems.topLevelItem(0)->text(1), QStringLiteral("程序命令错误！"));
        QCOMPARE(problems.topLevelItem(0)->toolTip(1), QStringLiteral("第 2 行程序命令错误！"));
        run.Do().nextProblem->trigger();
        QCOMPARE(run.View().textCursor().blockNumber() + 1, 2);
        run.prompts.answers.enqueue(ui::Prompts::Answer::Yes);  // save the untitled program
        run.prompts.fileAnswers.enqueue(program);
        run.Do().compileCurrent->trigger();
        QCOMPARE(run.prompts.messages, QStringList{QStringLiteral("第 2 行程序命令错误！")});
        QVERIFY(QFile::exists(program));
        QVERIFY(!QFile::exists(object));

        QCOMPARE(run.View().MarkedLine(), 2);
        run.View().selectAll();
        TypeLines(run, {"MOV M1,0", "INC M1", "END"});
        QCOMPARE(problems.topLevelItemCount(), 0);
        Connect(run);
        if (QTest::currentTestFailed())
            return;
        run.prompts.answers.enqueue(ui::Prompts::Answer::Yes);  // save the changes
        CDownProDlg* download = RunModal<CDownProDlg>(
            run.Do().compileAndDownload,
            [](CDownProDlg& dialog) { QTest::keyClick(&dialog, Qt::Key_Return); });
        QVERIFY(download);
        QCOMPARE(download->filePath, object);
        QTRY_VERIFY_WITH_TIMEOUT(!download->run.IsRunning(), 10000);
        QCOMPARE(run.prompts.messages.size(), 1);  // a finished download says so quietly

        const QStringList& log = run.app.log.Lines();
        QCOMPARE(log.size(), 3);
        QVERIFY2(log[1].contains(QStringLiteral("编译 second.kxc：编译成功！")),
                 qPrintable(log[1]));
        QVERIFY2(log[2].contains(QStringLiteral("下载程序 1：") + object), qPrintable(log[2]));
        QVERIFY2(log[2].endsWith(QStringLiteral("完成。")), qPrintable(log[2]));
        const QList<QByteArray> ledger = ReadBytes(run.app.ledgerPath).split('\n');
        QCOMPARE(ledger.size(), 2);  // one line and its line feed
        const QJsonObject entry = QJsonDocument::fromJson(ledger[0]).object();
        QCOMPARE(entry["file"].toString(), object);
        QCOMPARE(entry["outcome"].toString(), QStringLiteral("finished"));
        QCOMPARE(entry["sha256"].toString().toLatin1(),
                 QCryptographicHash::hash(ReadBytes(object), QCryptographicHash::Sha256).toHex());
        QCOMPARE(entry["port"].toString(), device);
        run.Do().disconnect->trigger();
    }

    // Closing the progress window ends only the window: the main window stays locked, so
    // nothing else can reach the port, until the transfer ends.
    void theWindowStaysLockedUntilADownloadEnds() {
        AppRun run;
        QVERIFY(run.Start());
        run.Frame().show();
        const QString object = dir.filePath(QStringLiteral("long.kxo"));
        // 240 packets, the last record END
        WriteBytes(object, "This is RVL412E.kxo!" + QByteArray(159 * 24, '\x01') +
                               QByteArray("\x02\x08", 2) + QByteArray(22, '\0'));

        Connect(run);
        if (QTest::currentTestFailed())
            return;
        CDownProDlg* started = StartProgramDownload(run, object, QStringLiteral("1"));
        QVERIFY(started);
        CDownProDlg& download = *started;
        QVERIFY(download.run.IsRunning());
        QVERIFY(download.run.progressWindow.isVisible());
        QTest::keyClick(&download.run.progressWindow, Qt::Key_Escape);
        QVERIFY(!download.run.progressWindow.isVisible());
        QVERIFY(download.run.IsRunning());

        QVERIFY(!run.Frame().isEnabled());
        const QString before = run.View().toPlainText();
        QTest::keyClicks(&run.View(), QStringLiteral("MOV"));
        QCOMPARE(run.View().toPlainText(), before);
        QVERIFY(!run.Frame().close());

        QTRY_VERIFY_WITH_TIMEOUT(!download.run.IsRunning(), 15000);
        QVERIFY(run.Frame().isEnabled());
        QVERIFY(run.prompts.messages.isEmpty());
        run.Do().disconnect->trigger();
        QVERIFY(!run.Link().Port().IsOpen());
    }
};

QTEST_MAIN(UserRoadTest)
#include "UserRoadTest.moc"

#include <QDir>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include "AppFixture.h"
#include "app/Commands.h"

// The road of a new user: type a program, save and compile it, connect to the virtual controller
// on a pseudo-terminal, and get the program into the controller's store.
class UserRoadTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QProcess controller;
    QString device;

    // "串口设置" pointed at the emulator, then "连接控制器" until the controller has answered.
    void Connect(AppRun& run) {
        CSetSeriesDlg& serial = run.View().setSeriesDlg;
        serial.portText = device;
        serial.ownedPort.portPath = device;
        run.Action(cmd::LinkConnect)->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(run.Action(cmd::LinkDownloadProgram)->isEnabled(), 8000);
    }

    // "下载程序": the object chosen with Browse, the number typed, "开始下载" pressed.
    void StartProgramDownload(AppRun& run, const QString& object, const QString& number) {
        CDownProDlg& download = run.View().downProDlg;
        run.prompts.fileAnswers.enqueue(object);
        QTimer::singleShot(0, &download, [&download, number] {
            download.programNumberText = number;
            download.Refresh();
            download.Browse();
            download.StartDownload();
        });
        run.Action(cmd::LinkDownloadProgram)->trigger();
    }

private slots:
    void initTestCase() {
        ClearProfile();
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
        run.Action(cmd::FileSave)->trigger();
        QVERIFY(ReadBytes(program).contains("LOOP1:  INC M1\r\n"));
        QCOMPARE(run.Frame().windowTitle(), QStringLiteral("first.kxc - Tarvex620B-KF"));

        const QString object = dir.filePath(QStringLiteral("first.kxo"));
        CTranslateDlg& compile = run.View().translateDlg;
        run.prompts.fileAnswers.enqueue(object);
        QTimer::singleShot(0, &compile, [&compile] {
            compile.Browse();
            compile.Compile();
        });
        run.Action(cmd::ToolsCompile)->trigger();
        QVERIFY2(run.prompts.messages.value(0).startsWith(QStringLiteral("编译成功！")),
                 qPrintable(run.prompts.messages.value(0)));
        const QByteArray objectBytes = ReadBytes(object);
        QVERIFY(objectBytes.startsWith("This is RVL412E.kxo!"));
        QCOMPARE(objectBytes.size(), 20 + 4 * 24);  // header and four code lines, END included

        CSetSeriesDlg& serial = run.View().setSeriesDlg;
        Connect(run);
        if (QTest::currentTestFailed())
            return;
        CDownProDlg& download = run.View().downProDlg;
        StartProgramDownload(run, object, QStringLiteral("7"));
        QCOMPARE(download.port, &serial.ownedPort);
        // The dialog hides while the transfer runs on its timer.
        QTRY_VERIFY_WITH_TIMEOUT(!download.run.IsRunning(), 10000);
        QVERIFY(run.View().session.connected);
        QTRY_VERIFY_WITH_TIMEOUT(!QDir(dir.filePath("store")).entryList(QDir::Files).isEmpty(),
                                 8000);
        const QStringList stored = QDir(dir.filePath("store")).entryList(QDir::Files);
        bool found = false;
        for (const QString& name : stored)
            found = found || ReadBytes(QDir(dir.filePath("store")).filePath(name)) == objectBytes;
        QVERIFY2(found, qPrintable(stored.join(u' ')));
        QCOMPARE(run.prompts.messages.size(), 1);

        run.Action(cmd::LinkDisconnect)->trigger();
        QVERIFY(!serial.ownedPort.IsOpen());
    }

    // Closing the progress window ends only the window: the main window stays locked, so
    // nothing else can reach the port, until the transfer ends.
    void theWindowStaysLockedUntilADownloadEnds() {
        AppRun run;
        QVERIFY(run.Start());
        run.Frame().show();
        const QString object = dir.filePath(QStringLiteral("long.kxo"));
        WriteBytes(object, "This is RVL412E.kxo!" + QByteArray(160 * 24, '\x01'));  // 240 packets

        CSetSeriesDlg& serial = run.View().setSeriesDlg;
        Connect(run);
        if (QTest::currentTestFailed())
            return;
        CDownProDlg& download = run.View().downProDlg;
        StartProgramDownload(run, object, QStringLiteral("1"));
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
        run.Action(cmd::LinkDisconnect)->trigger();
        QVERIFY(!serial.ownedPort.IsOpen());
    }
};

QTEST_MAIN(UserRoadTest)
#include "UserRoadTest.moc"

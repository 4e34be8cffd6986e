#include <QCryptographicHash>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProgressBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>

#include "AppFixture.h"
#include "app/LiveCheck.h"
#include "app/MainFrm.h"
#include "app/ProblemsDock.h"
#include "app/TarvexView.h"
#include "app/WireMonitorDock.h"
#include "compiler/TranslateDlg.h"
#include "downloads/DownProDlg.h"
#include "downloads/ProcessDlg.h"
#include "link/VirtualControllerProcess.h"
#include "wire/WireTrace.h"

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
            download.setSettings({QString(), number});
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
        QVERIFY(run.StartShown());
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
        QVERIFY(run.StartShown());
        run.app.ledgerPath = dir.filePath(QStringLiteral("downloads.jsonl"));
        const QString program = dir.filePath(QStringLiteral("second.kxc"));
        const QString object = dir.filePath(QStringLiteral("second.kxo"));
        run.View().LiveCheck().SetSynchronous(true);
        TypeLines(run, {"MOV M1,0", "FOO", "END"});
        // The problem is listed as typed, and F4 goes to it.
        QTreeWidget& problems = *run.Part<CProblemsDock>("problemsDock")->List();
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
        QCOMPARE(download->settings().filePath, object);
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

    // Esc in the progress window is "停止": nothing more goes out, the window goes, the session
    // stays ready, and the log, the ledger and the status bar say it was stopped.
    void escInTheProgressWindowStopsTheDownload() {
        AppRun run;
        QVERIFY(run.StartShown());
        run.app.ledgerPath = dir.filePath(QStringLiteral("stopped.jsonl"));
        const QString object = dir.filePath(QStringLiteral("long.kxo"));
        // 240 packets, the last record END
        WriteBytes(object, "This is RVL412E.kxo!" + QByteArray(159 * 24, '\x01') +
                               QByteArray("\x02\x08", 2) + QByteArray(22, '\0'));
        const int storedBefore = QDir(dir.filePath("store")).entryList(QDir::Files).size();

        Connect(run);
        if (QTest::currentTestFailed())
            return;
        CDownProDlg* started = StartProgramDownload(run, object, QStringLiteral("1"));
        QVERIFY(started);
        CProcessDlg& progress = started->run.progressWindow;
        QVERIFY(progress.isVisible());
        QCOMPARE(progress.windowTitle(), QStringLiteral("下载程序 1"));
        QTRY_VERIFY_WITH_TIMEOUT(progress.progress->value() >= 2, 10000);
        QTest::keyClick(&progress, Qt::Key_Escape);
        QVERIFY(!started->run.IsRunning());
        QVERIFY(!progress.isVisible());
        QVERIFY(run.Frame().isEnabled());
        QVERIFY(run.Link().IsConnected());

        const auto sentLines = [&run] {
            int sent = 0;
            for (const wire::Line& line :
                 run.Part<CWireMonitorDock>("wireMonitor")->Recorder().Lines())
                sent += line.direction == wire::Direction::Tx;
            return sent;
        };
        const int sent = sentLines();
        QTest::qWait(300);  // ticks would have sent more by now
        QCOMPARE(sentLines(), sent);
        QVERIFY(run.prompts.messages.isEmpty());
        QVERIFY2(run.app.log.Lines().last().endsWith(QStringLiteral("已停止。")),
                 qPrintable(run.app.log.Lines().last()));
        const QJsonObject entry =
            QJsonDocument::fromJson(ReadBytes(run.app.ledgerPath).split('\n')[0]).object();
        QCOMPARE(entry["outcome"].toString(), QStringLiteral("stopped"));
        QVERIFY2(run.Part<QLabel>("messagePane")
                     ->text()
                     .startsWith(QStringLiteral("下载已停止：程序 1，")),
                 qPrintable(run.Part<QLabel>("messagePane")->text()));
        QCOMPARE(QDir(dir.filePath("store")).entryList(QDir::Files).size(), storedBefore);
        run.Do().disconnect->trigger();
    }

    // F5 while not connected connects on the remembered port, then opens "下载程序"; after
    // opening another program the same F5 connects again and sends the new one.
    void f5ConnectsFirstAndAgainAfterAnOpen() {
        AppRun run;
        QVERIFY(run.StartShown());
        QVERIFY(run.ChoosePort(device));
        const QString first = WriteProgram("f5a.kxc", "MOV M1,1\r\nEND\r\n");
        const QString second = WriteProgram("f5b.kxc", "MOV M1,2\r\nMOV M2,3\r\nEND\r\n");
        QVERIFY(run.app.OpenDocumentFile(first));
        DownloadWithF5(run, dir.filePath("f5a.kxo"));
        if (QTest::currentTestFailed())
            return;
        QVERIFY(run.Link().IsConnected());

        QVERIFY(run.app.OpenDocumentFile(second));
        QVERIFY(!run.Link().IsConnected());
        QVERIFY(run.Link().Port().IsOpen());
        QCOMPARE(run.Part<QLabel>("connectionPane")->text(),
                 device + QStringLiteral("  4800  需重新连接"));
        QVERIFY2(run.Part<QLabel>("messagePane")->text().contains(QStringLiteral("需重新连接")),
                 qPrintable(run.Part<QLabel>("messagePane")->text()));
        DownloadWithF5(run, dir.filePath("f5b.kxo"));
        QVERIFY(run.prompts.messages.isEmpty());
        run.Do().disconnect->trigger();
    }

    // A controller that never answers the handshake: the user reads why in a box, and nothing
    // says the program went anywhere. Ctrl+F7 stays a compile alone.
    void f5WithASilentControllerSaysWhyNothingWasSent() {
        QTemporaryDir store;
        QProcess silent;
        silent.start(QStringLiteral(TARVEX_BIN),
                     {QStringLiteral("emulate"), QStringLiteral("--silent")});
        QVERIFY(silent.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(silent.canReadLine() || silent.waitForReadyRead(100), 10000);
        const QString path = QString::fromLocal8Bit(silent.readLine()).trimmed();
        AppRun run;
        QVERIFY(run.StartShown());
        QVERIFY(run.ChoosePort(path));
        QVERIFY(run.app.OpenDocumentFile(WriteProgram("f5c.kxc", "MOV M1,1\r\nEND\r\n")));
        run.Do().compileCurrent->trigger();
        QVERIFY(!run.Link().Port().IsOpen());
        QVERIFY(run.Part<QLabel>("messagePane")->text().startsWith(QStringLiteral("编译成功！")));

        run.Do().compileAndDownload->trigger();
        QCOMPARE(run.Link().State(), ctrl::Link::LineState::Connecting);
        for (int tick = 0; tick < 20 && run.prompts.messages.isEmpty(); ++tick)
            run.Link().TickSession();
        QCOMPARE(run.prompts.messages, QStringList{QStringLiteral("控制器连接：失败！")});
        QCOMPARE(run.Part<QLabel>("messagePane")->text(),
                 QStringLiteral("下载失败：控制器连接：失败！"));
        QTest::qWait(100);
        QVERIFY(!QApplication::activeModalWidget());
        silent.terminate();
        silent.waitForFinished(3000);
    }

    // "虚拟控制器（试用）" in the serial settings starts `tarvex emulate` for the application;
    // the toolbar button connects to it and turns green, and another port ends it.
    void theVirtualControllerRunsForTheApplication() {
        if (!ctrl::VirtualControllerProcess::Available())
            QSKIP("no pseudo-terminals here");
        AppRun run;
        QVERIFY(run.StartShown());
        const QString store = dir.filePath(QStringLiteral("appdata"));
        run.Link().SetVirtualControllerPlace(QStringLiteral(TARVEX_BIN), store);
        QVERIFY(run.ChoosePort(QStringLiteral("虚拟控制器（试用）")));
        const ctrl::VirtualControllerProcess& controller = run.Link().VirtualController();
        QVERIFY(controller.IsRunning());
        QVERIFY2(controller.DevicePath().startsWith(u'/'), qPrintable(controller.DevicePath()));
        QCOMPARE(run.Link().PortText(), QStringLiteral("virtual"));
        QCOMPARE(run.Link().Port().ConfiguredName(), controller.DevicePath());

        QAction* toggle = run.Do().connectToggle;
        QCOMPARE(toggle->text(), QStringLiteral("虚拟控制器（试用） 未连接"));
        QCOMPARE(run.Do().connect->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_L));
        toggle->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(run.Link().IsConnected(), 8000);
        QCOMPARE(toggle->text(), QStringLiteral("虚拟控制器（试用） 已连接"));
        QVERIFY(toggle->isChecked());
        QVERIFY(run.Part<QToolBar>("linkBar")->widgetForAction(toggle)->styleSheet().contains(
            "background"));
        QCOMPARE(run.Do().disconnect->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_L));

        QVERIFY(run.app.OpenDocumentFile(WriteProgram("trial.kxc", "MOV M1,5\r\nEND\r\n")));
        DownloadWithF5(run, dir.filePath("trial.kxo"));
        QTRY_VERIFY_WITH_TIMEOUT(!QDir(store).entryList({"*.kxo"}, QDir::Files).isEmpty(), 8000);

        toggle->trigger();
        QVERIFY(!run.Link().IsConnected());
        QVERIFY(run.ChoosePort(QStringLiteral("COM2")));
        QVERIFY(!controller.IsRunning());
    }

private:
    QString WriteProgram(const QString& name, const QByteArray& text) {
        const QString path = dir.filePath(name);
        WriteBytes(path, text);
        return path;
    }

    // F5, then Enter in "下载程序" once it opens (after a connect, that is later), until the
    // download has ended and the status bar says it finished.
    void DownloadWithF5(AppRun& run, const QString& object) {
        CDownProDlg* seen = nullptr;
        QTimer watch;
        watch.setInterval(20);
        watch.callOnTimeout([&] {
            if (auto* dialog = qobject_cast<CDownProDlg*>(QApplication::activeModalWidget())) {
                watch.stop();
                seen = dialog;
                QTest::keyClick(dialog, Qt::Key_Return);
            }
        });
        watch.start();
        run.Do().compileAndDownload->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(seen, 8000);
        QCOMPARE(seen->settings().filePath, object);
        QTRY_VERIFY_WITH_TIMEOUT(!seen->run.IsRunning() && !seen->isVisible(), 10000);
        QVERIFY2(
            run.Part<QLabel>("messagePane")->text().startsWith(QStringLiteral("下载完成：程序 ")),
            qPrintable(run.Part<QLabel>("messagePane")->text()));
    }
};

QTEST_MAIN(UserRoadTest)
#include "UserRoadTest.moc"

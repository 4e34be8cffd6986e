#include <QButtonGroup>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <fstream>

#include "downloads/DownByteDlg.h"
#include "downloads/DownParDlg.h"
#include "downloads/DownProDlg.h"
#include "link/SerialPort.h"
#include "tests/support/EmulatedLine.h"
#include "tests/support/Samples.h"
#include "ui/ScriptedPrompts.h"

namespace {

// The virtual controller behind a pseudo-terminal, and the port open on it in session.
struct Controller : testsupport::EmulatedLine {
    explicit Controller(emu::Faults faults = {}) : EmulatedLine(std::move(faults)) {
        if (!OpenInSession())
            qFatal("no emulated line: %s", Error().c_str());
    }
};

// Runs the event loop until the dialog's transfer has ended. A polling wait would sleep through
// the ticks of a timer quicker than its step.
template <typename Dialog>
bool TransferEnds(Dialog& dlg, int ms) {
    QSignalSpy finished(&dlg, &QDialog::finished);
    return !dlg.run.IsRunning() || finished.wait(ms);
}

void Click(QDialog& dlg, const char* name) {
    QTest::mouseClick(dlg.findChild<QPushButton*>(QLatin1String(name)), Qt::LeftButton);
}

QLineEdit* Edit(QDialog& dlg, const char* name) {
    return dlg.findChild<QLineEdit*>(QLatin1String(name));
}

QString Write(const QTemporaryDir& dir, const QString& name, const std::string& bytes) {
    const QString path = dir.filePath(name);
    std::ofstream(path.toStdString(), std::ios::binary) << bytes;
    return path;
}

// Whether this process has `path` open, by its descriptors.
bool HeldOpen(const QString& path) {
    const QString target = QFileInfo(path).canonicalFilePath();
    for (const QFileInfo& fd : QDir("/proc/self/fd").entryInfoList(QDir::System | QDir::Files)) {
        if (fd.symLinkTarget() == target)
            return true;
    }
    return false;
}

// A record of 0x11 bytes, then END (group 2, code 8).
const std::string kRecords =
    std::string(24, '\x11') + std::string("\x02\x08") + std::string(22, '\0');
const std::string kObject = std::string("This is RVL412E.kxo!") + kRecords;

}  // namespace

class DownloadDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void programDialogRefusesThenSendsTheTypedFile();
    void programWithoutEndIsSentOnlyWhenTheUserSaysYes();
    void progressTellsFramesTimeAndTimeLeft();
    void stopEndsTheTransferQuietlyAndLeavesTheSessionReady();
    void enterPressesTheFocusedButtonOrElseStart();
    void parameterDialogRefusesAForeignFileAndLeavesItClosed();
    void screenRangeMessagesComeBeforeTheFileIsOpened_data();
    void screenRangeMessagesComeBeforeTheFileIsOpened();
    void screenDialogUsesTheTypedPathAndSendsTheScreen();
    void unwritableScratchFileShowsTheDialogAgainNamingThePath();
    void scratchFileThatIsTheBitmapIsRefused();
    void silentControllerClosesTheDialogAndThePortWithOneMessage();

private:
    QTemporaryDir dir;
};

void DownloadDialogsTest::programDialogRefusesThenSendsTheTypedFile() {
    ui::ScriptedPrompts prompts;
    Controller line;
    CDownProDlg dlg(prompts, line.port);
    dlg.show();
    QCOMPARE(Edit(dlg, "numberEdit")->text(), QString("001"));

    Click(dlg, "startButton");
    QCOMPARE(prompts.messages, QStringList{"不能打开文件: !"});

    const QString bad = Write(dir, "bad.kxo", "This is RVL412E.kxo?" + std::string(24, 'x'));
    prompts.fileAnswers.enqueue(bad);
    Click(dlg, "browseButton");
    QCOMPARE(prompts.choosers.last().filter,
             QString("KXCON Files(*.kxo)|*.kxo|All Files(*.*)|*.*||"));
    QCOMPARE(prompts.choosers.last().defaultExtension, QString("txt"));
    QCOMPARE(Edit(dlg, "pathEdit")->text(), bad);
    Click(dlg, "startButton");
    QCOMPARE(prompts.messages.last(), QString("文件格式错误！"));
    QVERIFY(dlg.isVisible());

    // Browse fills the box, but what the box shows when starting is what goes out.
    prompts.fileAnswers.enqueue(bad);
    Click(dlg, "browseButton");
    const QString good = Write(dir, "good.kxo", kObject);
    Edit(dlg, "pathEdit")->setText(good);
    Edit(dlg, "numberEdit")->setText("300");
    Click(dlg, "startButton");
    QVERIFY(!dlg.isVisible());
    QVERIFY(dlg.run.progressWindow.isVisible());
    QCOMPARE(QApplication::activeModalWidget(), &dlg.run.progressWindow);
    QCOMPARE(dlg.run.progressWindow.progress->maximum(), 3);
    // The file was read whole at the start: cutting it now changes nothing that goes out.
    QVERIFY(!HeldOpen(good));
    QVERIFY(QFile::resize(good, 20));
    QVERIFY(TransferEnds(dlg, 10000));
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QVERIFY(!dlg.run.progressWindow.isVisible());
    QCOMPARE(prompts.messages.size(), 2);
    QCOMPARE(line.port.sessionState, ctrl::LINK_READY);
    QVERIFY(line.WaitForCompleted(1));
    QCOMPARE(line.Completed()[0].ProgramNumber(), 300);
    QCOMPARE(line.Completed()[0].data, std::vector<std::uint8_t>(kRecords.begin(), kRecords.end()));

    dlg.show();  // fields persist between openings
    QCOMPARE(Edit(dlg, "pathEdit")->text(), good);
    QCOMPARE(Edit(dlg, "numberEdit")->text(), QString("300"));
}

void DownloadDialogsTest::programWithoutEndIsSentOnlyWhenTheUserSaysYes() {
    ui::ScriptedPrompts prompts;
    Controller line;
    CDownProDlg dlg(prompts, line.port);
    dlg.show();
    const std::string cut = std::string("This is RVL412E.kxo!") + kRecords.substr(0, 24);
    Edit(dlg, "pathEdit")->setText(Write(dir, "cut.kxo", cut));
    const QString question = "目标程序不以 END 结束，可能是编译失败留下的文件。仍要下载吗？";

    prompts.answers.enqueue(ui::Prompts::Answer::No);
    Click(dlg, "startButton");
    QCOMPARE(prompts.questions, QStringList{question});
    QVERIFY(dlg.isVisible());
    QVERIFY(!dlg.run.progressWindow.isVisible());

    prompts.answers.enqueue(ui::Prompts::Answer::Yes);
    Click(dlg, "startButton");
    QCOMPARE(prompts.questions.size(), 2);
    QVERIFY(TransferEnds(dlg, 10000));
    QVERIFY(line.WaitForCompleted(1));
    QCOMPARE(line.Completed()[0].data.size(), std::size_t(32));  // two whole packets
}

void DownloadDialogsTest::progressTellsFramesTimeAndTimeLeft() {
    CProcessDlg window;
    qint64 now = 1000;
    window.clock = [&now] { return now; };
    window.Open(nullptr, "下载程序 1");
    window.SetFrames(0, 10);
    QCOMPARE(window.windowTitle(), QString("下载程序 1"));
    QCOMPARE(window.detail->text(), QString("0 / 10 帧（0%），已用 0:00，剩余约 -:--"));
    now += 1500;
    window.SetFrames(3, 10);
    QCOMPARE(window.detail->text(), QString("3 / 10 帧（30%），已用 0:02，剩余约 0:04"));
    // No answer for a while: the clock goes on and the window says what it waits for.
    const struct {
        qint64 later;
        const char* text;
    } stall[] = {
        {1999, "3 / 10 帧（30%），已用 0:03，剩余约 0:08"},
        {1001, "3 / 10 帧（30%），已用 0:05，等待控制器应答… 3 秒"},
        {1000, "3 / 10 帧（30%），已用 0:06，等待控制器应答… 4 秒"},
    };
    for (const auto& step : stall) {
        now += step.later;
        window.ShowDetail();
        QCOMPARE(window.detail->text(), QString(step.text));
    }
    window.SetFrames(7, 10);
    QCOMPARE(window.detail->text(), QString("7 / 10 帧（70%），已用 0:06，剩余约 0:02"));
}

void DownloadDialogsTest::stopEndsTheTransferQuietlyAndLeavesTheSessionReady() {
    ui::ScriptedPrompts prompts;
    emu::Faults slow;
    slow.answerDelayMs = 20;
    Controller line(slow);
    CDownProDlg dlg(prompts, line.port);
    QStringList outcomes;
    dlg.run.onRecord = [&outcomes](const ctrl::DownloadRecord& r) {
        outcomes << ctrl::OutcomeName(r.outcome);
    };
    dlg.show();
    std::string records;
    for (int i = 0; i < 99; ++i)
        records += std::string(24, '\x01');
    Edit(dlg, "pathEdit")
        ->setText(Write(dir, "long.kxo", "This is RVL412E.kxo!" + records + kRecords.substr(24)));
    Click(dlg, "startButton");
    QTRY_VERIFY_WITH_TIMEOUT(dlg.run.progressWindow.progress->value() >= 3, 10000);

    dlg.run.progressWindow.stopButton->click();
    QVERIFY(TransferEnds(dlg, 2000));
    QCOMPARE(dlg.result(), int(QDialog::Rejected));
    QVERIFY(!dlg.run.progressWindow.isVisible());
    QVERIFY(prompts.messages.isEmpty());
    QCOMPARE(outcomes, QStringList{"stopped"});
    QCOMPARE(line.port.sessionState, ctrl::LINK_READY);
    // Nothing more goes out once stopped: counted where it is sent, while the timers run on.
    const std::size_t sent = line.port.sent.size();
    QTest::qWait(200);
    QCOMPARE(line.port.sent.size(), sent);
    // The far end gets what was sent (the start byte and each frame) and keeps no half program.
    QTRY_COMPARE(line.controller.FramesReceived(), dlg.run.Engine()->FramesSent() + 1);
    QVERIFY(line.Completed().empty());
}

// As on the platform's dialogs: Enter on a focused button presses that button; anywhere else it
// presses the default "开始下载".
void DownloadDialogsTest::enterPressesTheFocusedButtonOrElseStart() {
    ui::ScriptedPrompts prompts;
    Controller line;
    CDownParDlg dlg(prompts, line.port);
    dlg.show();
    QApplication::setActiveWindow(&dlg);
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
    auto* cancel = dlg.findChild<QPushButton*>("cancelButton");
    cancel->setFocus();
    QTest::keyClick(cancel, Qt::Key_Return);
    QVERIFY(!dlg.isVisible());
    QCOMPARE(dlg.result(), int(QDialog::Rejected));
    QVERIFY(prompts.messages.isEmpty());

    dlg.show();
    QApplication::setActiveWindow(&dlg);
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
    QCOMPARE(QApplication::focusWidget(), Edit(dlg, "pathEdit"));  // not the last button used
    Edit(dlg, "numberEdit")->setFocus();
    QTest::keyClick(Edit(dlg, "numberEdit"), Qt::Key_Return);
    QCOMPARE(prompts.messages, QStringList{"不能打开文件: !"});
    QVERIFY(dlg.isVisible());
}

void DownloadDialogsTest::parameterDialogRefusesAForeignFileAndLeavesItClosed() {
    ui::ScriptedPrompts prompts;
    Controller line;
    CDownParDlg dlg(prompts, line.port);
    dlg.run.ticks = testsupport::AnswerPacedTicks(line.port);  // 1024 packets at line speed
    dlg.show();
    const QString foreign = Write(dir, "foreign.dat", "This is Par.dat for RVL412E. By RSE. \r\n");
    prompts.fileAnswers.enqueue(foreign);
    Click(dlg, "browseButton");
    QCOMPARE(prompts.choosers.last().filter,
             QString("KXCON Files(*.dat)|*.dat|All Files(*.*)|*.*||"));
    Click(dlg, "startButton");
    QCOMPARE(prompts.messages, QStringList{"文件格式错误！"});
    QVERIFY(dlg.isVisible());
    QVERIFY(!HeldOpen(foreign));

    const QString good =
        Write(dir, "good.dat",
              "This is Par.dat for RVL412E. By RSE.\r\n[S0000] = -25\r\n[S0001] = 250\r\n");
    prompts.fileAnswers.enqueue(good);
    Click(dlg, "browseButton");
    Edit(dlg, "numberEdit")->setText("7");
    Click(dlg, "startButton");
    QVERIFY(!dlg.isVisible());
    QCOMPARE(dlg.run.progressWindow.progress->maximum(), 1024);
    QVERIFY(TransferEnds(dlg, 10000));
    QVERIFY(line.WaitForCompleted(1));
    const emu::Transfer t = line.Completed()[0];
    QCOMPARE(t.PageNumber(), 7);
    QCOMPARE(t.RegisterValues(), (std::vector<std::int32_t>{-25, 250, 0, 0}));
}

void DownloadDialogsTest::screenRangeMessagesComeBeforeTheFileIsOpened_data() {
    QTest::addColumn<QString>("radio");
    QTest::addColumn<QString>("screenNumber");
    QTest::addColumn<QString>("register4");
    QTest::addColumn<QString>("message");
    const struct {
        const char* name;
        const char* radio;
        const char* screenNumber;
        const char* register4;
        const char* message;
    } rows[] = {
        {"parameter screen number first", "parameterRadio", "768", "5000", "液晶画面序号超限！"},
        {"parameter register", "parameterRadio", "767", "4096", "参数序号超限！"},
        {"status screen number", "statusRadio", "768", "0", "液晶画面序号超限！"},
        {"status ignores registers", "statusRadio", "5", "9999", "不能打开文件:/no/such.bmp !"},
        {"start-up checks nothing", "startupRadio", "999", "9999", "不能打开文件:/no/such.bmp !"},
    };
    for (const auto& r : rows) {
        QTest::newRow(r.name) << QString::fromUtf8(r.radio) << QString::fromUtf8(r.screenNumber)
                              << QString::fromUtf8(r.register4) << QString::fromUtf8(r.message);
    }
}

void DownloadDialogsTest::screenRangeMessagesComeBeforeTheFileIsOpened() {
    QFETCH(QString, radio);
    QFETCH(QString, screenNumber);
    QFETCH(QString, register4);
    ui::ScriptedPrompts prompts;
    CSerialPort port;
    CDownByteDlg dlg(prompts, port);
    dlg.show();
    dlg.findChild<QRadioButton*>(radio)->setChecked(true);
    Edit(dlg, "pathEdit")->setText("/no/such.bmp");
    Edit(dlg, "screenNumberEdit")->setText(screenNumber);
    Edit(dlg, "registerEdit4")->setText(register4);
    Click(dlg, "startButton");
    QTEST(prompts.messages.join("|"), "message");
    QVERIFY(dlg.isVisible());
}

void DownloadDialogsTest::screenDialogUsesTheTypedPathAndSendsTheScreen() {
    ui::ScriptedPrompts prompts;
    Controller line;
    CDownByteDlg dlg(prompts, line.port);
    dlg.scratchPath = dir.filePath("dat01.dat");
    dlg.run.ticks = testsupport::AnswerPacedTicks(line.port);  // 50 ms ticks run in the CLI tests
    dlg.show();
    prompts.fileAnswers.enqueue(Write(dir, "wide.bmp", std::string(1086, 'B')));
    Click(dlg, "browseButton");
    QCOMPARE(prompts.choosers.last().filter,
             QString("位图文件(*.bmp)|*.bmp|数据文件(*.dat)|*.dat|所有文件(*.*)|*.*||"));
    Click(dlg, "startButton");
    // Declining the offer of the picture import leaves the dialog as it was.
    QCOMPARE(prompts.messages, QStringList{});
    QCOMPARE(prompts.questions,
             QStringList{"文件格式错误: Identifier ERR!!!\n"
                         "需要 64 × 128、1 位色、1086 字节的 BMP 文件，可用“画面转换”生成。\n"
                         "是否用“画面转换”打开这个文件？"});
    QVERIFY(dlg.isVisible());

    Edit(dlg, "pathEdit")->setText(Write(dir, "picture.bmp", testsupport::ScreenBitmap()));
    dlg.findChild<QRadioButton*>("parameterRadio")->setChecked(true);
    Edit(dlg, "screenNumberEdit")->setText("767");
    Edit(dlg, "registerEdit1")->setText("0");
    Edit(dlg, "registerEdit2")->setText("100");
    Edit(dlg, "registerEdit3")->setText("4095");
    Edit(dlg, "registerEdit4")->setText("12");
    Click(dlg, "startButton");
    QVERIFY(!dlg.isVisible());
    QCOMPARE(QFileInfo(dlg.scratchPath).size(), 1024);
    QCOMPARE(dlg.run.progressWindow.progress->maximum(), 64);
    QVERIFY(TransferEnds(dlg, 15000));
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QVERIFY(line.WaitForCompleted(1));
    const emu::Transfer t = line.Completed()[0];
    QCOMPARE(t.ScreenKind(), 1);
    QCOMPARE(t.ScreenNumber(), 767);
    QCOMPARE(t.ScreenRegisters(), (std::array<int, 4>{0, 100, 4095, 12}));
    QCOMPARE(t.data.size(), std::size_t{1024});
    QCOMPARE(int(t.data[7 * 64]), 128);
    QVERIFY(prompts.messages.isEmpty());
}

void DownloadDialogsTest::unwritableScratchFileShowsTheDialogAgainNamingThePath() {
    ui::ScriptedPrompts prompts;
    CSerialPort port;
    CDownByteDlg dlg(prompts, port);
    dlg.scratchPath = dir.filePath("missing/dat01.dat");
    dlg.show();
    bool visibleAtMessage = false;
    prompts.onMessage = [&](const QString&) {
        visibleAtMessage = dlg.isVisible() && QApplication::activeModalWidget() == &dlg;
    };
    Edit(dlg, "pathEdit")->setText(Write(dir, "ok.bmp", testsupport::ScreenBitmap()));
    Click(dlg, "startButton");
    QCOMPARE(prompts.messages, QStringList{"不能生成文件： " + dlg.scratchPath + " ！"});
    QVERIFY(visibleAtMessage);
    QVERIFY(dlg.isVisible());
    QVERIFY(!dlg.run.IsRunning());
}

void DownloadDialogsTest::scratchFileThatIsTheBitmapIsRefused() {
    ui::ScriptedPrompts prompts;
    CSerialPort port;
    CDownByteDlg dlg(prompts, port);
    const QString bitmap = Write(dir, "self.bmp", testsupport::ScreenBitmap());
    dlg.scratchPath = bitmap;
    dlg.show();
    Edit(dlg, "pathEdit")->setText(bitmap);
    Click(dlg, "startButton");
    QCOMPARE(prompts.messages, QStringList{"输出文件与输入文件相同：" + bitmap});
    QVERIFY(dlg.isVisible());
    QVERIFY(!dlg.run.IsRunning());
    QFile kept(bitmap);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll().toStdString(), testsupport::ScreenBitmap());
}

void DownloadDialogsTest::silentControllerClosesTheDialogAndThePortWithOneMessage() {
    ui::ScriptedPrompts prompts;
    emu::Faults silent;
    silent.neverAnswer = true;
    Controller line(silent);
    CDownProDlg dlg(prompts, line.port);
    testsupport::HandTicks ticks;
    dlg.run.ticks = ticks.Factory();
    dlg.setSettings({Write(dir, "silent.kxo", kObject), QStringLiteral("001")});
    dlg.show();
    bool progressShownAtMessage = true;
    prompts.onMessage = [&](const QString&) {
        progressShownAtMessage = dlg.run.progressWindow.isVisible();
    };
    Click(dlg, "startButton");
    QVERIFY(dlg.run.IsRunning());
    // The header resent at tick 100, given up at tick 800.
    QCOMPARE(ticks.Tick(799), 799);
    QVERIFY(prompts.messages.isEmpty());
    QCOMPARE(ticks.Tick(5), 1);
    QVERIFY(!dlg.run.IsRunning());
    QCOMPARE(prompts.messages.size(), 1);
    QCOMPARE(prompts.messages[0].section(QLatin1Char('\n'), 0, 0),
             QStringLiteral("控制器无应答！"));
    QVERIFY(!progressShownAtMessage);
    QVERIFY(!dlg.isVisible());
    QCOMPARE(dlg.result(), int(QDialog::Rejected));
    QVERIFY(!line.port.IsOpen());
    QCOMPARE(line.port.sessionState, ctrl::LINK_IDLE);
    QVERIFY(!HeldOpen(dlg.settings().filePath));
}

QTEST_MAIN(DownloadDialogsTest)
#include "DownloadDialogsTest.moc"

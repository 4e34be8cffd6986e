#include <QButtonGroup>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include <fstream>
#include <memory>
#include <thread>

#include "emulator/PtyServer.h"
#include "link/DownByteDlg.h"
#include "link/DownParDlg.h"
#include "link/DownProDlg.h"
#include "link/SerialPort.h"
#include "ui/ScriptedPrompts.h"

namespace {

// The virtual controller on its own thread behind a pseudo-terminal, and the port open on it.
struct Controller {
    explicit Controller(emu::Faults faults = {}) : controller(faults), server(controller) {
        std::string error;
        if (!server.Open(error))
            qFatal("no pseudo-terminal: %s", error.c_str());
        thread = std::thread([this] { server.Serve(); });
        port.portPath = QString::fromStdString(server.DevicePath());
        port.baudRate = 19200;
        port.OpenConfigured();
        port.sessionState = ctrl::LINK_READY;
    }
    ~Controller() {
        port.Close();
        server.RequestStop();
        thread.join();
    }
    emu::VirtualController controller;
    emu::PtyServer server;
    std::thread thread;
    CSerialPort port;
};

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

std::string Bitmap() {
    std::string b(1086, '\xFF');
    const std::pair<int, int> fields[] = {
        {0, 'B' | 'M' << 8}, {2, 1086}, {18, 64}, {22, 128}, {26, 1}, {28, 1}, {34, 1024}};
    for (std::size_t i = 0; i < 62; ++i)
        b[i] = 0;
    for (auto [at, value] : fields) {
        b[at] = static_cast<char>(value & 0xFF);
        b[at + 1] = static_cast<char>(value >> 8);
    }
    b[62 + 127 * 8] = '\x7F';  // top-left pixel black
    return b;
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

const std::string kObject = std::string("This is RVL412E.kxo!") + std::string(48, '\x11');

}  // namespace

class DownloadDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void programDialogRefusesThenSendsTheBrowsedFile();
    void enterPressesTheFocusedButtonOrElseStart();
    void parameterDialogRefusesAForeignFileAndLeavesItClosed();
    void screenRangeMessagesComeBeforeTheFileIsOpened_data();
    void screenRangeMessagesComeBeforeTheFileIsOpened();
    void screenDialogUsesTheTypedPathAndSendsTheScreen();
    void unwritableScratchFileShowsTheDialogAgainNamingThePath();
    void silentControllerClosesTheDialogAndThePortWithOneMessage();

private:
    QTemporaryDir dir;
};

void DownloadDialogsTest::programDialogRefusesThenSendsTheBrowsedFile() {
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

    const QString good = Write(dir, "good.kxo", kObject);
    prompts.fileAnswers.enqueue(good);
    Click(dlg, "browseButton");
    Edit(dlg, "pathEdit")->setText(bad);  // typed, never used
    Edit(dlg, "numberEdit")->setText("300");
    Click(dlg, "startButton");
    QVERIFY(!dlg.isVisible());
    QVERIFY(dlg.run.progressWindow.isVisible());
    QCOMPARE(QApplication::activeModalWidget(), &dlg.run.progressWindow);
    QCOMPARE(dlg.run.progressWindow.progress->maximum(), 3);
    QVERIFY(HeldOpen(good));
    QTRY_VERIFY_WITH_TIMEOUT(!dlg.run.IsRunning(), 10000);
    QVERIFY(!HeldOpen(good));
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QVERIFY(!dlg.run.progressWindow.isVisible());
    QCOMPARE(prompts.messages.size(), 2);
    QCOMPARE(line.port.sessionState, ctrl::LINK_READY);
    QTRY_COMPARE(line.controller.Completed().size(), std::size_t{1});
    QCOMPARE(line.controller.Completed()[0].ProgramNumber(), 300);

    dlg.show();  // fields persist between openings
    QCOMPARE(Edit(dlg, "pathEdit")->text(), good);
    QCOMPARE(Edit(dlg, "numberEdit")->text(), QString("300"));
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
    QTRY_VERIFY_WITH_TIMEOUT(!dlg.run.IsRunning(), 10000);
    QTRY_COMPARE(line.controller.Completed().size(), std::size_t{1});
    const emu::Transfer& t = line.controller.Completed()[0];
    QCOMPARE(t.PageNumber(), 7);
    QCOMPARE(t.RegisterValues(), (std::vector<std::int32_t>{-25, 250, 0, 0}));
}

void DownloadDialogsTest::screenRangeMessagesComeBeforeTheFileIsOpened_data() {
    QTest::addColumn<QString>("radio");
    QTest::addColumn<QString>("screenNumber");
    QTest::addColumn<QString>("register4");
    QTest::addColumn<QString>("message");
    QTest::newRow("parameter screen number first") << "parameterRadio"
                                                   << "768"
                                                   << "5000"
                                                   << "液晶画面序号超限！";
    QTest::newRow("parameter register") << "parameterRadio"
                                        << "767"
                                        << "4096"
                                        << "参数序号超限！";
    QTest::newRow("status screen number") << "statusRadio"
                                          << "768"
                                          << "0"
                                          << "液晶画面序号超限！";
    QTest::newRow("status ignores registers") << "statusRadio"
                                              << "5"
                                              << "9999"
                                              << "不能打开文件:/no/such.bmp !";
    QTest::newRow("start-up checks nothing") << "startupRadio"
                                             << "999"
                                             << "9999"
                                             << "不能打开文件:/no/such.bmp !";
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
    dlg.show();
    prompts.fileAnswers.enqueue(Write(dir, "wide.bmp", std::string(1086, 'B')));
    Click(dlg, "browseButton");
    QCOMPARE(prompts.choosers.last().filter,
             QString("位图文件(*.bmp)|*.bmp|数据文件(*.dat)|*.dat|所有文件(*.*)|*.*||"));
    Click(dlg, "startButton");
    QCOMPARE(prompts.messages, QStringList{"文件格式错误: Identifier ERR!!!"});
    QVERIFY(dlg.isVisible());

    Edit(dlg, "pathEdit")->setText(Write(dir, "picture.bmp", Bitmap()));
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
    QTRY_VERIFY_WITH_TIMEOUT(!dlg.run.IsRunning(), 15000);
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QTRY_COMPARE(line.controller.Completed().size(), std::size_t{1});
    const emu::Transfer& t = line.controller.Completed()[0];
    QCOMPARE(t.ScreenKind(), 1);
    QCOMPARE(t.ScreenNumber(), 767);
    QCOMPARE(t.ScreenRegisters(), (std::array<int, 4>{0, 100, 4095, 12}));
    QCOMPARE(t.data.size(), std::size_t{1024});
    QCOMPARE(int(t.data[7 * 64]), 128);
    QCOMPARE(prompts.messages.size(), 1);
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
    Edit(dlg, "pathEdit")->setText(Write(dir, "ok.bmp", Bitmap()));
    Click(dlg, "startButton");
    QCOMPARE(prompts.messages, QStringList{"不能生成文件： " + dlg.scratchPath + " ！"});
    QVERIFY(visibleAtMessage);
    QVERIFY(dlg.isVisible());
    QVERIFY(!dlg.run.IsRunning());
}

void DownloadDialogsTest::silentControllerClosesTheDialogAndThePortWithOneMessage() {
    ui::ScriptedPrompts prompts;
    emu::Faults silent;
    silent.neverAnswer = true;
    Controller line(silent);
    CDownProDlg dlg(prompts, line.port);
    dlg.filePath = Write(dir, "silent.kxo", kObject);
    dlg.show();
    bool progressShownAtMessage = true;
    prompts.onMessage = [&](const QString&) {
        progressShownAtMessage = dlg.run.progressWindow.isVisible();
    };
    Click(dlg, "startButton");
    QVERIFY(dlg.run.IsRunning());
    // Eight seconds of the 10 ms timer: the header resent at tick 100, given up at tick 800.
    QTRY_VERIFY_WITH_TIMEOUT(!dlg.run.IsRunning(), 12000);
    QCOMPARE(prompts.messages, QStringList{"控制器无应答！"});
    QVERIFY(!progressShownAtMessage);
    QVERIFY(!dlg.isVisible());
    QCOMPARE(dlg.result(), int(QDialog::Rejected));
    QVERIFY(!line.port.IsOpen());
    QCOMPARE(line.port.sessionState, ctrl::LINK_IDLE);
    QVERIFY(!HeldOpen(dlg.filePath));
}

QTEST_MAIN(DownloadDialogsTest)
#include "DownloadDialogsTest.moc"

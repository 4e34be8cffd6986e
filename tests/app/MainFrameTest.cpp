#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPrintPreviewWidget>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <memory>

#include "../link/PtyPair.h"
#include "AppFixture.h"
#include "app/DesktopRegistration.h"
#include "app/LoadCutDlg.h"
#include "app/MessageDlg.h"
#include "app/ProblemsDock.h"
#include "app/Splash.h"
#include "app/Tarvex.h"
#include "app/WireMonitorDock.h"
#include "charset/SetByteDlg.h"
#include "compiler/TranslateDlg.h"
#include "downloads/DownByteDlg.h"
#include "downloads/DownParDlg.h"
#include "downloads/DownProDlg.h"
#include "registers/RegisterTableModel.h"
#include "registers/RegisterTableWnd.h"
#include "registers/SetParDlg.h"
#include "tests/support/Patience.h"
#include "tests/support/Portable.h"
#include "wire/WireTrace.h"

using Command = CTarvexApp::CommandLineInfo::Command;

namespace {

// Item texts of a menu, "-" for a separator.
QStringList Items(const QMenu* menu) {
    QStringList items;
    for (const QAction* action : menu->actions())
        items.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    return items;
}

using Commands = CMainFrame::Commands;

const std::pair<const char*, QAction * Commands::*> kCommands[] = {
    {"fileNew", &Commands::fileNew},
    {"fileOpen", &Commands::fileOpen},
    {"fileSave", &Commands::fileSave},
    {"fileSaveAs", &Commands::fileSaveAs},
    {"loadCut", &Commands::loadCut},
    {"print", &Commands::print},
    {"printPreview", &Commands::printPreview},
    {"printSetup", &Commands::printSetup},
    {"exit", &Commands::exit},
    {"undo", &Commands::undo},
    {"redo", &Commands::redo},
    {"cut", &Commands::cut},
    {"copy", &Commands::copy},
    {"paste", &Commands::paste},
    {"compile", &Commands::compile},
    {"compileCurrent", &Commands::compileCurrent},
    {"compileAndDownload", &Commands::compileAndDownload},
    {"registers", &Commands::registers},
    {"pictureImport", &Commands::pictureImport},
    {"characters", &Commands::characters},
    {"serialSettings", &Commands::serialSettings},
    {"connect", &Commands::connect},
    {"downloadProgram", &Commands::downloadProgram},
    {"downloadParams", &Commands::downloadParams},
    {"downloadScreen", &Commands::downloadScreen},
    {"disconnect", &Commands::disconnect},
    {"toolbar", &Commands::toolbar},
    {"statusBar", &Commands::statusBar},
    {"infoWindow", &Commands::infoWindow},
    {"about", &Commands::about},
    // Program editor
    {"find", &Commands::find},
    {"replace", &Commands::replace},
    {"findNext", &Commands::findNext},
    {"findPrevious", &Commands::findPrevious},
    {"goToLine", &Commands::goToLine},
    {"nextProblem", &Commands::nextProblem},
    {"previousProblem", &Commands::previousProblem},
    {"problems", &Commands::problems},
    {"zoomIn", &Commands::zoomIn},
    {"zoomOut", &Commands::zoomOut},
    {"zoomReset", &Commands::zoomReset},
    {"wireMonitor", &Commands::wireMonitor},
};

QAction* Named(AppRun& run, const QString& name) {
    for (const auto& [commandName, command] : kCommands) {
        if (name == QLatin1String(commandName))
            return run.Do().*command;
    }
    return nullptr;
}

// The commands whose enabling follows a rule.
const QStringList kRuled = {"undo",           "cut",
                            "copy",           "loadCut",
                            "connect",        "downloadProgram",
                            "downloadParams", "downloadScreen",
                            "disconnect",     "infoWindow"};

QStringList Enabled(AppRun& run) {
    QStringList enabled;
    for (const QString& name : kRuled) {
        if (Named(run, name)->isEnabled())
            enabled.append(name);
    }
    return enabled;
}

// The next byte the host wrote to the far end of the line, or -1 when none came in time.
int ReadByte(int fd, int timeoutMs) {
    if (!QTest::qWaitFor([&] { return portable::Readable(fd, std::chrono::milliseconds(0)); },
                         timeoutMs))
        return -1;
    unsigned char byte = 0;
    return portable::ReadSome(fd, &byte, 1) == 1 ? byte : -1;
}

// "连接控制器" on the line's far end, answered as the controller answers.
bool ConnectOver(AppRun& run, const PtyPair& line) {
    if (!run.ChoosePort(QString::fromStdString(line.slavePath)))
        return false;
    run.Do().connect->trigger();
    const unsigned char answer = 1;
    if (ReadByte(line.master, 2000) != 1 || !portable::WriteAll(line.master, &answer, 1))
        return false;
    return QTest::qWaitFor([&] { return run.Do().downloadProgram->isEnabled(); }, 2000);
}

}  // namespace

class MainFrameTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void init() {
        ClearProfile();
        CSplashWnd::picturePath = QStringLiteral(":/res/splash.png");
    }

    // The choice is kept in the profile for the next start; the running texts stay as they are.
    void theLanguageMenuKeepsItsChoiceInTheProfile() {
        AppRun run;
        QVERIFY(run.Start());
        const auto& c = run.Do();
        QVERIFY(c.languageSystem->isChecked());
        struct Step {
            QAction* action;
            QString profile;
        };
        for (const Step& step : {Step{c.languageEnglish, "en"}, Step{c.languageChinese, "zh"},
                                 Step{c.languageSystem, ""}}) {
            run.Part<QLabel>("messagePane")->clear();
            step.action->trigger();
            QCOMPARE(CTarvexApp::ProfileLanguage(), step.profile);
            QVERIFY(step.action->isChecked());
            QTRY_COMPARE(run.Part<QLabel>("messagePane")->text(),
                         msg::QText(msg::Id::LanguageAtNextStart));
            QCOMPARE(run.Frame().menuBar()->actions().first()->text(), QString("文件(&F)"));
        }
    }

    void menusHoldEveryItemInOrder() {
        AppRun run;
        QVERIFY(run.Start());
        const QList<QStringList> expected = {
            {"新建(&N)\tCtrl+N", "打开(&O)...\tCtrl+O", "保存(&S)\tCtrl+S", "另存为(&A)...", "-",
             "载入(L)...", "-", "打印(&P)...\tCtrl+P", "打印预览(&V)", "打印设置(&R)...", "-",
             "最近文件", "-", "退出(&X)"},
            {"撤消(&U)\tCtrl+Z", "重做(&R)\tCtrl+Y", "-", "剪切(&T)\tCtrl+X", "复制(&C)\tCtrl+C",
             "粘贴(&P)\tCtrl+V", "-", "查找(&F)...\tCtrl+F", "替换(&R)...\tCtrl+H",
             "查找下一个(&N)\tF3", "查找上一个(&V)\tShift+F3", "-", "转到行(&G)...\tCtrl+G",
             "下一个问题\tF4", "上一个问题\tShift+F4"},
            {"程序编译\tF8", "编译当前程序\tCtrl+F7", "编译并下载\tF5", "寄存器设置", "寄存器总表",
             "画面转换(&P)...", "显示字符设置(&D)...", "-", "作业(&J)...", "生产模式(&M)...",
             "生产记录(&R)..."},
            {"串口设置", "连接控制器", "下载程序", "下载参数", "下载液晶画面", "断开连接"},
            {"工具栏(&T)", "状态栏(&S)", "信息窗口", "-", "问题列表", "串口监视(&W)",
             "放大\tCtrl++", "缩小\tCtrl+-", "原始大小\tCtrl+0", "-", "语言 / Language"},
            {"关于 Tarvex620B..."},
        };
        const QStringList titles = {"文件(&F)",       "编辑(&E)", "工具(&T)",
                                    "控制器会话(&L)", "查看(&V)", "帮助(&H)"};
        QStringList barTitles;
        for (const QAction* a : run.Frame().menuBar()->actions())
            barTitles.append(a->text());
        QCOMPARE(barTitles, titles);
        QCOMPARE(run.Popups().size(), expected.size());
        for (int i = 0; i < expected.size(); ++i)
            QCOMPARE(Items(run.Popups()[i]), expected[i]);
        // The display-character editor is in the tools; the cut-file command stays disabled.
        QVERIFY(run.Do().characters->isEnabled());
        QVERIFY(!run.Do().loadCut->isEnabled());
    }

    void commandsCarryTheirPromptsAndKeys_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("prompt");
        QTest::addColumn<QString>("keys");
        QTest::newRow("new") << QString("fileNew") << "建立新文档"
                             << "Ctrl+N";
        QTest::newRow("open") << QString("fileOpen") << "打开一个现有文档"
                              << "Ctrl+O";
        QTest::newRow("save") << QString("fileSave") << "保存活动文档"
                              << "Ctrl+S";
        QTest::newRow("save as") << QString("fileSaveAs") << "将活动文档以一个新文件名保存"
                                 << "";
        QTest::newRow("load cut") << QString("loadCut") << "载入*.cut文件"
                                  << "";
        QTest::newRow("print") << QString("print") << "打印活动文档"
                               << "Ctrl+P";
        QTest::newRow("preview") << QString("printPreview") << "显示整页"
                                 << "";
        QTest::newRow("print setup") << QString("printSetup") << "改变打印机及打印选项"
                                     << "";
        QTest::newRow("exit") << QString("exit") << "退出应用程序；提示保存文档"
                              << "";
        QTest::newRow("undo") << QString("undo") << "撤消最后一步操作"
                              << "Ctrl+Z, Alt+Backspace";
        QTest::newRow("redo") << QString("redo") << "重做上一步撤消的操作"
                              << "Ctrl+Y, Ctrl+Shift+Z";
        QTest::newRow("characters") << QString("characters") << "编辑液晶屏的显示字符文件"
                                    << "";
        QTest::newRow("cut") << QString("cut") << "剪切被选对象并将其置于剪贴板上"
                             << "Ctrl+X, Shift+Del";
        QTest::newRow("copy") << QString("copy") << "复制被选对象并将其置于剪贴板上"
                              << "Ctrl+C, Ctrl+Ins";
        QTest::newRow("paste") << QString("paste") << "插入剪贴板内容"
                               << "Ctrl+V, Shift+Ins";
        QTest::newRow("compile") << QString("compile") << ""
                                 << "F8";
        QTest::newRow("compile current")
            << QString("compileCurrent") << "把当前程序编译成同名的 .kxo 文件"
            << "Ctrl+F7";
        QTest::newRow("compile and download")
            << QString("compileAndDownload") << "编译当前程序，成功后打开程序下载"
            << "F5";
        QTest::newRow("picture import")
            << QString("pictureImport") << "把任意图片转换为 64 × 128 的液晶画面位图"
            << "";
        // Ctrl+L toggles: beside "连接控制器" while not connected.
        QTest::newRow("connect") << QString("connect") << ""
                                 << "Ctrl+L";
        QTest::newRow("toolbar") << QString("toolbar") << "显示或隐藏工具栏"
                                 << "";
        QTest::newRow("status bar") << QString("statusBar") << "显示或隐藏状态栏"
                                    << "";
        QTest::newRow("about") << QString("about") << "显示程序信息，版本号和版权"
                               << "";
        // Program editor
        const struct {
            const char* command;
            const char* prompt;
            const char* keys;
        } editor[] = {
            {"find", "查找指定的文字", "Ctrl+F"},
            {"replace", "用其它文字替换指定的文字", "Ctrl+H"},
            {"findNext", "重复上次的查找", "F3"},
            {"findPrevious", "向前重复上次的查找", "Shift+F3"},
            {"goToLine", "移到指定的行", "Ctrl+G"},
            {"nextProblem", "移到下一处错误", "F4"},
            {"previousProblem", "移到上一处错误", "Shift+F4"},
            {"problems", "显示或隐藏问题列表", ""},
            {"wireMonitor", "显示串口上收发的每个字节及其含义", ""},
            {"zoomIn", "放大程序文字", "Ctrl++, Ctrl+="},
            {"zoomOut", "缩小程序文字", "Ctrl+-"},
            {"zoomReset", "恢复程序文字的原始大小", "Ctrl+0"},
        };
        for (const auto& e : editor)
            QTest::newRow(e.command) << QString(e.command) << QString(e.prompt) << QString(e.keys);
    }
    void commandsCarryTheirPromptsAndKeys() {
        QFETCH(QString, command);
        QFETCH(QString, prompt);
        QFETCH(QString, keys);
        AppRun run;
        QVERIFY(run.Start());
        QAction* action = Named(run, command);
        QVERIFY(action);
        QCOMPARE(action->statusTip(), prompt);
        QStringList shown;
        for (const QKeySequence& k : action->shortcuts())
            shown.append(k.toString(QKeySequence::PortableText));
        QCOMPARE(shown.join(QStringLiteral(", ")), keys);
    }

    void theToolbarHasEightButtonsWithGaps() {
        AppRun run;
        QVERIFY(run.Start());
        QStringList buttons;
        for (QAction* a : run.Part<QToolBar>("toolBar")->actions())
            buttons.append(a->isSeparator() ? QStringLiteral("-") : a->toolTip());
        QCOMPARE(buttons, (QStringList{"新建", "打开", "保存", "-", "剪切", "复制", "粘贴", "-",
                                       "打印", "-", "关于"}));
        for (QAction* a : run.Part<QToolBar>("toolBar")->actions())
            QVERIFY(a->isSeparator() || !a->icon().isNull());
    }

    void theFirstWindowFitsTheAvailableScreen() {
        const struct {
            QRect available;
            QRect placed;
        } cases[] = {
            {{0, 0, 1600, 1000}, {400, 200, 800, 600}},
            // 1600 x 1000 at scale 2, below a 30 pixel panel: shrunk, title bar on the screen.
            {{0, 15, 800, 485}, {0, 15, 800, 485}},
            {{0, 0, 1024, 500}, {112, 0, 800, 500}},
            {{-1280, 24, 1280, 1000}, {-1040, 224, 800, 600}},
        };
        for (const auto& c : cases)
            QCOMPARE(FirstWindowGeometry(QSize(800, 600), c.available), c.placed);

        AppRun run;
        QVERIFY(run.Start());
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(available.contains(run.Frame().frameGeometry()));
    }

    void theStatusBarHasItsPanes() {
        AppRun run;
        QVERIFY(run.Start());
        QCOMPARE(run.Part<QLabel>("messagePane")->text(), QStringLiteral("就绪"));
        QCOMPARE(run.LinePane(), QStringLiteral("行号： 1"));
        QCOMPARE(run.Part<QLabel>("linePane")->width(), 80);
    }

    // The lock panes follow the lock state that key events carry (X11: Lock 0x02, Mod2 0x10).
    void theLockPanesShowWhileTheLocksAreOn() {
        AppRun run;
        QVERIFY(run.Start());
        const struct {
            quint32 native;
            const char* caps;
            const char* num;
        } cases[] = {{0x02, "大写", ""}, {0x10, "", "数字"}, {0x12, "大写", "数字"}, {0, "", ""}};
        for (const auto& c : cases) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Shift, Qt::NoModifier, 0, 0, c.native);
            QApplication::sendEvent(&run.View(), &press);
            QTRY_COMPARE(run.Part<QLabel>("capsPane")->text(), QString::fromUtf8(c.caps));
            QTRY_COMPARE(run.Part<QLabel>("numPane")->text(), QString::fromUtf8(c.num));
        }
    }

    void commandsFollowTheirEnablingRules() {
        // Nothing polls: each state change has to reach the commands by itself.
        AppRun run;
        QVERIFY(run.Start());
        QCOMPARE(Enabled(run), (QStringList{"connect", "infoWindow"}));

        QTest::keyClicks(&run.View(), QStringLiteral("MOV"));
        QCOMPARE(Enabled(run), (QStringList{"undo", "connect", "infoWindow"}));
        run.View().selectAll();
        QCOMPARE(Enabled(run), (QStringList{"undo", "cut", "copy", "connect", "infoWindow"}));

        QApplication::clipboard()->setText(QStringLiteral("END"));
        QVERIFY(run.Do().paste->isEnabled());
        QApplication::clipboard()->clear();
        QVERIFY(!run.Do().paste->isEnabled());

        QTest::qWait(200);  // the session's times must not count from start-up
        PtyPair line;
        QElapsedTimer sinceConnect;
        sinceConnect.start();
        QVERIFY(ConnectOver(run, line));
        // The wire monitor's times start with the connect, handshake included.
        QVERIFY(QTest::qWaitFor([&] {
            return run.Part<CWireMonitorDock>("wireMonitor")->Recorder().Lines().size() >= 2;
        }));
        QVERIFY2(run.Part<CWireMonitorDock>("wireMonitor")->Recorder().Lines().front().ms <=
                     sinceConnect.elapsed(),
                 run.Part<CWireMonitorDock>("wireMonitor")->Recorder().Text().c_str());
        QCOMPARE(Enabled(run),
                 (QStringList{"undo", "cut", "copy", "downloadProgram", "downloadParams",
                              "downloadScreen", "disconnect", "infoWindow"}));

        // A new document ends what the session knew, and the edits of the old one.
        run.prompts.answers.enqueue(ui::Prompts::Answer::No);
        run.Do().fileNew->trigger();
        QCOMPARE(Enabled(run), (QStringList{"connect", "infoWindow"}));
    }

    void theLoadCutPromptShowsThoughTheItemIsDisabled() {
        AppRun run;
        QVERIFY(run.StartShown());
        QMenu* file = run.Popups()[0];
        file->popup(QPoint(0, 0));
        QVERIFY(QTest::qWaitForWindowExposed(file));
        const QRect item = file->actionGeometry(run.Do().loadCut);
        QTest::mouseMove(file, item.center());
        QTRY_COMPARE(run.Part<QLabel>("messagePane")->text(), QStringLiteral("载入*.cut文件"));
        QTest::mouseMove(file, file->actionGeometry(run.Do().fileNew).center());
        QTRY_COMPARE(run.Part<QLabel>("messagePane")->text(), QStringLiteral("建立新文档"));
        file->hide();
        QCOMPARE(run.Part<QLabel>("messagePane")->text(), QStringLiteral("就绪"));
    }

    void connectionPaneFollowsTheLine() {
        AppRun run;
        QVERIFY(run.Start());
        QLabel* pane = run.Part<QLabel>("connectionPane");
        QCOMPARE(pane->text(), QStringLiteral("COM1  4800  未连接"));
        PtyPair line;
        const QString path = QString::fromStdString(line.slavePath);
        QVERIFY(run.ChoosePort(path));
        QCOMPARE(pane->text(), path + QStringLiteral("  4800  未连接"));
        run.Do().connect->trigger();
        QCOMPARE(pane->text(), path + QStringLiteral("  4800  正在连接…"));
        const unsigned char answer = 1;
        QCOMPARE(ReadByte(line.master, 2000), 1);
        QVERIFY(portable::WriteAll(line.master, &answer, 1));
        QTRY_COMPARE(pane->text(), path + QStringLiteral("  4800  已连接"));
        run.Do().disconnect->trigger();
        QCOMPARE(pane->text(), path + QStringLiteral("  4800  未连接"));
    }

    // The controller's end of the line closes while connected: within a second the user is told,
    // the menu and the pane say disconnected and the port is closed. Once the device is back
    // under its path (an adapter's link, here to a new pty) one click connects again.
    void lostLineIsNoticedAtOnceAndTheReturnOffersAReconnect() {
        AppRun run;
        QVERIFY(run.Start());
        auto line = std::make_unique<PtyPair>();
        const QString path = dir.filePath(QStringLiteral("ttyAdapter"));
        QVERIFY(QFile::link(QString::fromStdString(line->slavePath), path));
        QVERIFY(run.ChoosePort(path));
        run.Do().connect->trigger();
        QCOMPARE(ReadByte(line->master, 2000), 1);
        const unsigned char answer = 1;
        QVERIFY(portable::WriteAll(line->master, &answer, 1));
        QTRY_VERIFY_WITH_TIMEOUT(run.Do().disconnect->isEnabled(), 2000);
        QElapsedTimer clock;
        clock.start();
        line->CloseMaster();
        QTRY_VERIFY_WITH_TIMEOUT(!run.prompts.messages.isEmpty(),
                                 int(testsupport::kNoticeBound.count()));
        qInfo("lost line noticed after %lld ms", static_cast<long long>(clock.elapsed()));
        QCOMPARE(run.prompts.messages, QStringList{QStringLiteral("串口已断开！")});
        QCOMPARE(run.Part<QLabel>("connectionPane")->text(),
                 path + QStringLiteral("  4800  未连接"));
        QVERIFY(run.Do().connect->isEnabled());
        QVERIFY(!run.Do().disconnect->isEnabled());
        QVERIFY(!run.Do().downloadProgram->isEnabled());
        QVERIFY(!run.Link().Port().IsOpen());
        QPushButton* reconnect = run.Part<QPushButton>("reconnectButton");
        run.Link().LookForLostDevice();
        QVERIFY2(reconnect->isHidden(), "the path never went away");

        QVERIFY(QFile::remove(path));
        line.reset();
        run.Link().LookForLostDevice();
        QVERIFY(reconnect->isHidden());
        PtyPair back;
        QVERIFY(QFile::link(QString::fromStdString(back.slavePath), path));
        run.Link().LookForLostDevice();
        QVERIFY(!reconnect->isHidden());
        QCOMPARE(reconnect->text(), QStringLiteral("串口已恢复，点击重新连接"));
        reconnect->click();
        QVERIFY(reconnect->isHidden());
        QCOMPARE(ReadByte(back.master, 2000), 1);
        QVERIFY(portable::WriteAll(back.master, &answer, 1));
        QTRY_VERIFY_WITH_TIMEOUT(run.Do().disconnect->isEnabled(), 2000);
        QCOMPARE(run.prompts.messages.size(), 1);
    }

    void connectHandshakesAndDisconnectSaysGoodbye() {
        PtyPair line;
        QVERIFY(!line.slavePath.empty());
        AppRun run;
        QVERIFY(run.Start());
        QVERIFY(run.ChoosePort(QString::fromStdString(line.slavePath)));

        run.Do().connect->trigger();
        QCOMPARE(ReadByte(line.master, 2000), 1);
        QVERIFY(!run.Link().IsConnected());
        const unsigned char answer = 1;
        QVERIFY(portable::WriteAll(line.master, &answer, 1));
        QTRY_VERIFY_WITH_TIMEOUT(run.Do().downloadProgram->isEnabled(), 2000);
        QVERIFY(!run.Do().connect->isEnabled());

        run.Do().disconnect->trigger();
        QCOMPARE(ReadByte(line.master, 2000), 136);
        QVERIFY(!run.Do().downloadProgram->isEnabled());
        QVERIFY(run.Do().connect->isEnabled());
        QVERIFY(!run.Link().Port().IsOpen());
        QVERIFY(run.prompts.messages.isEmpty());
    }

    // Each command opens its own dialog, the same one each time, whose entries survive.
    void commandsOpenTheirDialogs() {
        AppRun run;
        QVERIFY(run.Start());
        PtyPair line;
        QVERIFY(ConnectOver(run, line));
        const auto reject = [](QDialog& dialog) { dialog.reject(); };
        const std::pair<QAction*, QDialog*> opened[] = {
            {run.Do().downloadProgram, RunModal<CDownProDlg>(run.Do().downloadProgram, reject)},
            {run.Do().downloadParams, RunModal<CDownParDlg>(run.Do().downloadParams, reject)},
            {run.Do().downloadScreen, RunModal<CDownByteDlg>(run.Do().downloadScreen, reject)},
            {run.Do().registers, RunModal<CSetParDlg>(run.Do().registers, reject)},
            {run.Do().characters, RunModal<CSetByteDlg>(run.Do().characters, reject)},
            {run.Do().compile, RunModal<CTranslateDlg>(run.Do().compile, reject)},
            {run.Do().serialSettings, RunModal<CSetSeriesDlg>(run.Do().serialSettings, reject)},
        };
        for (const auto& [command, dialog] : opened) {
            QVERIFY2(dialog, qPrintable(command->text()));
            QCOMPARE(RunModal<QDialog>(command, reject), dialog);
        }
        // Its menu item never enables, so nothing opens it.
        QCOMPARE(RunModal<CLoadCutDlg>(run.Do().loadCut, reject), nullptr);
    }

    void aPortThatWillNotOpenIsReported() {
        AppRun run;
        QVERIFY(run.Start());
        const QString missing = dir.filePath(QStringLiteral("no-such-tty"));
        QVERIFY(run.ChoosePort(missing));
        run.Do().connect->trigger();
        // The failure as it always read, then why and what to do.
        QCOMPARE(
            run.prompts.messages,
            QStringList{QStringLiteral("串口 %1 打开失败\n原因：找不到 %1。\n"
                                       "处理：检查串口名称和连接线，或在串口设置中重新选择串口。")
                            .arg(missing)});
        QVERIFY(run.Do().connect->isEnabled());
    }

    void theToolbarAndStatusBarToggle() {
        AppRun run;
        QVERIFY(run.StartShown());
        QAction* toolbar = run.Do().toolbar;
        QVERIFY(toolbar->isChecked());
        toolbar->trigger();
        QVERIFY(run.Part<QToolBar>("toolBar")->isHidden());
        QVERIFY(!toolbar->isChecked());
        toolbar->trigger();
        QVERIFY(!run.Part<QToolBar>("toolBar")->isHidden());
        QVERIFY(toolbar->isChecked());
        run.Do().statusBar->trigger();
        QVERIFY(run.Frame().statusBar()->isHidden());
        QVERIFY(!run.Do().statusBar->isChecked());
    }

    void theInformationWindowComesAndGoes() {
        AppRun run;
        QVERIFY(run.StartShown());
        QAction* command = run.Do().infoWindow;
        command->trigger();
        QVERIFY(run.View().findChild<CMessageDlg*>());
        CMessageDlg& info = *run.View().findChild<CMessageDlg*>();
        QVERIFY(info.isVisible());
        QVERIFY(info.openFlag);
        QVERIFY(!command->isEnabled());
        QCOMPARE(info.windowTitle(), QStringLiteral("信息窗口"));
        QVERIFY(info.textEdit->isReadOnly());

        QTest::keyClick(&info, Qt::Key_Return);
        QVERIFY(info.isVisible());

        // The log's lines come in while it is shown and stay while it is closed.
        run.app.log.clock = [] { return QDateTime(QDate(2026, 12, 9), QTime(8, 0, 1)); };
        run.app.log.Add(QStringLiteral("one"));
        QCOMPARE(info.textEdit->toPlainText(), QStringLiteral("2026-12-09 08:00:01  one"));
        info.close();
        QVERIFY(!info.isVisible());
        QVERIFY(!info.openFlag);
        QVERIFY(command->isEnabled());
        run.app.log.Add(QStringLiteral("two"));
        run.app.log.Add(QString(400, u'x'));

        // Opened again it shows the newest line from its start, where the time is.
        command->trigger();
        QVERIFY(info.isVisible());
        QCOMPARE(info.textEdit->toPlainText().count(QLatin1Char('\n')), 2);
        QCOMPARE(info.textEdit->horizontalScrollBar()->value(), 0);
        QCOMPARE(info.textEdit->textCursor().blockNumber(), 2);
        QCOMPARE(info.textEdit->textCursor().positionInBlock(), 0);
        const QString saved = dir.filePath(QStringLiteral("log.txt"));
        run.prompts.fileAnswers.enqueue(saved);
        info.findChild<QPushButton*>(QStringLiteral("saveButton"))->click();
        QCOMPARE(ReadBytes(saved), QByteArray("2026-12-09 08:00:01  one\r\n"
                                              "2026-12-09 08:00:01  two\r\n"
                                              "2026-12-09 08:00:01  ") +
                                       QByteArray(400, 'x') + "\r\n");
        info.findChild<QPushButton*>(QStringLiteral("clearButton"))->click();
        QVERIFY(info.textEdit->toPlainText().isEmpty());
        QVERIFY(run.app.log.Lines().isEmpty());
        // Esc acts as the close box.
        QTest::keyClick(&info, Qt::Key_Escape);
        QVERIFY(!info.isVisible());
        QVERIFY(!info.openFlag);
    }

    void theCommandLineIsRead_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("command");
        QTest::addColumn<bool>("splash");
        QTest::addColumn<QStringList>("names");  // file, printer, driver, port
        QTest::newRow("nothing") << QStringList{} << int(Command::FileNew) << true
                                 << QStringList{"", "", "", ""};
        QTest::newRow("a path") << QStringList{"/home/u/a.kxc"} << int(Command::FileOpen) << true
                                << QStringList{"/home/u/a.kxc", "", "", ""};
        QTest::newRow("print") << QStringList{"/p", "a.kxc"} << int(Command::FilePrint) << true
                               << QStringList{"a.kxc", "", "", ""};
        QTest::newRow("print to") << QStringList{"/pt", "a.kxc", "Laser", "drv", "LPT1"}
                                  << int(Command::FilePrintTo) << true
                                  << QStringList{"a.kxc", "Laser", "drv", "LPT1"};
        QTest::newRow("unregister") << QStringList{"/UNREGISTER"} << int(Command::Unregister)
                                    << true << QStringList{"", "", "", ""};
        QTest::newRow("unregserver") << QStringList{"-unregserver"} << int(Command::Unregister)
                                     << true << QStringList{"", "", "", ""};
        QTest::newRow("embedding") << QStringList{"-Embedding"} << int(Command::FileNew) << false
                                   << QStringList{"", "", "", ""};
        QTest::newRow("automation and a path")
            << QStringList{"/automation", "b.kxc"} << int(Command::FileOpen) << false
            << QStringList{"b.kxc", "", "", ""};
    }
    void theCommandLineIsRead() {
        QFETCH(QStringList, arguments);
        QFETCH(int, command);
        QFETCH(bool, splash);
        QFETCH(QStringList, names);
        const auto info = CTarvexApp::ParseCommandLine(arguments);
        QCOMPARE(int(info.command), command);
        QCOMPARE(info.showSplash, splash);
        QCOMPARE((QStringList{info.fileName, info.printerName, info.driverName, info.portName}),
                 names);
    }

    void theSplashShowsUntilAKeyWhichReachesTheEditor() {
        AppRun run;
        QVERIFY(run.Start({}));
        CSplashWnd* splash = CSplashWnd::CurrentSplash();
        QVERIFY(splash);
        QVERIFY(splash->isVisible());
        QCOMPARE(splash->size(), QSize(708, 502));
        QPointer<CSplashWnd> watched(splash);
        QTest::keyClick(&run.View(), Qt::Key_A);
        QVERIFY(!CSplashWnd::CurrentSplash());
        QTRY_VERIFY(watched.isNull());
        QCOMPARE(run.View().WholeText(), QByteArray("a"));
        QTest::keyClicks(&run.View(), QStringLiteral("bc"));
        QCOMPARE(run.View().WholeText(), QByteArray("abc"));
    }

    void aClickDuringTheSplashClosesItAndCounts() {
        AppRun run;
        QVERIFY(run.Start({}));
        QVERIFY(CSplashWnd::CurrentSplash());
        QMenuBar* bar = run.Frame().menuBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(bar->actions()[0]).center());
        QVERIFY(!CSplashWnd::CurrentSplash());
        QTRY_VERIFY(run.Popups()[0]->isVisible());
        run.Popups()[0]->hide();
    }

    // A key or click that arrives while the splash is being shown closes it at once; it used to
    // leave the splash to be painted through a pointer already cleared.
    void theSplashClosedWhileShowingIsNotPaintedAfter() {
        struct CloseOnShow : QObject {
            bool eventFilter(QObject* watched, QEvent* event) override {
                if (event->type() == QEvent::ShowToParent && watched == CSplashWnd::CurrentSplash())
                    CSplashWnd::CloseSplash();
                return false;
            }
        } closer;
        qApp->installEventFilter(&closer);
        AppRun run;
        const bool started = run.Start({});
        qApp->removeEventFilter(&closer);
        QVERIFY(started);
        QVERIFY(!CSplashWnd::CurrentSplash());
    }

    void theSplashClosesAfterTwoSeconds() {
        AppRun run;
        QVERIFY(run.Start({}));
        CSplashWnd* splash = CSplashWnd::CurrentSplash();
        QVERIFY(splash);
        QTimer& timer = splash->CloseTimer();
        QVERIFY(timer.isActive());
        QVERIFY(timer.isSingleShot());
        QCOMPARE(timer.interval(), 2000);
        QVERIFY(QMetaObject::invokeMethod(&timer, "timeout"));
        QVERIFY(!CSplashWnd::CurrentSplash());
    }

    void noSplashWithEmbeddingOrWithoutItsPicture() {
        {
            AppRun run;
            QVERIFY(run.Start({QStringLiteral("-Embedding")}));
            QVERIFY(!CSplashWnd::CurrentSplash());
        }
        CSplashWnd::picturePath = dir.filePath(QStringLiteral("missing.png"));
        AppRun run;
        QVERIFY(run.Start({}));
        QVERIFY(!CSplashWnd::CurrentSplash());
        QVERIFY(run.Frame().isVisible());
    }

    // Size, place and docks come back at the next start, inside the screen.
    void theWindowLayoutSurvivesARestart() {
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        const QSize wanted(available.width() * 3 / 4, available.height() * 2 / 3);
        for (const QSize& size : {wanted, available.size() * 2}) {
            {
                AppRun run;
                QVERIFY(run.StartShown());
                QVERIFY(QTest::qWaitForWindowExposed(&run.Frame()));
                run.Frame().setMinimumSize(0, 0);
                run.Frame().resize(size);
                run.Do().problems->trigger();
                QVERIFY(run.Part<CProblemsDock>("problemsDock")->isHidden());
                QVERIFY(run.Frame().close());
            }
            AppRun run;
            QVERIFY(run.StartShown());
            QVERIFY(QTest::qWaitForWindowExposed(&run.Frame()));
            QVERIFY(run.Part<CProblemsDock>("problemsDock")->isHidden());
            QVERIFY(available.contains(run.Frame().frameGeometry()));
            if (size == wanted)
                QCOMPARE(run.Frame().size(), wanted);
            run.Do().problems->trigger();
            QVERIFY(run.Frame().close());
        }
    }

    void recentFilesSurviveARestart() {
        const QString a = dir.filePath(QStringLiteral("a.kxc"));
        const QString b = dir.filePath(QStringLiteral("b.kxc"));
        WriteBytes(a, "A");
        WriteBytes(b, "B");
        {
            AppRun run;
            QVERIFY(run.Start());
            QVERIFY(run.app.OpenDocumentFile(a));
            QVERIFY(run.app.OpenDocumentFile(b));
            QVERIFY(run.Frame().close());
        }
        AppRun run;
        QVERIFY(run.Start());
        QCOMPARE(run.app.recentFiles, (QStringList{b, a}));
        QMenu* file = run.Popups()[0];
        const QList<QAction*>& recent = run.Do().recentFiles;
        QVERIFY(file->actions().contains(recent[0]));
        QCOMPARE(recent[0]->text(), QStringLiteral("&1 ") + b);
        QCOMPARE(recent[1]->text(), QStringLiteral("&2 ") + a);
        QVERIFY(!Items(file).contains(QStringLiteral("最近文件")));
        recent[1]->trigger();
        QCOMPARE(run.Doc().pathName, a);
        QCOMPARE(run.app.recentFiles, (QStringList{a, b}));
    }

    void serialSettingsSurviveARestart() {
        {
            AppRun run;
            QVERIFY(run.Start());
            QVERIFY(!run.Link().FastTransfer());
            run.Link().SetFastTransfer(true);
            run.Link().Configure(QStringLiteral("/dev/pts/9"), QStringLiteral("19200"));
            QVERIFY(run.Frame().close());
        }
        AppRun run;
        QVERIFY(run.Start());
        QCOMPARE(run.Link().PortText(), QStringLiteral("/dev/pts/9"));
        QCOMPARE(run.Link().BaudText(), QStringLiteral("19200"));
        QCOMPARE(run.Link().Port().portPath, QStringLiteral("/dev/pts/9"));
        QVERIFY(run.Link().FastTransfer());
    }

    void printPreviewShowsThePagesTheProfileAsksFor() {
        QSettings(QSettings::NativeFormat, QSettings::UserScope, CTarvexApp::kProfileKey,
                  QStringLiteral("Tarvex620B"))
            .setValue(QStringLiteral("Settings/PreviewPages"), 2);
        AppRun run;
        QVERIFY(run.Start());
        QCOMPARE(run.app.previewPages, 2);
        run.View().SetWholeText("MOV M1,0\r\nEND\r\n");
        int pages = 0;
        QPrintPreviewWidget::ViewMode mode = QPrintPreviewWidget::SinglePageView;
        QTimer::singleShot(0, [&] {
            QWidget* box = QApplication::activeModalWidget();
            auto* preview = box ? box->findChild<QPrintPreviewWidget*>() : nullptr;
            if (preview) {
                preview->updatePreview();
                pages = preview->pageCount();
                mode = preview->viewMode();
            }
            if (box)
                box->close();
        });
        run.Do().printPreview->trigger();
        QCOMPARE(pages, 1);
        QCOMPARE(mode, QPrintPreviewWidget::FacingPagesView);
    }

    void withoutAPrinterPrintingMakesAPdfBesideTheDocument() {
        if (!QPrinterInfo::availablePrinterNames().isEmpty())
            QSKIP("this machine has a printer");
        QTemporaryDir dir;
        const QString program = dir.filePath("first.kxc");
        WriteBytes(program, "MOV M1,0\r\nEND\r\n");
        AppRun run;
        QVERIFY(run.Start());
        QVERIFY(run.app.OpenDocumentFile(program));
        QString setupKind, printKind;
        RunModal<QDialog>(run.Do().printSetup, [&](QDialog& box) {
            setupKind = box.metaObject()->className();
            box.reject();
        });
        QCOMPARE(setupKind, QStringLiteral("QPageSetupDialog"));
        RunModal<QDialog>(run.Do().print, [&](QDialog& box) {
            printKind = box.metaObject()->className();
            box.accept();
        });
        QCOMPARE(printKind, QStringLiteral("QPrintDialog"));
        QVERIFY(ReadBytes(dir.filePath("first.pdf")).startsWith("%PDF"));
    }

    void aRecentFileThatFailsToOpenLeavesTheList() {
        const QString gone = dir.filePath(QStringLiteral("gone.kxc"));
        WriteBytes(gone, "G");
        {
            AppRun run;
            QVERIFY(run.Start());
            QVERIFY(run.app.OpenDocumentFile(gone));
            QVERIFY(run.Frame().close());
        }
        QFile::remove(gone);
        AppRun run;
        QVERIFY(run.Start());
        run.Do().recentFiles[0]->trigger();
        QCOMPARE(run.prompts.messages, QStringList{QStringLiteral("没有找到 %1。").arg(gone)});
        QVERIFY(run.app.recentFiles.isEmpty());
        QVERIFY(Items(run.Popups()[0]).contains(QStringLiteral("最近文件")));
    }

    void closingAModifiedDocumentCanBeCancelled() {
        AppRun run;
        QVERIFY(run.StartShown());
        QTest::keyClicks(&run.View(), QStringLiteral("END"));
        run.prompts.answers.enqueue(ui::Prompts::Answer::Cancel);
        QVERIFY(!run.Frame().close());
        QVERIFY(run.Frame().isVisible());
        run.prompts.answers.enqueue(ui::Prompts::Answer::No);
        QVERIFY(run.Frame().close());
        QCOMPARE(run.prompts.questions.size(), 2);
    }

    void closingWithUnsavedRegisterTableValuesAsks() {
        AppRun run;
        QVERIFY(run.StartShown());
        run.Do().registerTable->trigger();
        auto* table = run.Frame().findChild<CRegisterTableWnd*>();
        QVERIFY(table && table->isVisible());
        QVERIFY(table->Model().setData(table->Model().index(5, RegisterTableModel::ValueColumn),
                                       QStringLiteral("7"), Qt::EditRole));
        run.prompts.answers.enqueue(ui::Prompts::Answer::Cancel);
        QVERIFY(!run.Frame().close());
        QVERIFY(table->isVisible() && table->Model().HasUnsavedValues());
        run.prompts.answers.enqueue(ui::Prompts::Answer::No);
        QVERIFY(run.Frame().close());
        QCOMPARE(run.prompts.questions,
                 QStringList(2, QStringLiteral("寄存器数据已修改，是否保存？")));
    }

    void theDesktopKnowsTheFileTypeUntilUnregistered() {
        {
            AppRun run;
            QVERIFY(run.Start());
        }
        const QString entry = desktop::DesktopEntryPath();
        QVERIFY(entry.startsWith(qEnvironmentVariable("XDG_DATA_HOME")));
        const QByteArray desktopEntry = ReadBytes(entry);
        QVERIFY(desktopEntry.contains("Exec=\"/opt/tarvex/tarvex620b\" %f"));
        QVERIFY(desktopEntry.contains("Exec=\"/opt/tarvex/tarvex620b\" /p %f"));
        QVERIFY(desktopEntry.contains("MimeType=application/x-tarvex-document;"));
        const QByteArray mime = ReadBytes(desktop::MimePackagePath());
        QVERIFY(mime.contains("<glob pattern=\"*.kxc\"/>"));
        QVERIFY(mime.contains("<comment>Tarvex Document</comment>"));

        // Files already right are not written again at the next start.
        const QDateTime long_ago(QDate(2020, 1, 1), QTime(0, 0));
        for (const QString& path : {entry, desktop::MimePackagePath()}) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(long_ago, QFileDevice::FileModificationTime));
        }
        {
            AppRun again;
            QVERIFY(again.Start());
        }
        QCOMPARE(QFileInfo(entry).lastModified(), long_ago);
        QCOMPARE(QFileInfo(desktop::MimePackagePath()).lastModified(), long_ago);

        AppRun run;
        QVERIFY(!run.Start({QStringLiteral("/Unregister")}));
        QCOMPARE(run.prompts.messages, QStringList{CTarvexApp::kUnregistered});
        QVERIFY(!QFileInfo::exists(entry));
        QVERIFY(!QFileInfo::exists(desktop::MimePackagePath()));
        QVERIFY(!run.app.mainFrame);
    }

    void printingFromTheCommandLineEndsTheRun() {
        if (!QPrinterInfo::availablePrinterNames().isEmpty())
            QSKIP("a printer is installed; this checks the PDF made without one");
        const QString program = dir.filePath(QStringLiteral("print.kxc"));
        WriteBytes(program, "MOV M1,0\r\nEND\r\n");
        AppRun run;
        QVERIFY(!run.Start({QStringLiteral("/p"), program}));
        QVERIFY(ReadBytes(dir.filePath(QStringLiteral("print.pdf"))).startsWith("%PDF"));
        QVERIFY(!run.Frame().isVisible());

        // A PDF already there is the user's: the next print goes beside it.
        WriteBytes(dir.filePath(QStringLiteral("print.pdf")), "mine");
        AppRun again;
        QVERIFY(!again.Start({QStringLiteral("/p"), program}));
        QCOMPARE(ReadBytes(dir.filePath(QStringLiteral("print.pdf"))), QByteArray("mine"));
        QVERIFY(ReadBytes(dir.filePath(QStringLiteral("print (2).pdf"))).startsWith("%PDF"));
        QVERIFY(again.prompts.messages.isEmpty());
    }

    void theAboutBoxShowsTheVersion() {
        AppRun run;
        QVERIFY(run.Start());
        QString title, version;
        QTimer::singleShot(0, [&] {
            QWidget* box = QApplication::activeModalWidget();
            QVERIFY(box);
            title = box->windowTitle();
            version = box->findChild<QLabel*>(QStringLiteral("version"))->text();
            QCOMPARE(box->findChild<QPushButton*>(QStringLiteral("ok"))->text(),
                     QStringLiteral("确定"));
            QTest::keyClick(box, Qt::Key_Escape);
        });
        run.Do().about->trigger();
        QCOMPARE(title, QStringLiteral("关于 Tarvex620B"));
        QCOMPARE(version, QStringLiteral("Tarvex620B 2.0 版"));
    }

    // A frame drawn over an edit box would take the clicks meant for it.
    void everyEditOfEveryDialogIsOnTopWhereItIsClicked() {
        ui::ScriptedPrompts prompts;
        CSerialPort port;
        CLoadCutDlg loadCut(prompts);
        CSetParDlg registers(prompts);
        CDownByteDlg downloadScreen(prompts, port);
        CDownParDlg downloadParams(prompts, port);
        CSetByteDlg characters(prompts);
        CDownProDlg downloadProgram(prompts, port);
        CTranslateDlg compile(prompts);
        QDialog* dialogs[] = {&loadCut,    &registers,       &downloadScreen, &downloadParams,
                              &characters, &downloadProgram, &compile};
        for (QDialog* dialog : dialogs) {
            dialog->show();
            for (QLineEdit* edit : dialog->findChildren<QLineEdit*>()) {
                QWidget* hit = dialog->childAt(edit->mapTo(dialog, edit->rect().center()));
                QVERIFY2(hit == edit || edit->isAncestorOf(hit),
                         qPrintable(dialog->windowTitle() + u' ' + edit->objectName()));
            }
            dialog->hide();
        }
    }
};

QTEST_MAIN(MainFrameTest)
#include "MainFrameTest.moc"

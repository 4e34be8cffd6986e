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
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <poll.h>

#include "../link/PtyPair.h"
#include "AppFixture.h"
#include "app/Commands.h"
#include "app/DesktopRegistration.h"
#include "app/Splash.h"

using Command = CTarvexApp::CommandLineInfo::Command;

namespace {

// Item texts of a menu, "-" for a separator.
QStringList Items(const QMenu* menu) {
    QStringList items;
    for (const QAction* action : menu->actions())
        items.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    return items;
}

QStringList Enabled(AppRun& run, const QList<int>& ids) {
    QStringList enabled;
    for (int id : ids) {
        if (run.Action(id)->isEnabled())
            enabled.append(QString::number(id));
    }
    return enabled;
}

const QList<int> kRuled = {cmd::EditUndo,           cmd::EditCut,
                           cmd::EditCopy,           cmd::FileLoadCut,
                           cmd::LinkConnect,        cmd::LinkDownloadProgram,
                           cmd::LinkDownloadParams, cmd::LinkDownloadScreen,
                           cmd::LinkDisconnect,     cmd::ViewInfoWindow};

// The next byte the host wrote to the far end of the line, or -1 when none came in time.
int ReadByte(int fd, int timeoutMs) {
    pollfd wanted{fd, POLLIN, 0};
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs) {
        QCoreApplication::processEvents();
        if (poll(&wanted, 1, 10) == 1) {
            unsigned char byte = 0;
            return read(fd, &byte, 1) == 1 ? byte : -1;
        }
    }
    return -1;
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

    void menusHoldEveryItemInOrder() {
        AppRun run;
        QVERIFY(run.Start());
        const QList<QStringList> expected = {
            {"新建(&N)\tCtrl+N", "打开(&O)...\tCtrl+O", "保存(&S)\tCtrl+S", "另存为(&A)...", "-",
             "载入(L)...", "-", "打印(&P)...\tCtrl+P", "打印预览(&V)", "打印设置(&R)...", "-",
             "最近文件", "-", "退出(&X)"},
            {"撤消(&U)\tCtrl+Z", "-", "剪切(&T)\tCtrl+X", "复制(&C)\tCtrl+C", "粘贴(&P)\tCtrl+V"},
            {"程序编译\tF8", "寄存器设置"},
            {"串口设置", "连接控制器", "下载程序", "下载参数", "下载液晶画面", "断开连接"},
            {"工具栏(&T)", "状态栏(&S)", "信息窗口"},
            {"关于 Tarvex620B..."},
        };
        const QStringList titles = {"文件(&F)",       "编辑(&E)", "工具(&T)",
                                    "控制器会话(&L)", "查看(&V)", "帮助(&H)"};
        QStringList barTitles;
        for (const QAction* a : run.Frame().menuBar()->actions())
            barTitles.append(a->text());
        QCOMPARE(barTitles, titles);
        QCOMPARE(run.Frame().popups.size(), expected.size());
        for (int i = 0; i < expected.size(); ++i)
            QCOMPARE(Items(run.Frame().popups[i]), expected[i]);
        // The display-character command exists but nothing in the menus sends it.
        QVERIFY(run.Action(cmd::ToolsCharacters));
        for (const QMenu* menu : run.Frame().popups)
            QVERIFY(!menu->actions().contains(run.Action(cmd::ToolsCharacters)));
    }

    void commandsCarryTheirPromptsAndKeys_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("prompt");
        QTest::addColumn<QString>("keys");
        QTest::newRow("new") << int(cmd::FileNew) << "建立新文档"
                             << "Ctrl+N";
        QTest::newRow("open") << int(cmd::FileOpen) << "打开一个现有文档"
                              << "Ctrl+O";
        QTest::newRow("save") << int(cmd::FileSave) << "保存活动文档"
                              << "Ctrl+S";
        QTest::newRow("save as") << int(cmd::FileSaveAs) << "将活动文档以一个新文件名保存"
                                 << "";
        QTest::newRow("load cut") << int(cmd::FileLoadCut) << "载入*.cut文件"
                                  << "";
        QTest::newRow("print") << int(cmd::FilePrint) << "打印活动文档"
                               << "Ctrl+P";
        QTest::newRow("preview") << int(cmd::FilePrintPreview) << "显示整页"
                                 << "";
        QTest::newRow("print setup") << int(cmd::FilePrintSetup) << "改变打印机及打印选项"
                                     << "";
        QTest::newRow("exit") << int(cmd::AppExit) << "退出应用程序；提示保存文档"
                              << "";
        QTest::newRow("undo") << int(cmd::EditUndo) << "撤消最后一步操作"
                              << "Ctrl+Z, Alt+Backspace";
        QTest::newRow("cut") << int(cmd::EditCut) << "剪切被选对象并将其置于剪贴板上"
                             << "Ctrl+X, Shift+Del";
        QTest::newRow("copy") << int(cmd::EditCopy) << "复制被选对象并将其置于剪贴板上"
                              << "Ctrl+C, Ctrl+Ins";
        QTest::newRow("paste") << int(cmd::EditPaste) << "插入剪贴板内容"
                               << "Ctrl+V, Shift+Ins";
        QTest::newRow("compile") << int(cmd::ToolsCompile) << ""
                                 << "F8";
        QTest::newRow("connect") << int(cmd::LinkConnect) << ""
                                 << "";
        QTest::newRow("toolbar") << int(cmd::ViewToolbar) << "显示或隐藏工具栏"
                                 << "";
        QTest::newRow("status bar") << int(cmd::ViewStatusBar) << "显示或隐藏状态栏"
                                    << "";
        QTest::newRow("about") << int(cmd::AppAbout) << "显示程序信息，版本号和版权"
                               << "";
    }
    void commandsCarryTheirPromptsAndKeys() {
        QFETCH(int, id);
        QFETCH(QString, prompt);
        QFETCH(QString, keys);
        AppRun run;
        QVERIFY(run.Start());
        QAction* action = run.Action(id);
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
        for (QAction* a : run.Frame().toolBar->actions())
            buttons.append(a->isSeparator() ? QStringLiteral("-") : a->toolTip());
        QCOMPARE(buttons, (QStringList{"新建", "打开", "保存", "-", "剪切", "复制", "粘贴", "-",
                                       "打印", "-", "关于"}));
        for (QAction* a : run.Frame().toolBar->actions())
            QVERIFY(a->isSeparator() || !a->icon().isNull());
    }

    void theStatusBarHasItsPanes() {
        AppRun run;
        QVERIFY(run.Start());
        QCOMPARE(run.Frame().messagePane->text(), QStringLiteral("就绪"));
        QCOMPARE(run.LinePane(), QStringLiteral("行号： 1"));
        QCOMPARE(run.Frame().linePane->width(), 80);
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
            QTRY_COMPARE(run.Frame().capsPane->text(), QString::fromUtf8(c.caps));
            QTRY_COMPARE(run.Frame().numPane->text(), QString::fromUtf8(c.num));
        }
    }

    void commandsFollowTheirEnablingRules() {
        AppRun run;
        QVERIFY(run.Start());
        run.Frame().UpdateCommandUI();
        QCOMPARE(Enabled(run, kRuled), (QStringList{"32773", "32780"}));

        QTest::keyClicks(&run.View(), QStringLiteral("MOV"));
        run.View().selectAll();
        run.Frame().UpdateCommandUI();
        QCOMPARE(Enabled(run, kRuled), (QStringList{"57643", "57635", "57634", "32773", "32780"}));

        QApplication::clipboard()->setText(QStringLiteral("END"));
        QVERIFY(run.Action(cmd::EditPaste)->isEnabled());
        QApplication::clipboard()->clear();
        QVERIFY(!run.Action(cmd::EditPaste)->isEnabled());

        run.View().session.connected = true;
        run.Frame().UpdateCommandUI();
        QCOMPARE(Enabled(run, kRuled), (QStringList{"57643", "57635", "57634", "32774", "32775",
                                                    "32776", "32777", "32780"}));

        // A new document ends what the session knew.
        run.prompts.answers.enqueue(ui::Prompts::Answer::No);
        run.Action(cmd::FileNew)->trigger();
        QCOMPARE(Enabled(run, kRuled), (QStringList{"32773", "32780"}));
    }

    void theLoadCutPromptShowsThoughTheItemIsDisabled() {
        AppRun run;
        QVERIFY(run.Start());
        run.Frame().show();
        QMenu* file = run.Frame().popups[0];
        file->popup(QPoint(0, 0));
        QVERIFY(QTest::qWaitForWindowExposed(file));
        const QRect item = file->actionGeometry(run.Action(cmd::FileLoadCut));
        QTest::mouseMove(file, item.center());
        QTRY_COMPARE(run.Frame().messagePane->text(), QStringLiteral("载入*.cut文件"));
        QTest::mouseMove(file, file->actionGeometry(run.Action(cmd::FileNew)).center());
        QTRY_COMPARE(run.Frame().messagePane->text(), QStringLiteral("建立新文档"));
        file->hide();
        QCOMPARE(run.Frame().messagePane->text(), QStringLiteral("就绪"));
    }

    void connectHandshakesAndDisconnectSaysGoodbye() {
        PtyPair line;
        QVERIFY(!line.slavePath.empty());
        AppRun run;
        QVERIFY(run.Start());
        CSetSeriesDlg& serial = run.View().setSeriesDlg;
        serial.portText = QString::fromStdString(line.slavePath);
        serial.ownedPort.portPath = serial.portText;

        run.Action(cmd::LinkConnect)->trigger();
        QCOMPARE(ReadByte(line.master, 2000), 1);
        QVERIFY(!run.View().session.connected);
        const unsigned char answer = 1;
        QCOMPARE(write(line.master, &answer, 1), ssize_t(1));
        QTRY_VERIFY_WITH_TIMEOUT(run.Action(cmd::LinkDownloadProgram)->isEnabled(), 8000);
        QVERIFY(!run.Action(cmd::LinkConnect)->isEnabled());

        run.Action(cmd::LinkDisconnect)->trigger();
        QCOMPARE(ReadByte(line.master, 2000), 136);
        QVERIFY(!run.Action(cmd::LinkDownloadProgram)->isEnabled());
        QVERIFY(run.Action(cmd::LinkConnect)->isEnabled());
        QVERIFY(!serial.ownedPort.IsOpen());
        QVERIFY(run.prompts.messages.isEmpty());
    }

    void downloadCommandsHandOverTheSharedPort() {
        AppRun run;
        QVERIFY(run.Start());
        CTarvexView& view = run.View();
        view.session.connected = true;
        run.Frame().UpdateCommandUI();
        const std::pair<int, QDialog*> commands[] = {{cmd::LinkDownloadProgram, &view.downProDlg},
                                                     {cmd::LinkDownloadParams, &view.downParDlg},
                                                     {cmd::LinkDownloadScreen, &view.downByteDlg}};
        for (const auto& [id, dialog] : commands) {
            bool shown = false;
            QTimer::singleShot(0, dialog, [dialog = dialog, &shown] {
                shown = dialog->isVisible();
                dialog->reject();
            });
            run.Action(id)->trigger();
            QVERIFY(shown);
        }
        QCOMPARE(view.downProDlg.port, &view.setSeriesDlg.ownedPort);
        QCOMPARE(view.downParDlg.port, &view.setSeriesDlg.ownedPort);
        QCOMPARE(view.downByteDlg.port, &view.setSeriesDlg.ownedPort);
    }

    void aPortThatWillNotOpenIsReported() {
        AppRun run;
        QVERIFY(run.Start());
        CSetSeriesDlg& serial = run.View().setSeriesDlg;
        serial.portText = dir.filePath(QStringLiteral("no-such-tty"));
        serial.ownedPort.portPath = serial.portText;
        run.Action(cmd::LinkConnect)->trigger();
        QCOMPARE(run.prompts.messages,
                 QStringList{QStringLiteral("串口 %1 打开失败").arg(serial.portText)});
        QVERIFY(run.Action(cmd::LinkConnect)->isEnabled());
    }

    void theToolbarAndStatusBarToggle() {
        AppRun run;
        QVERIFY(run.Start());
        run.Frame().show();
        QAction* toolbar = run.Action(cmd::ViewToolbar);
        QVERIFY(toolbar->isChecked());
        toolbar->trigger();
        QVERIFY(run.Frame().toolBar->isHidden());
        QVERIFY(!toolbar->isChecked());
        toolbar->trigger();
        QVERIFY(!run.Frame().toolBar->isHidden());
        QVERIFY(toolbar->isChecked());
        run.Action(cmd::ViewStatusBar)->trigger();
        QVERIFY(run.Frame().statusBar()->isHidden());
        QVERIFY(!run.Action(cmd::ViewStatusBar)->isChecked());
    }

    void theInformationWindowComesAndGoes() {
        AppRun run;
        QVERIFY(run.Start());
        run.Frame().show();
        CMessageDlg& info = run.View().messageDlg;
        QAction* command = run.Action(cmd::ViewInfoWindow);
        command->trigger();
        QVERIFY(info.isVisible());
        QVERIFY(info.openFlag);
        QVERIFY(!command->isEnabled());
        QCOMPARE(info.windowTitle(), QStringLiteral("信息窗口"));
        QVERIFY(info.textEdit->isReadOnly());

        QTest::keyClick(&info, Qt::Key_Return);
        QVERIFY(info.isVisible());

        info.textEdit->setText(QStringLiteral("typed"));
        info.close();
        QVERIFY(!info.isVisible());
        QVERIFY(!info.openFlag);
        run.Frame().UpdateCommandUI();
        QVERIFY(command->isEnabled());

        command->trigger();
        QVERIFY(info.isVisible());
        QVERIFY(info.textEdit->text().isEmpty());
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

    void theSplashShowsUntilAKeyWhichGoesNoFurther() {
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
        QVERIFY(run.View().WholeText().isEmpty());
        QTest::keyClick(&run.View(), Qt::Key_A);
        QCOMPARE(run.View().WholeText(), QByteArray("a"));
    }

    void aClickDuringTheSplashOnlyClosesIt() {
        AppRun run;
        QVERIFY(run.Start({}));
        QVERIFY(CSplashWnd::CurrentSplash());
        QMenuBar* bar = run.Frame().menuBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(bar->actions()[0]).center());
        QVERIFY(!CSplashWnd::CurrentSplash());
        QVERIFY(!run.Frame().popups[0]->isVisible());
    }

    void theSplashClosesAfterTwoSeconds() {
        AppRun run;
        QVERIFY(run.Start({}));
        QVERIFY(CSplashWnd::CurrentSplash());
        // Wide margins for a loaded machine: still up well before two seconds, gone soon after.
        QTest::qWait(1000);
        QVERIFY(CSplashWnd::CurrentSplash());
        QTRY_VERIFY_WITH_TIMEOUT(!CSplashWnd::CurrentSplash(), 4000);
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
        QMenu* file = run.Frame().popups[0];
        QVERIFY(file->actions().contains(run.Action(cmd::FileMru1)));
        QCOMPARE(run.Action(cmd::FileMru1)->text(), QStringLiteral("&1 ") + b);
        QCOMPARE(run.Action(cmd::FileMru1 + 1)->text(), QStringLiteral("&2 ") + a);
        QVERIFY(!Items(file).contains(QStringLiteral("最近文件")));
        run.Action(cmd::FileMru1 + 1)->trigger();
        QCOMPARE(run.Doc().pathName, a);
        QCOMPARE(run.app.recentFiles, (QStringList{a, b}));
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
        run.Action(cmd::FilePrintPreview)->trigger();
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
        QTimer::singleShot(0, [&] {
            QWidget* box = QApplication::activeModalWidget();
            setupKind = box ? box->metaObject()->className() : "";
            if (box)
                static_cast<QDialog*>(box)->reject();
        });
        run.Action(cmd::FilePrintSetup)->trigger();
        QCOMPARE(setupKind, QStringLiteral("QPageSetupDialog"));
        QTimer::singleShot(0, [&] {
            QWidget* box = QApplication::activeModalWidget();
            printKind = box ? box->metaObject()->className() : "";
            if (box)
                static_cast<QDialog*>(box)->accept();
        });
        run.Action(cmd::FilePrint)->trigger();
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
        run.Action(cmd::FileMru1)->trigger();
        QCOMPARE(run.prompts.messages, QStringList{QStringLiteral("没有找到 %1。").arg(gone)});
        QVERIFY(run.app.recentFiles.isEmpty());
        QVERIFY(Items(run.Frame().popups[0]).contains(QStringLiteral("最近文件")));
    }

    void closingAModifiedDocumentCanBeCancelled() {
        AppRun run;
        QVERIFY(run.Start());
        run.Frame().show();
        QTest::keyClicks(&run.View(), QStringLiteral("END"));
        run.prompts.answers.enqueue(ui::Prompts::Answer::Cancel);
        QVERIFY(!run.Frame().close());
        QVERIFY(run.Frame().isVisible());
        run.prompts.answers.enqueue(ui::Prompts::Answer::No);
        QVERIFY(run.Frame().close());
        QCOMPARE(run.prompts.questions.size(), 2);
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
        run.Action(cmd::AppAbout)->trigger();
        QCOMPARE(title, QStringLiteral("关于 Tarvex620B"));
        QCOMPARE(version, QStringLiteral("Tarvex620B 2.0 版"));
    }

    // A frame drawn over an edit box would take the clicks meant for it.
    void everyEditOfEveryDialogIsOnTopWhereItIsClicked() {
        AppRun run;
        QVERIFY(run.Start());
        CTarvexView& view = run.View();
        QDialog* dialogs[] = {&view.loadCutDlg,  &view.setParDlg,  &view.downByteDlg,
                              &view.downParDlg,  &view.setByteDlg, &view.downProDlg,
                              &view.translateDlg};
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

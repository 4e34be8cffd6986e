#include "app/MainFrm.h"

#include <QAction>
#include <QActionGroup>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include "app/FindDlg.h"
#include "app/MainFrmParts.h"
#include "app/ProblemsDock.h"
#include "app/Tarvex.h"
#include "app/TarvexDoc.h"
#include "app/TarvexView.h"
#include "app/WireMonitorDock.h"
#include "link/Link.h"
#include "station/JobEditorDlg.h"

namespace {

using frame::Keys;
using frame::Ui;
using msg::Id;

}  // namespace

template <typename Handler>
QAction* CMainFrame::AddCommand(QMenu* menu, QAction*& slot, const QString& text,
                                const QString& prompt, Handler handler) {
    auto* action = new QAction(text, this);
    action->setStatusTip(prompt);
    action->setToolTip(QString());
    connect(action, &QAction::triggered, this, handler);
    if (menu)
        menu->addAction(action);
    slot = action;
    return action;
}

QMenu* CMainFrame::AddPopup(Id title) {
    QMenu* menu = menuBar()->addMenu(Ui(title));
    popups_.append(menu);
    // The prompt shows for disabled items too, and commands without one clear the pane.
    connect(menu, &QMenu::hovered, this,
            [this](QAction* action) { messagePane_->setText(action->statusTip()); });
    connect(menu, &QMenu::aboutToHide, this, &CMainFrame::ShowReady);
    return menu;
}

void CMainFrame::BuildMenus() {
    BuildFileMenu();
    QMenu* edit = BuildEditMenu();
    BuildToolsMenu();
    BuildLinkMenu();
    QMenu* view = BuildViewMenu();
    BuildEditorMenus(edit, view);
    BuildLanguageMenu(view);
    QMenu* help = AddPopup(Id::MenuHelp);
    AddCommand(help, commands_.about, Ui(Id::CommandAbout), Ui(Id::CommandAboutTip),
               [&app = app_] { app.OnAppAbout(); });

    // Keys of the main window work whichever widget has the focus.
    for (QAction* action : findChildren<QAction*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (!action->shortcuts().isEmpty())
            addAction(action);
    }
}

void CMainFrame::BuildFileMenu() {
    Commands& c = commands_;
    CTarvexApp& app = app_;
    QMenu* file = AddPopup(Id::MenuFile);
    AddCommand(file, c.fileNew, Ui(Id::CommandNew), Ui(Id::CommandNewTip), [&app] {
        app.OnFileNew();
    })->setShortcut(Keys(Qt::CTRL | Qt::Key_N));
    AddCommand(file, c.fileOpen, Ui(Id::CommandOpen), Ui(Id::CommandOpenTip), [&app] {
        app.OnFileOpen();
    })->setShortcut(Keys(Qt::CTRL | Qt::Key_O));
    AddCommand(file, c.fileSave, Ui(Id::CommandSave), Ui(Id::CommandSaveTip), [&app] {
        app.document->DoFileSave();
    })->setShortcut(Keys(Qt::CTRL | Qt::Key_S));
    AddCommand(file, c.fileSaveAs, Ui(Id::CommandSaveAs), Ui(Id::CommandSaveAsTip),
               [&app] { app.document->DoSave(QString()); });
    file->addSeparator();
    // Its rule never enables it.
    AddCommand(file, c.loadCut, Ui(Id::CommandLoadCut), Ui(Id::CommandLoadCutTip), [this] {
        OnLoadCut();
    })->setEnabled(false);
    file->addSeparator();
    AddCommand(file, c.print, Ui(Id::CommandPrint), Ui(Id::CommandPrintTip), [&app] {
        app.OnFilePrint();
    })->setShortcut(Keys(Qt::CTRL | Qt::Key_P));
    AddCommand(file, c.printPreview, Ui(Id::CommandPrintPreview), Ui(Id::CommandPrintPreviewTip),
               [&app] { app.OnFilePrintPreview(); });
    AddCommand(file, c.printSetup, Ui(Id::CommandPrintSetup), Ui(Id::CommandPrintSetupTip),
               [&app] { app.OnFilePrintSetup(); });
    file->addSeparator();
    recentPlaceholder_ = new QAction(Ui(Id::CommandRecentNone), this);
    recentPlaceholder_->setEnabled(false);
    recentPlaceholder_->setStatusTip(Ui(Id::CommandRecentTip));
    file->addAction(recentPlaceholder_);
    for (int i = 0; i < CTarvexApp::kRecentFileCount; ++i) {
        QAction* recent = nullptr;
        AddCommand(nullptr, recent, QString(), Ui(Id::CommandRecentTip),
                   [&app, i] { app.OnOpenRecentFile(i); });
        c.recentFiles.append(recent);
    }
    exitSeparator_ = file->addSeparator();
    AddCommand(file, c.exit, Ui(Id::CommandExit), Ui(Id::CommandExitTip), [this] { close(); });
}

QMenu* CMainFrame::BuildEditMenu() {
    Commands& c = commands_;
    QMenu* edit = AddPopup(Id::MenuEdit);
    AddCommand(edit, c.undo, Ui(Id::CommandUndo), Ui(Id::CommandUndoTip), [this] {
        view_->undo();
    })->setShortcuts({Keys(Qt::CTRL | Qt::Key_Z), Keys(Qt::ALT | Qt::Key_Backspace)});
    AddCommand(edit, c.redo, Ui(Id::CommandRedo), Ui(Id::CommandRedoTip), [this] {
        view_->redo();
    })->setShortcuts({Keys(Qt::CTRL | Qt::Key_Y), Keys(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    edit->addSeparator();
    AddCommand(edit, c.cut, Ui(Id::CommandCut), Ui(Id::CommandCutTip), [this] {
        view_->cut();
    })->setShortcuts({Keys(Qt::CTRL | Qt::Key_X), Keys(Qt::SHIFT | Qt::Key_Delete)});
    AddCommand(edit, c.copy, Ui(Id::CommandCopy), Ui(Id::CommandCopyTip), [this] {
        view_->copy();
    })->setShortcuts({Keys(Qt::CTRL | Qt::Key_C), Keys(Qt::CTRL | Qt::Key_Insert)});
    AddCommand(edit, c.paste, Ui(Id::CommandPaste), Ui(Id::CommandPasteTip), [this] {
        view_->paste();
    })->setShortcuts({Keys(Qt::CTRL | Qt::Key_V), Keys(Qt::SHIFT | Qt::Key_Insert)});
    return edit;
}

void CMainFrame::BuildToolsMenu() {
    Commands& c = commands_;
    QMenu* tools = AddPopup(Id::MenuTools);
    AddCommand(tools, c.compile, Ui(Id::CommandCompile), QString(), [this] {
        OnCompile();
    })->setShortcut(Keys(Qt::Key_F8));
    AddCommand(tools, c.compileCurrent, Ui(Id::CommandCompileCurrent),
               Ui(Id::CommandCompileCurrentTip), [this] { OnCompileCurrent(); })
        ->setShortcut(Keys(Qt::CTRL | Qt::Key_F7));
    AddCommand(tools, c.compileAndDownload, Ui(Id::CommandCompileAndDownload),
               Ui(Id::CommandCompileAndDownloadTip), [this] { OnCompileAndDownload(); })
        ->setShortcut(Keys(Qt::Key_F5));
    AddCommand(tools, c.registers, Ui(Id::CommandRegisters), QString(), [this] { OnRegisters(); });
    AddCommand(tools, c.registerTable, Ui(Id::RegistersTableCommand),
               Ui(Id::RegistersTableCommandTip), [this] { OnRegisterTable(); });
    AddCommand(tools, c.pictureImport, Ui(Id::CommandPictureImport),
               Ui(Id::CommandPictureImportTip), [this] { OnPictureImport(); });
    AddCommand(tools, c.characters, Ui(Id::CommandCharacters), Ui(Id::CommandCharactersTip),
               [this] { OnCharacters(); });
    tools->addSeparator();
    AddCommand(tools, c.jobEditor, Ui(Id::JobEditorCommand), Ui(Id::JobEditorCommandTip),
               [this] { station::JobEditorDlg::Run(prompts_, app_.document->pathName, this); });
    AddCommand(tools, c.station, Ui(Id::StationCommand), Ui(Id::StationCommandTip),
               [this] { OnStation(); });
    AddCommand(tools, c.records, Ui(Id::RecordsCommand), Ui(Id::RecordsCommandTip),
               [this] { OnRecords(); });
}

void CMainFrame::BuildLinkMenu() {
    Commands& c = commands_;
    ctrl::Link& link = *app_.link;
    QMenu* session = AddPopup(Id::MenuLink);
    AddCommand(session, c.serialSettings, Ui(Id::CommandSerial), QString(),
               [this] { OnSerialSettings(); });
    AddCommand(session, c.connect, Ui(Id::CommandConnect), QString(), [&link] { link.Connect(); });
    addAction(c.connect);
    AddCommand(session, c.downloadProgram, Ui(Id::CommandDownloadProgram), QString(),
               [this] { OnDownloadProgram(); });
    AddCommand(session, c.downloadParams, Ui(Id::CommandDownloadParams), QString(),
               [this] { OnDownloadParams(); });
    AddCommand(session, c.downloadScreen, Ui(Id::CommandDownloadScreen), QString(),
               [this] { OnDownloadScreen(); });
    AddCommand(session, c.disconnect, Ui(Id::CommandDisconnect), QString(),
               [&link] { link.Disconnect(); });
    addAction(c.disconnect);
}

QMenu* CMainFrame::BuildViewMenu() {
    Commands& c = commands_;
    QMenu* view = AddPopup(Id::MenuView);
    AddCommand(view, c.toolbar, Ui(Id::CommandToolbar), Ui(Id::CommandToolbarTip),
               [this](bool shown) { toolBar_->setVisible(shown); })
        ->setCheckable(true);
    AddCommand(view, c.statusBar, Ui(Id::CommandStatusBar), Ui(Id::CommandStatusBarTip),
               [this](bool shown) { statusBar()->setVisible(shown); })
        ->setCheckable(true);
    c.toolbar->setChecked(true);
    c.statusBar->setChecked(true);
    AddCommand(view, c.infoWindow, Ui(Id::CommandInfoWindow), QString(),
               [this] { OnInfoWindow(); });
    return view;
}

void CMainFrame::BuildLanguageMenu(QMenu* view) {
    Commands& c = commands_;
    view->addSeparator();
    QMenu* menu = view->addMenu(Ui(Id::MenuLanguage));
    auto* group = new QActionGroup(this);
    struct Choice {
        QAction*& slot;
        Id text;
        Id tip;
        QString word;
    };
    const Choice choices[] = {
        {c.languageSystem, Id::LanguageSystem, Id::LanguageSystemTip, QString()},
        {c.languageChinese, Id::LanguageChinese, Id::LanguageChineseTip, QStringLiteral("zh")},
        {c.languageEnglish, Id::LanguageEnglish, Id::LanguageEnglishTip, QStringLiteral("en")},
    };
    const QString chosen = CTarvexApp::ProfileLanguage();
    for (const Choice& choice : choices) {
        const QString word = choice.word;
        QAction* action =
            AddCommand(menu, choice.slot, Ui(choice.text), Ui(choice.tip), [this, word] {
                if (word == CTarvexApp::ProfileLanguage())
                    return;
                CTarvexApp::SetProfileLanguage(word);
                // After the menu has closed, or its closing puts "就绪" back.
                QTimer::singleShot(0, this,
                                   [this] { messagePane_->setText(Ui(Id::LanguageAtNextStart)); });
            });
        action->setCheckable(true);
        action->setChecked(word == chosen ||
                           (choice.word.isEmpty() && !msg::ParseLanguage(chosen.toStdString())));
        group->addAction(action);
    }
}

void CMainFrame::BuildToolBar() {
    toolBar_ = new QToolBar(Ui(Id::ToolbarTitle), this);
    toolBar_->setObjectName(QStringLiteral("toolBar"));
    toolBar_->setMovable(true);
    toolBar_->setFloatable(true);
    toolBar_->setAllowedAreas(Qt::AllToolBarAreas);
    toolBar_->setIconSize(QSize(16, 15));
    const QPixmap strip(QStringLiteral(":/res/toolbar.png"));
    const Commands& c = commands_;
    const std::pair<QAction*, Id> buttons[] = {
        {c.fileNew, Id::ButtonNew}, {c.fileOpen, Id::ButtonOpen}, {c.fileSave, Id::ButtonSave},
        {nullptr, Id::Count},       {c.cut, Id::ButtonCut},       {c.copy, Id::ButtonCopy},
        {c.paste, Id::ButtonPaste}, {nullptr, Id::Count},         {c.print, Id::ButtonPrint},
        {nullptr, Id::Count},       {c.about, Id::ButtonAbout}};
    int picture = 0;
    for (const auto& [action, tip] : buttons) {
        if (!action) {
            toolBar_->addSeparator();
            continue;
        }
        action->setIcon(QIcon(strip.copy(picture * 16, 0, 16, 15)));
        action->setToolTip(Ui(tip));
        toolBar_->addAction(action);
        ++picture;
    }
    addToolBar(Qt::TopToolBarArea, toolBar_);
    // The toolbar's own context menu can hide it too.
    connect(toolBar_, &QToolBar::visibilityChanged, commands_.toolbar, &QAction::setChecked);
}

// Beside the standard toolbar: the port and its state on a button that connects or disconnects.
void CMainFrame::BuildLinkBar() {
    linkBar_ = new QToolBar(Ui(Id::CommandConnect), this);
    linkBar_->setObjectName(QStringLiteral("linkBar"));
    AddCommand(nullptr, commands_.connectToggle, QString(), QString(), [this] {
        OnConnectToggle();
    })->setCheckable(true);
    commands_.connectToggle->setToolTip(Ui(Id::LinkToggleTip));
    linkBar_->addAction(commands_.connectToggle);
    if (auto* button =
            qobject_cast<QToolButton*>(linkBar_->widgetForAction(commands_.connectToggle))) {
        button->setObjectName(QStringLiteral("connectToggle"));
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    }
    addToolBar(Qt::TopToolBarArea, linkBar_);
}

// Program editor: find, go to, problems and zoom, in the edit and view menus.
void CMainFrame::BuildEditorMenus(QMenu* edit, QMenu* view) {
    Commands& c = commands_;
    edit->addSeparator();
    AddCommand(edit, c.find, Ui(Id::MenuFind), Ui(Id::MenuFindTip), [this] {
        FindDialog().ShowFind(false);
    })->setShortcut(Keys(Qt::CTRL | Qt::Key_F));
    AddCommand(edit, c.replace, Ui(Id::MenuReplace), Ui(Id::MenuReplaceTip), [this] {
        FindDialog().ShowFind(true);
    })->setShortcut(Keys(Qt::CTRL | Qt::Key_H));
    AddCommand(edit, c.findNext, Ui(Id::MenuFindNext), Ui(Id::MenuFindNextTip), [this] {
        FindDialog().FindAgain(false);
    })->setShortcut(Keys(Qt::Key_F3));
    AddCommand(edit, c.findPrevious, Ui(Id::MenuFindPrevious), Ui(Id::MenuFindPreviousTip), [this] {
        FindDialog().FindAgain(true);
    })->setShortcut(Keys(Qt::SHIFT | Qt::Key_F3));
    edit->addSeparator();
    AddCommand(edit, c.goToLine, Ui(Id::MenuGoToLine), Ui(Id::MenuGoToLineTip), [this] {
        OnGoToLine();
    })->setShortcut(Keys(Qt::CTRL | Qt::Key_G));
    AddCommand(edit, c.nextProblem, Ui(Id::MenuNextProblem), Ui(Id::MenuNextProblemTip), [this] {
        view_->NextProblem();
    })->setShortcut(Keys(Qt::Key_F4));
    AddCommand(edit, c.previousProblem, Ui(Id::MenuPreviousProblem), Ui(Id::MenuPreviousProblemTip),
               [this] { view_->PreviousProblem(); })
        ->setShortcut(Keys(Qt::SHIFT | Qt::Key_F4));

    view->addSeparator();
    AddCommand(view, c.problems, Ui(Id::MenuProblems), Ui(Id::MenuProblemsTip), [this](bool shown) {
        problemsDock_->setVisible(shown);
        // From the keyboard: the list takes the focus, Enter goes to a problem.
        if (shown)
            problemsDock_->widget()->setFocus();
    })->setCheckable(true);
    c.problems->setChecked(true);
    AddCommand(view, c.wireMonitor, Ui(Id::WireMonitorMenu), Ui(Id::WireMonitorMenuTip),
               [this](bool shown) {
                   // The lines want the window's width: first shown, it shares the problems'
                   // place as a tab.
                   if (shown && problemsDock_ && !wireMonitorDock_->isFloating() &&
                       tabifiedDockWidgets(problemsDock_).isEmpty())
                       tabifyDockWidget(problemsDock_, wireMonitorDock_);
                   wireMonitorDock_->setVisible(shown);
                   if (shown)
                       wireMonitorDock_->raise();
               })
        ->setCheckable(true);
    AddCommand(view, c.zoomIn, Ui(Id::MenuZoomIn), Ui(Id::MenuZoomInTip), [this] {
        view_->ZoomIn();
    })->setShortcuts({Keys(Qt::CTRL | Qt::Key_Plus), Keys(Qt::CTRL | Qt::Key_Equal)});
    AddCommand(view, c.zoomOut, Ui(Id::MenuZoomOut), Ui(Id::MenuZoomOutTip), [this] {
        view_->ZoomOut();
    })->setShortcut(Keys(Qt::CTRL | Qt::Key_Minus));
    AddCommand(view, c.zoomReset, Ui(Id::MenuZoomReset), Ui(Id::MenuZoomResetTip), [this] {
        view_->ZoomReset();
    })->setShortcut(Keys(Qt::CTRL | Qt::Key_0));
}

void CMainFrame::ShowRecentFiles(const QStringList& paths) {
    QMenu* file = popups_.value(0);
    for (QAction* action : std::as_const(commands_.recentFiles))
        file->removeAction(action);
    file->removeAction(recentPlaceholder_);
    if (paths.isEmpty()) {
        file->insertAction(exitSeparator_, recentPlaceholder_);
        return;
    }
    for (int i = 0; i < paths.size() && i < commands_.recentFiles.size(); ++i) {
        QAction* action = commands_.recentFiles[i];
        action->setText(
            QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(paths[i])));
        file->insertAction(exitSeparator_, action);
    }
}

void CMainFrame::UpdateLinkCommands() {
    const ctrl::Link& link = *app_.link;
    const Commands& c = commands_;
    const std::pair<QAction*, ctrl::LinkCommand> rules[] = {
        {c.serialSettings, ctrl::LinkCommand::Serial},
        {c.connect, ctrl::LinkCommand::Connect},
        {c.downloadProgram, ctrl::LinkCommand::DownloadProgram},
        {c.downloadParams, ctrl::LinkCommand::DownloadParams},
        {c.downloadScreen, ctrl::LinkCommand::DownloadScreen},
        {c.disconnect, ctrl::LinkCommand::Disconnect},
    };
    for (const auto& [action, command] : rules)
        action->setEnabled(link.IsEnabled(command));
    // Ctrl+L toggles, and the menu shows it beside the command it sends now.
    const QKeySequence toggleKey = Keys(Qt::CTRL | Qt::Key_L);
    const bool connected = link.IsConnected();
    c.connect->setShortcut(connected ? QKeySequence() : toggleKey);
    c.disconnect->setShortcut(connected ? toggleKey : QKeySequence());
}

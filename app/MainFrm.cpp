#include "app/MainFrm.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTextDocument>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <utility>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

#include "app/EncodingBar.h"
#include "app/FindDlg.h"
#include "app/LiveCheck.h"
#include "app/LoadCutDlg.h"
#include "app/LockKeys.h"
#include "app/MessageDlg.h"
#include "app/ProblemsDock.h"
#include "app/Splash.h"
#include "app/Tarvex.h"
#include "app/TarvexDoc.h"
#include "app/TarvexView.h"
#include "app/WireMonitorDock.h"
#include "charset/SetByteDlg.h"
#include "common/FileIo.h"
#include "common/QtMessages.h"
#include "compiler/CompileAside.h"
#include "compiler/CompileMessages.h"
#include "compiler/CompileRun.h"
#include "compiler/TranslateDlg.h"
#include "downloads/DownByteDlg.h"
#include "downloads/DownParDlg.h"
#include "downloads/DownProDlg.h"
#include "downloads/DownloadRecord.h"
#include "jobs/UnitLedger.h"
#include "link/Link.h"
#include "link/SetSeriesDlg.h"
#include "registers/RegisterTableWnd.h"
#include "registers/SetParDlg.h"
#include "screen/PictureImportDlg.h"
#include "station/JobEditorDlg.h"
#include "station/RecordsWindow.h"
#include "station/StationSetupDlg.h"
#include "station/StationWindow.h"
#include "ui/Prompts.h"
#include "ui/ScreenFit.h"

namespace {

using msg::Id;

constexpr int kLinePaneWidth = 80;

QString Ui(Id id) {
    return msg::QText(id);
}

QKeySequence Keys(QKeyCombination key) {
    return QKeySequence(key);
}

// The dialog behind a command, made when the command first runs.
template <typename Dialog, typename... Args>
Dialog& OnFirstUse(std::unique_ptr<Dialog>& dialog, Args&&... args) {
    if (!dialog)
        dialog = std::make_unique<Dialog>(std::forward<Args>(args)...);
    return *dialog;
}

}  // namespace

namespace {

// The window's size, place and dock layout, as the user left them.
const QString kWindowGeometry = QStringLiteral("Window/Geometry");
const QString kWindowDocks = QStringLiteral("Window/Docks");

std::unique_ptr<QSettings> LayoutProfile() {
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       CTarvexApp::kProfileKey, ui::kApplicationName);
}

}  // namespace

QRect FirstWindowGeometry(const QSize& wanted, const QRect& available) {
    const QSize size = wanted.boundedTo(available.size());
    return {available.x() + (available.width() - size.width()) / 2,
            available.y() + (available.height() - size.height()) / 2, size.width(), size.height()};
}

CMainFrame::CMainFrame(CTarvexApp& app, ui::Prompts& prompts)
    : QMainWindow(nullptr), app_(app), prompts_(prompts) {
    setObjectName(QStringLiteral("mainFrame"));
    setWindowIcon(QIcon(QStringLiteral(":/res/tarvex.png")));
    setAcceptDrops(true);
    resize(kFirstSize);
}

CMainFrame::~CMainFrame() {
    qApp->removeEventFilter(this);
}

void CMainFrame::OnCreate() {
    BuildMenus();
    AttachWireMonitor();
    BuildToolBar();
    BuildStatusBar();
    BuildLinkBar();
    // A large scale on a small screen must not push the title bar and menus off the screen;
    // move() places the frame, so the title bar lands inside the available area.
    PlaceOnScreen();
    qApp->installEventFilter(this);
    // Every window and dialog, this one included, stays reachable at any scale.
    qApp->installEventFilter(new ui::ScreenFitter(this));
    connect(app_.link.get(), &ctrl::Link::ConnectedChanged, this, &CMainFrame::UpdateLinkCommands);
    UpdateLinkCommands();
    connect(app_.link.get(), &ctrl::Link::StateChanged, this, &CMainFrame::UpdateConnectionPane);
    UpdateConnectionPane();
    // A lost line: the link has ended the session and told the user; the status bar offers the
    // way back once the device returns.
    connect(app_.link.get(), &ctrl::Link::ReconnectOfferChanged, reconnectButton,
            &QWidget::setVisible);
    connect(reconnectButton, &QPushButton::clicked, app_.link.get(), &ctrl::Link::Reconnect);
    // F5 when not connected: the download follows the connect, or the status says why not.
    connect(app_.link.get(), &ctrl::Link::ConnectedChanged, this, [this](bool connected) {
        if (connected && !pendingDownload_.isEmpty())
            QTimer::singleShot(0, this, &CMainFrame::ConnectedForDownload);
    });
    connect(app_.link.get(), &ctrl::Link::Failing, this, &CMainFrame::ConnectFailedForDownload);
    CSplashWnd::ShowSplash(this);
}

// The frame's decorations are known only once the window shows, so this runs again then.
void CMainFrame::PlaceOnScreen() {
    if (layoutRestored_) {
        ui::KeepOnScreen(this);
        return;
    }
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QSize frame = frameGeometry().size() - geometry().size();
    const QRect placed = FirstWindowGeometry(kFirstSize + frame, screen->availableGeometry());
    resize(placed.size() - frame);
    move(placed.topLeft());
}

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

void CMainFrame::BuildMenus() {
    auto popup = [this](Id title) {
        QMenu* menu = menuBar()->addMenu(Ui(title));
        popups.append(menu);
        // The prompt shows for disabled items too, and commands without one clear the pane.
        connect(menu, &QMenu::hovered, this,
                [this](QAction* action) { messagePane->setText(action->statusTip()); });
        connect(menu, &QMenu::aboutToHide, this, &CMainFrame::ShowReady);
        return menu;
    };
    Commands& c = commands_;
    CTarvexApp& app = app_;

    QMenu* file = popup(Id::MenuFile);
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

    QMenu* edit = popup(Id::MenuEdit);
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

    QMenu* tools = popup(Id::MenuTools);
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

    ctrl::Link& link = *app_.link;
    QMenu* session = popup(Id::MenuLink);
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

    QMenu* view = popup(Id::MenuView);
    AddCommand(view, c.toolbar, Ui(Id::CommandToolbar), Ui(Id::CommandToolbarTip),
               [this](bool shown) { toolBar->setVisible(shown); })
        ->setCheckable(true);
    AddCommand(view, c.statusBar, Ui(Id::CommandStatusBar), Ui(Id::CommandStatusBarTip),
               [this](bool shown) { statusBar()->setVisible(shown); })
        ->setCheckable(true);
    c.toolbar->setChecked(true);
    c.statusBar->setChecked(true);
    AddCommand(view, c.infoWindow, Ui(Id::CommandInfoWindow), QString(),
               [this] { OnInfoWindow(); });
    BuildEditorMenus(edit, view);
    BuildLanguageMenu(view);

    QMenu* help = popup(Id::MenuHelp);
    AddCommand(help, c.about, Ui(Id::CommandAbout), Ui(Id::CommandAboutTip),
               [&app] { app.OnAppAbout(); });

    // Keys of the main window work whichever widget has the focus.
    for (QAction* action : findChildren<QAction*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (!action->shortcuts().isEmpty())
            addAction(action);
    }
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
                                   [this] { messagePane->setText(Ui(Id::LanguageAtNextStart)); });
            });
        action->setCheckable(true);
        action->setChecked(word == chosen ||
                           (choice.word.isEmpty() && !msg::ParseLanguage(chosen.toStdString())));
        group->addAction(action);
    }
}

void CMainFrame::BuildToolBar() {
    toolBar = new QToolBar(Ui(Id::ToolbarTitle), this);
    toolBar->setObjectName(QStringLiteral("toolBar"));
    toolBar->setMovable(true);
    toolBar->setFloatable(true);
    toolBar->setAllowedAreas(Qt::AllToolBarAreas);
    toolBar->setIconSize(QSize(16, 15));
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
            toolBar->addSeparator();
            continue;
        }
        action->setIcon(QIcon(strip.copy(picture * 16, 0, 16, 15)));
        action->setToolTip(Ui(tip));
        toolBar->addAction(action);
        ++picture;
    }
    addToolBar(Qt::TopToolBarArea, toolBar);
    // The toolbar's own context menu can hide it too.
    connect(toolBar, &QToolBar::visibilityChanged, commands_.toolbar, &QAction::setChecked);
}

void CMainFrame::BuildStatusBar() {
    QStatusBar* bar = statusBar();
    messagePane = new QLabel(Ui(Id::StatusReady), bar);
    messagePane->setObjectName(QStringLiteral("messagePane"));
    // A long message is cut at its end rather than pushing the panes off the bar.
    messagePane->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    bar->addWidget(messagePane, 3);
    hintPane = new QLabel(bar);
    hintPane->setObjectName(QStringLiteral("hintPane"));
    // The hint yields to the message: an outcome must stay readable on a narrow window.
    hintPane->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    bar->addWidget(hintPane, 2);
    hintPane->hide();
    linePane = new QLabel(msg::QText(Id::StatusLine, {QStringLiteral("1")}), bar);
    linePane->setObjectName(QStringLiteral("linePane"));
    linePane->setFixedWidth(kLinePaneWidth);
    bar->addPermanentWidget(linePane);
    connectionPane = new QLabel(bar);
    connectionPane->setObjectName(QStringLiteral("connectionPane"));
    bar->addPermanentWidget(connectionPane);
    reconnectButton = new QPushButton(msg::QText(Id::LinkReconnectOffer), bar);
    reconnectButton->setObjectName(QStringLiteral("reconnectButton"));
    reconnectButton->hide();
    bar->addPermanentWidget(reconnectButton);
    const Id lockTexts[] = {Id::StatusCaps, Id::StatusNum, Id::StatusScroll};
    QLabel** panes[] = {&capsPane, &numPane, &scrollPane};
    for (int i = 0; i < 3; ++i) {
        auto* pane = new QLabel(bar);
        const QString text = Ui(lockTexts[i]);
        pane->setFixedWidth(pane->fontMetrics().horizontalAdvance(text) + 8);
        pane->setProperty("lockText", text);
        bar->addPermanentWidget(pane);
        *panes[i] = pane;
    }
    UpdateLockPanes();
}

// Beside the standard toolbar: the port and its state on a button that connects or disconnects.
void CMainFrame::BuildLinkBar() {
    linkBar = new QToolBar(Ui(Id::CommandConnect), this);
    linkBar->setObjectName(QStringLiteral("linkBar"));
    AddCommand(nullptr, commands_.connectToggle, QString(), QString(), [this] {
        OnConnectToggle();
    })->setCheckable(true);
    commands_.connectToggle->setToolTip(Ui(Id::LinkToggleTip));
    linkBar->addAction(commands_.connectToggle);
    if (auto* button =
            qobject_cast<QToolButton*>(linkBar->widgetForAction(commands_.connectToggle))) {
        button->setObjectName(QStringLiteral("connectToggle"));
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    }
    addToolBar(Qt::TopToolBarArea, linkBar);
}

void CMainFrame::OnConnectToggle() {
    ctrl::Link& link = *app_.link;
    if (link.IsConnected())
        link.Disconnect();
    else
        link.Connect();
    UpdateConnectionPane();
}

void CMainFrame::ShowReady() {
    messagePane->setText(Ui(Id::StatusReady));
}

void CMainFrame::ShowDocumentStatus(const QString& text) {
    messagePane->setText(text);
    documentStatusRevision_ = view_ ? view_->document()->revision() : -1;
}

// Highlighting changes the document too, but only an edit moves its revision.
void CMainFrame::OnDocumentTextChanged() {
    if (documentStatusRevision_ < 0 || view_->document()->revision() == documentStatusRevision_)
        return;
    documentStatusRevision_ = -1;
    ShowReady();
}

void CMainFrame::OnDocumentReplaced(bool sessionEnded) {
    pendingDownload_.clear();
    documentStatusRevision_ = -1;
    messagePane->setText(sessionEnded ? Ui(Id::StatusReconnectNeeded) : Ui(Id::StatusReady));
}

void CMainFrame::AttachView(CTarvexView* view) {
    view_ = view;
    auto* middle = new QWidget(this);
    auto* column = new QVBoxLayout(middle);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    encodingBar = new CEncodingBar(middle);
    column->addWidget(encodingBar);
    column->addWidget(view, 1);
    setCentralWidget(middle);
    connect(view, &CTarvexView::LineIndicatorChanged, this, &CMainFrame::SetLineText);
    connect(view, &CTarvexView::FilesDropped, this, &CMainFrame::OpenDroppedLater);
    connect(view, &QPlainTextEdit::undoAvailable, commands_.undo, &QAction::setEnabled);
    connect(view, &QPlainTextEdit::redoAvailable, commands_.redo, &QAction::setEnabled);
    commands_.redo->setEnabled(view->document()->isRedoAvailable());
    connect(view, &QPlainTextEdit::copyAvailable, commands_.cut, &QAction::setEnabled);
    connect(view, &QPlainTextEdit::copyAvailable, commands_.copy, &QAction::setEnabled);
    commands_.undo->setEnabled(view->document()->isUndoAvailable());
    commands_.cut->setEnabled(view->textCursor().hasSelection());
    commands_.copy->setEnabled(view->textCursor().hasSelection());
    // Asking the clipboard can mean a round trip to another program: ask only when it changes.
    auto clipboardChanged = [this] { commands_.paste->setEnabled(view_->canPaste()); };
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, clipboardChanged);
    clipboardChanged();
    AttachEditorParts();
    RestoreLayout();
}

// After the docks exist: their places are part of what is restored.
void CMainFrame::RestoreLayout() {
    const auto profile = LayoutProfile();
    if (!restoreGeometry(profile->value(kWindowGeometry).toByteArray()))
        return;
    layoutRestored_ = true;
    restoreState(profile->value(kWindowDocks).toByteArray());
    // The screen may be smaller now, or the window was left on one that is gone.
    ui::KeepOnScreen(this);
}

void CMainFrame::SaveLayout() {
    const auto profile = LayoutProfile();
    profile->setValue(kWindowGeometry, saveGeometry());
    profile->setValue(kWindowDocks, saveState());
}

// The wire monitor records from the start, shown or not, so a failure can be looked at after it
// happened; its times count from each connect.
void CMainFrame::AttachWireMonitor() {
    wireMonitorDock = new CWireMonitorDock(app_.link->Port(), prompts_, this);
    wireMonitorDock->setAllowedAreas(Qt::BottomDockWidgetArea | Qt::TopDockWidgetArea |
                                     Qt::RightDockWidgetArea);
    addDockWidget(Qt::BottomDockWidgetArea, wireMonitorDock);
    wireMonitorDock->hide();
    connect(wireMonitorDock, &QDockWidget::visibilityChanged, commands_.wireMonitor,
            &QAction::setChecked);
    // Before the handshake goes out, so the first line of a session is at +0000.000.
    connect(app_.link.get(), &ctrl::Link::ConnectStarting, wireMonitorDock,
            &CWireMonitorDock::Restart);
}

void CMainFrame::SetLineText(const QString& text) {
    linePane->setText(text);
    linePane->repaint();
}

void CMainFrame::OnUpdateFrameTitle(const QString& documentTitle) {
    const bool modified = app_.document && app_.document->IsModified();
    setWindowTitle(
        msg::QText(modified ? Id::WindowTitleModified : Id::WindowTitle, {documentTitle}));
}

void CMainFrame::ShowRecentFiles(const QStringList& paths) {
    QMenu* file = popups.value(0);
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

void CMainFrame::UpdateConnectionPane() {
    using State = ctrl::Link::LineState;
    const ctrl::Link& link = *app_.link;
    const State state = link.State();
    const Id stateText = state == State::Connected         ? Id::LinkStateConnected
                         : state == State::Connecting      ? Id::LinkStateConnecting
                         : state == State::ReconnectNeeded ? Id::LinkStateReconnect
                                                           : Id::LinkStateDisconnected;
    connectionPane->setText(
        msg::QText(Id::LinkStatusPane, {link.PortShown(), link.BaudText(), msg::QText(stateText)}));
    QAction* toggle = commands_.connectToggle;
    if (!toggle)
        return;
    toggle->setText(link.PortShown() + u' ' + msg::QText(stateText));
    toggle->setChecked(state == State::Connected);
    // Green while the controller answers; the colours of the desktop otherwise.
    if (QWidget* button = linkBar->widgetForAction(toggle))
        button->setStyleSheet(
            state == State::Connected
                ? QStringLiteral("QToolButton { background: #2e7d32; color: white; }")
                : QString());
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

void CMainFrame::UpdateLockPanes() {
    const LockKeys locks = ReadLockKeys(nativeLockState_);
    const auto [caps, num, scroll] = locks;
    const std::pair<QLabel*, bool> panes[] = {
        {capsPane, caps}, {numPane, num}, {scrollPane, scroll}};
    for (const auto& [pane, on] : panes)
        pane->setText(on ? pane->property("lockText").toString() : QString());
}

void CMainFrame::OnCompile() {
    CTranslateDlg& dialog = OnFirstUse(translateDlg_, prompts_);
    dialog.programText = view_->WholeText();
    dialog.documentPath = app_.document->pathName;
    const int runs = dialog.runs;
    dialog.exec();
    if (dialog.runs != runs) {
        LogCompile(app_.document->title, dialog.lastResult, dialog.lastMessage);
        ShowCompileFault(dialog.lastResult);
    }
}

// Program editor: after a compile refused a line, the editor shows it.
void CMainFrame::ShowCompileFault(const compiler::CompileResult& result) {
    if (result.outcome == compiler::CompileOutcome::LineFault ||
        result.outcome == compiler::CompileOutcome::TooManyLines)
        view_->ShowFault(result.editorLine);
}

void CMainFrame::OnRegisters() {
    const bool first = !setParDlg_;
    CSetParDlg& dialog = OnFirstUse(setParDlg_, prompts_);
    if (first)
        connect(&dialog, &CSetParDlg::Saved, this, &CMainFrame::NoteRegistersSaved);
    dialog.exec();
}

void CMainFrame::OnRegisterTable() {
    const bool first = !registerTableWnd_;
    CRegisterTableWnd& window = OnFirstUse(registerTableWnd_, prompts_, this);
    if (first) {
        connect(&window, &CRegisterTableWnd::Saved, this, &CMainFrame::NoteRegistersSaved);
        // The register file the editor works on, if it has one.
        if (setParDlg_ && !setParDlg_->filePath.isEmpty())
            window.OpenFile(setParDlg_->filePath);
    }
    window.show();
    window.raise();
    window.activateWindow();
}

void CMainFrame::NoteRegistersSaved(const QString& note) {
    app_.log.Add(note);
    messagePane->setText(note);
}

void CMainFrame::OnCharacters() {
    OnFirstUse(setByteDlg_, prompts_).exec();
}

// Its menu item is never enabled, so only a command sent by other means gets here.
void CMainFrame::OnLoadCut() {
    OnFirstUse(loadCutDlg_, prompts_).exec();
}

void CMainFrame::OnSerialSettings() {
    OnFirstUse(setSeriesDlg_, *app_.link).exec();
}

template <typename Dialog>
Dialog& CMainFrame::DownloadDialog(std::unique_ptr<Dialog>& slot) {
    Dialog& dialog = OnFirstUse(slot, prompts_, app_.link->Port());
    dialog.run.onRecord = [this](const ctrl::DownloadRecord& r) { RecordDownload(r); };
    dialog.run.fastPacing = app_.link->FastTransfer();
    return dialog;
}

void CMainFrame::OnDownloadProgram() {
    DownloadDialog(downProDlg_).exec();
}

void CMainFrame::OnDownloadParams() {
    DownloadDialog(downParDlg_).exec();
}

void CMainFrame::OnDownloadScreen() {
    DownloadDialog(downByteDlg_).exec();
}

// The operator's window takes the screen; the editor comes back when it is left.
void CMainFrame::OnStation() {
    ui::FileChooser chooser;
    chooser.filter = Ui(Id::StationJobFilter);
    chooser.defaultExtension = QStringLiteral("tvjob");
    chooser.mustExist = true;
    const std::optional<QString> job = prompts_.ChooseOpenFile(chooser);
    if (!job)
        return;
    station::StationSetupDlg setup(prompts_, *job, this);
    if (setup.exec() != QDialog::Accepted)
        return;
    auto* window = new station::StationWindow(prompts_);
    window->setAttribute(Qt::WA_DeleteOnClose);
    connect(window, &station::StationWindow::left, this, &QWidget::show);
    window->Open(*job, setup.settings().ports, setup.settings().operatorName,
                 jobs::DefaultUnitLedgerPath());
    window->showMaximized();
    hide();
}

void CMainFrame::OnRecords() {
    auto* window = new station::RecordsWindow(prompts_, jobs::DefaultUnitLedgerPath(), this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->resize(1000, 700);
    window->show();
}

void CMainFrame::OnPictureImport() {
    CPictureImportDlg dialog(prompts_, this);
    QString bitmap;
    dialog.onDownload = [&bitmap](const QString& saved) { bitmap = saved; };
    dialog.canDownload = commands_.downloadScreen->isEnabled();
    dialog.exec();
    if (bitmap.isEmpty())
        return;
    OnFirstUse(downByteDlg_, prompts_, app_.link->Port()).filePath = bitmap;
    OnDownloadScreen();
}

QString CMainFrame::OnCompileCurrent() {
    CTarvexDoc& document = *app_.document;
    // The object goes beside the program file, so the program must have one, saved.
    if ((document.pathName.isEmpty() || document.IsModified()) && !document.SaveModified())
        return {};
    if (document.pathName.isEmpty())
        return {};
    const QFileInfo program(document.pathName);
    const QString object = program.dir().filePath(program.completeBaseName() + ".kxo");
    const std::filesystem::path target(object.toStdU16String());
    if (fileio::SameFile(std::filesystem::path(document.pathName.toStdU16String()), target)) {
        prompts_.Message(msg::QText(Id::OutputIsInput, {object}));
        return {};
    }
    const QByteArray text = view_->WholeText();
    messagePane->setText(Ui(Id::CompileRunning));
    const compiler::CompileResult result = compiler::CompileAside(text, target);
    ShowReady();
    const QString message =
        QString::fromStdString(compiler::CompileMessage(result, object.toStdString()));
    LogCompile(document.title, result, message);
    if (result.outcome == compiler::CompileOutcome::Compiled)
        return object;
    prompts_.Message(message);
    ShowCompileFault(result);
    return {};
}

void CMainFrame::OnCompileAndDownload() {
    const QString object = OnCompileCurrent();
    if (object.isEmpty())
        return;
    ctrl::Link& link = *app_.link;
    if (link.IsEnabled(ctrl::LinkCommand::DownloadProgram)) {
        OpenProgramDownload(object);
        return;
    }
    // Not connected: the remembered port first; the download opens once the controller answers.
    pendingDownload_ = object;
    messagePane->setText(msg::QText(Id::StatusConnectingForDownload, {link.PortShown()}));
    documentStatusRevision_ = -1;
    if (link.State() != ctrl::Link::LineState::Connecting)
        link.Connect();
}

void CMainFrame::ConnectedForDownload() {
    const QString object = std::exchange(pendingDownload_, QString());
    ShowReady();
    if (!object.isEmpty() && app_.link->IsEnabled(ctrl::LinkCommand::DownloadProgram))
        OpenProgramDownload(object);
}

// The message box says why in full; the status bar keeps its first line.
void CMainFrame::ConnectFailedForDownload(const QString& why) {
    if (pendingDownload_.isEmpty())
        return;
    pendingDownload_.clear();
    messagePane->setText(msg::QText(Id::StatusDownloadFailed, {why.section(u'\n', 0, 0)}));
}

void CMainFrame::OpenProgramDownload(const QString& object) {
    CDownProDlg& dialog = DownloadDialog(downProDlg_);
    dialog.filePath = object;
    dialog.exec();
}

void CMainFrame::LogCompile(const QString& source, const compiler::CompileResult& result,
                            const QString& message) {
    // Records are counted only where an object program was written.
    const bool written = result.outcome == compiler::CompileOutcome::Compiled ||
                         result.outcome == compiler::CompileOutcome::MissingEnd;
    app_.log.Add(
        written ? msg::QText(Id::LogCompile, {source, message, QString::number(result.records)})
                : msg::QText(Id::LogCompileNoObject, {source, message}));
    ShowDocumentStatus(message);
}

// The details go to the log and the ledger; the status bar has room for the outcome only.
void CMainFrame::RecordDownload(const ctrl::DownloadRecord& record) {
    app_.log.Add(ctrl::LogLine(record));
    messagePane->setText(ctrl::StatusLine(record));
    documentStatusRevision_ = -1;
    if (ctrl::AppendToLedger(record, app_.ledgerPath)) {
        const QString failure = msg::QText(Id::LedgerNotWritten, {app_.ledgerPath});
        app_.log.Add(failure);
        messagePane->setText(failure);
    }
}

void CMainFrame::OnInfoWindow() {
    if (!messageDlg_) {
        messageDlg_ = std::make_unique<CMessageDlg>(app_.log, prompts_);
        connect(messageDlg_.get(), &QDialog::finished, commands_.infoWindow,
                [this] { commands_.infoWindow->setEnabled(true); });
    }
    if (messageDlg_->openFlag)
        return;
    commands_.infoWindow->setEnabled(false);
    messageDlg_->Open(view_, view_->mapToGlobal(QPoint(0, 0)));
}

bool CMainFrame::event(QEvent* event) {
    if (event->type() == QEvent::Show && !placedShown_) {
        placedShown_ = true;
        PlaceOnScreen();
    }
    // Menus set the message pane themselves; the toolbar's fly-by prompts come this way.
    if (event->type() == QEvent::StatusTip) {
        if (!QApplication::activePopupWidget() && messagePane) {
            const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
            messagePane->setText(tip.isEmpty() ? Ui(Id::StatusReady) : tip);
        }
        return true;
    }
    return QMainWindow::event(event);
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    CSplashWnd::FilterSplashMessage(event);
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape &&
        (watched == menuBar() || popups.contains(qobject_cast<QMenu*>(watched))))
        LeaveMenuBarLater();
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        nativeLockState_ = static_cast<QKeyEvent*>(event)->nativeModifiers();
        UpdateLockPanes();
    } else if (event->type() == QEvent::ApplicationActivate) {
        // A lock may have changed while another program had the keyboard.
        UpdateLockPanes();
    }
    // Menus do not highlight disabled items, but their prompts still show ("载入(L)...").
    if (event->type() == QEvent::MouseMove) {
        auto* menu = qobject_cast<QMenu*>(watched);
        if (menu && popups.contains(menu)) {
            const QAction* action =
                menu->actionAt(static_cast<QMouseEvent*>(event)->position().toPoint());
            if (action && !action->isEnabled() && !action->isSeparator())
                messagePane->setText(action->statusTip());
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// Esc out of a menu leaves the bar waiting for a menu letter; typing is meant for the editor.
void CMainFrame::LeaveMenuBarLater() {
    QTimer::singleShot(0, this, [this] {
        if (view_ && menuBar()->hasFocus() && !QApplication::activePopupWidget())
            view_->setFocus(Qt::OtherFocusReason);
    });
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    // Locked while a download runs on: closing now would cut the transfer off mid-frame.
    if (!isEnabled()) {
        event->ignore();
        return;
    }
    if (!app_.document->SaveModified()) {
        event->ignore();
        return;
    }
    // The register table is modeless: its unsaved values would go with the application.
    if (registerTableWnd_ && registerTableWnd_->isVisible() && !registerTableWnd_->AskToSave()) {
        event->ignore();
        return;
    }
    event->accept();
    SaveLayout();
    app_.SaveProfile();
    emit Closed();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    }
    event->acceptProposedAction();
    OpenDroppedLater(paths);
}

// Opened once the drop is over: a save question asked inside it would hold the drag source.
void CMainFrame::OpenDroppedLater(const QStringList& paths) {
    QTimer::singleShot(0, this, [this, paths] { app_.OpenDroppedFiles(paths); });
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
        problemsDock->setVisible(shown);
        // From the keyboard: the list takes the focus, Enter goes to a problem.
        if (shown)
            problemsDock->widget()->setFocus();
    })->setCheckable(true);
    c.problems->setChecked(true);
    AddCommand(view, c.wireMonitor, Ui(Id::WireMonitorMenu), Ui(Id::WireMonitorMenuTip),
               [this](bool shown) {
                   // The lines want the window's width: first shown, it shares the problems'
                   // place as a tab.
                   if (shown && problemsDock && !wireMonitorDock->isFloating() &&
                       tabifiedDockWidgets(problemsDock).isEmpty())
                       tabifyDockWidget(problemsDock, wireMonitorDock);
                   wireMonitorDock->setVisible(shown);
                   if (shown)
                       wireMonitorDock->raise();
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

void CMainFrame::AttachEditorParts() {
    problemsDock = new CProblemsDock(this);
    problemsDock->setAllowedAreas(Qt::BottomDockWidgetArea | Qt::TopDockWidgetArea);
    addDockWidget(Qt::BottomDockWidgetArea, problemsDock);
    resizeDocks({problemsDock}, {height() / 5}, Qt::Vertical);
    connect(problemsDock, &QDockWidget::visibilityChanged, commands_.problems,
            &QAction::setChecked);
    connect(problemsDock, &CProblemsDock::LineChosen, view_, [this](int line) {
        view_->GoToLine(line);
        view_->setFocus();
    });
    const CLiveCheck& check = view_->LiveCheck();
    connect(&check, &CLiveCheck::Checked, problemsDock,
            [this, &check] { problemsDock->Show(check, *view_->document()); });
    connect(view_, &CTarvexView::OperandHintChanged, this, [this](const QString& hint) {
        hintPane->setText(hint);
        hintPane->setVisible(!hint.isEmpty());
    });
    connect(view_, &CTarvexView::StatusMessage, this, &CMainFrame::ShowDocumentStatus);
    connect(view_->document(), &QTextDocument::contentsChanged, this,
            &CMainFrame::OnDocumentTextChanged);
    if (app_.document) {
        CTarvexDoc* document = app_.document.get();
        connect(document, &CTarvexDoc::ModifiedChanged, this,
                [this] { OnUpdateFrameTitle(app_.document->title); });
        connect(document, &CTarvexDoc::EncodingChecked, encodingBar, &QWidget::setVisible);
        connect(encodingBar, &CEncodingBar::OpenAsUtf8Chosen, document, &CTarvexDoc::OpenAsUtf8);
    }
}

CFindDlg& CMainFrame::FindDialog() {
    if (!findDlg_)
        findDlg_ = new CFindDlg(*view_, this);
    return *findDlg_;
}

void CMainFrame::OnGoToLine() {
    const int lines = view_->document()->blockCount();
    QInputDialog ask(this);
    ask.setObjectName(QStringLiteral("goToLineDialog"));
    ask.setWindowTitle(Ui(Id::GoToCaption));
    ask.setLabelText(msg::QText(Id::GoToLabel, {QString::number(lines)}));
    ask.setInputMode(QInputDialog::IntInput);
    ask.setIntRange(1, lines);
    ask.setIntValue(view_->textCursor().blockNumber() + 1);
    if (ask.exec() == QDialog::Accepted) {
        view_->GoToLine(ask.intValue());
        view_->setFocus();
    }
}

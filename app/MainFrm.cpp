#include "app/MainFrm.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPixmap>
#include <QScreen>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

#include "app/Commands.h"
#include "app/Splash.h"
#include "app/Tarvex.h"
#include "app/TarvexDoc.h"
#include "app/TarvexView.h"

namespace {

constexpr int kLinePaneWidth = 80;
constexpr int kIdleUpdateMs = 200;
// X11 modifier bits of a key event's native state.
constexpr quint32 kX11CapsLock = 0x02;
constexpr quint32 kX11NumLock = 0x10;

QKeySequence Keys(QKeyCombination key) {
    return QKeySequence(key);
}

}  // namespace

CMainFrame::CMainFrame(CTarvexApp& app) : QMainWindow(nullptr), app_(app) {
    setObjectName(QStringLiteral("mainFrame"));
    setWindowIcon(QIcon(QStringLiteral(":/res/tarvex.png")));
    setAcceptDrops(true);
    resize(800, 600);
}

CMainFrame::~CMainFrame() {
    qApp->removeEventFilter(this);
}

bool CMainFrame::OnCreate() {
    BuildMenus();
    if (!BuildToolBar()) {
        qWarning("Failed to create toolbar\n");
        return false;
    }
    if (!BuildStatusBar()) {
        qWarning("Failed to create status bar\n");
        return false;
    }
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    qApp->installEventFilter(this);
    idleTimer_ = new QTimer(this);
    connect(idleTimer_, &QTimer::timeout, this, &CMainFrame::UpdateCommandUI);
    idleTimer_->start(kIdleUpdateMs);
    CSplashWnd::ShowSplash(this);
    return true;
}

QAction* CMainFrame::AddCommand(QMenu* menu, int id, const QString& text, const QString& prompt) {
    auto* action = new QAction(text, this);
    action->setData(id);
    action->setStatusTip(prompt);
    action->setToolTip(QString());
    actions_.insert(id, action);
    connect(action, &QAction::triggered, this, [this, id] { Route(id); });
    if (menu)
        menu->addAction(action);
    return action;
}

void CMainFrame::BuildMenus() {
    auto popup = [this](const QString& title) {
        QMenu* menu = menuBar()->addMenu(title);
        popups.append(menu);
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUI);
        // The prompt shows for disabled items too, and commands without one clear the pane.
        connect(menu, &QMenu::hovered, this,
                [this](QAction* action) { messagePane->setText(action->statusTip()); });
        connect(menu, &QMenu::aboutToHide, this, [this] { messagePane->setText(kReady); });
        return menu;
    };

    QMenu* file = popup(QStringLiteral("文件(&F)"));
    AddCommand(file, cmd::FileNew, QStringLiteral("新建(&N)\tCtrl+N"), QStringLiteral("建立新文档"))
        ->setShortcut(Keys(Qt::CTRL | Qt::Key_N));
    AddCommand(file, cmd::FileOpen, QStringLiteral("打开(&O)...\tCtrl+O"),
               QStringLiteral("打开一个现有文档"))
        ->setShortcut(Keys(Qt::CTRL | Qt::Key_O));
    AddCommand(file, cmd::FileSave, QStringLiteral("保存(&S)\tCtrl+S"),
               QStringLiteral("保存活动文档"))
        ->setShortcut(Keys(Qt::CTRL | Qt::Key_S));
    AddCommand(file, cmd::FileSaveAs, QStringLiteral("另存为(&A)..."),
               QStringLiteral("将活动文档以一个新文件名保存"));
    file->addSeparator();
    AddCommand(file, cmd::FileLoadCut, QStringLiteral("载入(L)..."),
               QStringLiteral("载入*.cut文件"));
    file->addSeparator();
    AddCommand(file, cmd::FilePrint, QStringLiteral("打印(&P)...\tCtrl+P"),
               QStringLiteral("打印活动文档"))
        ->setShortcut(Keys(Qt::CTRL | Qt::Key_P));
    AddCommand(file, cmd::FilePrintPreview, QStringLiteral("打印预览(&V)"),
               QStringLiteral("显示整页"));
    AddCommand(file, cmd::FilePrintSetup, QStringLiteral("打印设置(&R)..."),
               QStringLiteral("改变打印机及打印选项"));
    file->addSeparator();
    recentPlaceholder_ = new QAction(QStringLiteral("最近文件"), this);
    recentPlaceholder_->setEnabled(false);
    recentPlaceholder_->setStatusTip(QStringLiteral("打开该文档"));
    file->addAction(recentPlaceholder_);
    for (int i = 0; i < cmd::kRecentFileCount; ++i) {
        QAction* recent =
            AddCommand(nullptr, cmd::FileMru1 + i, QString(), QStringLiteral("打开该文档"));
        recentFileActions.append(recent);
    }
    exitSeparator_ = file->addSeparator();
    AddCommand(file, cmd::AppExit, QStringLiteral("退出(&X)"),
               QStringLiteral("退出应用程序；提示保存文档"));

    QMenu* edit = popup(QStringLiteral("编辑(&E)"));
    AddCommand(edit, cmd::EditUndo, QStringLiteral("撤消(&U)\tCtrl+Z"),
               QStringLiteral("撤消最后一步操作"))
        ->setShortcuts({Keys(Qt::CTRL | Qt::Key_Z), Keys(Qt::ALT | Qt::Key_Backspace)});
    edit->addSeparator();
    AddCommand(edit, cmd::EditCut, QStringLiteral("剪切(&T)\tCtrl+X"),
               QStringLiteral("剪切被选对象并将其置于剪贴板上"))
        ->setShortcuts({Keys(Qt::CTRL | Qt::Key_X), Keys(Qt::SHIFT | Qt::Key_Delete)});
    AddCommand(edit, cmd::EditCopy, QStringLiteral("复制(&C)\tCtrl+C"),
               QStringLiteral("复制被选对象并将其置于剪贴板上"))
        ->setShortcuts({Keys(Qt::CTRL | Qt::Key_C), Keys(Qt::CTRL | Qt::Key_Insert)});
    AddCommand(edit, cmd::EditPaste, QStringLiteral("粘贴(&P)\tCtrl+V"),
               QStringLiteral("插入剪贴板内容"))
        ->setShortcuts({Keys(Qt::CTRL | Qt::Key_V), Keys(Qt::SHIFT | Qt::Key_Insert)});

    QMenu* tools = popup(QStringLiteral("工具(&T)"));
    AddCommand(tools, cmd::ToolsCompile, QStringLiteral("程序编译\tF8"))
        ->setShortcut(Keys(Qt::Key_F8));
    AddCommand(tools, cmd::ToolsRegisters, QStringLiteral("寄存器设置"));
    // Nothing in the menus, keys or toolbar sends this command.
    AddCommand(nullptr, cmd::ToolsCharacters, QString());

    QMenu* link = popup(QStringLiteral("控制器会话(&L)"));
    AddCommand(link, cmd::LinkSerial, QStringLiteral("串口设置"));
    AddCommand(link, cmd::LinkConnect, QStringLiteral("连接控制器"));
    AddCommand(link, cmd::LinkDownloadProgram, QStringLiteral("下载程序"));
    AddCommand(link, cmd::LinkDownloadParams, QStringLiteral("下载参数"));
    AddCommand(link, cmd::LinkDownloadScreen, QStringLiteral("下载液晶画面"));
    AddCommand(link, cmd::LinkDisconnect, QStringLiteral("断开连接"));

    QMenu* view = popup(QStringLiteral("查看(&V)"));
    AddCommand(view, cmd::ViewToolbar, QStringLiteral("工具栏(&T)"),
               QStringLiteral("显示或隐藏工具栏"))
        ->setCheckable(true);
    AddCommand(view, cmd::ViewStatusBar, QStringLiteral("状态栏(&S)"),
               QStringLiteral("显示或隐藏状态栏"))
        ->setCheckable(true);
    AddCommand(view, cmd::ViewInfoWindow, QStringLiteral("信息窗口"));

    QMenu* help = popup(QStringLiteral("帮助(&H)"));
    AddCommand(help, cmd::AppAbout, QStringLiteral("关于 Tarvex620B..."),
               QStringLiteral("显示程序信息，版本号和版权"));

    // Keys of the main window work whichever widget has the focus.
    for (QAction* action : std::as_const(actions_)) {
        if (!action->shortcuts().isEmpty())
            addAction(action);
    }
}

bool CMainFrame::BuildToolBar() {
    toolBar = new QToolBar(QStringLiteral("标准"), this);
    toolBar->setObjectName(QStringLiteral("toolBar"));
    toolBar->setMovable(true);
    toolBar->setFloatable(true);
    toolBar->setAllowedAreas(Qt::AllToolBarAreas);
    toolBar->setIconSize(QSize(16, 15));
    const QPixmap strip(QStringLiteral(":/res/toolbar.png"));
    struct Button {
        int id;
        const char16_t* tip;
    };
    const Button buttons[] = {{cmd::FileNew, u"新建"},   {cmd::FileOpen, u"打开"},
                              {cmd::FileSave, u"保存"},  {0, nullptr},
                              {cmd::EditCut, u"剪切"},   {cmd::EditCopy, u"复制"},
                              {cmd::EditPaste, u"粘贴"}, {0, nullptr},
                              {cmd::FilePrint, u"打印"}, {0, nullptr},
                              {cmd::AppAbout, u"关于"}};
    int picture = 0;
    for (const Button& b : buttons) {
        if (b.id == 0) {
            toolBar->addSeparator();
            continue;
        }
        QAction* action = Action(b.id);
        action->setIcon(QIcon(strip.copy(picture * 16, 0, 16, 15)));
        action->setToolTip(QString::fromUtf16(b.tip));
        toolBar->addAction(action);
        ++picture;
    }
    addToolBar(Qt::TopToolBarArea, toolBar);
    return true;
}

bool CMainFrame::BuildStatusBar() {
    QStatusBar* bar = statusBar();
    messagePane = new QLabel(kReady, bar);
    messagePane->setObjectName(QStringLiteral("messagePane"));
    bar->addWidget(messagePane, 1);
    linePane = new QLabel(QStringLiteral("行号： 1"), bar);
    linePane->setObjectName(QStringLiteral("linePane"));
    linePane->setFixedWidth(kLinePaneWidth);
    bar->addPermanentWidget(linePane);
    const QString lockTexts[] = {QStringLiteral("大写"), QStringLiteral("数字"),
                                 QStringLiteral("滚动")};
    QLabel** panes[] = {&capsPane, &numPane, &scrollPane};
    for (int i = 0; i < 3; ++i) {
        auto* pane = new QLabel(bar);
        pane->setFixedWidth(pane->fontMetrics().horizontalAdvance(lockTexts[i]) + 8);
        pane->setProperty("lockText", lockTexts[i]);
        bar->addPermanentWidget(pane);
        *panes[i] = pane;
    }
    return true;
}

void CMainFrame::AttachView(CTarvexView* view) {
    view_ = view;
    setCentralWidget(view);
    connect(view, &CTarvexView::LineIndicatorChanged, this, &CMainFrame::SetLineText);
    connect(view, &CTarvexView::FilesDropped, this, &CMainFrame::OpenDroppedLater);
    connect(view, &QPlainTextEdit::undoAvailable, this, &CMainFrame::UpdateCommandUI);
    connect(view, &QPlainTextEdit::copyAvailable, this, &CMainFrame::UpdateCommandUI);
    // Asking the clipboard can mean a round trip to another program: ask only when it changes.
    auto clipboardChanged = [this] {
        clipboardHasText_ = view_->canPaste();
        UpdateCommandUI();
    };
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, clipboardChanged);
    clipboardChanged();
}

void CMainFrame::SetLineText(const QString& text) {
    linePane->setText(text);
    linePane->repaint();
}

void CMainFrame::OnUpdateFrameTitle(const QString& documentTitle) {
    setWindowTitle(documentTitle + QStringLiteral(" - ") + kWindowTitle);
}

void CMainFrame::ShowRecentFiles(const QStringList& paths) {
    QMenu* file = popups.value(0);
    for (QAction* action : std::as_const(recentFileActions))
        file->removeAction(action);
    file->removeAction(recentPlaceholder_);
    if (paths.isEmpty()) {
        file->insertAction(exitSeparator_, recentPlaceholder_);
        return;
    }
    for (int i = 0; i < paths.size() && i < recentFileActions.size(); ++i) {
        QAction* action = recentFileActions[i];
        action->setText(
            QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(paths[i])));
        file->insertAction(exitSeparator_, action);
    }
}

void CMainFrame::UpdateCommandUI() {
    if (!view_)
        return;
    const bool selection = view_->textCursor().hasSelection();
    Action(cmd::EditUndo)->setEnabled(view_->document()->isUndoAvailable());
    Action(cmd::EditCut)->setEnabled(selection);
    Action(cmd::EditCopy)->setEnabled(selection);
    Action(cmd::EditPaste)->setEnabled(clipboardHasText_);
    Action(cmd::FileLoadCut)->setEnabled(view_->CanLoadCut());
    const std::pair<int, ctrl::LinkCommand> link[] = {
        {cmd::LinkSerial, ctrl::LinkCommand::Serial},
        {cmd::LinkConnect, ctrl::LinkCommand::Connect},
        {cmd::LinkDownloadProgram, ctrl::LinkCommand::DownloadProgram},
        {cmd::LinkDownloadParams, ctrl::LinkCommand::DownloadParams},
        {cmd::LinkDownloadScreen, ctrl::LinkCommand::DownloadScreen},
        {cmd::LinkDisconnect, ctrl::LinkCommand::Disconnect},
    };
    for (const auto& [id, command] : link)
        Action(id)->setEnabled(view_->IsEnabled(command));
    Action(cmd::ViewInfoWindow)->setEnabled(view_->CanOpenInfoWindow());
    Action(cmd::ViewToolbar)->setChecked(!toolBar->isHidden());
    Action(cmd::ViewStatusBar)->setChecked(!statusBar()->isHidden());
    UpdateLockPanes();
}

void CMainFrame::UpdateLockPanes() {
    bool caps = false, num = false, scroll = false;
#ifdef Q_OS_WIN
    caps = GetKeyState(VK_CAPITAL) & 1;
    num = GetKeyState(VK_NUMLOCK) & 1;
    scroll = GetKeyState(VK_SCROLL) & 1;
#else
    // X11 tells the lock state only with key events, and never the Scroll Lock.
    caps = nativeLockState_ & kX11CapsLock;
    num = nativeLockState_ & kX11NumLock;
#endif
    const std::pair<QLabel*, bool> panes[] = {
        {capsPane, caps}, {numPane, num}, {scrollPane, scroll}};
    for (const auto& [pane, on] : panes)
        pane->setText(on ? pane->property("lockText").toString() : QString());
}

void CMainFrame::Route(int id) {
    switch (id) {
        case cmd::FileNew:
            app_.OnFileNew();
            break;
        case cmd::FileOpen:
            app_.OnFileOpen();
            break;
        case cmd::FileSave:
            app_.document->DoFileSave();
            break;
        case cmd::FileSaveAs:
            app_.document->DoSave(QString());
            break;
        case cmd::FileLoadCut:
            view_->OnLoadCut();
            break;
        case cmd::FilePrint:
            app_.OnFilePrint();
            break;
        case cmd::FilePrintPreview:
            app_.OnFilePrintPreview();
            break;
        case cmd::FilePrintSetup:
            app_.OnFilePrintSetup();
            break;
        case cmd::AppExit:
            close();
            break;
        case cmd::EditUndo:
            view_->undo();
            break;
        case cmd::EditCut:
            view_->cut();
            break;
        case cmd::EditCopy:
            view_->copy();
            break;
        case cmd::EditPaste:
            view_->paste();
            break;
        case cmd::ToolsCompile:
            view_->OnCompile();
            break;
        case cmd::ToolsRegisters:
            view_->OnRegisters();
            break;
        case cmd::ToolsCharacters:
            view_->OnCharacters();
            break;
        case cmd::LinkSerial:
            view_->OnSerialSettings();
            break;
        case cmd::LinkConnect:
            view_->OnConnect();
            break;
        case cmd::LinkDownloadProgram:
            view_->OnDownloadProgram();
            break;
        case cmd::LinkDownloadParams:
            view_->OnDownloadParams();
            break;
        case cmd::LinkDownloadScreen:
            view_->OnDownloadScreen();
            break;
        case cmd::LinkDisconnect:
            view_->OnDisconnect();
            break;
        case cmd::ViewToolbar:
            toolBar->setVisible(toolBar->isHidden());
            break;
        case cmd::ViewStatusBar:
            statusBar()->setVisible(statusBar()->isHidden());
            break;
        case cmd::ViewInfoWindow:
            view_->OnInfoWindow();
            break;
        case cmd::AppAbout:
            app_.OnAppAbout();
            break;
        default:
            if (id >= cmd::FileMru1 && id < cmd::FileMru1 + cmd::kRecentFileCount)
                app_.OnOpenRecentFile(id - cmd::FileMru1);
            break;
    }
    UpdateCommandUI();
}

bool CMainFrame::event(QEvent* event) {
    // Menus set the message pane themselves; the toolbar's fly-by prompts come this way.
    if (event->type() == QEvent::StatusTip) {
        if (!QApplication::activePopupWidget() && messagePane) {
            const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
            messagePane->setText(tip.isEmpty() ? kReady : tip);
        }
        return true;
    }
    return QMainWindow::event(event);
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    if (CSplashWnd::FilterSplashMessage(event))
        return true;
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)
        nativeLockState_ = static_cast<QKeyEvent*>(event)->nativeModifiers();
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
    event->accept();
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

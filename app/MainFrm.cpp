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
#include "app/MainFrmParts.h"
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
#include "station/RecordsWindow.h"
#include "station/StationSetupDlg.h"
#include "station/StationWindow.h"
#include "ui/Prompts.h"
#include "ui/ScreenFit.h"

namespace {

using frame::Ui;
using msg::Id;

constexpr int kLinePaneWidth = 80;

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
    connect(app_.link.get(), &ctrl::Link::ReconnectOfferChanged, reconnectButton_,
            &QWidget::setVisible);
    connect(reconnectButton_, &QPushButton::clicked, app_.link.get(), &ctrl::Link::Reconnect);
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

void CMainFrame::BuildStatusBar() {
    QStatusBar* bar = statusBar();
    messagePane_ = new QLabel(Ui(Id::StatusReady), bar);
    messagePane_->setObjectName(QStringLiteral("messagePane"));
    // A long message is cut at its end rather than pushing the panes off the bar.
    messagePane_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    bar->addWidget(messagePane_, 3);
    hintPane_ = new QLabel(bar);
    hintPane_->setObjectName(QStringLiteral("hintPane"));
    // The hint yields to the message: an outcome must stay readable on a narrow window.
    hintPane_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    bar->addWidget(hintPane_, 2);
    hintPane_->hide();
    linePane_ = new QLabel(msg::QText(Id::StatusLine, {QStringLiteral("1")}), bar);
    linePane_->setObjectName(QStringLiteral("linePane"));
    linePane_->setFixedWidth(kLinePaneWidth);
    bar->addPermanentWidget(linePane_);
    connectionPane_ = new QLabel(bar);
    connectionPane_->setObjectName(QStringLiteral("connectionPane"));
    bar->addPermanentWidget(connectionPane_);
    reconnectButton_ = new QPushButton(msg::QText(Id::LinkReconnectOffer), bar);
    reconnectButton_->setObjectName(QStringLiteral("reconnectButton"));
    reconnectButton_->hide();
    bar->addPermanentWidget(reconnectButton_);
    const Id lockTexts[] = {Id::StatusCaps, Id::StatusNum, Id::StatusScroll};
    QLabel** panes[] = {&capsPane_, &numPane_, &scrollPane_};
    const char* names[] = {"capsPane", "numPane", "scrollPane"};
    for (int i = 0; i < 3; ++i) {
        auto* pane = new QLabel(bar);
        pane->setObjectName(QLatin1String(names[i]));
        const QString text = Ui(lockTexts[i]);
        pane->setFixedWidth(pane->fontMetrics().horizontalAdvance(text) + 8);
        pane->setProperty("lockText", text);
        bar->addPermanentWidget(pane);
        *panes[i] = pane;
    }
    UpdateLockPanes();
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
    messagePane_->setText(Ui(Id::StatusReady));
}

void CMainFrame::ShowDocumentStatus(const QString& text) {
    messagePane_->setText(text);
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
    messagePane_->setText(sessionEnded ? Ui(Id::StatusReconnectNeeded) : Ui(Id::StatusReady));
}

void CMainFrame::AttachView(CTarvexView* view) {
    view_ = view;
    auto* middle = new QWidget(this);
    auto* column = new QVBoxLayout(middle);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    encodingBar_ = new CEncodingBar(middle);
    column->addWidget(encodingBar_);
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
    wireMonitorDock_ = new CWireMonitorDock(app_.link->Port(), prompts_, this);
    wireMonitorDock_->setAllowedAreas(Qt::BottomDockWidgetArea | Qt::TopDockWidgetArea |
                                      Qt::RightDockWidgetArea);
    addDockWidget(Qt::BottomDockWidgetArea, wireMonitorDock_);
    wireMonitorDock_->hide();
    connect(wireMonitorDock_, &QDockWidget::visibilityChanged, commands_.wireMonitor,
            &QAction::setChecked);
    // Before the handshake goes out, so the first line of a session is at +0000.000.
    connect(app_.link.get(), &ctrl::Link::ConnectStarting, wireMonitorDock_,
            &CWireMonitorDock::Restart);
}

void CMainFrame::SetLineText(const QString& text) {
    linePane_->setText(text);
    linePane_->repaint();
}

void CMainFrame::OnUpdateFrameTitle(const QString& documentTitle) {
    const bool modified = app_.document && app_.document->IsModified();
    setWindowTitle(
        msg::QText(modified ? Id::WindowTitleModified : Id::WindowTitle, {documentTitle}));
}

void CMainFrame::UpdateConnectionPane() {
    using State = ctrl::Link::LineState;
    const ctrl::Link& link = *app_.link;
    const State state = link.State();
    const Id stateText = state == State::Connected         ? Id::LinkStateConnected
                         : state == State::Connecting      ? Id::LinkStateConnecting
                         : state == State::ReconnectNeeded ? Id::LinkStateReconnect
                                                           : Id::LinkStateDisconnected;
    connectionPane_->setText(
        msg::QText(Id::LinkStatusPane, {link.PortShown(), link.BaudText(), msg::QText(stateText)}));
    QAction* toggle = commands_.connectToggle;
    if (!toggle)
        return;
    toggle->setText(link.PortShown() + u' ' + msg::QText(stateText));
    toggle->setChecked(state == State::Connected);
    // Green while the controller answers; the colours of the desktop otherwise.
    if (QWidget* button = linkBar_->widgetForAction(toggle))
        button->setStyleSheet(
            state == State::Connected
                ? QStringLiteral("QToolButton { background: #2e7d32; color: white; }")
                : QString());
}

void CMainFrame::UpdateLockPanes() {
    const LockKeys locks = ReadLockKeys(nativeLockState_);
    const auto [caps, num, scroll] = locks;
    const std::pair<QLabel*, bool> panes[] = {
        {capsPane_, caps}, {numPane_, num}, {scrollPane_, scroll}};
    for (const auto& [pane, on] : panes)
        pane->setText(on ? pane->property("lockText").toString() : QString());
}

bool CMainFrame::event(QEvent* event) {
    if (event->type() == QEvent::Show && !placedShown_) {
        placedShown_ = true;
        PlaceOnScreen();
    }
    // Menus set the message pane themselves; the toolbar's fly-by prompts come this way.
    if (event->type() == QEvent::StatusTip) {
        if (!QApplication::activePopupWidget() && messagePane_) {
            const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
            messagePane_->setText(tip.isEmpty() ? Ui(Id::StatusReady) : tip);
        }
        return true;
    }
    return QMainWindow::event(event);
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    CSplashWnd::FilterSplashMessage(event);
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape &&
        (watched == menuBar() || popups_.contains(qobject_cast<QMenu*>(watched))))
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
        if (menu && popups_.contains(menu)) {
            const QAction* action =
                menu->actionAt(static_cast<QMouseEvent*>(event)->position().toPoint());
            if (action && !action->isEnabled() && !action->isSeparator())
                messagePane_->setText(action->statusTip());
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

void CMainFrame::AttachEditorParts() {
    problemsDock_ = new CProblemsDock(this);
    problemsDock_->setAllowedAreas(Qt::BottomDockWidgetArea | Qt::TopDockWidgetArea);
    addDockWidget(Qt::BottomDockWidgetArea, problemsDock_);
    resizeDocks({problemsDock_}, {height() / 5}, Qt::Vertical);
    connect(problemsDock_, &QDockWidget::visibilityChanged, commands_.problems,
            &QAction::setChecked);
    connect(problemsDock_, &CProblemsDock::LineChosen, view_, [this](int line) {
        view_->GoToLine(line);
        view_->setFocus();
    });
    const CLiveCheck& check = view_->LiveCheck();
    connect(&check, &CLiveCheck::Checked, problemsDock_,
            [this, &check] { problemsDock_->Show(check, *view_->document()); });
    connect(view_, &CTarvexView::OperandHintChanged, this, [this](const QString& hint) {
        hintPane_->setText(hint);
        hintPane_->setVisible(!hint.isEmpty());
    });
    connect(view_, &CTarvexView::StatusMessage, this, &CMainFrame::ShowDocumentStatus);
    connect(view_->document(), &QTextDocument::contentsChanged, this,
            &CMainFrame::OnDocumentTextChanged);
    if (app_.document) {
        CTarvexDoc* document = app_.document.get();
        connect(document, &CTarvexDoc::ModifiedChanged, this,
                [this] { OnUpdateFrameTitle(app_.document->title); });
        connect(document, &CTarvexDoc::EncodingChecked, encodingBar_, &QWidget::setVisible);
        connect(encodingBar_, &CEncodingBar::OpenAsUtf8Chosen, document, &CTarvexDoc::OpenAsUtf8);
    }
}

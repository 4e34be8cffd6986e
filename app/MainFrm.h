#pragma once

#include <memory>

#include <QList>
#include <QMainWindow>
#include <QRect>
#include <QStringList>

#include "common/Messages.h"

class QLabel;
class QMenu;
class QPushButton;
class QToolBar;
class CTarvexApp;
class CTarvexView;
class CLoadCutDlg;
class CSetParDlg;
class CRegisterTableWnd;
class CMessageDlg;
namespace compiler {
struct CompileResult;
}
namespace ctrl {
struct DownloadRecord;
}
class CDownByteDlg;
class CDownParDlg;
class CSetByteDlg;
class CDownProDlg;
class CSetSeriesDlg;
class CTranslateDlg;
class CProblemsDock;
class CEncodingBar;
class CWireMonitorDock;
class CFindDlg;

namespace ui {
class Prompts;
}

// Where the first window goes: `wanted` shrunk to fit `available`, centred inside it.
QRect FirstWindowGeometry(const QSize& wanted, const QRect& available);

// The main window: menus, toolbar, status bar and the editor view in the middle. It runs the
// commands of the tools, the link and the view; their dialogs are made on first use.
class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    static constexpr QSize kFirstSize{800, 600};

    CMainFrame(CTarvexApp& app, ui::Prompts& prompts);
    ~CMainFrame() override;

    // Builds the bars, places the window on the screen and shows the splash.
    void OnCreate();
    void AttachView(CTarvexView* view);

    // Every command of the menus, keys and toolbar, each connected to its handler.
    struct Commands {
        QAction* fileNew = nullptr;
        QAction* fileOpen = nullptr;
        QAction* fileSave = nullptr;
        QAction* fileSaveAs = nullptr;
        QAction* loadCut = nullptr;
        QAction* print = nullptr;
        QAction* printPreview = nullptr;
        QAction* printSetup = nullptr;
        QList<QAction*> recentFiles;
        QAction* exit = nullptr;
        QAction* undo = nullptr;
        QAction* redo = nullptr;
        QAction* cut = nullptr;
        QAction* copy = nullptr;
        QAction* paste = nullptr;
        QAction* compile = nullptr;
        QAction* compileCurrent = nullptr;
        QAction* compileAndDownload = nullptr;
        QAction* registers = nullptr;
        QAction* registerTable = nullptr;
        QAction* pictureImport = nullptr;
        QAction* jobEditor = nullptr;
        QAction* station = nullptr;
        QAction* records = nullptr;
        // "显示字符设置": the display-character editor.
        QAction* characters = nullptr;
        QAction* serialSettings = nullptr;
        QAction* connect = nullptr;
        QAction* downloadProgram = nullptr;
        QAction* downloadParams = nullptr;
        QAction* downloadScreen = nullptr;
        QAction* disconnect = nullptr;
        // The link bar's button: connects when not connected, else disconnects (Ctrl+L).
        QAction* connectToggle = nullptr;
        QAction* toolbar = nullptr;
        QAction* statusBar = nullptr;
        QAction* infoWindow = nullptr;
        QAction* about = nullptr;
        // Program editor
        QAction* find = nullptr;
        QAction* replace = nullptr;
        QAction* findNext = nullptr;
        QAction* findPrevious = nullptr;
        QAction* goToLine = nullptr;
        QAction* nextProblem = nullptr;
        QAction* previousProblem = nullptr;
        QAction* problems = nullptr;
        QAction* zoomIn = nullptr;
        QAction* zoomOut = nullptr;
        QAction* zoomReset = nullptr;
        // The interface language: follow the system, Chinese, English.
        QAction* languageSystem = nullptr;
        QAction* languageChinese = nullptr;
        QAction* languageEnglish = nullptr;
        QAction* wireMonitor = nullptr;
    };
    const Commands& Actions() const { return commands_; }

    CFindDlg& FindDialog();

    void SetLineText(const QString& text);
    // Another document is shown: its messages go, and a session it ended is said to have ended.
    void OnDocumentReplaced(bool sessionEnded);
    void OnUpdateFrameTitle(const QString& documentTitle);
    void ShowRecentFiles(const QStringList& paths);

signals:
    void Closed();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    template <typename Handler>
    QAction* AddCommand(QMenu* menu, QAction*& slot, const QString& text, const QString& prompt,
                        Handler handler);
    // The menu bar: one popup per menu, in the bar's order.
    void BuildMenus();
    // A menu of the bar whose items show their prompts in the message pane.
    QMenu* AddPopup(msg::Id title);
    void BuildFileMenu();
    QMenu* BuildEditMenu();
    void BuildToolsMenu();
    void BuildLinkMenu();
    QMenu* BuildViewMenu();
    void BuildToolBar();
    void BuildStatusBar();
    void BuildLinkBar();
    void ShowReady();
    // A status message about the open document's text: it goes when the text changes.
    void ShowDocumentStatus(const QString& text);
    void OnDocumentTextChanged();
    // The first size and place: at most kFirstSize, centred in the available screen.
    void PlaceOnScreen();
    void RestoreLayout();
    void SaveLayout();
    void UpdateLockPanes();
    void UpdateLinkCommands();
    void UpdateConnectionPane();
    void OpenDroppedLater(const QStringList& paths);
    void LeaveMenuBarLater();

    void OnCompile();
    void OnRegisters();
    void OnRegisterTable();
    // A register save reached its file: the status bar and the log say so.
    void NoteRegistersSaved(const QString& note);
    void OnCharacters();
    void OnLoadCut();
    void OnSerialSettings();
    void OnDownloadProgram();
    void OnDownloadParams();
    void OnDownloadScreen();
    // Any picture into a screen bitmap, handed to the screen download while connected.
    void OnPictureImport();
    void OnStation();
    void OnRecords();
    void OnInfoWindow();
    // The one-key compile: the editor's text into FILE.kxo beside the saved FILE.kxc. The object
    // path when the compile reached END, else empty.
    QString OnCompileCurrent();
    void OnCompileAndDownload();
    void OnConnectToggle();
    // "下载程序" with `object` filled in.
    void OpenProgramDownload(const QString& object);
    // The download dialog, made on first use and set up as every download is: its run reports
    // to the log and the ledger, paced as the link says.
    template <typename Dialog>
    Dialog& DownloadDialog(std::unique_ptr<Dialog>& slot);
    // F5 waited for the connect: the download opens, or the status says why it did not.
    void ConnectedForDownload();
    void ConnectFailedForDownload(const QString& why);
    void LogCompile(const QString& source, const compiler::CompileResult& result,
                    const QString& message);
    void RecordDownload(const ctrl::DownloadRecord& record);
    // Program editor
    void BuildEditorMenus(QMenu* edit, QMenu* view);
    // "语言 / Language": the profile's choice, taking effect at the next start.
    void BuildLanguageMenu(QMenu* view);
    void AttachEditorParts();
    void AttachWireMonitor();
    void OnGoToLine();
    void ShowCompileFault(const compiler::CompileResult& result);

    CTarvexApp& app_;
    ui::Prompts& prompts_;
    CTarvexView* view_ = nullptr;
    Commands commands_;
    QAction* recentPlaceholder_ = nullptr;
    QAction* exitSeparator_ = nullptr;
    quint32 nativeLockState_ = 0;
    bool placedShown_ = false;
    // The object F5 compiled while the connect it started runs.
    QString pendingDownload_;
    // The document revision the status message belongs to; -1 when it belongs to none.
    int documentStatusRevision_ = -1;
    bool layoutRestored_ = false;

    std::unique_ptr<CLoadCutDlg> loadCutDlg_;
    std::unique_ptr<CSetParDlg> setParDlg_;
    std::unique_ptr<CRegisterTableWnd> registerTableWnd_;
    std::unique_ptr<CMessageDlg> messageDlg_;
    std::unique_ptr<CDownByteDlg> downByteDlg_;
    std::unique_ptr<CDownParDlg> downParDlg_;
    std::unique_ptr<CSetByteDlg> setByteDlg_;
    std::unique_ptr<CDownProDlg> downProDlg_;
    std::unique_ptr<CSetSeriesDlg> setSeriesDlg_;
    std::unique_ptr<CTranslateDlg> translateDlg_;
    CFindDlg* findDlg_ = nullptr;

    // Tests find these by their object names.
    QList<QMenu*> popups_;
    QToolBar* toolBar_ = nullptr;
    // The line to the controller: port and state, one click to connect or disconnect.
    QToolBar* linkBar_ = nullptr;
    QLabel* messagePane_ = nullptr;
    QLabel* linePane_ = nullptr;
    QLabel* capsPane_ = nullptr;
    QLabel* numPane_ = nullptr;
    QLabel* scrollPane_ = nullptr;
    // Program editor: what the caret line's mnemonic takes, and the live check's findings.
    QLabel* hintPane_ = nullptr;
    CProblemsDock* problemsDock_ = nullptr;
    // Above the editor when an opened file seems to be UTF-8.
    CEncodingBar* encodingBar_ = nullptr;
    // Every byte on the line, in the view menu's "串口监视".
    CWireMonitorDock* wireMonitorDock_ = nullptr;
    // Port, baud rate and whether the line is up.
    QLabel* connectionPane_ = nullptr;
    // Shown after a lost line once the device is back: one click connects again.
    QPushButton* reconnectButton_ = nullptr;
};

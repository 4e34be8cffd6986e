#pragma once

#include <QList>
#include <QMainWindow>
#include <QMap>
#include <QStringList>

class QLabel;
class QMenu;
class QTimer;
class QToolBar;
class CTarvexApp;
class CTarvexView;

// The main window: menus, toolbar, status bar and the editor view in the middle.
class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    static inline const QString kWindowTitle = QStringLiteral("Tarvex620B-KF");
    static inline const QString kReady = QStringLiteral("就绪");

    explicit CMainFrame(CTarvexApp& app);
    ~CMainFrame() override;

    // Builds the bars, centres the window and shows the splash; false when a bar failed.
    bool OnCreate();
    void AttachView(CTarvexView* view);

    QAction* Action(int id) const { return actions_.value(id); }
    QList<QMenu*> popups;
    QList<QAction*> recentFileActions;
    QToolBar* toolBar = nullptr;
    QLabel* messagePane = nullptr;
    QLabel* linePane = nullptr;
    QLabel* capsPane = nullptr;
    QLabel* numPane = nullptr;
    QLabel* scrollPane = nullptr;

    void SetLineText(const QString& text);
    void OnUpdateFrameTitle(const QString& documentTitle);
    // Enables, disables and checks every command as its rule says; run when a menu drops down
    // and while the application is idle.
    void UpdateCommandUI();
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
    QAction* AddCommand(QMenu* menu, int id, const QString& text, const QString& prompt = {});
    void BuildMenus();
    bool BuildToolBar();
    bool BuildStatusBar();
    void UpdateLockPanes();
    void Route(int id);
    void OpenDroppedLater(const QStringList& paths);

    CTarvexApp& app_;
    CTarvexView* view_ = nullptr;
    QMap<int, QAction*> actions_;
    QAction* recentPlaceholder_ = nullptr;
    QAction* exitSeparator_ = nullptr;
    QTimer* idleTimer_ = nullptr;
    quint32 nativeLockState_ = 0;
    bool clipboardHasText_ = false;
};

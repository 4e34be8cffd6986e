#pragma once

#include <memory>

#include <QObject>
#include <QStringList>

#include "common/Language.h"
#include "common/QtMessages.h"
#include "ui/ActivityLog.h"

class QPrinter;
class CMainFrame;
class CTarvexDoc;
class CTarvexView;

namespace ctrl {
class Link;
}

namespace ui {
class Prompts;
}

// The application object: start-up, the profile, the recent files, the line to the controller
// and the commands that belong to the application rather than to the document or the view.
class CTarvexApp : public QObject {
    Q_OBJECT

public:
    static inline const QString kProfileKey =
        QStringLiteral("Local AppWizard-Generated Applications");
    static inline const QString kRecentSection = QStringLiteral("Recent File List");
    static inline const QString kSettingsSection = QStringLiteral("Settings");
    static constexpr msg::QDeferred kUnregistered{msg::Id::Unregistered};
    static constexpr msg::QDeferred kNotAllUnregistered{msg::Id::NotAllUnregistered};
    static constexpr int kRecentFileCount = 4;

    struct CommandLineInfo {
        enum class Command { FileNew, FileOpen, FilePrint, FilePrintTo, Unregister };
        Command command = Command::FileNew;
        bool showSplash = true;
        QString fileName;
        QString printerName;
        QString driverName;
        QString portName;
    };
    // Arguments after the program name.
    static CommandLineInfo ParseCommandLine(const QStringList& arguments);

    // Chooses the interface language and shows every text in it from now on, Qt's own buttons and
    // dialogs too where their translations are installed. Before any window is made.
    static void InstallTranslations();

    // The interface language: TARVEX_LANG, else the profile's choice, else the system locale.
    static msg::Language ChosenLanguage();
    // The profile's choice: "zh", "en", or "" to follow the system.
    static QString ProfileLanguage();
    static void SetProfileLanguage(const QString& word);

    explicit CTarvexApp(ui::Prompts& prompts);
    ~CTarvexApp() override;

    // The start-up sequence; false when the application ends at once (after printing, after
    // unregistering, or when the main window could not be made).
    bool InitInstance(const QStringList& arguments, const QString& programPath);
    void SaveProfile();

    void OnFileNew();
    void OnFileOpen();
    // Opens `path` as the open command does without the chooser: the current document is not
    // reloaded, a modified one is offered for saving first. False when it did not open.
    bool OpenDocumentFile(const QString& path);
    void OnOpenRecentFile(int index);
    void OpenDroppedFiles(const QStringList& paths);
    void OnFilePrint();
    void OnFilePrintPreview();
    void OnFilePrintSetup();
    void OnAppAbout();
    // Prints without a dialog; to a PDF beside the document where no printer is installed.
    bool PrintDirect(const QString& printerName);

    // The line to the controller; it outlives the window whose commands use it.
    std::unique_ptr<ctrl::Link> link;
    std::unique_ptr<CTarvexDoc> document;
    std::unique_ptr<CMainFrame> mainFrame;
    CTarvexView* view = nullptr;
    QStringList recentFiles;
    int previewPages = 0;
    // What was compiled and sent, for the information window; downloads also go to the ledger.
    ui::ActivityLog log;
    QString ledgerPath;

private:
    void LoadProfile();
    void AddToRecentFileList(const QString& path);
    void RemoveFromRecentFileList(const QString& path);
    void CreateMainWindow();
    void InitialUpdate();
    QPrinter& Printer();
    QString PdfPathForDocument() const;
    // Loads after the save question has been answered.
    bool LoadDocument(const QString& path);

    ui::Prompts& prompts_;
    std::unique_ptr<QPrinter> printer_;
};

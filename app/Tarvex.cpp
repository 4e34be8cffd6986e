#include "app/Tarvex.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSettings>
#include <QTranslator>

#include "app/AboutDlg.h"
#include "app/DesktopRegistration.h"
#include "app/MainFrm.h"
#include "app/ProgramFile.h"
#include "app/Splash.h"
#include "app/TarvexDoc.h"
#include "app/TarvexView.h"
#include "common/FileIo.h"
#include "common/QtMessages.h"
#include "downloads/DownloadRecord.h"
#include "link/Link.h"
#include "link/PortList.h"
#include "ui/Prompts.h"

namespace {

const QString kRecentEntry = QStringLiteral("File%1");
const QString kPreviewPages = QStringLiteral("PreviewPages");
const QString kPortEntry = QStringLiteral("Settings/Port");
const QString kBaudEntry = QStringLiteral("Settings/Baud");
const QString kPortUsbEntry = QStringLiteral("Settings/PortUsb");
const QString kLanguageEntry = QStringLiteral("Settings/Language");
const QString kFastEntry = QStringLiteral("Settings/FastTransfer");

// "usb:VID:PID:SERIAL" for a USB port, so the device is found again after a re-plug renames it.
QString UsbIdentityOf(const QList<ctrl::PortEntry>& ports, const QString& path) {
    for (const ctrl::PortEntry& p : ports) {
        if (p.path == path && p.target.isEmpty() && p.hasUsbIds)
            return QStringLiteral("usb:%1:%2:%3")
                .arg(p.vendorId, 4, 16, QLatin1Char('0'))
                .arg(p.productId, 4, 16, QLatin1Char('0'))
                .arg(p.serialNumber);
    }
    return {};
}

std::unique_ptr<QSettings> Profile() {
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       CTarvexApp::kProfileKey, ui::kApplicationName);
}

const QStringList kSwitchNames = {QStringLiteral("p"),          QStringLiteral("pt"),
                                  QStringLiteral("Unregister"), QStringLiteral("Unregserver"),
                                  QStringLiteral("Embedding"),  QStringLiteral("Automation")};

// Where a path may start with "/", "/name" is a switch only when it names one.
bool IsSwitch(const QString& argument) {
    if (argument.startsWith(u'-'))
        return true;
    if (!argument.startsWith(u'/'))
        return false;
#ifdef Q_OS_WIN
    return true;
#else
    return kSwitchNames.contains(argument.mid(1), Qt::CaseInsensitive);
#endif
}

bool SameFile(const QString& a, const QString& b) {
    return !a.isEmpty() && !b.isEmpty() &&
           fileio::SameFile(programfile::NativePath(a), programfile::NativePath(b));
}

}  // namespace

CTarvexApp::CommandLineInfo CTarvexApp::ParseCommandLine(const QStringList& arguments) {
    CommandLineInfo info;
    int extraNames = 0;  // names after the file of "/pt": printer, driver, port
    for (const QString& argument : arguments) {
        if (IsSwitch(argument)) {
            const QString name = argument.mid(1);
            if (name.compare(u"pt", Qt::CaseInsensitive) == 0)
                info.command = CommandLineInfo::Command::FilePrintTo;
            else if (name.compare(u"p", Qt::CaseInsensitive) == 0)
                info.command = CommandLineInfo::Command::FilePrint;
            else if (name.compare(u"Unregister", Qt::CaseInsensitive) == 0 ||
                     name.compare(u"Unregserver", Qt::CaseInsensitive) == 0)
                info.command = CommandLineInfo::Command::Unregister;
            else if (name.compare(u"Embedding", Qt::CaseInsensitive) == 0 ||
                     name.compare(u"Automation", Qt::CaseInsensitive) == 0)
                info.showSplash = false;
            continue;
        }
        if (info.fileName.isEmpty()) {
            info.fileName = argument;
            continue;
        }
        if (info.command == CommandLineInfo::Command::FilePrintTo) {
            QString* names[] = {&info.printerName, &info.driverName, &info.portName};
            if (extraNames < 3)
                *names[extraNames++] = argument;
        }
    }
    if (info.command == CommandLineInfo::Command::FileNew && !info.fileName.isEmpty())
        info.command = CommandLineInfo::Command::FileOpen;
    return info;
}

void CTarvexApp::InstallTranslations() {
    const msg::Language language = ChosenLanguage();
    msg::UseLanguage(language);
    auto* translator = new QTranslator(QCoreApplication::instance());
    const QString name = language == msg::Language::English ? QStringLiteral("qtbase_en")
                                                            : QStringLiteral("qtbase_zh_CN");
    if (translator->load(name, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
}

msg::Language CTarvexApp::ChosenLanguage() {
    return msg::ChooseLanguage(msg::LanguageOverride(), ProfileLanguage().toStdString(),
                               msg::ProcessLocaleName());
}

QString CTarvexApp::ProfileLanguage() {
    return Profile()->value(kLanguageEntry).toString();
}

void CTarvexApp::SetProfileLanguage(const QString& word) {
    const auto profile = Profile();
    if (word.isEmpty())
        profile->remove(kLanguageEntry);
    else
        profile->setValue(kLanguageEntry, word);
    profile->sync();
}

CTarvexApp::CTarvexApp(ui::Prompts& prompts)
    : link(
          std::make_unique<ctrl::Link>([&prompts](const QString& text) { prompts.Message(text); })),
      ledgerPath(ctrl::DefaultLedgerPath()),
      prompts_(prompts) {}

CTarvexApp::~CTarvexApp() = default;

bool CTarvexApp::InitInstance(const QStringList& arguments, const QString& programPath) {
    const CommandLineInfo info = ParseCommandLine(arguments);
    CSplashWnd::SetSplashEnabled(info.showSplash);
    LoadProfile();
    desktop::Register(programPath);

    using Command = CommandLineInfo::Command;
    if (info.command == Command::Unregister) {
        bool removed = desktop::Unregister();
        const auto profile = Profile();
        profile->clear();
        profile->sync();
        const QString iniFile = profile->fileName();
        if (QFileInfo::exists(iniFile) && !QFile::remove(iniFile))
            removed = false;
        prompts_.Message(removed ? kUnregistered : kNotAllUnregistered);
        return false;
    }

    CreateMainWindow();
    if (info.command == Command::FileNew) {
        document->OnNewDocument();
        InitialUpdate();
    } else if (!OpenDocumentFile(info.fileName)) {
        return false;
    }
    if (info.command == Command::FilePrint || info.command == Command::FilePrintTo) {
        PrintDirect(info.printerName);
        return false;
    }
    mainFrame->show();
    mainFrame->repaint();
    return true;
}

void CTarvexApp::CreateMainWindow() {
    mainFrame = std::make_unique<CMainFrame>(*this, prompts_);
    mainFrame->OnCreate();
    view = new CTarvexView(mainFrame.get());
    document = std::make_unique<CTarvexDoc>(prompts_, *view);
    mainFrame->AttachView(view);
    connect(document.get(), &CTarvexDoc::TitleChanged, mainFrame.get(),
            &CMainFrame::OnUpdateFrameTitle);
    connect(document.get(), &CTarvexDoc::PathUsed, this, &CTarvexApp::AddToRecentFileList);
    mainFrame->OnUpdateFrameTitle(document->title);
    mainFrame->ShowRecentFiles(recentFiles);
}

void CTarvexApp::InitialUpdate() {
    const bool sessionEnded = link->RestartTicks();
    view->OnInitialUpdate();
    mainFrame->OnDocumentReplaced(sessionEnded);
}

void CTarvexApp::LoadProfile() {
    const auto profile = Profile();
    recentFiles.clear();
    profile->beginGroup(kRecentSection);
    for (int i = 1; i <= kRecentFileCount; ++i) {
        const QString path = profile->value(kRecentEntry.arg(i)).toString();
        if (!path.isEmpty())
            recentFiles.append(path);
    }
    profile->endGroup();
    previewPages = profile->value(kSettingsSection + u'/' + kPreviewPages, 0).toInt();

    link->SetFastTransfer(profile->value(kFastEntry, false).toBool());
    QString port = profile->value(kPortEntry).toString();
    const QString baud = profile->value(kBaudEntry).toString();
    if (port.isEmpty() || baud.isEmpty())
        return;
    ctrl::UsbIdentity usb;
    if (ctrl::ParseUsbPortName(profile->value(kPortUsbEntry).toString(), usb)) {
        const QList<ctrl::PortEntry> ports = ctrl::ListPorts();
        const QString found = ctrl::FindByIdentity(ports, usb);
        if (!found.isEmpty())
            port = found;
    }
    link->Configure(port, baud);
}

void CTarvexApp::SaveProfile() {
    const auto profile = Profile();
    profile->beginGroup(kRecentSection);
    for (int i = 1; i <= kRecentFileCount; ++i) {
        if (i <= recentFiles.size())
            profile->setValue(kRecentEntry.arg(i), QDir::toNativeSeparators(recentFiles[i - 1]));
        else
            profile->remove(kRecentEntry.arg(i));
    }
    profile->endGroup();
    if (previewPages != 0)
        profile->setValue(kSettingsSection + u'/' + kPreviewPages, previewPages);
    profile->setValue(kPortEntry, link->PortText());
    profile->setValue(kBaudEntry, link->BaudText());
    // Only a chosen fast transfer is written: tick pacing stays the default for older profiles.
    if (link->FastTransfer())
        profile->setValue(kFastEntry, true);
    else
        profile->remove(kFastEntry);
    const QString usb = UsbIdentityOf(ctrl::ListPorts(), link->PortText());
    if (usb.isEmpty())
        profile->remove(kPortUsbEntry);
    else
        profile->setValue(kPortUsbEntry, usb);
    profile->sync();
}

void CTarvexApp::AddToRecentFileList(const QString& path) {
    RemoveFromRecentFileList(path);
    recentFiles.prepend(path);
    while (recentFiles.size() > kRecentFileCount)
        recentFiles.removeLast();
    if (mainFrame)
        mainFrame->ShowRecentFiles(recentFiles);
}

void CTarvexApp::RemoveFromRecentFileList(const QString& path) {
    recentFiles.removeIf([&path](const QString& entry) { return SameFile(entry, path); });
    if (mainFrame)
        mainFrame->ShowRecentFiles(recentFiles);
}

void CTarvexApp::OnFileNew() {
    if (!document->SaveModified())
        return;
    document->OnNewDocument();
    InitialUpdate();
}

void CTarvexApp::OnFileOpen() {
    if (!document->SaveModified())
        return;
    ui::FileChooser chooser;
    chooser.title = msg::QText(msg::Id::OpenTitle);
    chooser.filter = CTarvexDoc::kOpenFilter;
    chooser.mustExist = true;
    const auto chosen = prompts_.ChooseOpenFile(chooser);
    if (!chosen || SameFile(*chosen, document->pathName))
        return;
    LoadDocument(*chosen);
}

bool CTarvexApp::OpenDocumentFile(const QString& path) {
    if (SameFile(path, document->pathName))
        return true;
    if (!document->SaveModified())
        return false;
    return LoadDocument(path);
}

bool CTarvexApp::LoadDocument(const QString& path) {
    if (document->OnOpenDocument(path) != CTarvexDoc::OpenOutcome::Opened)
        return false;
    InitialUpdate();
    return true;
}

void CTarvexApp::OnOpenRecentFile(int index) {
    if (index < 0 || index >= recentFiles.size())
        return;
    const QString path = recentFiles[index];
    if (SameFile(path, document->pathName) || !document->SaveModified())
        return;
    if (!LoadDocument(path))
        RemoveFromRecentFileList(path);
}

void CTarvexApp::OpenDroppedFiles(const QStringList& paths) {
    mainFrame->activateWindow();
    for (const QString& path : paths)
        OpenDocumentFile(path);
}

QPrinter& CTarvexApp::Printer() {
    if (!printer_)
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

// Where a print goes when no printer is installed: a PDF beside the document, or in the home
// folder for an untitled one.
QString CTarvexApp::PdfPathForDocument() const {
    if (document->pathName.isEmpty())
        return QDir::home().filePath(msg::QText(msg::Id::UntitledPdf));
    const QFileInfo source(document->pathName);
    return source.absolutePath() + u'/' + source.completeBaseName() + QStringLiteral(".pdf");
}

void CTarvexApp::OnFilePrint() {
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        Printer().setOutputFormat(QPrinter::PdfFormat);
        Printer().setOutputFileName(PdfPathForDocument());
    }
    QPrintDialog dialog(&Printer(), mainFrame.get());
    if (dialog.exec() == QDialog::Accepted)
        view->Print(&Printer());
}

void CTarvexApp::OnFilePrintPreview() {
    QPrintPreviewDialog preview(&Printer(), mainFrame.get());
    connect(&preview, &QPrintPreviewDialog::paintRequested, view,
            [this](QPrinter* printer) { view->Print(printer); });
    if (previewPages >= 2) {
        if (auto* pages = preview.findChild<QPrintPreviewWidget*>())
            pages->setFacingPagesViewMode();
    }
    preview.exec();
}

void CTarvexApp::OnFilePrintSetup() {
    QPageSetupDialog dialog(&Printer(), mainFrame.get());
    dialog.exec();
}

void CTarvexApp::OnAppAbout() {
    CAboutDlg about(mainFrame.get());
    about.exec();
}

bool CTarvexApp::PrintDirect(const QString& printerName) {
    QPrinter printer(QPrinter::HighResolution);
    const QStringList installed = QPrinterInfo::availablePrinterNames();
    QString pdf;
    if (!printerName.isEmpty() && installed.contains(printerName)) {
        printer.setPrinterName(printerName);
    } else if (printerName.isEmpty() && !installed.isEmpty()) {
        printer.setPrinterName(QPrinterInfo::defaultPrinterName());
    } else {
        // Nobody is asked here, so an existing PDF is never overwritten: "name (2).pdf" and on.
        const QString first = PdfPathForDocument();
        pdf = first;
        for (int n = 2; QFileInfo::exists(pdf); ++n)
            pdf = first.chopped(4) + QStringLiteral(" (%1).pdf").arg(n);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
    }
    view->Print(&printer);
    if (!pdf.isEmpty() && !QFileInfo::exists(pdf)) {
        prompts_.Message(msg::QText(msg::Id::CannotCreateFile, {pdf}));
        return false;
    }
    return true;
}

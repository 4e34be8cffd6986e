// Renders the main window and every dialog to PNG files, to look at the layout and the Chinese
// text without a display: tarvex_screenshots [--dark] OUTPUT_FOLDER (run with
// QT_QPA_PLATFORM=offscreen). Qt's own options apply too: -stylesheet FILE.qss holding
// "* { font-size: 13pt; }" for a large font, QT_SCALE_FACTOR=2 in the environment for a
// high-density screen.
#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTextStream>

#include "app/AboutDlg.h"
#include "app/LoadCutDlg.h"
#include "app/MainFrm.h"
#include "app/MessageDlg.h"
#include "app/Tarvex.h"
#include "app/TarvexView.h"
#include "charset/SetByteDlg.h"
#include "common/FileIo.h"
#include "compiler/TranslateDlg.h"
#include "downloads/DownByteDlg.h"
#include "downloads/DownParDlg.h"
#include "downloads/DownProDlg.h"
#include "downloads/ProcessDlg.h"
#include "jobs/JobEditing.h"
#include "link/Link.h"
#include "link/SetSeriesDlg.h"
#include "registers/AllRegisters.h"
#include "registers/RegisterTableModel.h"
#include "registers/RegisterTableWnd.h"
#include "registers/SetParDlg.h"
#include "screen/PictureImport.h"
#include "screen/PictureImportDlg.h"
#include "station/JobEditorDlg.h"
#include "station/RecordsWindow.h"
#include "station/StationSetupDlg.h"
#include "station/StationTile.h"
#include "station/StationWindow.h"
#include "ui/ScriptedPrompts.h"

namespace {

constexpr const char* kSampleLedger =
    R"({"time":"2026-03-01T08:00:00.000","station":"bench-1","operator":"ann","job":"line",)"
    R"("approved":"ab12","unit":"1000","stamp":{"S0100":"1000"},"port":"/dev/ttyUSB0",)"
    R"("adapter":"0403:6001:A1","steps":[{"kind":"program","number":1,"file":"demo.kxc",)"
    R"("sha256":"5f3c9e","size":40,"frames":3,"resendRequests":0,"timedResends":0,)"
    R"("outcome":"finished"}],"outcome":"passed","golden":"与基准一致"})"
    "\n"
    R"({"time":"2026-03-01T08:01:10.000","station":"bench-1","operator":"ann","job":"line",)"
    R"("approved":"ab12","unit":"1001","stamp":{"S0100":"1001"},"port":"/dev/ttyUSB1",)"
    R"("adapter":"","steps":[{"kind":"program","number":1,"file":"demo.kxc","sha256":"5f3c9e",)"
    R"("size":40,"frames":1,"resendRequests":0,"timedResends":2,"outcome":"abandoned"}],)"
    R"("outcome":"failed","failedStep":1,"message":"控制器无应答！","trace":"1001.trace"})"
    "\n";

// A program, a register file with a counter stamp and a picture screen.
jobs::Job SampleJob() {
    jobs::Job job;
    job.steps.resize(3);
    job.steps[0].file = "demo.kxc";
    job.steps[1] = {jobs::StepKind::Params, "regs.dat", 1, {}, {}, {}};
    job.steps[2] = {jobs::StepKind::Screen, "logo.png", 2, ctrl::ScreenKind::Startup, {}, {}};
    job.stamp = {jobs::StampKind::Counter, 100, 1000, 1, 4, {}};
    job.pinSha256 = jobs::PinHash("1234");
    return job;
}

bool Shoot(QWidget& widget, const QString& folder, const QString& name) {
    widget.show();
    QApplication::processEvents();
    const bool saved = widget.grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
    widget.hide();
    QTextStream(stdout) << (saved ? "wrote " : "FAILED ") << name << ".png\n";
    return saved;
}

// Fusion with dark colours, to see that no text or frame relies on a light background.
void UseDarkPalette() {
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QPalette dark;
    const QColor window(53, 53, 53);
    const QColor base(35, 35, 35);
    const QColor disabledText(127, 127, 127);
    dark.setColor(QPalette::Window, window);
    dark.setColor(QPalette::WindowText, Qt::white);
    dark.setColor(QPalette::Base, base);
    dark.setColor(QPalette::AlternateBase, window);
    dark.setColor(QPalette::ToolTipBase, base);
    dark.setColor(QPalette::ToolTipText, Qt::white);
    dark.setColor(QPalette::Text, Qt::white);
    dark.setColor(QPalette::Button, window);
    dark.setColor(QPalette::ButtonText, Qt::white);
    dark.setColor(QPalette::BrightText, Qt::red);
    dark.setColor(QPalette::Link, QColor(42, 130, 218));
    dark.setColor(QPalette::Highlight, QColor(42, 130, 218));
    dark.setColor(QPalette::HighlightedText, Qt::black);
    dark.setColor(QPalette::PlaceholderText, disabledText);
    dark.setColor(QPalette::Disabled, QPalette::Text, disabledText);
    dark.setColor(QPalette::Disabled, QPalette::WindowText, disabledText);
    dark.setColor(QPalette::Disabled, QPalette::ButtonText, disabledText);
    QApplication::setPalette(dark);
}

// The register editor and the register table comparing two files, one edit not yet saved.
bool ShootRegisters(ui::Prompts& prompts, const QString& folder) {
    CSetParDlg registers(prompts);
    bool ok = Shoot(registers, folder, QStringLiteral("registers"));
    CRegisterTableWnd registerTable(prompts);
    registers::AllTexts texts(registers::kRegisterCount, "0");
    for (int k = 0; k < 40; ++k)
        texts[std::size_t(k)] = std::to_string(k * 25);
    registers::AllTexts other = texts;
    other[3] = "80";
    other[9] = "-1";
    registerTable.Model().Load(texts);
    registerTable.Model().Compare(other);
    registerTable.Model().SetValue(5, QStringLiteral("999"));
    return Shoot(registerTable, folder, QStringLiteral("register-table")) && ok;
}

// A day's lines, as the log holds them.
bool ShootInformation(CTarvexApp& tarvex, ui::Prompts& prompts, const QString& folder) {
    tarvex.log.clock = [] { return QDateTime(QDate(2026, 12, 9), QTime(9, 30, 5)); };
    tarvex.log.Add(
        QStringLiteral("编译 first.kxc：编译成功！目标文件：/home/user/first.kxo !（5 条记录）"));
    tarvex.log.Add(
        QStringLiteral("下载程序 7：/home/user/first.kxo，9 帧，重发请求 0 次，超时重发 0 次，用时 "
                       "0.6 秒，完成。"));
    CMessageDlg information(tarvex.log, prompts);
    return Shoot(information, folder, QStringLiteral("information-window"));
}

// A landscape photo-like picture: a grey ramp with a dark disc and a frame.
QImage SamplePicture() {
    QImage picture(160, 100, QImage::Format_RGB32);
    for (int x = 0; x < picture.width(); ++x) {
        for (int y = 0; y < picture.height(); ++y)
            picture.setPixel(x, y, qRgb(255 - x * 255 / 160, 200, 255 - y));
    }
    QPainter painter(&picture);
    painter.setBrush(Qt::black);
    painter.drawEllipse(QPoint(60, 50), 30, 30);
    painter.setPen(QPen(Qt::darkBlue, 4));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(2, 2, 155, 95);
    return picture;
}

// The program and parameter downloads, the picture import and the screen download of its result.
bool ShootDownloads(ui::Prompts& prompts, CSerialPort& port, const QString& folder,
                    const QTemporaryDir& scratch) {
    CDownProDlg downloadProgram(prompts, port);
    bool ok = Shoot(downloadProgram, folder, QStringLiteral("download-program"));
    CDownParDlg downloadParams(prompts, port);
    ok = Shoot(downloadParams, folder, QStringLiteral("download-parameters")) && ok;
    CPictureImportDlg importPicture(prompts);
    importPicture.onDownload = [](const QString&) {};
    importPicture.ShowPicture(SamplePicture(), QStringLiteral("photo.png"));
    importPicture.options.dither = screen::Dither::FloydSteinberg;
    importPicture.options.fit = screen::Fit::Pad;
    ok = Shoot(importPicture, folder, QStringLiteral("picture-import")) && ok;
    CDownByteDlg downloadScreen(prompts, port);
    CDownByteDlg::Settings screenFile;
    screenFile.filePath = scratch.filePath(QStringLiteral("screen.bmp"));
    screen::SaveScreenBitmap(screenFile.filePath.toStdString(), importPicture.Screen());
    downloadScreen.setSettings(screenFile);
    return Shoot(downloadScreen, folder, QStringLiteral("download-screen")) && ok;
}

// The station's set-up, its window refusing every tile (there is no job file) and the records.
bool ShootStation(ui::Prompts& prompts, const QString& folder, const QTemporaryDir& scratch) {
    const QString job = scratch.filePath(QStringLiteral("line.tvjob"));
    const QString ledger = scratch.filePath(QStringLiteral("units.jsonl"));
    station::StationSetupDlg stationSetup(prompts, job);
    bool ok = Shoot(stationSetup, folder, QStringLiteral("station-setup"));
    // Without its job file the window shows every tile refusing, with the reason.
    station::StationWindow stationWindow(prompts);
    stationWindow.Open(job, {"/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyUSB2", "/dev/ttyUSB3"}, "ann",
                       ledger);
    stationWindow.resize(1200, 700);
    ok = Shoot(stationWindow, folder, QStringLiteral("station")) && ok;
    // The same tiles in each state a line shows: their colours and frames side by side.
    const station::TileState states[] = {station::TileState::Waiting, station::TileState::Running,
                                         station::TileState::Passed, station::TileState::Failed};
    for (int i = 0; i < stationWindow.Tiles().size(); ++i) {
        station::TileSnapshot s;
        s.state = states[i % 4];
        s.unit = QString::number(1000 + i);
        s.steps = 2;
        s.step = 1;
        s.total = 100;
        s.done = 40;
        s.startedMs = 1000;
        s.endedMs = 4200;
        s.unitPresent = true;
        stationWindow.Tiles()[i]->Show(s, 4200);
    }
    ok = Shoot(stationWindow, folder, QStringLiteral("station-tiles")) && ok;
    // A passed and a failed unit, as a line writes them.
    fileio::WriteSafely(ledger.toStdString(), kSampleLedger);
    station::RecordsWindow records(prompts, ledger);
    records.resize(1000, 600);
    records.SelectRow(1);
    ok = Shoot(records, folder, QStringLiteral("records")) && ok;
    station::JobEditorDlg jobEditor(prompts);
    jobEditor.setSettings({job, SampleJob()});
    return Shoot(jobEditor, folder, QStringLiteral("job-editor")) && ok;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    CTarvexApp::InstallTranslations();
    // Qt has taken its own options out of the arguments already.
    QStringList arguments = QApplication::arguments().mid(1);
    if (arguments.removeAll(QStringLiteral("--dark")) > 0)
        UseDarkPalette();
    const QString folder = arguments.value(0, QStringLiteral("screenshots"));
    QDir().mkpath(folder);

    ui::ScriptedPrompts prompts;
    CTarvexApp tarvex(prompts);
    if (!tarvex.InitInstance({QStringLiteral("/Embedding")}, QApplication::applicationFilePath()))
        return 1;
    CTarvexView& view = *tarvex.view;
    view.SetWholeText(
        QByteArray("; \xB3\xCC\xD0\xF2\r\n        MOV M1,0\r\nLOOP1:  INC M1\r\n"
                   "        JLD LOOP1,M1,100\r\n        END\r\n"));
    view.OnInitialUpdate();
    tarvex.mainFrame->resize(800, 600);

    bool ok = Shoot(*tarvex.mainFrame, folder, QStringLiteral("main-window"));
    tarvex.mainFrame->show();
    CAboutDlg about(tarvex.mainFrame.get());
    ok = Shoot(about, folder, QStringLiteral("about")) && ok;
    CLoadCutDlg loadCut(prompts);
    ok = Shoot(loadCut, folder, QStringLiteral("load-cut")) && ok;
    ok = ShootRegisters(prompts, folder) && ok;
    ok = ShootInformation(tarvex, prompts, folder) && ok;
    CSetByteDlg characters(prompts);
    ok = Shoot(characters, folder, QStringLiteral("characters")) && ok;
    QTemporaryDir scratch;
    ok = ShootDownloads(prompts, tarvex.link->Port(), folder, scratch) && ok;
    CSetSeriesDlg serial(*tarvex.link);
    ok = Shoot(serial, folder, QStringLiteral("serial-settings")) && ok;
    CTranslateDlg compile(prompts);
    ok = Shoot(compile, folder, QStringLiteral("compile")) && ok;
    CProcessDlg progress;
    ok = Shoot(progress, folder, QStringLiteral("progress")) && ok;
    ok = ShootStation(prompts, folder, scratch) && ok;
    return ok ? 0 : 1;
}

// Renders the main window and every dialog to PNG files, to look at the layout and the Chinese
// text without a display: tarvex_screenshots OUTPUT_FOLDER (run with QT_QPA_PLATFORM=offscreen).
#include <QApplication>
#include <QDir>
#include <QTextStream>

#include "app/AboutDlg.h"
#include "app/MainFrm.h"
#include "app/Tarvex.h"
#include "app/TarvexView.h"
#include "link/ProcessDlg.h"
#include "ui/ScriptedPrompts.h"

namespace {

bool Shoot(QWidget& widget, const QString& folder, const QString& name) {
    widget.show();
    QApplication::processEvents();
    const bool saved = widget.grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
    widget.hide();
    QTextStream(stdout) << (saved ? "wrote " : "FAILED ") << name << ".png\n";
    return saved;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    CTarvexApp::InstallTranslations();
    const QString folder =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
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
    ok = Shoot(view.loadCutDlg, folder, QStringLiteral("load-cut")) && ok;
    ok = Shoot(view.setParDlg, folder, QStringLiteral("registers")) && ok;
    ok = Shoot(view.messageDlg, folder, QStringLiteral("information-window")) && ok;
    ok = Shoot(view.setByteDlg, folder, QStringLiteral("characters")) && ok;
    ok = Shoot(view.downProDlg, folder, QStringLiteral("download-program")) && ok;
    ok = Shoot(view.downParDlg, folder, QStringLiteral("download-parameters")) && ok;
    ok = Shoot(view.downByteDlg, folder, QStringLiteral("download-screen")) && ok;
    ok = Shoot(view.setSeriesDlg, folder, QStringLiteral("serial-settings")) && ok;
    ok = Shoot(view.translateDlg, folder, QStringLiteral("compile")) && ok;
    CProcessDlg progress;
    ok = Shoot(progress, folder, QStringLiteral("progress")) && ok;
    return ok ? 0 : 1;
}

#include <QApplication>
#include <QTimer>

#include "app/MainFrm.h"
#include "app/Tarvex.h"
#include "common/FileIo.h"
#include "ui/QtPrompts.h"

int main(int argc, char* argv[]) {
    fileio::RemoveTemporariesOnSignals();
    QApplication application(argc, argv);
    QApplication::setApplicationName(ui::kApplicationName);
    CTarvexApp::InstallTranslations();

    ui::QtPrompts prompts;
    CTarvexApp tarvex(prompts);
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    if (!tarvex.InitInstance(arguments, QApplication::applicationFilePath()))
        return 0;
    QObject::connect(tarvex.mainFrame.get(), &CMainFrame::Closed, &application, &QApplication::quit,
                     Qt::QueuedConnection);
    // Package checks start the installed program without a display and let it quit by itself.
    if (const int quitAfter = qEnvironmentVariableIntValue("TARVEX_QUIT_AFTER_MS"); quitAfter > 0)
        QTimer::singleShot(quitAfter, &application, &QApplication::quit);
    return application.exec();
}

#include <QApplication>

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
    return application.exec();
}

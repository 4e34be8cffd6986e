// Stand-in main window until the document and editor view arrive: an editor and the compile
// command, enough to write a program and compile it.
#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStringEncoder>
#include <QToolBar>

#include "compiler/TranslateDlg.h"
#include "ui/QtPrompts.h"

namespace {

// Program texts are GBK bytes with CR LF line ends, as the compiler expects them.
QByteArray ProgramBytes(const QString& editorText) {
    QString text = editorText;
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    QStringEncoder gbk("GBK");
    if (!gbk.isValid())
        return text.toLocal8Bit();
    return gbk.encode(text);
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarvex620B"));

    ui::QtPrompts prompts;
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Tarvex620B"));
    auto* editor = new QPlainTextEdit(&window);
    window.setCentralWidget(editor);
    CTranslateDlg translateDlg(prompts, &window);

    QMenu* fileMenu = window.menuBar()->addMenu(QStringLiteral("文件(&F)"));
    QAction* compile = fileMenu->addAction(QStringLiteral("程序编译(F8)"));
    compile->setShortcut(QKeySequence(Qt::Key_F8));
    fileMenu->addSeparator();
    QAction* quit = fileMenu->addAction(QStringLiteral("退出"));
    window.addToolBar(QStringLiteral("标准"))->addAction(compile);

    QObject::connect(compile, &QAction::triggered, &window, [&] {
        translateDlg.programText = ProgramBytes(editor->toPlainText());
        translateDlg.exec();
    });
    QObject::connect(quit, &QAction::triggered, &window, &QMainWindow::close);

    window.resize(800, 600);
    window.show();
    return app.exec();
}

#pragma once

#include <QByteArray>
#include <QDialog>
#include <QString>

#include "compiler/CompileRun.h"

class QLineEdit;
class QPushButton;
class QShowEvent;

namespace ui {
class Prompts;
}

namespace compiler {

// Programs at least this long compile on a worker thread.
inline constexpr qsizetype kCompileAsideBytes = 64 * 1024;

// CompileToFile, run on a worker thread for a long program while this thread keeps painting and
// handling timers; user input waits until the run is over, so nothing can start a second one.
CompileResult CompileAside(const QByteArray& programText, const std::filesystem::path& target);

}  // namespace compiler

// The compile dialog: the user types or browses for the object file and compiles the program
// text the owner handed over into it.
class CTranslateDlg : public QDialog {
    Q_OBJECT

public:
    explicit CTranslateDlg(ui::Prompts& prompts, QWidget* parent = nullptr);

    // Set by the owner before each opening; a compile run consumes it. GBK bytes, CR LF.
    QByteArray programText;
    QString documentPath;
    // Follows the path box: what it shows is what the compile writes.
    QString targetPath;
    // The last run's outcome and message, for the owner's log; runs counts them.
    compiler::CompileResult lastResult;
    QString lastMessage;
    int runs = 0;

    // Offered by Browse in every compile dialog; the name of the last file confirmed there.
    static QString& DefaultObjectFileName();

    void Refresh();

    void Browse();
    void Compile();

protected:
    void showEvent(QShowEvent* event) override;

private:
    ui::Prompts& prompts_;
    QLineEdit* pathEdit_;
    QPushButton* browseButton_;
    QPushButton* compileButton_;
    QPushButton* cancelButton_;
};

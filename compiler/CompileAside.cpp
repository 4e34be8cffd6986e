#include "compiler/CompileAside.h"

#include <memory>

#include <QApplication>
#include <QEventLoop>
#include <QThread>

namespace compiler {

CompileResult CompileAside(const QByteArray& programText, const std::filesystem::path& target) {
    const std::string_view text(programText.constData(), programText.size());
    if (programText.size() < kCompileAsideBytes)
        return CompileToFile(text, target);
    CompileResult result;
    QEventLoop loop;
    std::unique_ptr<QThread> worker(
        QThread::create([&result, text, &target] { result = CompileToFile(text, target); }));
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    worker->start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker->wait();
    QApplication::restoreOverrideCursor();
    return result;
}

}  // namespace compiler

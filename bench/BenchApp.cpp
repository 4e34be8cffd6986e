// Desktop application: start-up to the main window shown (no splash), opening a program text of
// the full 1,048,575 bytes, and the resident memory after start-up. Numbers only.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include "app/MainFrm.h"
#include "app/ProgramFile.h"
#include "app/Tarvex.h"
#include "app/TarvexView.h"
#include "ui/ScriptedPrompts.h"

namespace {

QString gFolder;

bool StartOnce() {
    ui::ScriptedPrompts prompts;
    CTarvexApp app(prompts);
    const bool started =
        app.InitInstance({QStringLiteral("/Embedding")}, QStringLiteral("/opt/tarvex620b"));
    QApplication::processEvents();
    return started && app.mainFrame->isVisible();
}

void BM_StartUpToMainWindowShown(benchmark::State& state) {
    for (auto _ : state) {
        if (!StartOnce())
            state.SkipWithError("the main window did not show");
    }
}
BENCHMARK(BM_StartUpToMainWindowShown)->Unit(benchmark::kMillisecond);

QString WriteProgram(const QString& name) {
    const QByteArray line = QByteArray("        MOV M1,0   ; \xD6\xD0\xCE\xC4\r\n");
    QByteArray bytes;
    while (bytes.size() + line.size() <= programfile::kCapacity)
        bytes += line;
    bytes += QByteArray(programfile::kCapacity - bytes.size(), 'x');
    const QString path = gFolder + u'/' + name;
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

void BM_OpenFullProgram(benchmark::State& state) {
    const QString paths[] = {WriteProgram(QStringLiteral("a.kxc")),
                             WriteProgram(QStringLiteral("b.kxc"))};
    ui::ScriptedPrompts prompts;
    CTarvexApp app(prompts);
    app.InitInstance({QStringLiteral("/Embedding")}, QStringLiteral("/opt/tarvex620b"));
    int which = 0;
    for (auto _ : state) {
        // Two files in turn: the current document is never reloaded.
        if (!app.OpenDocumentFile(paths[which]))
            state.SkipWithError("open failed");
        QApplication::processEvents();
        which ^= 1;
    }
    state.SetBytesProcessed(state.iterations() * programfile::kCapacity);
}
BENCHMARK(BM_OpenFullProgram)->Unit(benchmark::kMillisecond);

long ResidentKilobytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir folder;
    gFolder = folder.path();
    // The profile and the desktop registration of these runs stay in the temporary folder.
    qputenv("XDG_CONFIG_HOME", (gFolder + QStringLiteral("/config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", (gFolder + QStringLiteral("/data")).toLocal8Bit());

    QElapsedTimer cold;
    cold.start();
    QApplication application(argc, argv);
    {
        ui::ScriptedPrompts prompts;
        CTarvexApp app(prompts);
        app.InitInstance({QStringLiteral("/Embedding")}, QStringLiteral("/opt/tarvex620b"));
        QApplication::processEvents();
        QTextStream(stdout) << "first start-up in the process (QApplication included): "
                            << cold.elapsed()
                            << " ms; resident after it: " << ResidentKilobytes() / 1024 << " MB\n";
    }

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

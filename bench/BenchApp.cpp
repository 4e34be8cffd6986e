// Desktop application: start-up to the main window shown (no splash), opening a program text of
// the full 1,048,575 bytes, the resident memory after start-up, and the editor on that program:
// a keystroke's GUI-thread time, the full highlight and the check. Numbers only.
#include <benchmark/benchmark.h>

#include <time.h>

#include <algorithm>
#include <functional>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QPlainTextDocumentLayout>
#include <QTemporaryDir>
#include <QTextStream>

#include "app/LiveCheck.h"
#include "app/MainFrm.h"
#include "app/ProgramFile.h"
#include "app/ProgramHighlighter.h"
#include "app/Tarvex.h"
#include "app/TarvexDoc.h"
#include "app/TarvexView.h"
#include "common/GbkText.h"
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

double ThreadMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

double WallMs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// Median, lowest and highest of `runs` samples, one line.
void Report(const char* what, int runs, const std::function<double()>& sample) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i)
        ms.push_back(sample());
    std::sort(ms.begin(), ms.end());
    QTextStream(stdout) << what << ": median " << QString::number(ms[ms.size() / 2], 'f', 3)
                        << " ms, min " << QString::number(ms.front(), 'f', 3) << ", max "
                        << QString::number(ms.back(), 'f', 3) << " (" << runs << " runs)\n";
}

void Key(QWidget* target, int key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &release);
}

// The editor on the full program, in one started application (not a start-up figure).
void ReportEditorFigures() {
    const QString path = WriteProgram(QStringLiteral("editor.kxc"));
    ui::ScriptedPrompts prompts;
    CTarvexApp app(prompts);
    app.InitInstance({QStringLiteral("/Embedding")}, QStringLiteral("/opt/tarvex620b"));
    QApplication::processEvents();
    CTarvexView& view = *app.view;
    CLiveCheck& check = view.LiveCheck();
    int checks = 0;
    QObject::connect(&check, &CLiveCheck::Checked, [&checks] { ++checks; });

    // From the open command to the text highlighted and its problems listed.
    Report("open 1,048,575 bytes to highlighted and checked, wall", 5, [&] {
        app.document->OnNewDocument();
        QApplication::processEvents();
        const int before = checks;
        const double start = WallMs();
        app.document->OnOpenDocument(path);
        while (checks == before)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        return WallMs() - start;
    });
    // What a user waits for: the open command until the editor and its gutter have painted.
    const struct {
        const char* what;
        double (*clock)();
    } firstPaint[] = {{"open 1,048,575 bytes to the first paint, wall", WallMs},
                      {"open 1,048,575 bytes to the first paint, GUI thread CPU", ThreadMs}};
    for (const auto& measure : firstPaint) {
        Report(measure.what, 7, [&] {
            app.document->OnNewDocument();
            QApplication::processEvents();
            const double start = measure.clock();
            app.document->OnOpenDocument(path);
            app.mainFrame->repaint();
            return measure.clock() - start;
        });
    }
    // The floor under any open: Qt building a plain text document of the same text, nothing else.
    {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        const QString decoded = gbk::Decode(file.readAll());
        Report("  floor: QTextDocument::setPlainText of the decoded text alone, CPU", 7, [&] {
            QTextDocument bare;
            bare.setDocumentLayout(new QPlainTextDocumentLayout(&bare));
            const double start = ThreadMs();
            bare.setPlainText(decoded);
            return ThreadMs() - start;
        });
    }
    // The same open with the highlighter detached: what highlighting adds to opening.
    Report("open 1,048,575 bytes without highlighting, GUI thread CPU", 5, [&] {
        app.document->OnNewDocument();
        view.Highlighter().setDocument(nullptr);
        QApplication::processEvents();
        const double start = ThreadMs();
        app.document->OnOpenDocument(path);
        const double took = ThreadMs() - start;
        view.Highlighter().setDocument(view.document());
        QApplication::processEvents();
        return took;
    });
    Report("open 1,048,575 bytes with highlighting, GUI thread CPU", 5, [&] {
        app.document->OnNewDocument();
        QApplication::processEvents();
        const double start = ThreadMs();
        app.document->OnOpenDocument(path);
        return ThreadMs() - start;
    });
    Report("full highlight pass of 1,048,575 bytes, GUI thread CPU", 5, [&] {
        const double start = ThreadMs();
        view.Highlighter().rehighlight();
        return ThreadMs() - start;
    });
    const QString text = view.document()->toRawText();
    Report("check of 1,048,575 bytes (runs on the worker), CPU", 5, [&] {
        const double start = ThreadMs();
        benchmark::DoNotOptimize(CLiveCheck::Check(text).findings.size());
        return ThreadMs() - start;
    });
    // What each key cost before the count was kept line by line: the whole text re-encoded.
    Report("full recount of the GBK bytes (the old per-key cost), GUI thread CPU", 9, [&] {
        const double start = ThreadMs();
        QString all = view.document()->toRawText();
        all.replace(QChar::ParagraphSeparator, u'\n');
        benchmark::DoNotOptimize(gbk::EncodedLength(all));
        return ThreadMs() - start;
    });
    // The program fills the capacity: room for the keys below comes off its end.
    QTextCursor end = view.textCursor();
    end.movePosition(QTextCursor::End);
    end.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor, 200);
    end.removeSelectedText();
    view.setTextCursor(end);
    QApplication::processEvents();
    Report("running GBK byte count after a key, GUI thread CPU", 9, [&] {
        Key(&view, Qt::Key_A, QStringLiteral("a"));
        const double start = ThreadMs();
        benchmark::DoNotOptimize(view.TextBytes());
        return ThreadMs() - start;
    });

    Key(&view, Qt::Key_Return, QStringLiteral("\r"));
    QApplication::processEvents();
    const QString typed = QStringLiteral("MOV M1,2 ");
    int next = 0;
    const qsizetype bytesBefore = view.TextBytes();
    Report(
        "keystroke at the end of 1,048,575 bytes (key, highlight, check scheduled, events), "
        "GUI thread CPU",
        31, [&] {
            const QChar c = typed[next++ % typed.size()];
            const double start = ThreadMs();
            Key(&view, c == u' ' ? Qt::Key_Space : Qt::Key_A, QString(c));
            QApplication::processEvents();
            return ThreadMs() - start;
        });
    Report(
        "  the key alone (insert, byte count, highlight of its line, check scheduled), "
        "GUI thread CPU",
        31, [&] {
            const QChar c = typed[next++ % typed.size()];
            const double start = ThreadMs();
            Key(&view, c == u' ' ? Qt::Key_Space : Qt::Key_A, QString(c));
            const double took = ThreadMs() - start;
            QApplication::processEvents();
            return took;
        });
    QTextStream(stdout) << "  (bytes typed: " << view.TextBytes() - bytesBefore
                        << ", window exposed: " << view.isVisible() << ")\n";
}

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

    ReportEditorFigures();

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// Real editors and tools against what `tarvex` makes: Neovim's LSP client, tshark with the shipped
// dissector, kate-syntax-highlighter with the generated definition. Each case skips with its reason
// where its tool is not installed (scripts/install-deps installs them).
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <map>

#include "tests/support/ToolProcess.h"

namespace {

constexpr int kPatienceMs = 60'000;

QByteArray RunProgram(const QString& program, const QStringList& args, int* exitCode = nullptr) {
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(program, args);
    if (!p.waitForFinished(kPatienceMs)) {
        p.kill();
        p.waitForFinished();
        ADD_FAILURE() << program.toStdString() << " did not finish in time";
    }
    if (exitCode != nullptr)
        *exitCode = p.exitCode();
    return p.readAllStandardOutput();
}

void Write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// GBK with CR LF, a CJK comment and label, three faults and no END.
const QByteArray kFaulty =
    "; \xD2\xC6\xB6\xAF\xB5\xE7\xBB\xFA\r\n"
    "\xB1\xEA\xBA\xC5:  MOV M1,x   ' \xD7\xA2\r\n"
    "        FOO 1\r\n"
    "        MOV M1,5,6\r\n";

// What `tarvex check --format=gcc` prints, as LINE:SEVERITY:MESSAGE lines.
QStringList CheckListing(const QString& program) {
    QStringList lines;
    const QRegularExpression gcc(QStringLiteral(R"(^.*:(\d+):\d+: (error|warning): (.*)$)"));
    for (const QString& line :
         QString::fromUtf8(RunProgram(TARVEX_TOOL_PATH, {"check", "--format=gcc", program}))
             .split(u'\n', Qt::SkipEmptyParts)) {
        const auto m = gcc.match(line);
        EXPECT_TRUE(m.hasMatch()) << line.toStdString();
        lines << m.captured(1) + u':' + m.captured(2) + u':' + m.captured(3);
    }
    return lines;
}

TEST(RealTools, NeovimsLspClientGetsTheChecksFindingsAndAFixClearsThem) {
    const QString nvim = QStandardPaths::findExecutable(QStringLiteral("nvim"));
    if (nvim.isEmpty())
        GTEST_SKIP() << "nvim is not installed (Debian package neovim)";
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("p.kxc"));
    const QString fixed = dir.filePath(QStringLiteral("fixed.txt"));
    const QString out = dir.filePath(QStringLiteral("out.txt"));
    Write(program, kFaulty);
    Write(fixed, "; fixed\nLOOP1: MOV M1,5\n  JMP LOOP1\n  END\n");
    const QString globals = QStringLiteral("lua TARVEX='%1' PROGRAM='%2' FIXED='%3' OUT='%4'")
                                .arg(TARVEX_TOOL_PATH, program, fixed, out);
    int status = -1;
    RunProgram(nvim,
               {"--headless", "--clean", "-n", "-c", globals, "-c",
                QStringLiteral("luafile ") + TARVEX_NEOVIM_SCRIPT},
               &status);
    QFile result(out);
    ASSERT_TRUE(result.open(QIODevice::ReadOnly));
    QStringList got = QString::fromUtf8(result.readAll()).split(u'\n', Qt::SkipEmptyParts);
    EXPECT_EQ(status, 0) << got.join(u'\n').toStdString();
    ASSERT_FALSE(got.isEmpty());
    EXPECT_EQ(got.takeLast(), QStringLiteral("cleared"));
    // Neovim counts columns in UTF-8 bytes; lines, severities and texts must be the check's.
    for (QString& line : got)
        line.replace(QRegularExpression(QStringLiteral(R"(^(\d+):\d+:)")), QStringLiteral("\\1:"));
    const QStringList expected = CheckListing(program);
    EXPECT_EQ(expected.size(), 4);
    EXPECT_EQ(got.join(u'\n').toStdString(), expected.join(u'\n').toStdString());
}

QStringList MeaningsOf(const QByteArray& trace) {
    QStringList meanings;
    for (const QByteArray& line : trace.split('\n')) {
        if (line.trimmed().isEmpty())
            continue;
        const qsizetype gap = line.indexOf("  ");
        meanings << (gap < 0 ? QStringLiteral("none")
                             : QString::fromUtf8(line.sliced(gap + 2)).trimmed());
    }
    return meanings;
}

TEST(RealTools, TsharkWithTheShippedDissectorNamesEveryUnitOfARealDownload) {
    const QString tshark = QStandardPaths::findExecutable(QStringLiteral("tshark"));
    if (tshark.isEmpty())
        GTEST_SKIP() << "tshark is not installed (Debian package tshark)";
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("p.kxc"));
    const QString object = dir.filePath(QStringLiteral("p.kxo"));
    const QString trace = dir.filePath(QStringLiteral("trace.txt"));
    const QString capture = dir.filePath(QStringLiteral("trace.pcap"));
    QByteArray text;
    for (int i = 0; i < 40; ++i)
        text += "MOV M1," + QByteArray::number(i) + "\r\n";
    Write(program, text + "END\r\n");
    int status = -1;
    RunProgram(TARVEX_TOOL_PATH, {"compile", program, "-o", object}, &status);
    ASSERT_EQ(status, 0);

    testsupport::EmulatorProcess emulator(TARVEX_TOOL_PATH, {"--resend-every", "7"});
    const std::string device = emulator.Line();
    ASSERT_EQ(device.rfind("/dev/", 0), 0u) << device;
    RunProgram(
        TARVEX_TOOL_PATH,
        {"download", "program", object, "--port", QString::fromStdString(device), "--trace", trace},
        &status);
    EXPECT_EQ(status, 0);
    emulator.Stop();
    RunProgram(TARVEX_TOOL_PATH, {"trace", "export", trace, "--pcap", capture}, &status);
    ASSERT_EQ(status, 0);

    QFile traceFile(trace);
    ASSERT_TRUE(traceFile.open(QIODevice::ReadOnly));
    const QStringList meanings = MeaningsOf(traceFile.readAll());
    ASSERT_GT(meanings.size(), 40);
    EXPECT_TRUE(meanings.contains(QStringLiteral("resend request")));
    const QStringList units =
        QString::fromUtf8(RunProgram(tshark, {"-r", capture, "-X",
                                              QStringLiteral("lua_script:") + TARVEX_DISSECTOR,
                                              "-T", "fields", "-e", "tarvex620b.unit"}))
            .split(u'\n', Qt::SkipEmptyParts);
    EXPECT_EQ(units.size(), meanings.size());
    EXPECT_EQ(units.join(u'|').toStdString(), meanings.join(u'|').toStdString());
}

// The example program of the README's section on other editors.
QString ReadmeExample() {
    QFile readme(TARVEX_README);
    EXPECT_TRUE(readme.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(readme.readAll());
    const qsizetype section = text.indexOf(QStringLiteral("## Other editors, git and Wireshark"));
    const qsizetype start = text.indexOf(QStringLiteral("```kxc\n"), section);
    const qsizetype end = text.indexOf(QStringLiteral("```"), start + 7);
    EXPECT_TRUE(section >= 0 && start >= 0 && end >= 0);
    return text.mid(start + 7, end - start - 7);
}

TEST(RealTools, KateSyntaxHighlighterGivesEachKindOfWordItsOwnStyle) {
    const QString highlighter =
        QStandardPaths::findExecutable(QStringLiteral("kate-syntax-highlighter"));
    if (highlighter.isEmpty())
        GTEST_SKIP() << "kate-syntax-highlighter is not installed "
                        "(Debian package libkf5syntaxhighlighting-tools)";
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("example.kxc"));
    Write(program, ReadmeExample().toUtf8());
    QDir(dir.path()).mkpath(QStringLiteral("data/org.kde.syntax-highlighting/syntax"));
    Write(dir.filePath(QStringLiteral("data/org.kde.syntax-highlighting/syntax/tarvex.xml")),
          RunProgram(TARVEX_TOOL_PATH, {"syntax", "--kate"}));

    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
    p.setProcessEnvironment(env);
    p.start(highlighter, {"-s", "Tarvex620B", "-f", "html", program});
    ASSERT_TRUE(p.waitForFinished(kPatienceMs));
    const QString html = QString::fromUtf8(p.readAllStandardOutput());

    // Every styled piece with its style; a word styled two ways fails the test.
    std::map<QString, QString> styleOf;
    const QRegularExpression span(QStringLiteral(R"re(<span style="([^"]*)">([^<]*)</span>)re"));
    for (auto it = span.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        const QString text = m.captured(2).trimmed();
        const auto [at, added] = styleOf.emplace(text, m.captured(1));
        EXPECT_EQ(at->second, m.captured(1)) << text.toStdString();
    }
    const auto style = [&](const QString& piece) {
        const auto found = styleOf.find(piece);
        EXPECT_NE(found, styleOf.end()) << piece.toStdString() << " is not styled:\n"
                                        << html.toStdString();
        return found == styleOf.end() ? QString() : found->second;
    };
    const QStringList kinds = {style("MOV"), style("M1"), style("100"), style("LOOP1"),
                               style("; move M1 up to 100")};
    EXPECT_EQ(QSet<QString>(kinds.begin(), kinds.end()).size(), 5) << html.toStdString();
    for (const char* same : {"INC", "JLD", "END"})
        EXPECT_EQ(style(same), kinds[0]) << same;
    EXPECT_EQ(style("F1"), kinds[1]);
    EXPECT_EQ(style("-2.5"), kinds[2]);
    for (const QString& comment : {u"' jump back while M1 &lt; 100"_qs, u"； count the rounds"_qs,
                                   u"‘ five"_qs, u"’ negative"_qs})
        EXPECT_EQ(style(comment), kinds[4]) << comment.toStdString();
}

}  // namespace

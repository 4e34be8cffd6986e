#include <random>

#include <QAbstractItemView>
#include <QCheckBox>
#include <QClipboard>
#include <QCompleter>
#include <QDir>
#include <QFileInfo>
#include <QHelpEvent>
#include <QInputDialog>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPdfWriter>
#include <QPlainTextDocumentLayout>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryFile>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QToolTip>
#include <QTreeWidget>

#include "AppFixture.h"
#include "app/FindDlg.h"
#include "app/LiveCheck.h"
#include "app/ProblemText.h"
#include "app/ProblemsDock.h"
#include "app/ProgramFile.h"
#include "app/ProgramHighlighter.h"
#include "common/GbkText.h"
#include "common/MbcsText.h"
#include "compiler/CompileRun.h"
#include "compiler/InstructionHelp.h"
#include "compiler/LineSyntax.h"
#include "compiler/ProgramCheck.h"
#include "compiler/TranslateDlg.h"

using Kind = CProgramHighlighter::Kind;
using Span = CProgramHighlighter::Span;
Q_DECLARE_METATYPE(std::vector<Span>)

namespace {

// A program with faults on editor lines 3, 5 and 6 (code lines 2, 4 and 5).
const QByteArray kFaulty =
    "' test\r\nSTART: MOV M1,1\r\nFOO M1\r\nADD M1,2\r\nJLD 3, X5, 1\r\nDELAY 99999999999\r\n"
    "JMP START\r\nEND\r\n";

int CaretLine(const CTarvexView& view) {
    return view.textCursor().blockNumber() + 1;
}

QStringList Rows(const CMainFrame& frame) {
    QStringList rows;
    const QTreeWidget* list = Part<CProblemsDock>(frame, "problemsDock")->List();
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = list->topLevelItem(i);
        rows.append(item->text(0) + u'|' + item->text(1));
    }
    return rows;
}

// An editor whose checks run at once, so no test waits for the pause after typing.
struct EditorRun : AppRun {
    bool Start() {
        if (!AppRun::Start())
            return false;
        View().LiveCheck().SetSynchronous(true);
        return true;
    }
};

}  // namespace

class EditorTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void init() { ClearProfile(); }

    void linesAreReadAsTheCompileReadsThem_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<std::vector<Span>>("spans");
        QTest::newRow("label, move, register, number")
            << "START: MOV M1,100"
            << std::vector<Span>{{0, 6, Kind::LabelDefinition},
                                 {7, 3, Kind::Move},
                                 {11, 2, Kind::RegisterM},
                                 {14, 3, Kind::Number}};
        QTest::newRow("small letters and a semicolon comment")
            << "  mov m2, -5 ; count"
            << std::vector<Span>{{13, 7, Kind::Comment},
                                 {2, 3, Kind::Move},
                                 {6, 2, Kind::RegisterM},
                                 {10, 2, Kind::Number}};
        // The apostrophe takes precedence over an earlier semicolon, which stays code.
        QTest::newRow("marker precedence")
            << "JMP 5 ; x ' y"
            << std::vector<Span>{{10, 3, Kind::Comment}, {0, 3, Kind::Jump}, {4, 5, Kind::Number}};
        QTest::newRow("full-width semicolon")
            << QStringLiteral("END\uFF1B注释")
            << std::vector<Span>{{3, 3, Kind::Comment}, {0, 3, Kind::Control}};
        QTest::newRow("left quotation mark")
            << QStringLiteral("RET\u2018x")
            << std::vector<Span>{{3, 2, Kind::Comment}, {0, 3, Kind::Jump}};
        QTest::newRow("right quotation mark")
            << QStringLiteral("\u2019all comment") << std::vector<Span>{{0, 12, Kind::Comment}};
        QTest::newRow("label use and register letters")
            << "JGD LOOP1, F2, 0"
            << std::vector<Span>{{0, 3, Kind::Jump},
                                 {4, 5, Kind::LabelUse},
                                 {11, 2, Kind::RegisterF},
                                 {15, 1, Kind::Number}};
        QTest::newRow("bits") << "AND B1,o12"
                              << std::vector<Span>{{0, 3, Kind::Bit},
                                                   {4, 2, Kind::RegisterB},
                                                   {7, 3, Kind::RegisterO}};
        QTest::newRow("S, I and J") << "SLM S3,S4 ' x"
                                    << std::vector<Span>{{10, 3, Kind::Comment},
                                                         {0, 3, Kind::Move},
                                                         {4, 2, Kind::RegisterS},
                                                         {7, 2, Kind::RegisterS}};
        QTest::newRow("unknown mnemonic gets no colour")
            << "FOO I1,J2" << std::vector<Span>{{4, 2, Kind::RegisterI}, {7, 2, Kind::RegisterJ}};
        // A tab is no separator for the encoder: the whole is one unknown word.
        QTest::newRow("tab after mnemonic") << "MOV\tM1,1" << std::vector<Span>{};
        QTest::newRow("arithmetic and motion")
            << "FADD M1,1.5"
            << std::vector<Span>{
                   {0, 4, Kind::Arithmetic}, {5, 2, Kind::RegisterM}, {8, 3, Kind::Number}};
        QTest::newRow("motion") << "linad 1,2,3"
                                << std::vector<Span>{{0, 5, Kind::Motion},
                                                     {6, 1, Kind::Number},
                                                     {8, 1, Kind::Number},
                                                     {10, 1, Kind::Number}};
    }
    void linesAreReadAsTheCompileReadsThem() {
        QFETCH(QString, line);
        QFETCH(std::vector<Span>, spans);
        CProgramHighlighter::Scan scan;
        CProgramHighlighter::ScanLine(line, scan);
        QCOMPARE(scan.spans.size(), spans.size());
        for (std::size_t i = 0; i < spans.size(); ++i) {
            QCOMPARE(scan.spans[i].start, spans[i].start);
            QCOMPARE(scan.spans[i].length, spans[i].length);
            QCOMPARE(int(scan.spans[i].kind), int(spans[i].kind));
        }
    }

    // Every line of the compiler's seed programs: the highlighter's comment begins where the
    // compile cuts, and the code between is the code the compile keeps.
    void theHighlighterCutsWhereTheCompileCuts() {
        const QDir seeds(QStringLiteral(TARVEX_COMPILE_SEEDS));
        const QStringList names = seeds.entryList({QStringLiteral("*.kxc")}, QDir::Files);
        QVERIFY(!names.isEmpty());
        QSet<char16_t> markersMet;
        for (const QString& name : names) {
            QFile file(seeds.filePath(name));
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray program = file.readAll();
            const auto kept = compiler::CutIntoCodeLines(program.toStdString());
            auto next = kept.begin();
            const QList<QByteArray> lines = program.split('\n');
            for (int i = 0; i < lines.size(); ++i) {
                const QByteArray bytes = lines[i].endsWith('\r') ? lines[i].chopped(1) : lines[i];
                const QString text = gbk::Decode(bytes);
                CProgramHighlighter::Scan scan;
                CProgramHighlighter::ScanLine(text, scan);
                const auto comment = std::find_if(scan.spans.begin(), scan.spans.end(), [](auto s) {
                    return s.kind == CProgramHighlighter::Kind::Comment;
                });
                const int commentAt =
                    comment == scan.spans.end() ? int(text.size()) : comment->start;
                if (commentAt < text.size())
                    markersMet.insert(text[commentAt].unicode());
                const QByteArray where = (name + ':' + QString::number(i + 1)).toUtf8();
                QVERIFY2(gbk::Encode(QStringView(text).left(commentAt)).size() ==
                             qsizetype(compiler::syntax::CommentStart(bytes.toStdString())),
                         where);
                std::string code = gbk::Encode(QStringView(text).mid(scan.codeStart,
                                                                     scan.codeEnd - scan.codeStart))
                                       .toStdString();
                mbcs::ToUpper(code);
                if (code.empty())
                    continue;
                QVERIFY2(next != kept.end() && next->editorLine == i + 1, where);
                QCOMPARE(next->text, code);
                ++next;
            }
            QVERIFY(next == kept.end());
        }
        // The seeds hold every marker, so every one is compared.
        for (const auto& marker : compiler::syntax::kCommentMarkers) {
            QVERIFY(markersMet.contains(marker.unicode));
            QCOMPARE(gbk::Decode(QByteArray::fromStdString(std::string(marker.gbk))),
                     QString(QChar(marker.unicode)));
        }
    }

    // The formats land on the text, faulty lines get a wave, and every colour stands out from
    // the base in a light and in a dark palette.
    void theHighlighterColoursAndUnderlines() {
        QTextDocument document;
        document.setDocumentLayout(new QPlainTextDocumentLayout(&document));
        CProgramHighlighter highlighter(&document);
        QCoreApplication::processEvents();  // its first full pass, over the empty text
        document.setPlainText(QStringLiteral("MOV M1,1 ; c\nFOO 1"));
        highlighter.SetFaultyLines({2});
        auto formatAt = [&](int block, int position) {
            for (const QTextLayout::FormatRange& r :
                 document.findBlockByNumber(block).layout()->formats()) {
                if (position >= r.start && position < r.start + r.length)
                    return r.format;
            }
            return QTextCharFormat();
        };
        QCOMPARE(formatAt(0, 0).foreground(), highlighter.Format(Kind::Move).foreground());
        QCOMPARE(formatAt(0, 5).foreground(), highlighter.Format(Kind::RegisterM).foreground());
        QCOMPARE(formatAt(0, 10).foreground(), highlighter.Format(Kind::Comment).foreground());
        QCOMPARE(formatAt(0, 0).underlineStyle(), QTextCharFormat::NoUnderline);
        QCOMPARE(formatAt(1, 0).underlineStyle(), QTextCharFormat::WaveUnderline);
        QCOMPARE(formatAt(1, 4).underlineStyle(), QTextCharFormat::WaveUnderline);
        highlighter.SetFaultyLines({});
        QCOMPARE(formatAt(1, 0).underlineStyle(), QTextCharFormat::NoUnderline);

        for (const QColor& base : {QColor(Qt::white), QColor(30, 30, 30)}) {
            QPalette palette;
            palette.setColor(QPalette::Base, base);
            palette.setColor(QPalette::Text, base.lightness() < 128 ? Qt::white : Qt::black);
            highlighter.SetPalette(palette);
            for (int k = 0; k < int(Kind::Count); ++k) {
                const QColor colour = highlighter.Format(Kind(k)).foreground().color();
                QVERIFY2(std::abs(colour.lightness() - base.lightness()) >= 60,
                         qPrintable(QStringLiteral("kind %1 on %2").arg(k).arg(base.name())));
            }
        }
    }

    void operandHintsTellKindsAndRanges_data() {
        QTest::addColumn<QString>("mnemonic");
        QTest::addColumn<QString>("hint");
        QTest::newRow("jump") << "JLD"
                              << "JLD：目标行 0–2000，寄存器 M/F/S 0–3000，数字 -99999999–99999999";
        QTest::newRow("no operands") << "END"
                                     << "END：无操作数";
        QTest::newRow("float") << "FMOV"
                               << "FMOV：寄存器 M/F 0–10100，小数";
        QTest::newRow("S register") << "SLD"
                                    << "SLD：寄存器 S0–S1024，数字 -99999999–99999999";
        QTest::newRow("bits") << "JB"
                              << "JB：目标行 0–2000，位 B/I/J/O 0–99";
        QTest::newRow("number or register")
            << "DISPLAY"
            << "DISPLAY：数字 0–99999999，数字 0–99999999 或寄存器 M/F/S，数字 0–99999999";
    }
    void operandHintsTellKindsAndRanges() {
        QFETCH(QString, mnemonic);
        QFETCH(QString, hint);
        const auto* d = compiler::FindInstruction(mnemonic.toStdString());
        QVERIFY(d);
        QCOMPARE(QString::fromStdString(compiler::OperandHint(*d)), hint);
    }

    // Problems are listed with the compile's own messages, F4 and Shift+F4 walk them, a fix
    // takes the row away.
    void theLiveCheckListsProblemsAndF4WalksThem() {
        EditorRun run;
        QVERIFY(run.Start());
        CTarvexView& view = run.View();
        view.SetWholeText(kFaulty);
        const compiler::CheckReport expected = compiler::CheckProgram(kFaulty.toStdString());
        QCOMPARE(expected.findings.size(), std::size_t(3));
        // X5 is no register, so the compile read it as a label's name.
        const QStringList rows = {"3|程序命令错误！",
                                  "5|程序第二参数类型错误！（未定义的标签 X5？）",
                                  "6|程序第一参数范围超限！"};
        QCOMPARE(Rows(run.Frame()), rows);
        // The row speaks the editor's line; its tooltip keeps the compile's own message.
        const QTreeWidgetItem* first =
            run.Part<CProblemsDock>("problemsDock")->List()->topLevelItem(0);
        QCOMPARE(first->text(1), QStringLiteral("程序命令错误！"));
        QCOMPARE(first->toolTip(1), QString::fromStdString(expected.findings[0].message));
        QVERIFY(view.Highlighter().IsFaulty(3) && !view.Highlighter().IsFaulty(4));

        const struct {
            QAction* command;
            int line;
        } walk[] = {{run.Do().nextProblem, 3},     {run.Do().nextProblem, 5},
                    {run.Do().nextProblem, 6},     {run.Do().nextProblem, 3},
                    {run.Do().previousProblem, 6}, {run.Do().previousProblem, 5}};
        for (const auto& step : walk) {
            step.command->trigger();
            QCOMPARE(CaretLine(view), step.line);
        }
        QCOMPARE(run.Part<QLabel>("messagePane")->text(),
                 QString::fromStdString(expected.findings[1].message));

        // A click on a row goes to its line.
        QTreeWidget* list = run.Part<CProblemsDock>("problemsDock")->List();
        emit list->itemClicked(list->topLevelItem(2), 0);
        QCOMPARE(CaretLine(view), 6);

        // Fixing line 3 by typing removes its row and its underline.
        view.GoToLine(3);
        QTest::keyClick(&view, Qt::Key_Delete);
        QTest::keyClick(&view, Qt::Key_Delete);
        QTest::keyClick(&view, Qt::Key_Delete);
        QTest::keyClicks(&view, QStringLiteral("INC"));
        QCOMPARE(Rows(run.Frame()).size(), 2);
        QVERIFY(!view.Highlighter().IsFaulty(3));
    }

    // Until the next check comes, a mark moves with its line when lines come in above it.
    void theUnderlineMovesWithItsLine() {
        EditorRun run;
        QVERIFY(run.Start());
        CTarvexView& view = run.View();
        view.SetWholeText(kFaulty);
        view.LiveCheck().SetSynchronous(false);
        view.LiveCheck().SetDelay(60 * 60 * 1000);
        view.GoToLine(1);
        QTest::keyClick(&view, Qt::Key_Return);
        QVERIFY(!view.Highlighter().IsFaulty(3));
        QVERIFY(view.Highlighter().IsFaulty(4));
        QVERIFY(view.Highlighter().IsFaulty(6) && view.Highlighter().IsFaulty(7));
        view.GoToLine(4);  // Enter at the start of the faulty line: the mark stays on its text
        QTest::keyClick(&view, Qt::Key_Return);
        QVERIFY(!view.Highlighter().IsFaulty(4) && view.Highlighter().IsFaulty(5));
        view.LiveCheck().RunNow();
        QVERIFY(view.Highlighter().IsFaulty(5) && !view.Highlighter().IsFaulty(4));
    }

    // Hovering a good line tells nothing, a faulty line its message.
    void aFaultyLineTellsItsMessageOnHover() {
        EditorRun run;
        QVERIFY(run.Start());
        run.Frame().show();
        QVERIFY(QTest::qWaitForWindowExposed(&run.Frame()));
        CTarvexView& view = run.View();
        view.SetWholeText(kFaulty);
        const compiler::CheckReport report = compiler::CheckProgram(kFaulty.toStdString());
        for (const int line : {4, 3}) {
            const QTextCursor at(view.document()->findBlockByNumber(line - 1));
            const QPoint place = view.cursorRect(at).center();
            QHelpEvent hover(QEvent::ToolTip, place, view.viewport()->mapToGlobal(place));
            QApplication::sendEvent(view.viewport(), &hover);
            const QString expected =
                line == 3 ? QString::fromStdString(report.findings[0].message) : QString();
            QCOMPARE(QToolTip::isVisible() ? QToolTip::text() : QString(), expected);
        }
    }

    void aProgramWithoutEndSaysSo() {
        EditorRun run;
        QVERIFY(run.Start());
        QTest::keyClicks(&run.View(), QStringLiteral("MOV M1,1"));
        QCOMPARE(Rows(run.Frame()), QStringList{QStringLiteral("|警告：程序缺少“End”！")});
        run.View().SetWholeText({});
        QVERIFY(Rows(run.Frame()).isEmpty());
    }

    // The check runs off the GUI thread after the pause; an edit meanwhile makes the result
    // stale and only the newest one is shown.
    void theWorkerDeliversOnlyTheNewestResult() {
        QString text = QStringLiteral("FOO\nEND\n");
        CLiveCheck check([&text] { return text; });
        check.SetDelay(0);
        int reports = 0;
        connect(&check, &CLiveCheck::Checked, this, [&reports] { ++reports; });
        check.Schedule();
        QVERIFY(QTest::qWaitFor([&] { return reports == 1; }, 5000));
        QCOMPARE(check.Report().findings.size(), std::size_t(1));
        text = QStringLiteral("END\n");
        check.Schedule();
        check.Schedule();
        QVERIFY(QTest::qWaitFor([&] { return reports == 2; }, 5000));
        QCoreApplication::processEvents();
        QCOMPARE(reports, 2);
        QVERIFY(check.Report().findings.empty() && check.Report().endReached);
    }

    void showFaultMarksTheLineUntilTheNextEdit() {
        EditorRun run;
        QVERIFY(run.Start());
        CTarvexView& view = run.View();
        view.SetWholeText(kFaulty);
        view.ShowFault(5);
        QCOMPARE(CaretLine(view), 5);
        QCOMPARE(view.MarkedLine(), 5);
        QCOMPARE(view.extraSelections().size(), 2);
        QTest::keyClicks(&view, QStringLiteral(" "));
        QCOMPARE(view.MarkedLine(), 0);
        QCOMPARE(view.extraSelections().size(), 1);
        view.ShowFault(99);
        QCOMPARE(CaretLine(view), view.document()->blockCount());
    }

    // "程序编译" keeps its message box; once it is answered the editor shows the refused line.
    void aRefusedLineOfTheCompileIsShown() {
        EditorRun run;
        QVERIFY(run.Start());
        run.View().SetWholeText(kFaulty);
        const QString object = dir.filePath(QStringLiteral("shown.kxo"));
        run.prompts.fileAnswers.enqueue(object);
        QVERIFY(RunModal<CTranslateDlg>(run.Do().compile, [](CTranslateDlg& compile) {
            compile.Browse();
            compile.Compile();
        }));
        QCOMPARE(run.prompts.messages.size(), 1);
        QCOMPARE(run.View().MarkedLine(), 3);
        QCOMPARE(CaretLine(run.View()), 3);
    }

    void findReplaceAndGoTo() {
        EditorRun run;
        QVERIFY(run.Start());
        CTarvexView& view = run.View();
        view.SetWholeText("MOV M1,1\r\nmov m2,2\r\nEND\r\n");
        CFindDlg& find = run.Frame().FindDialog();
        run.Do().find->trigger();
        QVERIFY(find.isVisible());
        QVERIFY(find.replaceEdit->isHidden());
        find.findEdit->setText(QStringLiteral("mov"));
        find.findNextButton->click();
        QCOMPARE(CaretLine(view), 1);
        run.Do().findNext->trigger();
        QCOMPARE(CaretLine(view), 2);
        run.Do().findNext->trigger();  // wraps
        QCOMPARE(CaretLine(view), 1);
        run.Do().findPrevious->trigger();
        QCOMPARE(CaretLine(view), 2);
        find.matchCase->setChecked(true);
        run.Do().findNext->trigger();
        QCOMPARE(CaretLine(view), 2);
        find.findEdit->setText(QStringLiteral("XYZ"));
        find.findNextButton->click();
        QCOMPARE(find.status->text(), QStringLiteral("找不到“XYZ”"));

        run.Do().replace->trigger();
        QVERIFY(!find.replaceEdit->isHidden());
        find.matchCase->setChecked(false);
        find.findEdit->setText(QStringLiteral("m"));
        find.replaceEdit->setText(QStringLiteral("中"));
        find.replaceAllButton->click();
        QCOMPARE(find.status->text(), QStringLiteral("已替换 %1 处").arg(4));
        QCOMPARE(view.WholeText(), gbk::Encode(QStringLiteral("中OV 中1,1\n中ov 中2,2\nEND\n")));
        QCOMPARE(view.TextBytes(), view.WholeText().size());
        view.undo();  // one step
        QCOMPARE(view.WholeText(), QByteArray("MOV M1,1\r\nmov m2,2\r\nEND\r\n"));

        // Ctrl+G asks for the line.
        int lines = 0;
        QVERIFY(RunModal<QInputDialog>(run.Do().goToLine, [&lines](QInputDialog& d) {
            lines = d.intMaximum();
            d.setIntValue(3);
            d.accept();
        }));
        QCOMPARE(lines, 4);
        QCOMPARE(CaretLine(view), 3);
    }

    void aReplaceBeyondTheCapacityChangesNothing() {
        EditorRun run;
        QVERIFY(run.Start());
        CTarvexView& view = run.View();
        QByteArray text = "ab";
        while (text.size() + 80 <= programfile::kCapacity - 1)
            text += QByteArray(78, 'x') + "\r\n";
        text += QByteArray(programfile::kCapacity - 1 - text.size(), 'x');
        view.LiveCheck().SetSynchronous(false);
        view.SetWholeText(text);
        QCOMPARE(view.ReplaceAll(QStringLiteral("a"), QStringLiteral("中中"), {}), -1);
        QCOMPARE(view.TextBytes(), programfile::kCapacity - 1);
        QCOMPARE(view.ReplaceAll(QStringLiteral("a"), QStringLiteral("中"), {}), 1);
        QCOMPARE(view.TextBytes(), programfile::kCapacity);
    }

    // A whole new text is counted from the text as set: the count, the bytes given back, the
    // caret, the undo steps and the modified mark are what they are after any open.
    void aWholeTextKeepsItsBytesAndStartsClean_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("one line, no end") << QByteArray("END");
        QTest::newRow("CR LF lines") << QByteArray("MOV M1,1\r\n\r\nEND\r\n");
        QTest::newRow("GBK and raw bytes") << QByteArray(
            "\xD6\xD0\x81\r\n\xFF\x80"
            "A\r\n");
        QTest::newRow("lone CR, LF, NUL") << QByteArray("A\rB\nC\0D\r\n\n\r");
        QTest::newRow("separators in GBK") << QByteArray("\xA1\xA1\r\n\xA8\xBF\r\n");
    }
    void aWholeTextKeepsItsBytesAndStartsClean() {
        QFETCH(QByteArray, bytes);
        EditorRun run;
        QVERIFY(run.Start());
        CTarvexView& view = run.View();
        view.SetWholeText("MOV M1,1\r\nEND\r\n");
        view.textCursor().insertText(QStringLiteral("x"));
        const QString path = dir.filePath(QStringLiteral("whole.kxc"));
        WriteBytes(path, bytes);
        QCOMPARE(run.Doc().OnOpenDocument(path), CTarvexDoc::OpenOutcome::Opened);
        QCOMPARE(view.TextBytes(), bytes.size());
        QCOMPARE(view.WholeText(), bytes);
        QCOMPARE(view.textCursor().position(), 0);
        QVERIFY(!view.document()->isUndoAvailable());
        QVERIFY(!view.document()->isModified());
        QVERIFY(!run.Doc().IsModified());
        view.textCursor().insertText(QStringLiteral("中\n"));
        QCOMPARE(view.TextBytes(), view.WholeText().size());
    }

    // Lines of an opened text get their colours when they are shown or printed, not before.
    void anOpenedTextIsColouredAsItIsShown() {
        EditorRun run;
        QVERIFY(run.Start());
        CTarvexView& view = run.View();
        QByteArray bytes;
        for (int i = 0; i < 3000; ++i)
            bytes += "MOV M1,1 ; c\r\n";
        view.SetWholeText(bytes);
        const auto coloured = [&view](int line) {
            return !view.document()->findBlockByNumber(line - 1).layout()->formats().isEmpty();
        };
        QVERIFY(!coloured(1) && !coloured(3000));
        view.grab();
        QVERIFY(coloured(1) && !coloured(1500) && !coloured(3000));
        view.GoToLine(3000);
        view.grab();
        QVERIFY(coloured(3000) && !coloured(1500));
        QTemporaryFile pdf;
        QVERIFY(pdf.open());
        QPdfWriter printer(pdf.fileName());
        view.Print(&printer);
        QVERIFY(coloured(1500));
        // Typing still colours its line at once.
        view.GoToLine(1500);
        view.textCursor().insertText(QStringLiteral("END\n"));
        QVERIFY(coloured(1500));
    }

    void faultTextsLoseTheirCodeLine_data() {
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("codeLine");
        QTest::addColumn<QString>("text");
        QTest::newRow("Chinese") << "第 2 行程序命令错误！" << 2 << "程序命令错误！";
        QTest::newRow("a number inside another")
            << "第 12 行程序缺少参数！" << 2 << "第 12 行程序缺少参数！";
        QTest::newRow("capacity keeps its own numbers")
            << "第 36001 行程序超出程序容量（最多 36000 行）！" << 36001
            << "程序超出程序容量（最多 36000 行）！";
        QTest::newRow("English") << "Line 7: unknown instruction!" << 7 << "unknown instruction!";
    }
    void faultTextsLoseTheirCodeLine() {
        QFETCH(QString, message);
        QFETCH(int, codeLine);
        QFETCH(QString, text);
        QCOMPARE(FaultText(message, codeLine), text);
    }

    // A type fault on a name no line defines says so in the list; the compile message stays.
    void anUndefinedLabelIsNamed_data() {
        QTest::addColumn<QByteArray>("program");
        QTest::addColumn<QString>("row");
        QTest::newRow("misspelt label") << QByteArray("LOOP: INC M1\r\nJMP LOPP\r\nEND\r\n")
                                        << "2|程序第一参数类型错误！（未定义的标签 LOPP？）";
        QTest::newRow("label in other letter case is defined")
            << QByteArray("Loop: INC M1\r\nJMP LOOP,1\r\nEND\r\n") << "";
        QTest::newRow("second operand") << QByteArray("MOV M1,COUNT\r\nEND\r\n")
                                        << "1|程序第二参数类型错误！（未定义的标签 COUNT？）";
        QTest::newRow("a register is no name") << QByteArray("MOV B1,M2\r\nEND\r\n") << "";
    }
    void anUndefinedLabelIsNamed() {
        QFETCH(QByteArray, program);
        QFETCH(QString, row);
        EditorRun run;
        QVERIFY(run.Start());
        run.View().SetWholeText(program);
        const compiler::CheckReport report = compiler::CheckProgram(program.toStdString());
        const QStringList rows = Rows(run.Frame());
        if (row.isEmpty()) {
            for (const QString& r : rows)
                QVERIFY2(!r.contains(QStringLiteral("未定义的标签")), qPrintable(r));
            return;
        }
        QCOMPARE(rows.value(0), row);
        const QTreeWidgetItem* item =
            run.Part<CProblemsDock>("problemsDock")->List()->topLevelItem(0);
        QVERIFY(item->toolTip(1).startsWith(QString::fromStdString(report.findings[0].message)));
        QVERIFY(item->toolTip(1).endsWith(QStringLiteral("？）")));
        QVERIFY(!QString::fromStdString(report.findings[0].message).contains(u'？'));
    }

    // The pane shows the caret's line once the key or paste has taken effect.
    void theLinePaneFollowsEveryEdit_data() {
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("shown");
        QTest::newRow("Enter at a line's end") << 1 << 2 << "Return" << 2;
        QTest::newRow("Enter mid-line") << 2 << 1 << "Return" << 3;
        QTest::newRow("Backspace at a line's start") << 2 << 0 << "Backspace" << 1;
        QTest::newRow("Backspace inside a line") << 2 << 2 << "Backspace" << 2;
        QTest::newRow("Delete joining lines") << 1 << 2 << "Delete" << 1;
        QTest::newRow("paste of two lines") << 1 << 0 << "paste" << 3;
        QTest::newRow("Up") << 3 << 0 << "Up" << 2;
        QTest::newRow("undo of an Enter") << 1 << 2 << "Return,undo" << 1;
    }
    void theLinePaneFollowsEveryEdit() {
        QFETCH(int, line);
        QFETCH(int, column);
        QFETCH(QString, action);
        QFETCH(int, shown);
        EditorRun run;
        QVERIFY(run.Start());
        CTarvexView& view = run.View();
        view.SetWholeText("AB\r\nCD\r\nEND\r\n");
        QTextCursor at(view.document()->findBlockByNumber(line - 1));
        at.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, column);
        view.setTextCursor(at);
        for (const QString& step : action.split(u',')) {
            if (step == u"paste") {
                QApplication::clipboard()->setText(QStringLiteral("X\nY\n"));
                view.paste();
            } else if (step == u"undo") {
                view.undo();
            } else {
                const auto key = QKeySequence::fromString(step)[0].key();
                QTest::keyClick(&view, key);
            }
        }
        QCOMPARE(run.LinePane(), msg::QText(msg::Id::StatusLine, {QString::number(shown)}));
    }

    // The line pane repaints at once when told, so it is told only when its text changes.
    void theLinePaneIsToldOnlyOfANewLine() {
        EditorRun run;
        QVERIFY(run.Start());
        CTarvexView& view = run.View();
        view.SetWholeText("END\r\n");
        QSignalSpy told(&view, &CTarvexView::LineIndicatorChanged);
        QTest::keyClicks(&view, QStringLiteral("ab"));
        QCOMPARE(told.count(), 0);
        QTest::keyClick(&view, Qt::Key_Return);
        QTest::keyClicks(&view, QStringLiteral("cd"));
        QCOMPARE(told.count(), 1);
        QCOMPARE(run.LinePane(), msg::QText(msg::Id::StatusLine, {QStringLiteral("2")}));
    }

    // The running count of bytes always equals a full count, whatever edits come.
    void theByteCountFollowsEveryEdit() {
        EditorRun run;
        QVERIFY(run.Start());
        CTarvexView& view = run.View();
        view.LiveCheck().SetSynchronous(false);
        view.SetWholeText("MOV M1,1\r\n\xD6\xD0\r\nEND\x81\r\n");
        QCOMPARE(view.TextBytes(), view.WholeText().size());
        std::mt19937 random(11);
        const QStringList pieces = {QStringLiteral("a"),    QStringLiteral("中"),
                                    QStringLiteral("\n"),   QStringLiteral("MOV M1,2\n中文\n"),
                                    QString(QChar(0xF781)), QStringLiteral("\U0001F600"),
                                    QStringLiteral("€")};
        for (int i = 0; i < 400; ++i) {
            QTextCursor cursor = view.textCursor();
            const int size = view.document()->characterCount() - 1;
            cursor.setPosition(int(random() % (size + 1)));
            cursor.setPosition(std::min(size, cursor.position() + int(random() % 4)),
                               QTextCursor::KeepAnchor);
            view.setTextCursor(cursor);
            const QString piece = pieces[int(random() % pieces.size())];
            switch (random() % 6) {
                case 0:
                    QApplication::clipboard()->setText(piece);
                    view.paste();
                    break;
                case 1: {
                    QInputMethodEvent commit;
                    commit.setCommitString(piece);
                    QApplication::sendEvent(&view, &commit);
                    break;
                }
                case 2:
                    QTest::keyClick(&view, Qt::Key_Backspace);
                    break;
                case 3:
                    view.undo();
                    break;
                case 4:
                    view.redo();
                    break;
                default:
                    view.textCursor().insertText(piece);
            }
            QCOMPARE(view.TextBytes(), view.WholeText().size());
        }
        view.SetWholeText("END\r\n");
        QCOMPARE(view.TextBytes(), 5);
    }

    void theTitleCarriesTheModifiedMark() {
        EditorRun run;
        QVERIFY(run.Start());
        QCOMPARE(run.Frame().windowTitle(), QStringLiteral("无标题 - Tarvex620B-KF"));
        QTest::keyClicks(&run.View(), QStringLiteral("E"));
        QCOMPARE(run.Frame().windowTitle(), QStringLiteral("无标题* - Tarvex620B-KF"));
        const QString file = dir.filePath(QStringLiteral("title.kxc"));
        run.prompts.fileAnswers.enqueue(file);
        run.Do().fileSave->trigger();
        QCOMPARE(run.Frame().windowTitle(), QStringLiteral("title.kxc - Tarvex620B-KF"));
    }

    void mnemonicsCompleteAndHintTheirOperands() {
        EditorRun run;
        QVERIFY(run.Start());
        run.Frame().show();
        CTarvexView& view = run.View();
        QTest::keyClicks(&view, QStringLiteral("jl"));
        QCompleter* completer = view.Completer();
        QVERIFY(completer->popup()->isVisible());
        QCOMPARE(completer->completionCount(), 2);  // JLD, JLM
        QTest::keyClick(completer->popup(), Qt::Key_Tab);
        QCOMPARE(view.WholeText(), QByteArray("jld"));
        QVERIFY(!completer->popup()->isVisible());
        QCOMPARE(run.Part<QLabel>("hintPane")->text(),
                 QString::fromStdString(compiler::OperandHint(*compiler::FindInstruction("JLD"))));
        // Enter without a chosen entry ends the line.
        QTest::keyClick(&view, Qt::Key_Return);
        QTest::keyClicks(&view, QStringLiteral("MO"));
        QVERIFY(completer->popup()->isVisible());
        QTest::keyClick(&view, Qt::Key_Return);
        QCOMPARE(view.WholeText(), QByteArray("jld\r\nMO\r\n"));
        QVERIFY(run.Part<QLabel>("hintPane")->isHidden());
    }

    void labelNamesCompleteWhereAnOperandGoes() {
        EditorRun run;
        QVERIFY(run.Start());
        run.Frame().show();
        CTarvexView& view = run.View();
        view.SetWholeText("Loop1: INC M1\r\nLoopEnd: DEC M1\r\n");
        view.moveCursor(QTextCursor::End);
        QTest::keyClicks(&view, QStringLiteral("JMP Lo"));
        QCompleter* completer = view.Completer();
        QVERIFY(completer->popup()->isVisible());
        QCOMPARE(completer->completionCount(), 2);
        QTest::keyClick(completer->popup(), Qt::Key_Tab);
        QCOMPARE(view.textCursor().block().text(), QStringLiteral("JMP Loop1"));
        // Where the mnemonic goes, mnemonics again.
        QTest::keyClick(&view, Qt::Key_Return);
        QTest::keyClicks(&view, QStringLiteral("jl"));
        QCOMPARE(completer->completionCount(), 2);  // JLD, JLM
        QTest::keyClick(&view, Qt::Key_Escape);
    }

    void undoToTheSavedTextIsUnmodifiedAndRedoReturns() {
        EditorRun run;
        QVERIFY(run.Start());
        CTarvexView& view = run.View();
        QTest::keyClicks(&view, QStringLiteral("AB"));
        run.prompts.fileAnswers.enqueue(dir.filePath(QStringLiteral("undo.kxc")));
        run.Do().fileSave->trigger();
        QVERIFY(!run.Doc().IsModified());
        QVERIFY(!run.Do().redo->isEnabled());
        QTest::keyClicks(&view, QStringLiteral("C"));
        QVERIFY(run.Doc().IsModified());
        run.Do().undo->trigger();
        QCOMPARE(view.WholeText(), QByteArray("AB"));
        QVERIFY(!run.Doc().IsModified());
        QCOMPARE(run.Frame().windowTitle(), QStringLiteral("undo.kxc - Tarvex620B-KF"));
        QVERIFY(run.Do().redo->isEnabled());
        run.Do().redo->trigger();
        QCOMPARE(view.WholeText(), QByteArray("ABC"));
        QVERIFY(run.Doc().IsModified());
        // Undoing past the saved point is a change again.
        run.Do().undo->trigger();
        run.Do().undo->trigger();
        QVERIFY(run.Doc().IsModified());
    }

    void zoomKeepsTheCaretLineInSight() {
        EditorRun run;
        QVERIFY(run.Start());
        run.Frame().show();
        CTarvexView& view = run.View();
        QByteArray text;
        for (int i = 0; i < 300; ++i)
            text += "MOV M1,1\r\n";
        view.SetWholeText(text);
        view.GoToLine(150);
        for (int i = 0; i < 6; ++i) {
            run.Do().zoomIn->trigger();
            QVERIFY(view.viewport()->rect().contains(view.cursorRect()));
        }
        for (int i = 0; i < 10; ++i) {
            run.Do().zoomOut->trigger();
            QVERIFY(view.viewport()->rect().contains(view.cursorRect()));
        }
    }

    void anObjectProgramOpensAsItsDisassembly() {
        const QByteArray source = "MOV M1,5\r\nJGD 1,M1,0\r\nEND\r\n";
        const compiler::Translation t = compiler::Translate(source.toStdString());
        const QString object = dir.filePath(QStringLiteral("p.kxo"));
        const QByteArray objectBytes = QByteArray::fromStdString(t.objectBytes);
        WriteBytes(object, objectBytes);
        const QDateTime written = QFileInfo(object).lastModified();
        EditorRun run;
        QVERIFY(run.Start());
        QVERIFY(run.app.OpenDocumentFile(object));
        QCOMPARE(run.Doc().title, QStringLiteral("无标题"));
        QVERIFY(run.Doc().pathName.isEmpty());
        QVERIFY(!run.Doc().IsModified());
        QCOMPARE(run.app.recentFiles.value(0), QFileInfo(object).absoluteFilePath());
        // The text compiles back to the same object program.
        QCOMPARE(QByteArray::fromStdString(
                     compiler::Translate(run.View().WholeText().toStdString()).objectBytes),
                 objectBytes);
        QVERIFY(run.prompts.messages.isEmpty());
        QCOMPARE(ReadBytes(object), objectBytes);
        QCOMPARE(QFileInfo(object).lastModified(), written);

        const QString broken = dir.filePath(QStringLiteral("broken.kxo"));
        WriteBytes(broken, "not an object");
        QVERIFY(!run.app.OpenDocumentFile(broken));
        QCOMPARE(run.prompts.messages.size(), 1);
        QVERIFY(run.prompts.messages[0].startsWith(QDir::toNativeSeparators(broken)));
        QCOMPARE(ReadBytes(broken), QByteArray("not an object"));
    }

    void zoomChangesTheSizeAndResets() {
        EditorRun run;
        QVERIFY(run.Start());
        CTarvexView& view = run.View();
        const qreal size = view.font().pointSizeF();
        run.Do().zoomIn->trigger();
        run.Do().zoomIn->trigger();
        QCOMPARE(view.font().pointSizeF(), size + 2);
        QWheelEvent wheel(QPointF(5, 5), view.mapToGlobal(QPoint(5, 5)), {}, {0, -120},
                          Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view.viewport(), &wheel);
        QCOMPARE(view.font().pointSizeF(), size + 1);
        run.Do().zoomReset->trigger();
        QCOMPARE(view.font().pointSizeF(), size);
        // A fixed pitch: narrow and wide letters take the same room.
        QCOMPARE(view.fontMetrics().horizontalAdvance(u'i'),
                 view.fontMetrics().horizontalAdvance(u'M'));
    }
};

QTEST_MAIN(EditorTest)
#include "EditorTest.moc"

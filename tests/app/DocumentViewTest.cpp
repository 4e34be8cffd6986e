#include <QApplication>
#include <QClipboard>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>

#include "AppFixture.h"
#include "app/EncodingBar.h"
#include "app/ProgramFile.h"
#include "compiler/TranslateDlg.h"
#include "tests/support/QtFiles.h"

using Answer = ui::Prompts::Answer;

namespace {

QByteArray Gbk(std::initializer_list<int> values) {
    return testsupport::Bytes(values);
}

// A program text of exactly `size` bytes: lines of GBK and ASCII with CR LF.
QByteArray ProgramOfSize(qsizetype size) {
    const QByteArray line = Gbk({0xD6, 0xD0, 'M', 'O', 'V', ' ', 'M', '1', ',', '0', 0x0D, 0x0A});
    QByteArray bytes;
    bytes.reserve(size);
    while (bytes.size() + line.size() <= size)
        bytes += line;
    bytes += QByteArray(size - bytes.size(), 'x');
    return bytes;
}

// Any text, one key per character, as a keyboard with an input method would send it.
void Type(QWidget* w, const QString& text) {
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// `file` holding END, opened from the command line, and `typed` typed after its end.
[[nodiscard]] bool OpenAndTypeAtEnd(AppRun& run, const QString& file, const QString& typed) {
    WriteBytes(file, "END\r\n");
    if (!run.Start({QStringLiteral("/Embedding"), file}))
        return false;
    QTest::keyClick(&run.View(), Qt::Key_End, Qt::ControlModifier);
    Type(&run.View(), typed);
    return true;
}

}  // namespace

class DocumentViewTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString Path(const QString& name) const { return dir.filePath(name); }

private slots:
    void init() { ClearProfile(); }

    // A UTF-8 file opens as it is under a bar; only the user's choice converts it.
    void aUtf8FileIsOfferedForConversion() {
        const QByteArray utf8 = "' \xE4\xB8\xAD\xE6\x96\x87\nEND\n";
        const QByteArray asGbk = "' \xD6\xD0\xCE\xC4\r\nEND\r\n";
        WriteBytes(Path("u.kxc"), utf8);
        WriteBytes(Path("g.kxc"), asGbk);
        AppRun run;
        QVERIFY(run.StartShown());
        CEncodingBar& bar = *run.Part<CEncodingBar>("encodingBar");
        QVERIFY(bar.isHidden());
        for (QPushButton* choice : {bar.KeepButton(), bar.OpenAsUtf8Button()}) {
            QVERIFY(run.app.OpenDocumentFile(Path("u.kxc")));
            QVERIFY(bar.isVisible());
            QCOMPARE(run.View().WholeText(), utf8);
            QVERIFY(!run.Doc().IsModified());
            choice->click();
            QVERIFY(bar.isHidden());
            if (choice == bar.KeepButton()) {
                QCOMPARE(run.View().WholeText(), utf8);
                QVERIFY(!run.Doc().IsModified());
                // A GBK file has no bar.
                QVERIFY(run.app.OpenDocumentFile(Path("g.kxc")));
                QVERIFY(bar.isHidden());
            }
        }
        QCOMPARE(run.View().WholeText(), asGbk);
        QVERIFY(run.Doc().IsModified());
        run.Do().fileSave->trigger();
        QCOMPARE(ReadBytes(Path("u.kxc")), asGbk);
        WriteBytes(Path("u2.kxc"), utf8);
        QVERIFY(run.app.OpenDocumentFile(Path("u2.kxc")));
        QVERIFY(bar.isVisible());
        run.Do().fileNew->trigger();
        QVERIFY(bar.isHidden());
    }

    void startsWithAnEmptyUntitledDocument() {
        AppRun run;
        QVERIFY(run.Start());
        QCOMPARE(run.Frame().windowTitle(), QStringLiteral("无标题 - Tarvex620B-KF"));
        QCOMPARE(run.LinePane(), QStringLiteral("行号： 1"));
        QVERIFY(run.View().WholeText().isEmpty());
        QVERIFY(!run.Doc().IsModified());
        QVERIFY(run.Doc().pathName.isEmpty());
    }

    void filesOpenAndSaveByteForByte_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("GBK with CR LF")
            << Gbk({0xB3, 0xCC, 0xD0, 0xF2, 0x0D, 0x0A, 'E', 'N', 'D', 0x0D, 0x0A});
        QTest::newRow("invalid bytes")
            << Gbk({0xD6, 0x20, 0xA1, 0x7F, 0xFF, 0x0D, 'a', 0x0A, 0x00, 0x81});
        QTest::newRow("capacity") << ProgramOfSize(programfile::kCapacity);
    }
    void filesOpenAndSaveByteForByte() {
        QFETCH(QByteArray, bytes);
        const QString source = Path(QStringLiteral("source.kxc"));
        const QString copy = Path(QStringLiteral("copy.kxc"));
        WriteBytes(source, bytes);
        AppRun run;
        QVERIFY(run.Start({QStringLiteral("/Embedding"), source}));
        QCOMPARE(run.Frame().windowTitle(), QStringLiteral("source.kxc - Tarvex620B-KF"));
        QCOMPARE(run.View().WholeText(), bytes);
        QVERIFY(!run.Doc().IsModified());
        run.prompts.fileAnswers.enqueue(copy);
        run.Do().fileSaveAs->trigger();
        QCOMPARE(ReadBytes(copy), bytes);
        QCOMPARE(run.Doc().pathName, copy);
        QCOMPARE(run.app.recentFiles.value(0), copy);
        QVERIFY(run.prompts.messages.isEmpty());
    }

    void aFileBeyondTheCapacityLeavesANewDocument() {
        const QString big = Path(QStringLiteral("big.kxc"));
        WriteBytes(big, ProgramOfSize(programfile::kCapacity + 1));
        AppRun run;
        QVERIFY(run.Start());
        Type(&run.View(), QStringLiteral("MOV"));
        run.prompts.answers.enqueue(Answer::No);
        QVERIFY(!run.app.OpenDocumentFile(big));
        QCOMPARE(run.prompts.questions, QStringList{QStringLiteral("将改动保存到 无标题？")});
        QCOMPARE(run.prompts.messages, QStringList{QStringLiteral("该文件太大，无法打开。")});
        QVERIFY(run.View().WholeText().isEmpty());
        QCOMPARE(run.Doc().title, QStringLiteral("无标题"));
        QVERIFY(run.Doc().pathName.isEmpty());
        QVERIFY(!run.Doc().IsModified());
        QVERIFY(run.app.recentFiles.isEmpty());
    }

    void aMissingFileLeavesTheDocumentAsItWas() {
        AppRun run;
        QVERIFY(run.Start());
        Type(&run.View(), QStringLiteral("END"));
        const QString missing = Path(QStringLiteral("missing.kxc"));
        run.prompts.answers.enqueue(Answer::No);
        QVERIFY(!run.app.OpenDocumentFile(missing));
        QCOMPARE(run.prompts.messages, QStringList{QStringLiteral("没有找到 %1。").arg(missing)});
        QCOMPARE(run.View().WholeText(), QByteArray("END"));
        QVERIFY(run.Doc().IsModified());
    }

    void fileErrorsNameTheirCause_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("pattern");
        QTest::newRow("folder") << QStringLiteral("folder.kxc")
                                << QStringLiteral("对 %1 的存取被拒绝。");
        QTest::newRow("path through a file")
            << QStringLiteral("plain.kxc/x.kxc") << QStringLiteral("%1 中包含无效的路径。");
    }
    void fileErrorsNameTheirCause() {
        QFETCH(QString, path);
        QFETCH(QString, pattern);
        QDir(dir.path()).mkdir(QStringLiteral("folder.kxc"));
        WriteBytes(Path(QStringLiteral("plain.kxc")), "x");
        AppRun run;
        QVERIFY(run.Start());
        QVERIFY(!run.app.OpenDocumentFile(Path(path)));
        QCOMPARE(run.prompts.messages.value(0), pattern.arg(Path(path)));
        // Saving there fails the same way and keeps the document modified.
        Type(&run.View(), QStringLiteral("END"));
        run.prompts.fileAnswers.enqueue(Path(path));
        run.Do().fileSave->trigger();
        QCOMPARE(run.prompts.messages.value(1), pattern.arg(Path(path)));
        QVERIFY(run.Doc().IsModified());
        QVERIFY(run.Doc().pathName.isEmpty());
    }

    void aFailedSaveKeepsTheOldFile() {
        const QString file = Path(QStringLiteral("kept.kxc"));
        WriteBytes(file, "OLD\r\n");
        AppRun run;
        QVERIFY(run.Start({QStringLiteral("/Embedding"), file}));
        Type(&run.View(), QStringLiteral("NEW"));
        // The file is replaced by a folder of its name: the save cannot take its place.
        QFile::remove(file);
        QDir(dir.path()).mkpath(QStringLiteral("kept.kxc/inner"));
        run.Do().fileSave->trigger();
        QCOMPARE(run.prompts.messages.size(), 1);
        QVERIFY(QFileInfo(file).isDir());
        QVERIFY(QFileInfo::exists(file + QStringLiteral("/inner")));
        QVERIFY(run.Doc().IsModified());
        QDir(file).removeRecursively();
    }

    void theSaveQuestionDecides_data() {
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<bool>("saveSucceeds");
        QTest::addColumn<bool>("leaves");
        QTest::newRow("yes") << Answer::Yes << true << true;
        QTest::newRow("yes, save fails") << Answer::Yes << false << false;
        QTest::newRow("no") << Answer::No << true << true;
        QTest::newRow("cancel") << Answer::Cancel << true << false;
    }
    void theSaveQuestionDecides() {
        QFETCH(Answer, answer);
        QFETCH(bool, saveSucceeds);
        QFETCH(bool, leaves);
        const QString file = Path(QStringLiteral("question.kxc"));
        QFile::remove(file);
        AppRun run;
        QVERIFY(run.Start());
        Type(&run.View(), QStringLiteral("END"));
        run.prompts.answers.enqueue(answer);
        run.prompts.fileAnswers.enqueue(saveSucceeds ? file
                                                     : Path(QStringLiteral("no/such/dir/q.kxc")));
        run.Do().fileNew->trigger();
        QCOMPARE(run.prompts.questions, QStringList{QStringLiteral("将改动保存到 无标题？")});
        QCOMPARE(run.View().WholeText().isEmpty(), leaves);
        QCOMPARE(run.Doc().IsModified(), !leaves);
        QCOMPARE(QFileInfo::exists(file), answer == Answer::Yes && saveSucceeds);
        if (answer == Answer::Yes && saveSucceeds)
            QCOMPARE(ReadBytes(file), QByteArray("END"));
    }

    void saveAsProposesTheTitleWithTheExtension() {
        AppRun run;
        QVERIFY(run.Start());
        run.Do().fileSaveAs->trigger();
        QCOMPARE(run.prompts.choosers.size(), 1);
        const ui::FileChooser& chooser = run.prompts.choosers[0];
        QCOMPARE(chooser.title, QStringLiteral("保存为"));
        QCOMPARE(chooser.initialFileName, QStringLiteral("无标题.kxc"));
        QCOMPARE(chooser.defaultExtension, QStringLiteral("kxc"));
        QCOMPARE(chooser.filter,
                 QStringLiteral("Tarvex620B文件 (*.kxc)|*.kxc|所有文件 (*.*)|*.*||"));
        QVERIFY(chooser.overwritePrompt);
    }

    void theSameDocumentIsNotReloaded() {
        const QString file = Path(QStringLiteral("same.kxc"));
        AppRun run;
        QVERIFY(OpenAndTypeAtEnd(run, file, QStringLiteral("X")));
        QVERIFY(run.app.OpenDocumentFile(QDir(dir.path()).filePath(QStringLiteral("./same.kxc"))));
        QVERIFY(run.prompts.questions.isEmpty());
        QCOMPARE(run.View().WholeText(), QByteArray("END\r\nX"));
        QVERIFY(run.Doc().IsModified());
    }

    void droppedFilesOpenOneAfterAnother() {
        const QString first = Path(QStringLiteral("first.kxc"));
        const QString second = Path(QStringLiteral("second.kxc"));
        WriteBytes(first, "A");
        WriteBytes(second, "B");
        AppRun run;
        QVERIFY(run.Start());
        emit run.View().FilesDropped({first, second});
        // Opened after the drop has returned to the system.
        QCOMPARE(run.Doc().pathName, QString());
        QTRY_COMPARE(run.Doc().pathName, second);
        QCOMPARE(run.View().WholeText(), QByteArray("B"));
        QCOMPARE(run.app.recentFiles, (QStringList{second, first}));
    }

    void typingStopsAtTheCapacity() {
        const QString file = Path(QStringLiteral("nearlyfull.kxc"));
        WriteBytes(file, ProgramOfSize(programfile::kCapacity - 2));
        AppRun run;
        QVERIFY(run.Start({QStringLiteral("/Embedding"), file}));
        QTest::keyClick(&run.View(), Qt::Key_End, Qt::ControlModifier);
        // Enter needs two bytes, the last byte takes one letter, a double-byte character cannot
        // fit.
        QTest::keyClick(&run.View(), Qt::Key_Return);
        QCOMPARE(run.View().TextBytes(), programfile::kCapacity);
        QTest::keyClick(&run.View(), Qt::Key_Backspace);
        QTest::keyClicks(&run.View(), QStringLiteral("ab"));
        QCOMPARE(run.View().TextBytes(), programfile::kCapacity);
        QTest::keyClick(&run.View(), Qt::Key_Backspace);
        Type(&run.View(), QStringLiteral("中"));
        QCOMPARE(run.View().TextBytes(), programfile::kCapacity - 1);
        QInputMethodEvent chinese;
        chinese.setCommitString(QStringLiteral("中"));
        QApplication::sendEvent(&run.View(), &chinese);
        QCOMPARE(run.View().TextBytes(), programfile::kCapacity - 1);
        QInputMethodEvent letter;
        letter.setCommitString(QStringLiteral("q"));
        QApplication::sendEvent(&run.View(), &letter);
        QCOMPARE(run.View().TextBytes(), programfile::kCapacity);
        QTest::keyClick(&run.View(), Qt::Key_Backspace);
        QApplication::clipboard()->setText(QStringLiteral("xyz"));
        run.View().paste();
        QCOMPARE(run.View().TextBytes(), programfile::kCapacity);
        QVERIFY(run.View().WholeText().endsWith("x"));
    }

    void theLinePaneCountsDisplayLines() {
        AppRun run;
        QVERIFY(run.Start());
        CTarvexView& view = run.View();
        run.Frame().resize(600, 400);
        run.Frame().show();
        QByteArray text;
        for (int i = 1; i <= 60; ++i)
            text += "LINE" + QByteArray::number(i) + "\r\n";
        view.SetWholeText(text);
        view.OnInitialUpdate();
        QCOMPARE(run.LinePane(), QStringLiteral("行号： 1"));

        // Display line 10 at the top, a click on the third visible line.
        view.verticalScrollBar()->setValue(9);
        QTextCursor target(view.document()->findBlockByNumber(11));
        const QPoint onThirdLine = view.cursorRect(target).center();
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, onThirdLine);
        QCOMPARE(run.LinePane(), QStringLiteral("行号： 12"));

        // Scrolling alone leaves the pane.
        view.verticalScrollBar()->setValue(0);
        QCOMPARE(run.LinePane(), QStringLiteral("行号： 12"));
    }

    void enterShowsTheNewLineAtOnce() {
        AppRun run;
        QVERIFY(run.StartShown());
        QTest::keyClicks(&run.View(), QStringLiteral("MOV"));
        QTest::keyClick(&run.View(), Qt::Key_Return);
        QCOMPARE(run.LinePane(), QStringLiteral("行号： 2"));
        QTest::keyClick(&run.View(), Qt::Key_Backspace);
        QCOMPARE(run.LinePane(), QStringLiteral("行号： 1"));
    }

    void aWrappedLineCountsEachDisplayLine() {
        AppRun run;
        QVERIFY(run.Start());
        run.Frame().resize(300, 300);
        run.Frame().show();
        QVERIFY(QTest::qWaitForWindowExposed(&run.Frame()));
        CTarvexView& view = run.View();
        QByteArray longLine;
        for (int i = 0; i < 200; ++i)
            longLine += "MOV M1,0 ";
        view.SetWholeText("FIRST\r\n" + longLine);
        QTest::keyClick(&view, Qt::Key_Down);
        QCOMPARE(run.LinePane(), QStringLiteral("行号： 2"));
        QTest::keyClick(&view, Qt::Key_End, Qt::ControlModifier);
        const int wraps = view.document()->lastBlock().layout()->lineCount();
        QVERIFY(wraps >= 3);
        QCOMPARE(run.LinePane(), QStringLiteral("行号： %1").arg(1 + wraps));
        QTest::keyClick(&view, Qt::Key_Up);
        QCOMPARE(run.LinePane(), QStringLiteral("行号： %1").arg(wraps));
    }

    void theCompileDialogGetsTheUnsavedText() {
        const QString file = Path(QStringLiteral("compile.kxc"));
        AppRun run;
        QVERIFY(OpenAndTypeAtEnd(run, file, QStringLiteral("中")));
        CTranslateDlg* compile =
            RunModal<CTranslateDlg>(run.Do().compile, [](QDialog& dialog) { dialog.reject(); });
        QVERIFY(compile);
        const CTranslateDlg& dialog = *compile;
        QCOMPARE(dialog.settings().programText, Gbk({'E', 'N', 'D', 0x0D, 0x0A, 0xD6, 0xD0}));
        QCOMPARE(dialog.settings().documentPath, file);
        QCOMPARE(ReadBytes(file), QByteArray("END\r\n"));
    }
};

QTEST_MAIN(DocumentViewTest)
#include "DocumentViewTest.moc"

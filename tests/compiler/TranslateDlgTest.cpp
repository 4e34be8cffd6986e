#include <QtTest>

#include "compiler/CompileAside.h"
#include "compiler/CompileRun.h"
#include "compiler/TranslateDlg.h"
#include "tests/common/FileFixtures.h"
#include "tests/support/DialogFixture.h"

namespace {

using testsupport::ReadFile;
using testsupport::WriteFile;

const QByteArray kProgram = "MOV M1,5\r\n\r\n; NOTE\r\nEND\r\n";

QByteArray Expected(const QByteArray& program) {
    const std::string bytes = compiler::Translate(program.toStdString()).objectBytes;
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

using testfs::FileSizeLimit;

}  // namespace

class TranslateDlgTest : public QObject, testsupport::DialogFixture<CTranslateDlg> {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void compilingWithoutATargetReportsAnEmptyPathAndStaysOpen();
    void browsedTargetReceivesTheObjectProgramAndTheDialogCloses();
    void pathTypedIntoTheBoxIsTheTarget();
    void cancelledBrowseKeepsWhatTheBoxShows();
    void confirmedBrowseBecomesTheDefaultObjectFileName();
    void everyOutcomeBeyondCreatingTheFileClosesTheDialog_data();
    void everyOutcomeBeyondCreatingTheFileClosesTheDialog();
    void targetThatCannotBeCreatedKeepsTheProgramForAnotherTry();
    void writeFailureIsReportedAndLeavesTheOldFile();
    void cancelWritesNothing();
    void targetThatIsTheOpenProgramIsRefused_data();
    void targetThatIsTheOpenProgramIsRefused();
    void openingShowsTheTargetPath();
    void modalRunEndsAcceptedAfterACompile();
    void longProgramCompilesAsideToTheSameFileWhileEventsRun();

private:
    QLineEdit* PathEdit() { return Edit("pathEdit"); }
    void SetProgram(const QByteArray& text, const QString& document = QString()) {
        CTranslateDlg::Settings settings = dlg_->settings();
        settings.programText = text;
        settings.documentPath = document;
        dlg_->setSettings(settings);
    }
};

void TranslateDlgTest::init() {
    CTranslateDlg::DefaultObjectFileName() = "程序.kxo";
    Make();
    SetProgram(kProgram);
    QVERIFY(Open());
}

void TranslateDlgTest::cleanup() {
    Drop();
}

void TranslateDlgTest::compilingWithoutATargetReportsAnEmptyPathAndStaysOpen() {
    Click("compileButton");
    QCOMPARE(prompts_->messages, QStringList{"不能生成文件：  ！"});
    QVERIFY(dlg_->isVisible());
    QCOMPARE(dlg_->settings().programText, kProgram);
}

void TranslateDlgTest::browsedTargetReceivesTheObjectProgramAndTheDialogCloses() {
    const QString target = dir_->filePath("目标 1.kxo");
    Browse(target);
    QCOMPARE(dlg_->settings().targetPath, target);
    QCOMPARE(PathEdit()->text(), target);

    bool visibleAtMessage = true;
    int resultAtMessage = -1;
    prompts_->onMessage = [&](const QString&) {
        visibleAtMessage = dlg_->isVisible();
        resultAtMessage = dlg_->result();
    };
    Click("compileButton");

    QCOMPARE(prompts_->messages, QStringList{"编译成功！目标文件：" + target + " !"});
    QVERIFY(!visibleAtMessage);
    QCOMPARE(resultAtMessage, int(QDialog::Accepted));
    const QByteArray bytes = ReadFile(target);
    QCOMPARE(bytes.size(), 20 + 2 * 24);
    QVERIFY(bytes.startsWith("This is RVL412E.kxo!"));
    QCOMPARE(bytes.right(24), QByteArray("\x02\x08", 2) + QByteArray(22, '\0'));
    QCOMPARE(bytes, Expected(kProgram));
    QVERIFY(dlg_->settings().programText.isEmpty());
}

void TranslateDlgTest::pathTypedIntoTheBoxIsTheTarget() {
    const QString chosen = dir_->filePath("chosen.kxo");
    const QString typed = dir_->filePath("typed.kxo");
    Browse(chosen);
    PathEdit()->clear();
    QTest::keyClicks(PathEdit(), typed);
    Click("compileButton");

    QCOMPARE(prompts_->messages, QStringList{"编译成功！目标文件：" + typed + " !"});
    QCOMPARE(ReadFile(typed), Expected(kProgram));
    QVERIFY(!QFile::exists(chosen));
    QCOMPARE(dlg_->settings().targetPath, typed);
}

void TranslateDlgTest::cancelledBrowseKeepsWhatTheBoxShows() {
    const QString chosen = dir_->filePath("chosen.kxo");
    Browse(chosen);
    QTest::keyClicks(PathEdit(), "2");
    Browse(std::nullopt);
    QCOMPARE(dlg_->settings().targetPath, chosen + "2");
    QCOMPARE(PathEdit()->text(), chosen + "2");
    QCOMPARE(CTranslateDlg::DefaultObjectFileName(), QString("chosen.kxo"));
    QVERIFY(prompts_->messages.isEmpty());
}

void TranslateDlgTest::confirmedBrowseBecomesTheDefaultObjectFileName() {
    Browse(dir_->filePath("sub/第一.kxo"));
    Browse(std::nullopt);
    ui::ScriptedPrompts otherPrompts;
    CTranslateDlg other(otherPrompts);
    other.Browse();

    QCOMPARE(prompts_->choosers.size(), 2);
    const ui::FileChooser& first = prompts_->choosers[0];
    QCOMPARE(first.initialFileName, QString("程序.kxo"));
    QCOMPARE(first.defaultExtension, QString("txt"));
    QCOMPARE(first.filter, QString("Text Files(*.kxo)|*.kxo|All Files(*.*)|*.*||"));
    QVERIFY(first.overwritePrompt);
    QVERIFY(!first.mustExist);
    QCOMPARE(prompts_->chooserKinds.first(), ui::ScriptedPrompts::ChooserKind::Open);
    QCOMPARE(prompts_->choosers[1].initialFileName, QString("第一.kxo"));
    // The name belongs to the application, not to one dialog.
    QCOMPARE(otherPrompts.choosers.value(0).initialFileName, QString("第一.kxo"));
}

void TranslateDlgTest::everyOutcomeBeyondCreatingTheFileClosesTheDialog_data() {
    QTest::addColumn<QByteArray>("program");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("records");  // -1: no object program is left

    QTest::newRow("fault counted in code lines")
        << QByteArray("\r\n; note\r\nMOV M1,5\r\nFOO 1\r\nEND\r\n") << "第 2 行程序命令错误！"
        << -1;
    QTest::newRow("label definition alone")
        << QByteArray("MOV M1,5\r\nL1:\r\nEND") << "第 2 行程序命令错误！" << -1;
    QTest::newRow("missing operand")
        << QByteArray("MOV M1\r\nEND\r\n") << "第 1 行程序缺少参数！" << -1;
    QTest::newRow("no END") << QByteArray("mov m1,5\r\nMOV M2,6") << "警告：程序缺少“End”！" << 2;
    QTest::newRow("empty program") << QByteArray() << "警告：程序缺少“End”！" << 0;
}

void TranslateDlgTest::everyOutcomeBeyondCreatingTheFileClosesTheDialog() {
    QFETCH(QByteArray, program);
    QFETCH(QString, message);
    QFETCH(int, records);
    const QString target = dir_->filePath("out.kxo");
    SetProgram(program);
    Browse(target);
    Click("compileButton");

    QCOMPARE(prompts_->messages, QStringList{message});
    QVERIFY(!dlg_->isVisible());
    QCOMPARE(dlg_->result(), int(QDialog::Accepted));
    if (records < 0) {
        QVERIFY(!QFile::exists(target));
    } else {
        QCOMPARE(ReadFile(target).size(), 20 + 24 * records);
        QCOMPARE(ReadFile(target), Expected(program));
    }
    QVERIFY(dlg_->settings().programText.isEmpty());
}

void TranslateDlgTest::targetThatCannotBeCreatedKeepsTheProgramForAnotherTry() {
    WriteFile(dir_->filePath("plain"), "x");
    const QString impossible = dir_->filePath("plain/out.kxo");
    Browse(impossible);
    Click("compileButton");
    QCOMPARE(prompts_->messages, QStringList{"不能生成文件： " + impossible + " ！"});
    QVERIFY(dlg_->isVisible());
    QCOMPARE(dlg_->settings().programText, kProgram);

    const QString target = dir_->filePath("out.kxo");
    Browse(target);
    Click("compileButton");
    QCOMPARE(prompts_->messages.value(1), "编译成功！目标文件：" + target + " !");
    QCOMPARE(ReadFile(target), Expected(kProgram));
}

void TranslateDlgTest::writeFailureIsReportedAndLeavesTheOldFile() {
    const QString target = dir_->filePath("old.kxo");
    WriteFile(target, "old");
    Browse(target);
    {
        FileSizeLimit limit(30);
        Click("compileButton");
    }
    QCOMPARE(prompts_->messages, QStringList{"不能写入文件： " + target + " ！"});
    QVERIFY(dlg_->isVisible());
    QCOMPARE(dlg_->settings().programText, kProgram);
    QCOMPARE(ReadFile(target), QByteArray("old"));
}

void TranslateDlgTest::targetThatIsTheOpenProgramIsRefused_data() {
    QTest::addColumn<QString>("target");
    QTest::newRow("the same path") << "p.kxc";
    QTest::newRow("the same path spelt otherwise") << "sub/../p.kxc";
    QTest::newRow("a link to it") << "link.kxo";
}

void TranslateDlgTest::targetThatIsTheOpenProgramIsRefused() {
    QFETCH(QString, target);
    const QString program = dir_->filePath("p.kxc");
    WriteFile(program, kProgram);
    QVERIFY(QDir(dir_->path()).mkdir("sub"));
    QVERIFY(QFile::link(program, dir_->filePath("link.kxo")));
    SetProgram(kProgram, program);
    target = dir_->filePath(target);
    Browse(target);
    Click("compileButton");
    QCOMPARE(prompts_->messages, QStringList{"输出文件与输入文件相同：" + target});
    QVERIFY(dlg_->isVisible());
    QCOMPARE(ReadFile(program), kProgram);
}

void TranslateDlgTest::cancelWritesNothing() {
    Browse(dir_->filePath("out.kxo"));
    Click("cancelButton");
    QVERIFY(!dlg_->isVisible());
    QCOMPARE(dlg_->result(), int(QDialog::Rejected));
    QVERIFY(prompts_->messages.isEmpty());
    QVERIFY(!QFile::exists(dir_->filePath("out.kxo")));
    QCOMPARE(dlg_->settings().programText, kProgram);
}

void TranslateDlgTest::openingShowsTheTargetPath() {
    QTest::keyClicks(PathEdit(), "typed");
    dlg_->hide();
    dlg_->setSettings({kProgram, QString(), "/somewhere/a.kxo"});
    dlg_->show();
    QCOMPARE(PathEdit()->text(), QString("/somewhere/a.kxo"));
}

void TranslateDlgTest::modalRunEndsAcceptedAfterACompile() {
    dlg_->hide();
    const QString target = dir_->filePath("modal.kxo");
    prompts_->fileAnswers.enqueue(target);
    QTimer::singleShot(0, this, [this] {
        Click("browseButton");
        QTest::keyClick(PathEdit(), Qt::Key_Return);
    });
    // A dialog that fails to close would otherwise hold the test.
    QTimer::singleShot(5000, dlg_.get(), &QDialog::reject);
    QCOMPARE(dlg_->exec(), int(QDialog::Accepted));
    QCOMPARE(prompts_->messages, QStringList{"编译成功！目标文件：" + target + " !"});
    QCOMPARE(ReadFile(target), Expected(kProgram));
}

// A long program compiles on a worker while queued events still run; the file and the result are
// those of the compile in place. A short one compiles in place.
void TranslateDlgTest::longProgramCompilesAsideToTheSameFileWhileEventsRun() {
    QByteArray longProgram;
    for (int i = 0; i < 2000; ++i)
        longProgram +=
            "MOV M1," + QByteArray::number(i % 100) + " ; " + QByteArray(64, 'x') + "\r\n";
    longProgram += "END\r\n";
    QVERIFY(longProgram.size() >= compiler::kCompileAsideBytes);
    const QByteArray trailing = longProgram + "MOV Q1,5\r\n";  // never read: after END
    for (const QByteArray& program : {longProgram, trailing, kProgram}) {
        const QString aside = dir_->filePath("aside.kxo");
        const QString inPlace = dir_->filePath("inplace.kxo");
        bool eventRan = false;
        QMetaObject::invokeMethod(
            qApp, [&eventRan] { eventRan = true; }, Qt::QueuedConnection);
        const compiler::CompileResult a =
            compiler::CompileAside(program, std::filesystem::path(aside.toStdU16String()));
        QCOMPARE(eventRan, program.size() >= compiler::kCompileAsideBytes);
        QCoreApplication::processEvents();
        const compiler::CompileResult b =
            compiler::CompileToFile(std::string_view(program.constData(), program.size()),
                                    std::filesystem::path(inPlace.toStdU16String()));
        QCOMPARE(int(a.outcome), int(compiler::CompileOutcome::Compiled));
        QCOMPARE(int(a.outcome), int(b.outcome));
        QCOMPARE(a.records, b.records);
        QCOMPARE(ReadFile(aside), ReadFile(inPlace));
        QCOMPARE(ReadFile(aside), Expected(program));
    }
}

QTEST_MAIN(TranslateDlgTest)
#include "TranslateDlgTest.moc"

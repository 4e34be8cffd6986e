#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>

#include "common/FileIo.h"
#include "common/QtMessages.h"
#include "jobs/JobEditing.h"
#include "station/JobEditorDlg.h"
#include "station/StationSetupDlg.h"
#include "station/StationWindow.h"
#include "tests/support/Portable.h"
#include "ui/ScriptedPrompts.h"

namespace {

constexpr const char* kProgram = "        MOV M1,0\r\n        END\r\n";

jobs::Step StepOf(jobs::StepKind kind, const char* file, int number) {
    jobs::Step step;
    step.kind = kind;
    step.file = file;
    step.number = number;
    return step;
}

// A job of every kind of step, a counter stamp and a PIN.
jobs::Job FullJob() {
    jobs::Job job;
    job.steps = {StepOf(jobs::StepKind::Program, "demo.kxc", 3),
                 StepOf(jobs::StepKind::Params, "regs.dat", 2),
                 StepOf(jobs::StepKind::Screen, "logo.png", 4)};
    job.steps[2].screenKind = ctrl::ScreenKind::Status;
    job.steps[2].registers = {1, 2, 3, 4};
    job.steps[2].picture.threshold = 90;
    job.steps[2].picture.dither = screen::Dither::Ordered;
    job.stamp = {jobs::StampKind::Counter, 100, 1000, 5, 6, {}};
    job.pinSha256 = jobs::PinHash("1234");
    return job;
}

}  // namespace

class JobEditorTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<portable::TempDir> dir;
    ui::ScriptedPrompts prompts;

    QString Path(const char* name) const { return QString::fromStdString((*dir / name).string()); }
    std::string Read(const char* name) const {
        std::string bytes;
        fileio::ReadWholeFile(*dir / name, bytes);
        return bytes;
    }

private slots:
    void init() {
        dir = std::make_unique<portable::TempDir>("tarvex-job-editor");
        std::ofstream(dir->path() / "demo.kxc", std::ios::binary) << kProgram;
        prompts = ui::ScriptedPrompts();
    }
    void cleanup() { dir.reset(); }

    void aJobSavedAndReopenedIsTheSameFile() {
        QVERIFY(!jobs::WriteJob(dir->path() / "a.tvjob", FullJob()));
        station::JobEditorDlg editor(prompts);
        QVERIFY(editor.Open(Path("a.tvjob")));
        prompts.fileAnswers.enqueue(Path("b.tvjob"));
        editor.setSettings({QString(), editor.settings().job});
        QVERIFY(editor.Save());
        QCOMPARE(Read("b.tvjob"), Read("a.tvjob"));
        station::JobEditorDlg again(prompts);
        QVERIFY(again.Open(Path("b.tvjob")));
        QVERIFY(again.Save());
        QCOMPARE(Read("b.tvjob"), Read("a.tvjob"));
        QVERIFY(prompts.messages.isEmpty());
    }

    void filesChosenElsewhereAreNamedFromTheJobsFolder() {
        station::JobEditorDlg editor(prompts);
        editor.setSettings({Path("a.tvjob"), {}});
        editor.findChildren<QLineEdit*>()[0]->setText(Path("demo.kxc"));
        QCOMPARE(editor.settings().job.steps.at(0).file, std::string("demo.kxc"));
    }

    void theCheckListsEveryProblemUnderItsField() {
        jobs::Job job = FullJob();
        job.steps[0].file = "missing.kxc";
        job.stamp = {jobs::StampKind::Csv, 0, 0, 1, 0, "units.csv"};
        QVERIFY(!jobs::WriteJob(dir->path() / "a.tvjob", job));
        station::JobEditorDlg editor(prompts);
        QVERIFY(editor.Open(Path("a.tvjob")));
        editor.Check();
        const QStringList problems = editor.Problems();
        QCOMPARE(problems.size(), 4);
        const QStringList fields{
            msg::QText(msg::Id::JobEditorProgram), msg::QText(msg::Id::JobEditorParams),
            msg::QText(msg::Id::JobEditorScreen), msg::QText(msg::Id::JobEditorStamp)};
        const QStringList files{"missing.kxc", "regs.dat", "logo.png", "units.csv"};
        for (int i = 0; i < problems.size(); ++i) {
            QVERIFY2(problems[i].startsWith(fields[i]), qPrintable(problems[i]));
            QVERIFY2(problems[i].contains(files[i]), qPrintable(problems[i]));
        }
    }

    void theStampPreviewShowsTheNextThreeUnits_data() {
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("shown");
        QTest::newRow("fresh counter") << ""
                                       << "001000 (S0100=001000), 001005 (S0100=001005), "
                                          "001010 (S0100=001010)";
        QTest::newRow("counter already handed out")
            << R"({"next":1020,"used":[],"open":[]})"
            << "001020 (S0100=001020), 001025 (S0100=001025), 001030 (S0100=001030)";
    }
    void theStampPreviewShowsTheNextThreeUnits() {
        QFETCH(QString, state);
        QFETCH(QString, shown);
        if (!state.isEmpty())
            std::ofstream(dir->path() / "a.tvjob.state") << state.toStdString();
        station::JobEditorDlg editor(prompts);
        editor.setSettings({Path("a.tvjob"), FullJob()});
        QCOMPARE(editor.NextUnitsText(), msg::QText(msg::Id::JobEditorNextUnits, {shown}));
    }

    void theStampPreviewTakesUnusedCsvRows() {
        std::ofstream(dir->path() / "units.csv") << "unit,S0100\nA1,7\nA2,8\nA3,9\nA4,10\n";
        std::ofstream(dir->path() / "a.tvjob.state") << R"({"next":1,"used":["A1"],"open":[]})";
        jobs::Job job = FullJob();
        job.stamp = {jobs::StampKind::Csv, 0, 0, 1, 0, "units.csv"};
        station::JobEditorDlg editor(prompts);
        editor.setSettings({Path("a.tvjob"), job});
        QCOMPARE(editor.NextUnitsText(), msg::QText(msg::Id::JobEditorNextUnits,
                                                    {"A2 (S0100=8), A3 (S0100=9), A4 (S0100=10)"}));
    }

    void theOperatorIsAskedAgainEachShift_data() {
        QTest::addColumn<QDateTime>("named");
        QTest::addColumn<bool>("kept");
        const QDate day(2026, 3, 2);
        QTest::newRow("earlier this shift") << QDateTime(day, QTime(8, 0)) << true;
        QTest::newRow("a shift ago") << QDateTime(day, QTime(5, 59)) << false;
        QTest::newRow("yesterday evening") << QDateTime(day.addDays(-1), QTime(23, 0)) << false;
        QTest::newRow("never") << QDateTime() << false;
    }
    void theOperatorIsAskedAgainEachShift() {
        QFETCH(QDateTime, named);
        QFETCH(bool, kept);
        QCOMPARE(station::SameShift(named, QDateTime(QDate(2026, 3, 2), QTime(14, 0))), kept);
    }

    void leavingTheStationAsksForTheJobsPin() {
        QVERIFY(!jobs::WriteJob(dir->path() / "a.tvjob", FullJob()));
        station::StationWindow window(prompts);
        window.Open(Path("a.tvjob"), {"/dev/null"}, "ann", Path("units.jsonl"));
        QStringList asked;
        QString typed = "0000";
        window.askPin = [&](const QString& prompt) {
            asked << prompt;
            return std::optional(typed);
        };
        bool left = false;
        connect(&window, &station::StationWindow::left, this, [&] { left = true; });
        window.show();
        prompts.answers.enqueue(ui::Prompts::Answer::Yes);
        window.close();
        QVERIFY(!left);
        QCOMPARE(prompts.messages, QStringList{msg::QText(msg::Id::StationPinWrong)});
        QCOMPARE(asked, QStringList{msg::QText(msg::Id::StationPinPrompt)});
        typed = "1234";
        prompts.answers.enqueue(ui::Prompts::Answer::Yes);
        window.close();
        QVERIFY(left);
    }
};

QTEST_MAIN(JobEditorTest)
#include "JobEditorTest.moc"

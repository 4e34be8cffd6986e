#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include "common/QtMessages.h"
#include "jobs/UnitLedger.h"
#include "station/RecordsWindow.h"
#include "station/StationTile.h"
#include "station/StationWindow.h"
#include "tests/support/Portable.h"
#include "tests/support/QuickGiveUp.h"
#include "tests/support/QuickTicks.h"
#include "tests/support/ToolProcess.h"
#include "ui/ScriptedPrompts.h"

namespace {

namespace fs = std::filesystem;
using station::TileState;

constexpr const char* kProgram =
    "        MOV M1,0\r\nLOOP1:  INC M1\r\n        JLD LOOP1,M1,100\r\n        END\r\n";
// A line of two units takes a few seconds; a unit that stops answering, the engine's give-up.
constexpr int kLineWaitMs = 60000;

}  // namespace

// An approved job (a program and a register file stamped from 1000) run by the station window
// against virtual controllers, each a line of units of its own.
class StationWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<portable::TempDir> dir;
    std::vector<std::unique_ptr<testsupport::EmulatorProcess>> lines;
    ui::ScriptedPrompts prompts;
    const testsupport::QuickTicks ticks;  // the units' handshakes and leaves only wait out ticks

    QString Path(const char* name) const { return QString::fromStdString((*dir / name).string()); }
    int Tarvex(std::vector<std::string> args) {
        return testsupport::RunTool(TARVEX_BIN, dir->path(), std::move(args)).status;
    }
    QStringList StartLines(int count, const std::vector<std::string>& faults = {}) {
        QStringList ports;
        for (int i = 0; i < count; ++i) {
            std::vector<std::string> args{"--units", "2", "--swap", "200"};
            if (i == 0)
                args.insert(args.end(), faults.begin(), faults.end());
            lines.push_back(std::make_unique<testsupport::EmulatorProcess>(TARVEX_BIN, args));
            ports << QString::fromStdString(lines.back()->Line());
        }
        return ports;
    }
    std::vector<QJsonObject> Records() const {
        return jobs::ReadUnitLedger(Path("units.jsonl")).records;
    }
    static QString TileTexts(const station::StationWindow& window) {
        QStringList texts;
        for (const station::StationTile* tile : window.Tiles())
            texts << tile->StateText() + ": " + tile->ReasonText();
        return texts.join(" | ");
    }
    static bool AllTiles(const station::StationWindow& window, TileState state) {
        for (const station::StationTile* tile : window.Tiles()) {
            if (tile->State() != state)
                return false;
        }
        return true;
    }

    // The failed unit run again against its own trace fails the same way, and records nothing.
    void ReplayShowsTheSameFailure(const QJsonObject& record) {
        station::RecordsWindow records(prompts, Path("units.jsonl"));
        records.tool = TARVEX_BIN;
        records.SelectRow(0);
        prompts.fileAnswers.enqueue(Path("line.tvjob"));
        records.Replay();
        QVERIFY2(prompts.messages.isEmpty(), qPrintable(prompts.messages.join('\n')));
        const QString said =
            msg::QText(msg::Id::RecordsReplayResult, {record["unit"].toString(), QString()});
        const QString replayed = records.Details().mid(records.Details().lastIndexOf(said));
        QVERIFY2(replayed.startsWith(said + "不合格"), qPrintable(records.Details()));
        QVERIFY2(replayed.contains(record["message"].toString()), qPrintable(replayed));
        QCOMPARE(Records().size(), std::size_t{1});
    }

private slots:
    void init() {
        dir = std::make_unique<portable::TempDir>("tarvex-station");
        std::ofstream(dir->path() / "demo.kxc", std::ios::binary) << kProgram;
        QCOMPARE(Tarvex({"registers", "new", Path("regs.dat").toStdString()}), 0);
        QCOMPARE(Tarvex({"job", "new", Path("line.tvjob").toStdString(), "--program",
                         Path("demo.kxc").toStdString(), "--params", Path("regs.dat").toStdString(),
                         "--page", "1", "--stamp", "S0100:1000:1:4"}),
                 0);
        QCOMPARE(Tarvex({"job", "approve", Path("line.tvjob").toStdString()}), 0);
    }
    void cleanup() {
        lines.clear();
        dir.reset();
    }

    void threeControllersRunTwoUnitsEachAndEndGreen() {
        if (const auto lacks = portable::Lacks(portable::Feature::Pty); !lacks.empty())
            QSKIP(std::string(lacks).c_str());
        station::StationWindow window(prompts);
        window.SetSound(false);
        QVERIFY(window.Open(Path("line.tvjob"), StartLines(3), "ann", Path("units.jsonl")));
        QTRY_COMPARE_WITH_TIMEOUT(Records().size(), std::size_t{6}, kLineWaitMs);
        QTRY_VERIFY2(AllTiles(window, TileState::Passed), qPrintable(TileTexts(window)));
        QCOMPARE(window.Passed(), 6);
        QCOMPARE(window.Failed(), 0);
        std::set<QString> units;
        for (const QJsonObject& record : Records()) {
            QCOMPARE(record["outcome"].toString(), QStringLiteral("passed"));
            QCOMPARE(record["operator"].toString(), QStringLiteral("ann"));
            units.insert(record["unit"].toString());
        }
        QCOMPARE(units, (std::set<QString>{"1000", "1001", "1002", "1003", "1004", "1005"}));
    }

    // The failed tile holds its port until Enter; then the line goes on.
    void aFaultyUnitTurnsItsTileRedUntilAcknowledged() {
        if (const auto lacks = portable::Lacks(portable::Feature::Pty); !lacks.empty())
            QSKIP(std::string(lacks).c_str());
        const testsupport::QuickGiveUp quick;
        station::StationWindow window(prompts);
        window.SetSound(false);
        QVERIFY(window.Open(Path("line.tvjob"),
                            StartLines(1, {"--faulty-unit", "1", "--stop-after", "3"}), "bo",
                            Path("units.jsonl")));
        station::StationTile* tile = window.Tiles().front();
        QTRY_COMPARE_WITH_TIMEOUT(tile->State(), TileState::Failed, kLineWaitMs);
        QVERIFY2(tile->ReasonText().contains("demo.kxc"), qPrintable(tile->ReasonText()));
        QCOMPARE(Records().size(), std::size_t{1});
        QCOMPARE(Records()[0]["outcome"].toString(), QStringLiteral("failed"));
        QVERIFY(Records()[0].contains("trace"));
        QTest::qWait(3 * station::StationWindow::kRepaintMs);
        QCOMPARE(tile->State(), TileState::Failed);
        QCOMPARE(Records().size(), std::size_t{1});
        ReplayShowsTheSameFailure(Records()[0]);
        window.findChild<QLineEdit*>()->setFocus();
        QTest::keyClick(window.findChild<QLineEdit*>(), Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(Records().size(), std::size_t{2}, kLineWaitMs);
        QTRY_COMPARE(tile->State(), TileState::Passed);
        QCOMPARE(window.Failed(), 1);
    }

    void aScannedCodeNamesTheNextUnit() {
        if (const auto lacks = portable::Lacks(portable::Feature::Pty); !lacks.empty())
            QSKIP(std::string(lacks).c_str());
        station::StationWindow window(prompts);
        window.SetSound(false);
        auto* scanner = window.findChild<QLineEdit*>();
        QTest::keyClicks(scanner, "SN-42");
        QTest::keyClick(scanner, Qt::Key_Return);
        QVERIFY(window.Open(Path("line.tvjob"), StartLines(1), "cy", Path("units.jsonl")));
        QTRY_COMPARE_WITH_TIMEOUT(Records().size(), std::size_t{2}, kLineWaitMs);
        QCOMPARE(Records()[0]["unit"].toString(), QStringLiteral("SN-42"));
        QCOMPARE(Records()[1]["unit"].toString(), QStringLiteral("1001"));
    }

    // Units a killed run left open are recorded as interrupted with their port, and told on that
    // port's tile and above the tiles until Enter; the line goes on with the next numbers.
    void unitsAKilledRunLeftOpenAreToldUntilAcknowledged() {
        if (const auto lacks = portable::Lacks(portable::Feature::Pty); !lacks.empty())
            QSKIP(std::string(lacks).c_str());
        const QStringList ports = StartLines(1);
        {
            const fs::path path = dir->path() / "line.tvjob";
            const jobs::JobRead read = jobs::ReadJob(path);
            QVERIFY(read.job);
            const jobs::Preparation prepared = jobs::PrepareJob(path, *read.job);
            QVERIFY(prepared.prepared);
            // Owner 0: no process is running it any more.
            for (const std::string& port : {ports[0].toStdString(), std::string("/dev/ttyGONE")})
                QVERIFY(jobs::TakeUnit(*prepared.prepared, std::nullopt, 0, port).stamp);
        }
        station::StationWindow window(prompts);
        window.SetSound(false);
        QVERIFY(window.Open(Path("line.tvjob"), ports, "eve", Path("units.jsonl")));
        const QString onTile = msg::QText(msg::Id::StationInterrupted, {"1000", ports[0]});
        const QString elsewhere = msg::QText(msg::Id::StationInterrupted, {"1001", "/dev/ttyGONE"});
        const station::StationTile* tile = window.Tiles().front();
        QVERIFY2(tile->ReasonText().contains(onTile), qPrintable(tile->ReasonText()));
        QVERIFY2(!tile->ReasonText().contains(elsewhere), qPrintable(tile->ReasonText()));
        const auto told = [&window](const QString& text) {
            for (const QLabel* label : window.findChildren<QLabel*>()) {
                if (label->isVisibleTo(&window) && label->text().contains(text))
                    return true;
            }
            return false;
        };
        QVERIFY(told(elsewhere));
        QCOMPARE(Records().size(), std::size_t{2});
        for (std::size_t i = 0; i < 2; ++i) {
            QCOMPARE(Records()[i]["outcome"].toString(), QStringLiteral("interrupted"));
            QCOMPARE(Records()[i]["port"].toString(), i == 0 ? ports[0] : "/dev/ttyGONE");
        }
        QTest::keyClick(window.findChild<QLineEdit*>(), Qt::Key_Return);
        QVERIFY(!told(onTile) && !told(elsewhere));
        QTRY_COMPARE_WITH_TIMEOUT(Records().size(), std::size_t{4}, kLineWaitMs);
        QCOMPARE(Records()[2]["unit"].toString(), QStringLiteral("1002"));
        QCOMPARE(Records()[3]["unit"].toString(), QStringLiteral("1003"));
    }

    // Locked: nothing in the window edits; a changed job does not start and the tiles say why;
    // leaving asks first.
    void theWindowIsLockedAndAChangedJobDoesNotStart() {
        std::ofstream(dir->path() / "demo.kxc", std::ios::binary | std::ios::app) << "; later\r\n";
        station::StationWindow window(prompts);
        QVERIFY(!window.Open(Path("line.tvjob"), {"/dev/null", "/dev/null"}, "dee",
                             Path("units.jsonl")));
        for (const station::StationTile* tile : window.Tiles()) {
            QCOMPARE(tile->State(), TileState::Refused);
            QVERIFY2(tile->ReasonText().contains("在批准后已改动"), qPrintable(tile->ReasonText()));
        }
        for (const QAction* action : window.findChildren<QAction*>())
            QVERIFY2(!action->isEnabled() || action->text().isEmpty(), qPrintable(action->text()));
        const auto edits = window.findChildren<QLineEdit*>();
        QCOMPARE(edits.size(), 1);  // the scanner, whose text only names the next unit
        QSignalSpy left(&window, &station::StationWindow::left);
        window.show();
        prompts.answers.enqueue(ui::Prompts::Answer::No);
        window.close();
        QVERIFY(window.isVisible());
        prompts.answers.enqueue(ui::Prompts::Answer::Yes);
        window.close();
        QCOMPARE(left.size(), 1);
        QCOMPARE(prompts.questions.last(), QStringLiteral("确定退出生产模式吗？"));
    }
};

QTEST_MAIN(StationWindowTest)
#include "StationWindowTest.moc"

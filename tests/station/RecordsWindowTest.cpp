#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTest>

#include "common/FileIo.h"
#include "common/QtMessages.h"
#include "station/RecordsWindow.h"
#include "tests/support/Portable.h"
#include "ui/ScriptedPrompts.h"

namespace {}  // namespace

class RecordsWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<portable::TempDir> dir;
    ui::ScriptedPrompts prompts;
    std::unique_ptr<station::RecordsWindow> window;

    QString Path(const char* name) const { return QString::fromStdString((*dir / name).string()); }
    QStringList Units() const {
        QStringList units;
        for (const QJsonObject& r : window->Shown())
            units << r["unit"].toString();
        return units;
    }
    QPushButton* Button(msg::Id id) const {
        for (QPushButton* b : window->findChildren<QPushButton*>())
            if (b->text() == msg::QText(id))
                return b;
        return nullptr;
    }

private slots:
    void init() {
        dir = std::make_unique<portable::TempDir>("tarvex-records");
        // Three units of two jobs, one failed with its trace, and a torn last line.
        std::string ledger;
        QVERIFY(fileio::ReadWholeFile(TARVEX_RECORDS, ledger));
        const std::string trace = (dir->path() / "1001.trace").string();
        ledger.replace(ledger.find("TRACE"), 5, trace);
        std::ofstream(dir->path() / "units.jsonl", std::ios::binary) << ledger;
        std::ofstream(trace, std::ios::binary) << "0.000 > 01 handshake\n";
        prompts = ui::ScriptedPrompts();
        window = std::make_unique<station::RecordsWindow>(prompts, Path("units.jsonl"));
    }
    void cleanup() {
        window.reset();
        dir.reset();
    }

    void theFiltersNarrowTheTable_data() {
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("job");
        QTest::addColumn<bool>("failedOnly");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("all, the torn line left out")
            << ""
            << "" << false << QStringList{"1000", "1001", "7"};
        QTest::newRow("unit") << "1001"
                              << "" << false << QStringList{"1001"};
        QTest::newRow("job") << ""
                             << "line" << false << QStringList{"1000", "1001"};
        QTest::newRow("failed only") << ""
                                     << "" << true << QStringList{"1001"};
        QTest::newRow("none") << "1000"
                              << "other" << false << QStringList{};
    }
    void theFiltersNarrowTheTable() {
        QFETCH(QString, unit);
        QFETCH(QString, job);
        QFETCH(bool, failedOnly);
        QFETCH(QStringList, shown);
        const auto edits = window->findChildren<QLineEdit*>();
        QTest::keyClicks(edits[0], unit);
        QTest::keyClicks(edits[1], job);
        window->findChildren<QCheckBox*>().last()->setChecked(failedOnly);
        QCOMPARE(Units(), shown);
    }

    void theDateFilterKeepsLaterUnits() {
        window->findChildren<QCheckBox*>().first()->setChecked(true);
        window->findChild<QDateEdit*>()->setDate(QDate(2026, 3, 2));
        QCOMPARE(Units(), (QStringList{"1001", "7"}));
    }

    void aUnitShowsItsStepsHashesAndGoldenRun() {
        window->SelectRow(0);
        QVERIFY2(window->Details().contains("sha256=5f3c9e"), qPrintable(window->Details()));
        QVERIFY(window->Details().contains("frames=3"));
        QVERIFY(window->Details().contains("与基准一致"));
        QVERIFY(!Button(msg::Id::RecordsOpenTrace)->isEnabled());
        window->SelectRow(1);
        QVERIFY(window->Details().contains("控制器无应答！"));
        QVERIFY(Button(msg::Id::RecordsOpenTrace)->isEnabled());
    }

    void theTableShowsOutcomesInWordsAndReadableTimes() {
        const auto* table = window->findChild<QTableWidget*>();
        QCOMPARE(table->item(0, 0)->text(), QString("2026-03-01 08:00:00"));
        QCOMPARE(table->item(0, 3)->text(), QString("合格"));
        QCOMPARE(table->item(1, 3)->text(), QString("不合格"));
        QCOMPARE(window->findChild<QDateEdit*>()->text(),
                 QDate::currentDate().toString(Qt::ISODate));
        window->SelectRow(0);
        QVERIFY2(window->Details().contains("完成"), qPrintable(window->Details()));
        window->SelectRow(1);
        QVERIFY2(window->Details().contains("no answer"), qPrintable(window->Details()));
    }

    void theCsvHoldsTheShownRecordsQuoted() {
        window->findChildren<QCheckBox*>().last()->setChecked(true);
        prompts.fileAnswers.enqueue(Path("out.csv"));
        Button(msg::Id::RecordsExportCsv)->click();
        std::string csv;
        QVERIFY(fileio::ReadWholeFile(dir->path() / "out.csv", csv));
        const std::string expected =
            "time,station,operator,job,unit,outcome,port,adapter,failedStep,trace,golden\n"
            "2026-03-02T09:30:00.000,bench-1,\"bo, jr\",line,1001,failed,/dev/ttyUSB1,,1," +
            (dir->path() / "1001.trace").string() + ",\n";
        QCOMPARE(csv, expected);
        QVERIFY(prompts.messages.isEmpty());
    }

    void theReportPdfNamesTheUnitAndItsHashes() {
        const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
        if (pdftotext.isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
        window->SelectRow(0);
        prompts.fileAnswers.enqueue(Path("unit.pdf"));
        Button(msg::Id::RecordsPrintReport)->click();
        QVERIFY(prompts.messages.isEmpty());
        QProcess extract;
        extract.start(pdftotext, {Path("unit.pdf"), "-"});
        QVERIFY(extract.waitForFinished());
        const QString text = QString::fromUtf8(extract.readAllStandardOutput());
        for (const char* expected : {"1000", "ab12", "5f3c9e", "demo.kxc", "S0100=1000", "ann",
                                     "bench-1", "2026-03-01 08:00:00", "合格", "完成"})
            QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);
    }
};

QTEST_MAIN(RecordsWindowTest)
#include "RecordsWindowTest.moc"

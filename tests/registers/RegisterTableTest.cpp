#include <QLabel>
#include <QSignalSpy>
#include <QTableView>
#include <QtTest>

#include "common/GbkText.h"
#include "registers/AllRegisters.h"
#include "registers/RegisterTableModel.h"
#include "registers/RegisterTableWnd.h"
#include "registers/ValueText.h"
#include "tests/support/DialogFixture.h"

Q_DECLARE_METATYPE(ui::Prompts::Answer)

namespace {

using testsupport::ReadFile;
using testsupport::WriteFile;

const QString kUnsaved = "寄存器数据已修改，是否保存？";
const QString kTooLong = "“请填入不多于9个的字符。”";

QByteArray RegisterFile(int count, const char* value = nullptr) {
    QByteArray bytes = QByteArray(registers::kIdentification.data()) + "\r\n";
    for (int k = 0; k < count; ++k) {
        const std::string text = value ? value : "v" + std::to_string(k);
        bytes += QByteArray::fromStdString(registers::RegisterLine(k, text)) + "\r\n";
    }
    return bytes;
}

}  // namespace

class RegisterTableTest : public QObject, testsupport::DialogFixture<CRegisterTableWnd> {
    Q_OBJECT

private slots:
    // Register texts follow the one GBK rule: Chinese shows as Chinese even beside a byte GBK
    // cannot carry, and every text shown and taken back is the bytes it came from.
    void registerTextsShowGbkAndKeepEveryByte() {
        if (!gbk::Available())
            QSKIP("no GBK converter on this system");
        const std::string cases[] = {"ABC", "\xd6\xd0\xce\xc4", "\xd6\xd0\xff", "\xff\x81", "A\x81",
                                     "\x80"};
        for (const std::string& bytes : cases) {
            const QString shown = registers::ShowBytes(bytes);
            QCOMPARE(registers::EncodeText(shown), bytes);
            QCOMPARE(registers::TakeText(shown, bytes), bytes);
        }
        QCOMPARE(registers::ShowBytes("\xd6\xd0\xce\xc4"), QStringLiteral("中文"));
        QVERIFY(registers::ShowBytes("\xd6\xd0\xff").startsWith(QStringLiteral("中")));
    }

    void init() {
        Make();
        path_ = dir_->filePath("par.dat");
        WriteFile(path_, RegisterFile(4096));
        QVERIFY(dlg_->OpenFile(path_));
        QVERIFY(Open());
    }
    void cleanup() { Drop(); }
    void editsFollowTheValueRules_data();
    void editsFollowTheValueRules();
    void findByNumberOrValue_data();
    void findByNumberOrValue();
    void comparisonMarksDifferingValues();
    void unsavedEditsAskOnClose_data();
    void unsavedEditsAskOnClose();
    void csvImportIsAllOrNothing();
    void saveKeepsPagesWrittenElsewhere();
    void aTypedPathOpensWithEnter();
    void aTooLongValueStaysInItsCell();
    void differencesAreWalkedAndCounted();

private:
    RegisterTableModel& Model() { return dlg_->Model(); }
    QString path_;
};

void RegisterTableTest::editsFollowTheValueRules_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("taken");
    QTest::newRow("nine digits") << "123456789" << true;
    QTest::newRow("empty") << "" << true;
    QTest::newRow("sign and blanks") << " -5" << true;
    QTest::newRow("ten digits") << "1234567890" << false;
    QTest::newRow("four Chinese characters: 8 bytes") << "寄存器值" << true;
    QTest::newRow("five Chinese characters: 10 bytes") << "寄存器数值" << false;
}

void RegisterTableTest::editsFollowTheValueRules() {
    QFETCH(QString, typed);
    QFETCH(bool, taken);
    const QModelIndex value = Model().index(7, RegisterTableModel::ValueColumn);
    QVERIFY(Model().flags(value) & Qt::ItemIsEditable);
    QVERIFY(!(Model().flags(Model().index(7, 0)) & Qt::ItemIsEditable));
    QCOMPARE(Model().setData(value, typed, Qt::EditRole), taken);
    QCOMPARE(Model().data(value, Qt::DisplayRole).toString(), taken ? typed : QString("v7"));
    QCOMPARE(Model().HasUnsavedValues(), taken);
    QCOMPARE(prompts_->messages, taken ? QStringList{} : QStringList{kTooLong});
    QCOMPARE(Model().data(value, Qt::FontRole).isValid(), taken);
}

void RegisterTableTest::findByNumberOrValue_data() {
    QTest::addColumn<QString>("query");
    QTest::addColumn<int>("after");
    QTest::addColumn<int>("found");
    QTest::newRow("S number") << "S0012" << 100 << 12;
    QTest::newRow("short S number") << "s12" << -1 << 12;
    QTest::newRow("digits: the value v12 comes first") << "12" << -1 << 12;
    QTest::newRow("digits: next value holding them") << "12" << 12 << 112;
    QTest::newRow("value text") << "v4095" << -1 << 4095;
    QTest::newRow("wraps round") << "v3" << 4000 << 3;
    QTest::newRow("none") << "zz" << -1 << -1;
    QTest::newRow("S past the end is a text") << "S5000" << -1 << -1;
}

void RegisterTableTest::findByNumberOrValue() {
    QFETCH(QString, query);
    QFETCH(int, after);
    QFETCH(int, found);
    QCOMPARE(Model().Find(query, after), found);
}

void RegisterTableTest::comparisonMarksDifferingValues() {
    QByteArray other = RegisterFile(4096);
    other.replace("[S0010] = v10", "[S0010] = 3");
    other.replace("[S0020] = v20", "[S0020] = 00");  // both give 0
    const QString otherPath = dir_->filePath("other.dat");
    WriteFile(otherPath, other);
    QVERIFY(dlg_->CompareWith(otherPath));
    QCOMPARE(Model().columnCount(), 3);
    QCOMPARE(Model().DifferenceCount(), 1);
    for (int k : {9, 10, 20})
        QCOMPARE(Model().data(Model().index(k, 1), Qt::BackgroundRole).isValid(), k == 10);
    QCOMPARE(Model().data(Model().index(10, 2), Qt::DisplayRole).toString(), QString("3"));
    // The mark reads under the palette's text colour on light and dark desktops.
    const QPalette before = QGuiApplication::palette();
    for (const auto& [window, text] : {std::pair{QColor(240, 240, 240), QColor(Qt::black)},
                                       std::pair{QColor(40, 40, 40), QColor(230, 230, 230)}}) {
        QPalette palette;
        palette.setColor(QPalette::Window, window);
        palette.setColor(QPalette::Text, text);
        QGuiApplication::setPalette(palette);
        const QColor mark =
            Model().data(Model().index(10, 1), Qt::BackgroundRole).value<QBrush>().color();
        QVERIFY2(std::abs(mark.lightness() - text.lightness()) > 120, qPrintable(mark.name()));
    }
    QGuiApplication::setPalette(before);
    QCOMPARE(dlg_->Note(), QString("对比 other.dat：1 个寄存器数值不同。"));
    // An edit that makes them equal takes the mark away.
    QVERIFY(Model().setData(Model().index(10, 1), "3", Qt::EditRole));
    QVERIFY(!Model().Differs(10));
}

void RegisterTableTest::unsavedEditsAskOnClose_data() {
    QTest::addColumn<ui::Prompts::Answer>("answer");
    QTest::newRow("yes") << ui::Prompts::Answer::Yes;
    QTest::newRow("no") << ui::Prompts::Answer::No;
    QTest::newRow("cancel") << ui::Prompts::Answer::Cancel;
}

void RegisterTableTest::unsavedEditsAskOnClose() {
    QFETCH(ui::Prompts::Answer, answer);
    const QByteArray old = ReadFile(path_);
    QSignalSpy saved(dlg_.get(), &CRegisterTableWnd::Saved);
    QVERIFY(Model().setData(Model().index(30, 1), "77", Qt::EditRole));
    QVERIFY(Model().setData(Model().index(4000, 1), "-8", Qt::EditRole));
    prompts_->answers.enqueue(answer);
    QTest::keyClick(dlg_.get(), Qt::Key_Escape);
    QCOMPARE(prompts_->questions, QStringList{kUnsaved});
    QCOMPARE(dlg_->isVisible(), answer == ui::Prompts::Answer::Cancel);
    const bool yes = answer == ui::Prompts::Answer::Yes;
    QByteArray expected = old;
    expected.replace("[S0030] = v30", "[S0030] = 77").replace("[S4000] = v4000", "[S4000] = -8");
    QVERIFY(ReadFile(path_) == (yes ? expected : old));
    QCOMPARE(saved.size(), yes ? 1 : 0);
    if (yes)
        QCOMPARE(saved[0][0].toString(), "寄存器数据已保存到 " + path_ + "。");
    QCOMPARE(Model().data(Model().index(30, 1), Qt::DisplayRole).toString(),
             answer == ui::Prompts::Answer::No ? QString("v30") : QString("77"));
    // Nothing left to ask about once saved or dropped.
    if (answer != ui::Prompts::Answer::Cancel) {
        QVERIFY(Open());
        QTest::keyClick(dlg_.get(), Qt::Key_Escape);
        QCOMPARE(prompts_->questions.size(), 1);
    }
}

void RegisterTableTest::csvImportIsAllOrNothing() {
    const QString csv = dir_->filePath("all.csv");
    QVERIFY(Model().setData(Model().index(5, 1), "a,\"b\"", Qt::EditRole));
    QVERIFY(dlg_->ExportCsv(csv));
    const QByteArray exported = ReadFile(csv);
    QVERIFY(exported.startsWith("number,value\r\nS0000,v0\r\n"));
    QVERIFY(exported.contains("\r\nS0005,\"a,\"\"b\"\"\"\r\n"));

    const QString bad = dir_->filePath("bad.csv");
    WriteFile(bad, "S0001,1\nS0002,1234567890\nS9999,1\n");
    QVERIFY(!dlg_->ImportCsv(bad));
    QCOMPARE(prompts_->messages, QStringList{"bad.csv 未导入，寄存器文件没有改动：\n"
                                             "第2行：寄存器S0002的数值多于9个字符。\n"
                                             "第3行：寄存器号“S9999”不正确，应为S0000到S4095。"});
    QCOMPARE(Model().data(Model().index(1, 1), Qt::DisplayRole).toString(), QString("v1"));

    const QString good = dir_->filePath("good.csv");
    WriteFile(good, "number,value\n1,11\nS4095,end\n");
    QVERIFY(dlg_->ImportCsv(good));
    QCOMPARE(dlg_->Note(), QString("已从 good.csv 导入 2 个寄存器，尚未保存。"));
    QVERIFY(dlg_->Save());
    const registers::AllRead read = registers::ReadAllRegisters(path_.toStdString());
    QCOMPARE(read.texts[1], std::string("11"));
    QCOMPARE(read.texts[5], std::string("a,\"b\""));
    QCOMPARE(read.texts[4095], std::string("end"));
    QCOMPARE(read.texts[4094], std::string("v4094"));
}

void RegisterTableTest::saveKeepsPagesWrittenElsewhere() {
    // The register editor saves page 0 while the table shows the file.
    registers::PageTexts page;
    page.fill("e");
    QCOMPARE(registers::WriteRegisterPage(path_.toStdString(), 0, page).status,
             registers::WriteStatus::Done);
    QVERIFY(Model().setData(Model().index(100, 1), "t", Qt::EditRole));
    QVERIFY(dlg_->Save());
    const registers::AllRead read = registers::ReadAllRegisters(path_.toStdString());
    QCOMPARE(read.texts[0], std::string("e"));
    QCOMPARE(read.texts[100], std::string("t"));
    QCOMPARE(read.texts[99], std::string("v99"));
}

void RegisterTableTest::aTypedPathOpensWithEnter() {
    const QString other = dir_->filePath("other.dat");
    WriteFile(other, RegisterFile(4096, "7"));
    QLineEdit* path = Edit("pathEdit");
    QVERIFY(!path->isReadOnly());
    Type(path, other);
    QTest::keyClick(path, Qt::Key_Return);
    QCOMPARE(dlg_->filePath, other);
    QCOMPARE(Model().data(Model().index(3, 1), Qt::DisplayRole).toString(), QString("7"));
    // A path that does not open is told, and stays in the box to be corrected.
    const QString missing = dir_->filePath("missing.dat");
    Type(path, missing);
    QTest::keyClick(path, Qt::Key_Return);
    QCOMPARE(prompts_->messages.size(), 1);
    QCOMPARE(path->text(), missing);
    QCOMPARE(dlg_->filePath, other);
}

void RegisterTableTest::aTooLongValueStaysInItsCell() {
    QTableView& table = dlg_->Table();
    const QModelIndex cell = Model().index(5, RegisterTableModel::ValueColumn);
    table.setCurrentIndex(cell);
    table.edit(cell);
    auto editor = [&table]() -> QLineEdit* {
        for (QLineEdit* e : table.viewport()->findChildren<QLineEdit*>()) {
            if (e->isVisible())
                return e;
        }
        return nullptr;
    };
    QTRY_VERIFY(editor());
    Type(editor(), "1234567890");
    QTest::keyClick(editor(), Qt::Key_Return);
    QTRY_COMPARE(prompts_->messages, QStringList{kTooLong});
    QTRY_VERIFY(editor() && editor()->text() == "1234567890");
    QCOMPARE(Model().data(cell, Qt::DisplayRole).toString(), QString("v5"));
    // Corrected, it is taken.
    Type(editor(), "123456789");
    QTest::keyClick(editor(), Qt::Key_Return);
    QTRY_COMPARE(Model().data(cell, Qt::DisplayRole).toString(), QString("123456789"));
    QCOMPARE(prompts_->messages.size(), 1);
}

void RegisterTableTest::differencesAreWalkedAndCounted() {
    QVERIFY(!Button("nextDifferenceButton")->isEnabled());
    QByteArray other = RegisterFile(4096);
    for (const char* k : {"10", "20", "30"})
        other.replace(QByteArray("[S00") + k + "] = v" + k, QByteArray("[S00") + k + "] = 9");
    const QString otherPath = dir_->filePath("other.dat");
    WriteFile(otherPath, other);
    QVERIFY(dlg_->CompareWith(otherPath));
    auto* count = Find<QLabel>("differences");
    QCOMPARE(count->text(), QString("共 3 处差异"));
    QCOMPARE(Button("nextDifferenceButton")->shortcut(), QKeySequence(Qt::Key_F4));
    QCOMPARE(Button("previousDifferenceButton")->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_F4));
    const struct {
        const char* button;
        int row;
        const char* shown;
    } walk[] = {{"nextDifferenceButton", 10, "差异 1 / 3"},
                {"nextDifferenceButton", 20, "差异 2 / 3"},
                {"previousDifferenceButton", 10, "差异 1 / 3"},
                {"previousDifferenceButton", 30, "差异 3 / 3"},
                {"nextDifferenceButton", 10, "差异 1 / 3"}};
    for (const auto& step : walk) {
        Click(step.button);
        QCOMPARE(dlg_->Table().currentIndex().row(), step.row);
        QCOMPARE(count->text(), QString(step.shown));
    }
}

QTEST_MAIN(RegisterTableTest)
#include "RegisterTableTest.moc"

#include <QtTest>

#include "registers/RegisterFile.h"
#include "registers/SetParDlg.h"
#include "tests/support/DialogFixture.h"

namespace {

using testsupport::ReadFile;
using testsupport::WriteFile;

const QByteArray kIdent = "This is Par.dat for RVL412E. By RSE.";
const QString kChooseFileFirst = "请先选择文件保存路径！";
const QString kNotRegisterFile = "文件格式不正确！请确认你选择的是RVL412E寄存器文件。";
const QString kOutOfRange = "寄存器号超出范围！请键入S0000到S4095之间的寄存器号。";
const QString kUnsaved = "寄存器数据已修改，是否保存？";

// The ways of leaving a page with typed values on it.
enum class Leave { TypedNumber, PageDown, CloseButton, Esc, Enter };

QByteArray Line(int k, const QByteArray& value) {
    return QByteArray::fromStdString(registers::RegisterLine(k, value.toStdString())) + "\r\n";
}

// Registers from..to-1 holding "v<k>" (or `value` when given).
QByteArray Lines(int from, int to, const QByteArray& value = {}) {
    QByteArray bytes;
    for (int k = from; k < to; ++k)
        bytes += Line(k, value.isNull() ? "v" + QByteArray::number(k) : value);
    return bytes;
}

}  // namespace

Q_DECLARE_METATYPE(Leave)
Q_DECLARE_METATYPE(ui::Prompts::Answer)

class SetParDlgTest : public QObject, testsupport::DialogFixture<CSetParDlg> {
    Q_OBJECT

private slots:
    void init() { QVERIFY(MakeOpen()); }
    void cleanup() { Drop(); }
    void savingPage0OfANewFileGivesTheCompleteFile();
    void leavingTheFirstNumberChangesThePage_data();
    void leavingTheFirstNumberChangesThePage();
    void theNumbersOwnMenuDoesNotLeaveIt();
    void pagesOutsideTheFileAreRefused_data();
    void pagesOutsideTheFileAreRefused();
    void unsavedValuesAskFirst_data();
    void unsavedValuesAskFirst();
    void pageKeysMoveAPage_data();
    void pageKeysMoveAPage();
    void pageChangeAndSaveWithoutAFileAskForOne();
    void browseThatChangesNothingKeepsTypedValues_data();
    void browseThatChangesNothingKeepsTypedValues();
    void tooLongValueStopsTheSaveAndWritesNothing();
    void typingStopsAtTheLimit();
    void enterAndEscWithoutAFileAskNothing();
    void savedPageLandsInTheFileAndOddTextsStayAsTyped();
    void failedWriteNamesTheFileAndKeepsTheOldOne();

private:
    QLineEdit* Number(int row) { return Edit(QString("registerNumber%1").arg(row)); }
    QLineEdit* Value(int row) { return Edit(QString("value%1").arg(row)); }
    void TypeFirstNumberAndLeave(const QString& text) {
        Type(Number(0), text);
        QTest::keyClick(Number(0), Qt::Key_Tab);
    }
    void ExpectPage(int base) {
        for (int r = 0; r < 24; ++r)
            QCOMPARE(Number(r)->text(), QString("S%1").arg(base + r, 4, 10, QChar('0')));
        QCOMPARE(dlg_->settings().pageBase, base);
    }
    QString CompleteFile() {
        const QString path = dir_->filePath("par 1.dat");
        WriteFile(path, kIdent + "\r\n" + Lines(0, 4096));
        return path;
    }
};

void SetParDlgTest::savingPage0OfANewFileGivesTheCompleteFile() {
    const QString path = dir_->filePath("新文件.dat");
    Browse(path);
    QCOMPARE(ReadFile(path), kIdent + "\r\n");
    QCOMPARE(Edit("pathEdit")->text(), path);
    QCOMPARE(prompts_->choosers.size(), 1);
    QCOMPARE(prompts_->choosers[0].filter, QString("KXCON Files(*.dat)|*.dat||"));
    QCOMPARE(prompts_->choosers[0].defaultExtension, QString("dat"));

    Click("saveButton");
    const QByteArray bytes = ReadFile(path);
    QCOMPARE(bytes.size(), 53286);
    QVERIFY(bytes == kIdent + "\r\n" + Lines(0, 4096, "0"));
    QVERIFY(!QFile::exists(path + ".bak"));
    QVERIFY(prompts_->messages.isEmpty());
}

void SetParDlgTest::leavingTheFirstNumberChangesThePage_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("base");
    QTest::newRow("48") << "48" << 48;
    QTest::newRow("0048") << "0048" << 48;
    QTest::newRow("S0048") << "S0048" << 48;
    QTest::newRow("50 rounds down") << "50" << 48;
    QTest::newRow("lower-case s") << "s0048" << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("signed") << " +72" << 72;
    QTest::newRow("last rows") << "4100" << 4080;
    QTest::newRow("S123") << "S123" << 120;
    QTest::newRow("123") << "123" << 120;
}

void SetParDlgTest::leavingTheFirstNumberChangesThePage() {
    QFETCH(QString, typed);
    QFETCH(int, base);
    Browse(CompleteFile());
    TypeFirstNumberAndLeave(typed);
    ExpectPage(base);
    QCOMPARE(QApplication::focusWidget(), Value(0));
    for (int r = 0; r < 24; ++r)
        QCOMPARE(Value(r)->text(), base + r < 4096 ? QString("v%1").arg(base + r) : QString());
    QVERIFY(prompts_->messages.isEmpty());
    QVERIFY(prompts_->questions.isEmpty());
}

void SetParDlgTest::theNumbersOwnMenuDoesNotLeaveIt() {
    Browse(CompleteFile());
    Type(Number(0), "48");
    QFocusEvent toMenu(QEvent::FocusOut, Qt::PopupFocusReason);
    QApplication::sendEvent(Number(0), &toMenu);
    QCOMPARE(dlg_->settings().pageBase, 0);
    QCOMPARE(Number(1)->text(), QString("S0001"));
    QCOMPARE(Number(0)->text(), QString("48"));
    QTest::keyClick(Number(0), Qt::Key_Tab);
    ExpectPage(48);
}

void SetParDlgTest::pagesOutsideTheFileAreRefused_data() {
    QTest::addColumn<QString>("typed");
    QTest::newRow("past the last page") << "4104";
    QTest::newRow("five digits") << "99999";
    QTest::newRow("negative") << "-25";
    QTest::newRow("S five digits") << "S9999";
}

void SetParDlgTest::pagesOutsideTheFileAreRefused() {
    QFETCH(QString, typed);
    const QString path = CompleteFile();
    Browse(path);
    TypeFirstNumberAndLeave("48");
    Type(Value(2), "typed");
    TypeFirstNumberAndLeave(typed);
    QCOMPARE(prompts_->messages, QStringList{kOutOfRange});
    ExpectPage(48);
    QCOMPARE(Value(2)->text(), QString("typed"));
    // The page typed on before the refusal is the one that a save writes.
    Click("saveButton");
    QVERIFY(ReadFile(path) == kIdent + "\r\n" + Lines(0, 50) + Line(50, "typed") + Lines(51, 4096));
}

void SetParDlgTest::unsavedValuesAskFirst_data() {
    QTest::addColumn<Leave>("leave");
    QTest::addColumn<ui::Prompts::Answer>("answer");
    const std::pair<const char*, Leave> ways[] = {{"typed number", Leave::TypedNumber},
                                                  {"PgDn", Leave::PageDown},
                                                  {"close", Leave::CloseButton},
                                                  {"Esc", Leave::Esc},
                                                  {"Enter", Leave::Enter}};
    const std::pair<const char*, ui::Prompts::Answer> answers[] = {
        {"yes", ui::Prompts::Answer::Yes},
        {"no", ui::Prompts::Answer::No},
        {"cancel", ui::Prompts::Answer::Cancel}};
    for (const auto& [way, leave] : ways) {
        for (const auto& [said, answer] : answers)
            QTest::addRow("%s, %s", way, said) << leave << answer;
    }
}

void SetParDlgTest::unsavedValuesAskFirst() {
    QFETCH(Leave, leave);
    QFETCH(ui::Prompts::Answer, answer);
    const QString path = CompleteFile();
    Browse(path);
    const QByteArray old = ReadFile(path);
    QSignalSpy saved(dlg_.get(), &CSetParDlg::Saved);
    Type(Value(3), "77");
    prompts_->answers.enqueue(answer);
    switch (leave) {
        case Leave::TypedNumber:
            TypeFirstNumberAndLeave("48");
            break;
        case Leave::PageDown:
            QTest::keyClick(Value(3), Qt::Key_PageDown);
            break;
        case Leave::CloseButton:
            Click("closeButton");
            break;
        case Leave::Esc:
            QTest::keyClick(Value(3), Qt::Key_Escape);
            break;
        case Leave::Enter:
            QTest::keyClick(Value(3), Qt::Key_Return);
            break;
    }
    QCOMPARE(prompts_->questions, QStringList{kUnsaved});
    QVERIFY(prompts_->messages.isEmpty());
    const bool yes = answer == ui::Prompts::Answer::Yes;
    QCOMPARE(ReadFile(path) == old, !yes);
    QCOMPARE(saved.size(), yes ? 1 : 0);
    if (yes)
        QCOMPARE(saved[0][0].toString(), "寄存器S0000到S0023已保存到 " + path + "。");

    if (answer == ui::Prompts::Answer::Cancel) {
        // Nothing moves and nothing typed is lost.
        QVERIFY(dlg_->isVisible());
        ExpectPage(0);
        QCOMPARE(Value(3)->text(), QString("77"));
        return;
    }
    const bool closes = leave != Leave::TypedNumber && leave != Leave::PageDown;
    QCOMPARE(dlg_->isVisible(), !closes);
    if (closes)
        QVERIFY(Open());
    else
        QCOMPARE(dlg_->settings().pageBase, leave == Leave::PageDown ? 24 : 48);
    // Back on page 0 the file decides: the typed value if it was saved, the old one if dropped.
    dlg_->MovePage(0);
    QCOMPARE(Value(3)->text(), yes ? QString("77") : QString("v3"));
    QCOMPARE(prompts_->questions.size(), 1);
}

void SetParDlgTest::pageKeysMoveAPage_data() {
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("to");
    const int none = Qt::NoModifier;
    const int ctrl = Qt::ControlModifier;
    QTest::newRow("PgDn") << 0 << int(Qt::Key_PageDown) << none << 24;
    QTest::newRow("PgUp") << 48 << int(Qt::Key_PageUp) << none << 24;
    QTest::newRow("PgUp on the first page") << 0 << int(Qt::Key_PageUp) << none << 0;
    QTest::newRow("PgDn on the last page") << 4080 << int(Qt::Key_PageDown) << none << 4080;
    QTest::newRow("Ctrl+End") << 24 << int(Qt::Key_End) << ctrl << 4080;
    QTest::newRow("Ctrl+Home") << 4080 << int(Qt::Key_Home) << ctrl << 0;
    QTest::newRow("End stays in the field") << 24 << int(Qt::Key_End) << none << 24;
}

void SetParDlgTest::pageKeysMoveAPage() {
    QFETCH(int, from);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, to);
    Browse(CompleteFile());
    dlg_->MovePage(from);
    Value(5)->setFocus();
    QTest::keyClick(Value(5), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    ExpectPage(to);
    QCOMPARE(Value(5)->text(), to + 5 < 4096 ? QString("v%1").arg(to + 5) : QString());
    // From a button too.
    Button("saveButton")->setFocus();
    QTest::keyClick(Button("saveButton"), Qt::Key_PageDown);
    ExpectPage(std::min(to + 24, 4080));
    QVERIFY(prompts_->messages.isEmpty());
}

void SetParDlgTest::pageChangeAndSaveWithoutAFileAskForOne() {
    Type(Value(1), "5");
    Click("saveButton");
    QCOMPARE(prompts_->messages, QStringList{kChooseFileFirst});
    QCOMPARE(Value(1)->text(), QString("5"));

    TypeFirstNumberAndLeave("48");
    QCOMPARE(prompts_->messages, (QStringList{kChooseFileFirst, kChooseFileFirst}));
    ExpectPage(48);
    // The held texts stay beside the new numbers.
    QCOMPARE(Value(1)->text(), QString("5"));
    QCOMPARE(Value(0)->text(), QString("0"));
}

void SetParDlgTest::browseThatChangesNothingKeepsTypedValues_data() {
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("another kind") << false << QStringList{kNotRegisterFile};
    QTest::newRow("chooser cancelled") << true << QStringList{};
}

void SetParDlgTest::browseThatChangesNothingKeepsTypedValues() {
    QFETCH(bool, cancel);
    QFETCH(QStringList, messages);
    const QString good = CompleteFile();
    Browse(good);
    Type(Value(0), "typed");
    const QString other = dir_->filePath("other.dat");
    WriteFile(other, "This is Par.dat for RVL412E. By RSE. \r\n" + Lines(0, 30));
    Browse(cancel ? std::nullopt : std::optional<QString>(other));
    // Neither asks about the typed value, nor drops it.
    QCOMPARE(prompts_->messages, messages);
    QCOMPARE(dlg_->settings().filePath, good);
    QCOMPARE(Value(0)->text(), QString("typed"));
    QVERIFY(dlg_->HasUnsavedValues());
}

void SetParDlgTest::tooLongValueStopsTheSaveAndWritesNothing() {
    const QString path = dir_->filePath("long.dat");
    const QByteArray old = kIdent + "\r\n" + Lines(0, 5) + Line(5, "123456789012") + Lines(6, 30);
    WriteFile(path, old);
    Browse(path);
    QCOMPARE(Value(5)->text(), QString("123456789012"));
    Type(Value(0), "new");
    Click("saveButton");
    QCOMPARE(prompts_->messages, QStringList{"“请填入不多于9个的字符。”"});
    QCOMPARE(QApplication::focusWidget(), Value(5));
    QCOMPARE(ReadFile(path), old);
    QCOMPARE(dlg_->settings().values[0], std::string("v0"));

    // Shortened, it saves; a text read from the file and left alone goes back unchanged.
    QTest::keyClick(Value(5), Qt::Key_End);
    QTest::keyClick(Value(5), Qt::Key_Backspace);
    QTest::keyClick(Value(5), Qt::Key_Backspace);
    QTest::keyClick(Value(5), Qt::Key_Backspace);
    Click("saveButton");
    QCOMPARE(prompts_->messages.size(), 1);
    const QByteArray now = ReadFile(path);
    QVERIFY(now.startsWith(kIdent + "\r\n" + Line(0, "new") + Lines(1, 5) + Line(5, "123456789") +
                           Lines(6, 24)));
}

void SetParDlgTest::typingStopsAtTheLimit() {
    Type(Value(7), "1234567890");
    QCOMPARE(Value(7)->text(), QString("123456789"));
    Type(Number(0), "S00480");
    QCOMPARE(Number(0)->text(), QString("S0048"));
}

void SetParDlgTest::enterAndEscWithoutAFileAskNothing() {
    // Without a file nothing can be saved: Enter keeps typed values, Esc drops them, unasked.
    Type(Value(4), "kept");
    QTest::keyClick(Value(4), Qt::Key_Return);
    QVERIFY(!dlg_->isVisible());
    QCOMPARE(dlg_->result(), int(QDialog::Accepted));

    QVERIFY(Open());
    QCOMPARE(Value(4)->text(), QString("kept"));
    Type(Value(4), "dropped");
    QTest::keyClick(Value(4), Qt::Key_Escape);
    QVERIFY(!dlg_->isVisible());
    QVERIFY(Open());
    QCOMPARE(Value(4)->text(), QString("kept"));
    QVERIFY(prompts_->messages.isEmpty());
    QVERIFY(prompts_->questions.isEmpty());

    Type(Value(4), "1234567890x");
    Value(4)->setText("1234567890");
    QTest::keyClick(Value(4), Qt::Key_Return);
    QVERIFY(dlg_->isVisible());
    QCOMPARE(prompts_->messages, QStringList{"“请填入不多于9个的字符。”"});
}

void SetParDlgTest::savedPageLandsInTheFileAndOddTextsStayAsTyped() {
    const QString path = CompleteFile();
    Browse(path);
    TypeFirstNumberAndLeave("S0024");
    Type(Value(0), "abc");
    Type(Value(23), "");
    Type(Value(12), " -5");
    Click("saveButton");
    QVERIFY(prompts_->messages.isEmpty());
    const QByteArray expected = kIdent + "\r\n" + Lines(0, 24) + Line(24, "abc") + Lines(25, 36) +
                                Line(36, " -5") + Lines(37, 47) + Line(47, "") + Lines(48, 4096);
    QVERIFY(ReadFile(path) == expected);
    QVERIFY(!QFile::exists(path + ".bak"));
}

void SetParDlgTest::failedWriteNamesTheFileAndKeepsTheOldOne() {
    const QString path = CompleteFile();
    Browse(path);
    const QByteArray old = ReadFile(path);
    QVERIFY(QDir().mkdir(path + ".bak"));
    Type(Value(0), "x");
    Click("saveButton");
    QCOMPARE(prompts_->messages, QStringList{"对 " + path + ".bak 的存取被拒绝。"});
    QCOMPARE(ReadFile(path), old);
    QCOMPARE(Value(0)->text(), QString("x"));
}

QTEST_MAIN(SetParDlgTest)
#include "SetParDlgTest.moc"

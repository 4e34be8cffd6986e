#include <QtTest>

#include "charset/CharacterImage.h"
#include "charset/SetByteDlg.h"
#include "tests/support/DialogFixture.h"

namespace {

using testsupport::ReadFile;
using testsupport::WriteFile;

const QByteArray kNewImage = "This is kx.bmp file!" + QByteArray(8192, ' ');

}  // namespace

class SetByteDlgTest : public QObject, testsupport::DialogFixture<CSetByteDlg> {
    Q_OBJECT

private slots:
    void init() { QVERIFY(MakeOpen()); }
    void cleanup() { Drop(); }
    void newImageSavedWithoutEditsIsTheIdentificationAndSpaces();
    void saveWithoutAPathReportsItAndStaysOpen();
    void leavingTheEntryNumberChangesTheBlock_data();
    void leavingTheEntryNumberChangesTheBlock();
    void typedCharactersMoveOnAndAreStoredByEnter();
    void zeroByteShowsEmptyAndIsStoredAsASpace();
    void fileWithoutIdentificationSavesBackUnchanged();
    void shortFirstLineIsPaddedToAFullImage();
    void charactersNotStoredDoNotReachTheFile();
    void fieldsStayBetweenOpeningsAndCancelWritesNothing();

private:
    QLineEdit* Cell(int g, int j) { return Edit(QString("cell%1_%2").arg(g).arg(j)); }
    void TypeEntryAndLeave(const QString& text) {
        Type(Edit("entryNumber0"), text);
        QTest::keyClick(Edit("entryNumber0"), Qt::Key_Tab);
    }
    // Types where the focus is, as a user would, one key at a time.
    void TypeOn(const QString& text) {
        for (QChar c : text)
            QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
    }
};

void SetByteDlgTest::newImageSavedWithoutEditsIsTheIdentificationAndSpaces() {
    const QString path = dir_->filePath("字符.kxm");
    Browse(path);
    QCOMPARE(prompts_->choosers[0].filter, QString("KXCON Files(*.kxm)|*.kxm||"));
    QCOMPARE(prompts_->choosers[0].defaultExtension, QString("txt"));
    QCOMPARE(Edit("pathEdit")->text(), path);
    Click("saveButton");
    QCOMPARE(ReadFile(path), kNewImage);
    QVERIFY(!dlg_->isVisible());
    QCOMPARE(prompts_->messages, QStringList{"生成字符资源文件： " + path + " ！"});
}

void SetByteDlgTest::saveWithoutAPathReportsItAndStaysOpen() {
    Click("saveButton");
    QCOMPARE(prompts_->messages, QStringList{"不能生成文件：  ！"});
    QVERIFY(dlg_->isVisible());
    const QString bad = dir_->filePath("no folder/a.kxm");
    Browse(bad);
    Click("saveButton");
    QCOMPARE(prompts_->messages.last(), "不能生成文件： " + bad + " ！");
    QVERIFY(dlg_->isVisible());
}

void SetByteDlgTest::leavingTheEntryNumberChangesTheBlock_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("first");
    QTest::newRow("7") << "7" << 4;
    QTest::newRow("999") << "999" << 996;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("leading zeros") << "013" << 12;
}

void SetByteDlgTest::leavingTheEntryNumberChangesTheBlock() {
    QFETCH(QString, typed);
    QFETCH(int, first);
    std::string image = charset::NewImage();
    for (int g = 0; g < 4; ++g)
        image[charset::CellOffset(first + g, g)] = char('a' + g);
    const QString path = dir_->filePath("a.kxm");
    WriteFile(path, QByteArray::fromStdString(image));
    Browse(path);
    TypeEntryAndLeave(typed);
    for (int g = 0; g < 4; ++g) {
        QCOMPARE(Edit(QString("entryNumber%1").arg(g))->text(),
                 QString("%1").arg(first + g, 3, 10, QChar('0')));
        QCOMPARE(Cell(g, g)->text(), QString(QChar('a' + g)));
        QCOMPARE(Cell(g, (g + 1) % 8)->text(), QString(" "));
    }
    QCOMPARE(QApplication::focusWidget(), Cell(0, 0));
}

void SetByteDlgTest::typedCharactersMoveOnAndAreStoredByEnter() {
    const QString path = dir_->filePath("a.kxm");
    Browse(path);
    TypeEntryAndLeave("7");
    TypeOn("ABCDEFGH");
    QCOMPARE(QApplication::focusWidget(), Cell(1, 0));
    // A deletion moves on as well; the emptied cell stores a space.
    Cell(2, 3)->setFocus();
    QTest::keyClick(Cell(2, 3), Qt::Key_Backspace);
    QCOMPARE(QApplication::focusWidget(), Cell(2, 4));
    QTest::keyClick(Cell(2, 4), Qt::Key_Return);
    QVERIFY(dlg_->isVisible());
    Click("saveButton");
    QByteArray expected = kNewImage;
    expected.replace(52, 8, "ABCDEFGH");
    QCOMPARE(ReadFile(path), expected);
}

void SetByteDlgTest::zeroByteShowsEmptyAndIsStoredAsASpace() {
    std::string image = charset::NewImage();
    image[charset::CellOffset(1, 2)] = '\0';
    image[charset::CellOffset(1, 3)] = 'Z';
    const QString path = dir_->filePath("a.kxm");
    WriteFile(path, QByteArray::fromStdString(image));
    Browse(path);
    QCOMPARE(Cell(1, 2)->text(), QString());
    QCOMPARE(Cell(1, 3)->text(), QString("Z"));
    Click("storeButton");
    Click("saveButton");
    image[charset::CellOffset(1, 2)] = ' ';
    QCOMPARE(ReadFile(path), QByteArray::fromStdString(image));
}

void SetByteDlgTest::fileWithoutIdentificationSavesBackUnchanged() {
    QByteArray bytes(8212, 'q');
    bytes.replace(0, 20, "Not a resource file.");
    bytes[300] = char(0xB0);
    const QString path = dir_->filePath("other.kxm");
    WriteFile(path, bytes);
    Browse(path);
    Click("storeButton");
    Click("saveButton");
    QCOMPARE(ReadFile(path), bytes);
}

void SetByteDlgTest::shortFirstLineIsPaddedToAFullImage() {
    const QString path = dir_->filePath("short.kxm");
    WriteFile(path, "This is kx.bmp file!ABC\r\nsecond line");
    Browse(path);
    QCOMPARE(Cell(0, 2)->text(), QString("C"));
    TypeEntryAndLeave("1020");
    QCOMPARE(Edit("entryNumber0")->text(), QString("100"));
    TypeEntryAndLeave("999");
    Click("storeButton");
    Click("saveButton");
    QByteArray expected = kNewImage;
    expected.replace(20, 3, "ABC");
    QCOMPARE(ReadFile(path), expected);
}

void SetByteDlgTest::charactersNotStoredDoNotReachTheFile() {
    const QString path = dir_->filePath("a.kxm");
    Browse(path);
    Cell(0, 0)->setFocus();
    TypeOn("XY");
    Click("saveButton");
    QCOMPARE(ReadFile(path), kNewImage);
}

void SetByteDlgTest::fieldsStayBetweenOpeningsAndCancelWritesNothing() {
    const QString path = dir_->filePath("a.kxm");
    Browse(path);
    TypeEntryAndLeave("8");
    TypeOn("Q");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(!dlg_->isVisible());
    QVERIFY(!QFile::exists(path));

    // The stored character survives the cancel and reaches the file at a later save.
    QVERIFY(Open());
    QCOMPARE(Edit("pathEdit")->text(), path);
    QCOMPARE(Edit("entryNumber0")->text(), QString("008"));
    Click("saveButton");
    QByteArray expected = kNewImage;
    expected[20 + 8 * 8] = 'Q';
    QCOMPARE(ReadFile(path), expected);

    QVERIFY(Open());
    QCOMPARE(Edit("entryNumber1")->text(), QString("009"));
    QCOMPARE(Edit("pathEdit")->text(), path);
}

QTEST_MAIN(SetByteDlgTest)
#include "SetByteDlgTest.moc"

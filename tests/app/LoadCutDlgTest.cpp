#include <QtTest>

#include "app/LoadCutDlg.h"
#include "tests/support/DialogFixture.h"

class LoadCutDlgTest : public QObject, testsupport::DialogFixture<CLoadCutDlg> {
    Q_OBJECT

private slots:
    void init() { QVERIFY(MakeOpen()); }
    void cleanup() { Drop(); }
    void openingShowsTheStoredFields();
    void browseShowsTheChosenPathAndDropsATypedCoefficient();
    void loadAndEnterDoNothing();
    void readingBackChecksTheCoefficient_data();
    void readingBackChecksTheCoefficient();
    void escapeClosesWithoutReadingTheControls();
};

void LoadCutDlgTest::openingShowsTheStoredFields() {
    QCOMPARE(Edit("coefficientEdit")->text(), QString("0"));
    dlg_->hide();
    dlg_->setSettings({"/data/a.cut", 1234.5678f});
    QVERIFY(Open());
    QCOMPARE(Edit("pathEdit")->text(), QString("/data/a.cut"));
    QCOMPARE(Edit("coefficientEdit")->text(), QString("1234.57"));
}

void LoadCutDlgTest::browseShowsTheChosenPathAndDropsATypedCoefficient() {
    QTest::keyClicks(Edit("coefficientEdit"), "25");
    Browse(QString("/work/cut files/part.cut"));
    QCOMPARE(prompts_->choosers[0].filter,
             QString("CAXA文件 Files(*.cut)|*.cut|All Files(*.*)|*.*||"));
    QCOMPARE(prompts_->choosers[0].defaultExtension, QString("txt"));
    QCOMPARE(Edit("pathEdit")->text(), QString("/work/cut files/part.cut"));
    QCOMPARE(Edit("coefficientEdit")->text(), QString("0"));

    Edit("pathEdit")->setText("typed.cut");
    Browse(std::nullopt);
    QCOMPARE(Edit("pathEdit")->text(), QString("/work/cut files/part.cut"));
}

void LoadCutDlgTest::loadAndEnterDoNothing() {
    QTest::keyClicks(Edit("coefficientEdit"), "x");
    Click("loadButton");
    QTest::keyClick(Edit("coefficientEdit"), Qt::Key_Return);
    QVERIFY(dlg_->isVisible());
    QVERIFY(prompts_->messages.isEmpty());
    QCOMPARE(dlg_->settings().pulseCoefficient, 0.0f);
}

void LoadCutDlgTest::readingBackChecksTheCoefficient_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::addColumn<float>("value");
    const QString range = "“请填入一个在0和99999之间的数字。”";
    QTest::newRow("plain") << "250" << QString() << 250.0f;
    QTest::newRow("blanks and fraction") << "  12.5 " << QString() << 12.5f;
    QTest::newRow("upper bound") << "99999" << QString() << 99999.0f;
    QTest::newRow("exponent") << "1e3" << QString() << 1000.0f;
    QTest::newRow("not a number") << "abc"
                                  << "请键入一个数。" << 0.0f;
    QTest::newRow("trailing text") << "12mm"
                                   << "请键入一个数。" << 0.0f;
    QTest::newRow("empty") << ""
                           << "请键入一个数。" << 0.0f;
    QTest::newRow("negative") << "-1" << range << 0.0f;
    QTest::newRow("too big") << "100000" << range << 0.0f;
}

void LoadCutDlgTest::readingBackChecksTheCoefficient() {
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QFETCH(float, value);
    Edit("coefficientEdit")->setText(typed);
    Button("browseButton")->setFocus();
    QCOMPARE(dlg_->CheckedSettings().has_value(), message.isEmpty());
    QCOMPARE(prompts_->messages, message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(dlg_->settings().pulseCoefficient, value);
    if (!message.isEmpty())
        QCOMPARE(QApplication::focusWidget(), Edit("coefficientEdit"));
}

void LoadCutDlgTest::escapeClosesWithoutReadingTheControls() {
    Edit("pathEdit")->setText("typed.cut");
    QTest::keyClick(Edit("pathEdit"), Qt::Key_Escape);
    QVERIFY(!dlg_->isVisible());
    QCOMPARE(dlg_->settings().filePath, QString());
    QVERIFY(Open());
    QCOMPARE(Edit("pathEdit")->text(), QString());
}

QTEST_MAIN(LoadCutDlgTest)
#include "LoadCutDlgTest.moc"

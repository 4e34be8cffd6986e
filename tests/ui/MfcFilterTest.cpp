#include <QtTest>

#include "ui/MfcFilter.h"

class MfcFilterTest : public QObject {
    Q_OBJECT

private slots:
    void filterStringsBecomeQtNameFilters_data();
    void filterStringsBecomeQtNameFilters();
};

void MfcFilterTest::filterStringsBecomeQtNameFilters_data() {
    QTest::addColumn<QString>("mfc");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("object programs")
        << "Text Files(*.kxo)|*.kxo|All Files(*.*)|*.*||"
        << QStringList{"Text Files(*.kxo) (*.kxo)", "All Files(*.*) (*)"};
    QTest::newRow("several patterns")
        << "Bitmaps|*.bmp;*.dib||" << QStringList{"Bitmaps (*.bmp *.dib)"};
    QTest::newRow("any file inside a list")
        << "Programs|*.kxc; *.*||" << QStringList{"Programs (*.kxc *)"};
    QTest::newRow("no closing bars") << "Data|*.dat" << QStringList{"Data (*.dat)"};
    QTest::newRow("empty pair ends the list") << "A|*.a||B|*.b||" << QStringList{"A (*.a)"};
    QTest::newRow("description without patterns") << "A||" << QStringList{};
    QTest::newRow("empty") << "" << QStringList{};
}

void MfcFilterTest::filterStringsBecomeQtNameFilters() {
    QFETCH(QString, mfc);
    QFETCH(QStringList, expected);
    QCOMPARE(ui::NameFiltersFromMfc(mfc), expected);
}

QTEST_APPLESS_MAIN(MfcFilterTest)
#include "MfcFilterTest.moc"

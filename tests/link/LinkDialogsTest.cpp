#include <QCheckBox>
#include <QComboBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include "downloads/ProcessDlg.h"
#include "link/Link.h"
#include "link/SetSeriesDlg.h"

class LinkDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void confirmSetsPortNumberAndBaudRate_data();
    void confirmSetsPortNumberAndBaudRate();
    void escapeChangesNothingAndReopeningShowsTheConfirmedTexts();
    void confirmWorksInsideTheModalLoop();
    void listsAreSortedAsText();
    void progressWindowAsksToStopInsteadOfClosing();

private:
    // The settings dialog edits this line's settings.
    struct Line {
        ctrl::Link link{[](const QString&) {}};
        CSetSeriesDlg dlg{link};
        CSerialPort& port = link.Port();
    };

    static QComboBox* Combo(QDialog& dlg, const char* name) {
        return dlg.findChild<QComboBox*>(QLatin1String(name));
    }
};

void LinkDialogsTest::confirmSetsPortNumberAndBaudRate_data() {
    QTest::addColumn<QString>("portText");
    QTest::addColumn<QString>("baudText");
    QTest::addColumn<int>("portNumber");
    QTest::addColumn<int>("baudRate");
    QTest::addColumn<QString>("portPath");
    QTest::newRow("listed") << "COM3"
                            << "19200" << 3 << 19200 << "";
    QTest::newRow("typed two digits") << "COM12"
                                      << "9600" << 12 << 9600 << "";
    QTest::newRow("no number") << "COM"
                               << "4800" << 0 << 4800 << "";
    QTest::newRow("too short") << "C"
                               << "4800" << 0 << 4800 << "";
    QTest::newRow("device path") << "/dev/ttyUSB0"
                                 << "9600" << 0 << 9600 << "/dev/ttyUSB0";
}

void LinkDialogsTest::confirmSetsPortNumberAndBaudRate() {
    QFETCH(QString, portText);
    QFETCH(QString, baudText);
    Line line;
    CSetSeriesDlg& dlg = line.dlg;
    line.port.portPath = "/dev/previous";
    dlg.show();
    Combo(dlg, "portCombo")->setEditText(portText);
    Combo(dlg, "baudCombo")->setCurrentText(baudText);
    QTest::mouseClick(dlg.findChild<QPushButton*>("okButton"), Qt::LeftButton);
    QVERIFY(!dlg.isVisible());
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QCOMPARE(line.link.PortText(), portText);
    QCOMPARE(line.link.BaudText(), baudText);
    QTEST(int(line.port.portNumber), "portNumber");
    QTEST(int(line.port.baudRate), "baudRate");
    QTEST(line.port.portPath, "portPath");
}

void LinkDialogsTest::escapeChangesNothingAndReopeningShowsTheConfirmedTexts() {
    Line line;
    CSetSeriesDlg& dlg = line.dlg;
    QCOMPARE(line.link.PortText(), QString("COM1"));
    QCOMPARE(line.link.BaudText(), QString("4800"));
    QVERIFY(!line.link.FastTransfer());
    auto* fast = dlg.findChild<QCheckBox*>("fastCheck");
    dlg.show();
    QVERIFY(!fast->isChecked());
    Combo(dlg, "portCombo")->setEditText("COM2");
    Combo(dlg, "baudCombo")->setCurrentText("9600");
    fast->setChecked(true);
    QTest::mouseClick(dlg.findChild<QPushButton*>("okButton"), Qt::LeftButton);
    QVERIFY(line.link.FastTransfer());

    dlg.show();
    QCOMPARE(Combo(dlg, "portCombo")->currentText(), QString("COM2"));
    QCOMPARE(Combo(dlg, "baudCombo")->currentText(), QString("9600"));
    QVERIFY(fast->isChecked());
    Combo(dlg, "portCombo")->setEditText("COM4");
    Combo(dlg, "baudCombo")->setCurrentText("19200");
    fast->setChecked(false);
    QTest::keyClick(&dlg, Qt::Key_Escape);
    QVERIFY(!dlg.isVisible());
    QVERIFY(line.link.FastTransfer());
    QCOMPARE(line.link.PortText(), QString("COM2"));
    QCOMPARE(line.port.portNumber, 2);
    QCOMPARE(line.port.baudRate, 9600);

    dlg.show();
    QCOMPARE(Combo(dlg, "portCombo")->currentText(), QString("COM2"));
    QCOMPARE(Combo(dlg, "baudCombo")->currentText(), QString("9600"));
    dlg.close();  // the close box
    QCOMPARE(line.link.PortText(), QString("COM2"));

    dlg.show();
    Combo(dlg, "portCombo")->setEditText("COM3");
    QTest::mouseClick(dlg.findChild<QPushButton*>("cancelButton"), Qt::LeftButton);
    QVERIFY(!dlg.isVisible());
    QCOMPARE(dlg.result(), int(QDialog::Rejected));
    QCOMPARE(line.link.PortText(), QString("COM2"));
}

void LinkDialogsTest::confirmWorksInsideTheModalLoop() {
    Line line;
    CSetSeriesDlg& dlg = line.dlg;
    QTimer::singleShot(0, &dlg, [&] {
        Combo(dlg, "portCombo")->setEditText("COM4");
        dlg.findChild<QPushButton*>("okButton")->click();
    });
    QCOMPARE(dlg.exec(), int(QDialog::Accepted));
    QCOMPARE(line.port.portNumber, 4);
}

void LinkDialogsTest::listsAreSortedAsText() {
    Line line;
    CSetSeriesDlg& dlg = line.dlg;
    QComboBox* baud = Combo(dlg, "baudCombo");
    QStringList bauds;
    for (int i = 0; i < baud->count(); ++i)
        bauds << baud->itemText(i);
    QCOMPARE(bauds, (QStringList{"19200", "4800", "9600"}));
    QVERIFY(!baud->isEditable());
    QVERIFY(Combo(dlg, "portCombo")->isEditable());
    QCOMPARE(CSetSeriesDlg::PortChoices({"/dev/ttyUSB0", "/dev/ttyS0", "/dev/ttyS7", "COM2"}),
             (QStringList{"/dev/ttyS7", "/dev/ttyUSB0", "COM1", "COM2", "COM3", "COM4"}));
    // The virtual controller comes last, where there are pseudo-terminals for it.
    QComboBox* ports = Combo(dlg, "portCombo");
    QCOMPARE(ports->findText("虚拟控制器（试用）"),
             ctrl::VirtualControllerProcess::Available() ? ports->count() - 1 : -1);
}

// While it shows a transfer runs: Esc and the close box ask for the stop, as "停止" does, and
// only the transfer's end takes the window away.
void LinkDialogsTest::progressWindowAsksToStopInsteadOfClosing() {
    QDialog owner;
    CProcessDlg window;
    QSignalSpy stops(&window, &CProcessDlg::StopRequested);
    QVERIFY(window.windowFlags() & Qt::WindowCloseButtonHint);
    window.Open(&owner, "下载参数 第 0 页");
    QCOMPARE(window.windowTitle(), QString("下载参数 第 0 页"));
    QVERIFY(window.isVisible());
    window.SetRange(64);
    window.SetPosition(63);
    QCOMPARE(window.progress->maximum(), 64);
    QCOMPARE(window.progress->value(), 63);
    window.SetRange(0);
    QVERIFY(window.progress->maximum() > window.progress->minimum());  // not a busy indicator

    QTest::keyClick(&window, Qt::Key_Escape);
    QVERIFY(!window.close());
    window.stopButton->click();
    QCOMPARE(stops.size(), 3);
    QVERIFY(window.isVisible());
    window.hide();  // the transfer's end
    window.Open(&owner, "下载液晶画面");
    QCOMPARE(window.progress->value(), 0);
}

QTEST_MAIN(LinkDialogsTest)
#include "LinkDialogsTest.moc"

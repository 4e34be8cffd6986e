#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QtTest>

#include <string>

#include "app/WireMonitorDock.h"
#include "common/FileIo.h"
#include "common/QtMessages.h"
#include "link/SerialPort.h"
#include "ui/ScriptedPrompts.h"
#include "wire/WireExport.h"
#include "wire/WireTrace.h"

// The dock on a port that is never opened: the test writes and reads through the port's tap.
class WireMonitorDockTest : public QObject {
    Q_OBJECT

    struct Dock {
        CSerialPort port;
        ui::ScriptedPrompts prompts;
        CWireMonitorDock dock{port, prompts};

        void Exchange(int packets) {
            const std::uint8_t handshake = 1;
            port.tap(true, &handshake, 1);
            port.tap(false, &handshake, 1);
            std::uint8_t frame[18] = {3};
            frame[17] = 85;
            for (int i = 0; i < packets; ++i) {
                for (const std::uint8_t b : frame)
                    port.tap(true, &b, 1);
                port.tap(false, frame, 1);
            }
        }
    };

private slots:
    void linesArriveInBatches() {
        Dock d;
        d.Exchange(2000);
        // Nothing is drawn per byte: the lines wait for the batch.
        QCOMPARE(d.dock.View()->document()->isEmpty(), true);
        QTRY_COMPARE(d.dock.View()->blockCount(), 4002);
        QCOMPARE(d.dock.View()->toPlainText() + QLatin1Char('\n'),
                 QString::fromStdString(d.dock.Recorder().Text()));
        QVERIFY(d.dock.View()->toPlainText().startsWith(QStringLiteral("+0000.")));
        QVERIFY(d.dock.View()->toPlainText().endsWith(QStringLiteral("RX 03  acknowledge")));
    }

    void savesWhatItKeptAndClears() {
        Dock d;
        d.Exchange(3);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("trace.txt"));
        d.prompts.fileAnswers.enqueue(path);
        d.prompts.fileAnswers.enqueue(dir.filePath(QStringLiteral("no/such/folder/trace.txt")));
        d.dock.Save();
        std::string saved;
        QVERIFY(fileio::ReadWholeFile(path.toStdString(), saved));
        QCOMPARE(saved, d.dock.Recorder().Text());
        QCOMPARE(saved.substr(10, 17), std::string("TX 01  handshake\n"));
        QCOMPARE(d.prompts.choosers.front().title, msg::QText(msg::Id::WireMonitorSaveTitle));
        d.dock.Save();
        QCOMPARE(d.prompts.messages.size(), 1);
        QVERIFY(d.prompts.messages.front().contains(QStringLiteral("no/such/folder")));

        d.dock.Clear();
        QVERIFY(d.dock.Recorder().Lines().empty());
        QVERIFY(d.dock.View()->document()->isEmpty());
        QCOMPARE(
            d.dock.findChild<QLabel*>()->text(),
            msg::QText(msg::Id::WireMonitorCount, {QStringLiteral("0"), QStringLiteral("100000")}));
    }

    // The chosen name's ending picks the format, as `tarvex trace export` writes it.
    void savesCapturesAndTablesByTheNameChosen() {
        Dock d;
        d.Exchange(2);
        QTemporaryDir dir;
        for (const char* name : {"trace.pcap", "trace.CSV"}) {
            const QString path = dir.filePath(QLatin1String(name));
            d.prompts.fileAnswers.enqueue(path);
            d.dock.Save();
            std::string saved;
            QVERIFY(fileio::ReadWholeFile(path.toStdString(), saved));
            const std::vector<wire::Line> lines(d.dock.Recorder().Lines().begin(),
                                                d.dock.Recorder().Lines().end());
            QCOMPARE(saved,
                     QByteArray(name).endsWith("pcap") ? wire::ToPcap(lines) : wire::ToCsv(lines));
        }
        QVERIFY(d.prompts.choosers.front().filter.contains(QStringLiteral("*.pcap")));
        QVERIFY(d.prompts.messages.isEmpty());
    }
};

QTEST_MAIN(WireMonitorDockTest)
#include "WireMonitorDockTest.moc"

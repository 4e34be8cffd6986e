#include <QTest>

#include "common/BlankText.h"
#include "common/GbkText.h"
#include "tests/support/QtFiles.h"

namespace {

using testsupport::Bytes;

QChar Raw(int byte) {
    return QChar(char16_t(gbk::kRawByteBase + byte));
}

}  // namespace

class GbkTextTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(gbk::Available(), "this system has no GBK converter"); }

    void bytesComeBackUnchanged_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("ascii with CR LF") << QByteArray("MOV M1,0\r\nEND\r\n");
        QTest::newRow("chinese") << Bytes({0xD6, 0xD0, 0xCE, 0xC4, 0x0D, 0x0A});
        QTest::newRow("comment marks and euro")
            << Bytes({0xA3, 0xBB, 0xA1, 0xAE, 0xA1, 0xAF, 0x80});
        QTest::newRow("user-defined areas") << Bytes({0xAA, 0xA1, 0xF8, 0xA1, 0xA1, 0x40});
        QTest::newRow("lead byte before a space") << Bytes({0xD6, 0x20, 0x41});
        QTest::newRow("lead byte before 7F") << Bytes({0xA1, 0x7F});
        QTest::newRow("lone lead byte at the end") << Bytes({0x41, 0xD6});
        QTest::newRow("FF and 80 FF") << Bytes({0xFF, 0x80, 0xFF});
        QTest::newRow("lone CR and lone LF") << Bytes({'a', '\r', 'b', '\n', 'c', '\n', '\r'});
        QTest::newRow("CR CR LF") << Bytes({'\r', '\r', '\n'});
        QTest::newRow("NUL and tab") << Bytes({0x00, 0x09, 0x41, 0x00});
        QTest::newRow("lead byte before CR LF") << Bytes({0xB0, 0x0D, 0x0A});
    }
    void bytesComeBackUnchanged() {
        QFETCH(QByteArray, bytes);
        const QString text = gbk::Decode(bytes);
        QCOMPARE(gbk::Encode(text), bytes);
        QCOMPARE(gbk::EncodedLength(text), bytes.size());
    }

    void everyPairOfBytesComesBackUnchanged() {
        QByteArray all;
        for (int lead = 0; lead < 256; ++lead) {
            for (int trail = 0; trail < 256; ++trail) {
                all += char(lead);
                all += char(trail);
            }
        }
        QCOMPARE(gbk::Encode(gbk::Decode(all)), all);
    }

    void textShowsAsTheCharactersItHolds_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("chinese") << Bytes({0xD6, 0xD0, 0xCE, 0xC4}) << QStringLiteral("中文");
        QTest::newRow("CR LF is one line break") << QByteArray("a\r\nb") << QStringLiteral("a\nb");
        QTest::newRow("semicolon and quotes")
            << Bytes({0xA3, 0xBB, 0xA1, 0xAE, 0xA1, 0xAF}) << QStringLiteral("；‘’");
        QTest::newRow("bad trail keeps the trail")
            << Bytes({0xD6, 0x20}) << QString(Raw(0xD6)) + u' ';
        QTest::newRow("lone LF") << QByteArray("a\nb") << QStringLiteral("a") + Raw('\n') + u'b';
    }
    void textShowsAsTheCharactersItHolds() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(gbk::Decode(bytes), text);
    }

    void typedTextBecomesGbkWithCrLf_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("line break") << QStringLiteral("A\nB") << QByteArray("A\r\nB");
        QTest::newRow("paragraph separator") << QStringLiteral("A\u2029B") << QByteArray("A\r\nB");
        QTest::newRow("chinese") << QStringLiteral("程序") << Bytes({0xB3, 0xCC, 0xD0, 0xF2});
        QTest::newRow("no GBK code") << QStringLiteral("a\U0001F600b") << QByteArray("a?b");
        QTest::newRow("hangul") << QStringLiteral("\uD55C") << QByteArray("?");
    }
    void typedTextBecomesGbkWithCrLf() {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(gbk::Encode(text), bytes);
        QCOMPARE(gbk::EncodedLength(text), bytes.size());
    }

    // No program yet: the editor and the language server then leave out "no END".
    void onlyWhiteSpaceIsBlank_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("blank");
        QTest::newRow("empty") << QString() << true;
        QTest::newRow("CR LF and tabs") << QStringLiteral("\r\n\t \r\n") << true;
        QTest::newRow("ideographic space") << QStringLiteral("\u3000\r\n") << true;
        QTest::newRow("a comment") << QStringLiteral("  ' x\r\n") << false;
        QTest::newRow("a byte that is no GBK") << QString(Raw(0x80)) << false;
    }
    void onlyWhiteSpaceIsBlank() {
        QFETCH(QString, text);
        QFETCH(bool, blank);
        QCOMPARE(BlankText(text), blank);
    }
};

QTEST_APPLESS_MAIN(GbkTextTest)
#include "GbkTextTest.moc"

// Every colour the program paints itself follows the palette: read on a light and on a dark
// desktop, and changed with it while the window is open.
#include <QImage>
#include <QTest>
#include <QTextEdit>

#include "app/ProgramHighlighter.h"
#include "app/TarvexView.h"
#include "ui/Colours.h"

namespace {

QPalette Palette(const QColor& window, const QColor& base, const QColor& text) {
    QPalette palette(window);
    for (const QPalette::ColorRole role : {QPalette::Window, QPalette::Button})
        palette.setColor(role, window);
    palette.setColor(QPalette::Base, base);
    for (const QPalette::ColorRole role :
         {QPalette::Text, QPalette::WindowText, QPalette::ButtonText})
        palette.setColor(role, text);
    return palette;
}

int Distance(const QColor& a, const QColor& b) {
    return std::abs(a.lightness() - b.lightness());
}

}  // namespace

class DarkDesktopTest : public QObject {
    Q_OBJECT

private slots:
    void aPairFollowsTheWindowLightness_data() {
        QTest::addColumn<QColor>("window");
        QTest::addColumn<bool>("dark");
        QTest::newRow("white") << QColor(Qt::white) << false;
        QTest::newRow("light grey") << QColor(239, 239, 239) << false;
        QTest::newRow("middle, light side") << QColor(128, 128, 128) << false;
        QTest::newRow("middle, dark side") << QColor(127, 127, 127) << true;
        QTest::newRow("dark Fusion") << QColor(53, 53, 53) << true;
        QTest::newRow("black") << QColor(Qt::black) << true;
    }
    void aPairFollowsTheWindowLightness() {
        QFETCH(QColor, window);
        QFETCH(bool, dark);
        const QPalette palette = Palette(window, window, Qt::gray);
        QCOMPARE(colours::IsDark(palette), dark);
        QCOMPARE(colours::Pick(palette, Qt::blue, Qt::yellow),
                 dark ? QColor(Qt::yellow) : QColor(Qt::blue));
        // The fault red stands out from a clearly light or dark window by lightness too.
        if (Distance(window, QColor(128, 128, 128)) >= 60)
            QVERIFY(Distance(colours::Fault(palette), window) >= 40);
    }

    // A palette change reaches the highlighter, the gutter and the line marks of an open editor.
    void theEditorRepaintsInTheNewPalette_data() {
        QTest::addColumn<QPalette>("palette");
        QTest::newRow("dark") << Palette(QColor(53, 53, 53), QColor(42, 42, 42), Qt::white);
        QTest::newRow("light") << Palette(QColor(239, 239, 239), Qt::white, Qt::black);
    }
    void theEditorRepaintsInTheNewPalette() {
        QFETCH(QPalette, palette);
        CTarvexView view;
        view.resize(400, 200);
        view.setPlainText(QStringLiteral("MOV M1,1\nFOO 1\nEND"));
        view.Highlighter().SetFaultyLines({2});
        view.ShowFault(2);
        // Start from the other side, so that the change has to come through.
        const bool dark = colours::IsDark(palette);
        view.setPalette(dark ? Palette(Qt::white, Qt::white, Qt::black)
                             : Palette(QColor(53, 53, 53), Qt::black, Qt::white));
        view.setPalette(palette);
        const QColor base = palette.color(QPalette::Base);

        for (const auto kind :
             {CProgramHighlighter::Kind::Move, CProgramHighlighter::Kind::RegisterM,
              CProgramHighlighter::Kind::Comment}) {
            const QColor colour = view.Highlighter().Format(kind).foreground().color();
            QVERIFY2(Distance(colour, base) >= 60, qPrintable(colour.name()));
        }
        const QList<QTextEdit::ExtraSelection> marks = view.extraSelections();
        QCOMPARE(marks.size(), 2);
        for (const QTextEdit::ExtraSelection& mark : marks) {
            // The text on the caret's line and on the marked line reads.
            const QColor background = mark.format.background().color();
            QVERIFY2(Distance(background, palette.color(QPalette::Text)) >= 120,
                     qPrintable(background.name()));
        }

        const QImage shot = view.grab().toImage();
        const QRect second = view.cursorRect(QTextCursor(view.document()->findBlockByNumber(1)));
        const QPoint mark(view.contentsRect().left() + 1, second.center().y());
        QCOMPARE(shot.pixelColor(mark).rgb(), colours::Fault(palette).rgb());
        const QColor gutter =
            shot.pixelColor(view.contentsRect().left() + 4, view.contentsRect().bottom() - 2);
        QCOMPARE(gutter.rgb(), palette.color(QPalette::Window).rgb());
    }

    // The toolbar pictures sit on whatever the toolbar's colour is.
    void theToolbarPicturesHaveNoBackground() {
        const QImage strip(QStringLiteral(":/res/toolbar.png"));
        QCOMPARE(strip.size(), QSize(128, 15));
        QVERIFY(strip.hasAlphaChannel());
        for (int picture = 0; picture < 8; ++picture) {
            const QImage one = strip.copy(picture * 16, 0, 16, 15);
            int opaque = 0;
            for (int y = 0; y < one.height(); ++y) {
                for (int x = 0; x < one.width(); ++x)
                    opaque += qAlpha(one.pixel(x, y)) == 255;
            }
            QVERIFY2(opaque > 10 && qAlpha(one.pixel(0, 0)) == 0,
                     qPrintable(QString::number(picture)));
        }
    }
};

QTEST_MAIN(DarkDesktopTest)
#include "DarkDesktopTest.moc"

// Every dialog, shown at a 13 pt font and at the device pixel ratio QT_SCALE_FACTOR asks for
// (ctest runs this once per ratio), must show each text in full and keep controls apart.
#include <functional>
#include <memory>

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QStyleOptionFrame>
#include <QtTest>

#include "app/AboutDlg.h"
#include "app/LoadCutDlg.h"
#include "app/MainFrm.h"
#include "app/MessageDlg.h"
#include "app/Tarvex.h"
#include "charset/SetByteDlg.h"
#include "compiler/TranslateDlg.h"
#include "downloads/DownByteDlg.h"
#include "downloads/DownParDlg.h"
#include "downloads/DownProDlg.h"
#include "downloads/ProcessDlg.h"
#include "link/Link.h"
#include "link/SetSeriesDlg.h"
#include "registers/RegisterTableWnd.h"
#include "registers/SetParDlg.h"
#include "screen/PictureImportDlg.h"
#include "ui/ActivityLog.h"
#include "ui/ScreenFit.h"
#include "ui/ScriptedPrompts.h"

namespace {

using Make = std::function<std::unique_ptr<QDialog>(ui::Prompts&)>;

// The one line the link dialogs are handed; it is never opened here.
ctrl::Link& TestLink() {
    static ctrl::Link link([](const QString&) {});
    return link;
}

template <typename Dialog>
Make WithPrompts() {
    return [](ui::Prompts& prompts) { return std::make_unique<Dialog>(prompts); };
}

template <typename Dialog>
Make WithPort() {
    return
        [](ui::Prompts& prompts) { return std::make_unique<Dialog>(prompts, TestLink().Port()); };
}

Make Information() {
    return [](ui::Prompts& prompts) {
        static ui::ActivityLog log;
        return std::make_unique<CMessageDlg>(log, prompts);
    };
}

Make SerialSettings() {
    return [](ui::Prompts&) { return std::make_unique<CSetSeriesDlg>(TestLink()); };
}

template <typename Dialog>
Make Plain() {
    return [](ui::Prompts&) { return std::make_unique<Dialog>(); };
}

// The width a line edit needs to show `text` whole, frame and margins included.
int EditWidthFor(const QLineEdit& edit, const QString& text) {
    const QFontMetrics fm = edit.fontMetrics();
    const QMargins tm = edit.textMargins();
    QStyleOptionFrame option;
    option.initFrom(&edit);
    option.lineWidth =
        edit.hasFrame() ? edit.style()->pixelMetric(QStyle::PM_DefaultFrameWidth) : 0;
    // QLineEdit keeps two pixels of its own beside the text.
    const int inner = fm.horizontalAdvance(text) + 2 * 2 + tm.left() + tm.right();
    return edit.style()
        ->sizeFromContents(QStyle::CT_LineEdit, &option, QSize(inner, fm.height()), &edit)
        .width();
}

// The widest text a field can hold: its text now, or as many digits as it takes.
QString WidestText(const QLineEdit& edit) {
    const int digits = edit.maxLength() <= 9 ? edit.maxLength() : 0;
    return digits > edit.text().size() ? QString(digits, u'0') : edit.text();
}

QString Problem(const QWidget& w) {
    const QString name = w.objectName().isEmpty() ? QString::fromLatin1(w.metaObject()->className())
                                                  : w.objectName();
    const QSize size = w.size();
    if (auto* label = qobject_cast<const QLabel*>(&w)) {
        const QSize hint = label->sizeHint();
        if (label->wordWrap() ? size.height() < label->heightForWidth(size.width())
                              : size.width() < hint.width() || size.height() < hint.height())
            return QStringLiteral("label %1 \"%2\" is %3x%4, needs %5x%6")
                .arg(name, label->text())
                .arg(size.width())
                .arg(size.height())
                .arg(hint.width())
                .arg(hint.height());
    } else if (qobject_cast<const QAbstractButton*>(&w) || qobject_cast<const QComboBox*>(&w)) {
        const QSize hint = w.sizeHint();
        if (size.width() < hint.width() || size.height() < hint.height())
            return QStringLiteral("%1 is %2x%3, needs %4x%5")
                .arg(name)
                .arg(size.width())
                .arg(size.height())
                .arg(hint.width())
                .arg(hint.height());
    } else if (qobject_cast<const QComboBox*>(w.parentWidget())) {
        return {};  // an editable combo box's own field; the combo box answers for it
    } else if (auto* edit = qobject_cast<const QLineEdit*>(&w)) {
        const int needed = EditWidthFor(*edit, WidestText(*edit));
        const int height = edit->minimumSizeHint().height();
        if (size.width() < needed || size.height() < height)
            return QStringLiteral("edit %1 \"%2\" is %3x%4, needs %5x%6")
                .arg(name, WidestText(*edit))
                .arg(size.width())
                .arg(size.height())
                .arg(needed)
                .arg(height);
    } else {
        return {};
    }
    if (!QRect(QPoint(), w.parentWidget()->size()).contains(w.geometry()))
        return QStringLiteral("%1 sticks out of its parent").arg(name);
    for (QObject* other : w.parent()->children()) {
        auto* sibling = qobject_cast<QWidget*>(other);
        if (sibling && sibling != &w && !sibling->isWindow() && sibling->isVisible() &&
            sibling->geometry().intersects(w.geometry()))
            return QStringLiteral("%1 overlaps %2")
                .arg(name, sibling->objectName().isEmpty()
                               ? QString::fromLatin1(sibling->metaObject()->className())
                               : sibling->objectName());
    }
    return {};
}

}  // namespace

class LayoutTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void everyControlShowsItsTextAndKeepsToItself_data();
    void everyControlShowsItsTextAndKeepsToItself();
    void tabOrderIsTheTemplateOrder_data();
    void tabOrderIsTheTemplateOrder();
    void everyWindowFitsTheScreen_data();
    void everyWindowFitsTheScreen();
};

void LayoutTest::initTestCase() {
    QFont font = QApplication::font();
    font.setPointSize(13);
    QApplication::setFont(font);
}

void LayoutTest::everyControlShowsItsTextAndKeepsToItself_data() {
    QTest::addColumn<Make>("make");
    QTest::newRow("compile") << WithPrompts<CTranslateDlg>();
    QTest::newRow("serial settings") << SerialSettings();
    QTest::newRow("program download") << WithPort<CDownProDlg>();
    QTest::newRow("parameter download") << WithPort<CDownParDlg>();
    QTest::newRow("screen download") << WithPort<CDownByteDlg>();
    QTest::newRow("picture import") << WithPrompts<CPictureImportDlg>();
    QTest::newRow("progress") << Plain<CProcessDlg>();
    QTest::newRow("registers") << WithPrompts<CSetParDlg>();
    QTest::newRow("characters") << WithPrompts<CSetByteDlg>();
    QTest::newRow("load cut file") << WithPrompts<CLoadCutDlg>();
    QTest::newRow("information") << Information();
    QTest::newRow("about") << Plain<CAboutDlg>();
}

// The windows that can hold more than a screen shows, next to every dialog.
void LayoutTest::everyWindowFitsTheScreen_data() {
    everyControlShowsItsTextAndKeepsToItself_data();
    QTest::newRow("register table") << WithPrompts<CRegisterTableWnd>();
    QTest::newRow("main window") << Make();
}

// On a 1600x1000 screen at every ratio each window lies inside the available area, so its
// title bar and buttons can be reached.
void LayoutTest::everyWindowFitsTheScreen() {
    QFETCH(Make, make);
    if (QByteArray(QTest::currentDataTag()) == "picture import" &&
        qEnvironmentVariable("QT_SCALE_FACTOR") == QStringLiteral("2"))
        QSKIP("its size is set after the layout, past the check that makes contents scroll");
    ui::ScreenFitter fitter;
    qApp->installEventFilter(&fitter);
    ui::ScriptedPrompts prompts;
    std::unique_ptr<QWidget> window;
    std::unique_ptr<CTarvexApp> app;
    if (make) {
        window = make(prompts);
        window->show();
    } else {
        app = std::make_unique<CTarvexApp>(prompts);
        QVERIFY(
            app->InitInstance({QStringLiteral("/Embedding")}, QStringLiteral("/opt/x/tarvex620b")));
    }
    QWidget* shown = window ? window.get() : app->mainFrame.get();
    QVERIFY(QTest::qWaitForWindowExposed(shown));
    QCoreApplication::processEvents();
    qApp->removeEventFilter(&fitter);
    const QRect available = shown->screen()->availableGeometry();
    QCOMPARE(available.size(), QSize(1600, 1000) / shown->devicePixelRatioF());
    QVERIFY2(available.contains(shown->frameGeometry()),
             qPrintable(QStringLiteral("%1x%2 at %3,%4")
                            .arg(shown->frameGeometry().width())
                            .arg(shown->frameGeometry().height())
                            .arg(shown->x())
                            .arg(shown->y())));
    // Every button shows inside its window, or inside contents that scroll.
    for (const QAbstractButton* button : shown->findChildren<QAbstractButton*>()) {
        if (!button->isVisibleTo(shown) || button->window() != shown ||
            shown->findChild<QScrollArea*>(QStringLiteral("contentsScroll")))
            continue;
        const QRect place(button->mapTo(shown, QPoint()), button->size());
        QVERIFY2(shown->rect().contains(place), qPrintable(button->objectName()));
    }
}

void LayoutTest::everyControlShowsItsTextAndKeepsToItself() {
    QFETCH(Make, make);
    ui::ScriptedPrompts prompts;
    const std::unique_ptr<QDialog> dialog = make(prompts);
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    // The run must really be at the ratio it was started for.
    const double ratio = qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1")).toDouble();
    QCOMPARE(dialog->devicePixelRatioF(), ratio);
    QCOMPARE(dialog->font().pointSize(), 13);

    QStringList problems;
    for (QWidget* w : dialog->findChildren<QWidget*>()) {
        if (w->isVisibleTo(dialog.get()) && !w->isWindow())
            if (const QString problem = Problem(*w); !problem.isEmpty())
                problems << problem;
    }
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("\n  "))));
}

namespace {

QStringList Numbered(const QString& pattern, int from, int to) {
    QStringList names;
    for (int i = from; i <= to; ++i)
        names << pattern.arg(i);
    return names;
}

}  // namespace

void LayoutTest::tabOrderIsTheTemplateOrder_data() {
    QTest::addColumn<Make>("make");
    QTest::addColumn<QStringList>("order");
    const QStringList fileDownload{"pathEdit", "browseButton", "numberEdit", "startButton",
                                   "cancelButton"};
    QTest::newRow("compile") << WithPrompts<CTranslateDlg>()
                             << QStringList{"pathEdit", "browseButton", "compileButton",
                                            "cancelButton"};
    QTest::newRow("serial settings")
        << SerialSettings()
        << QStringList{"portCombo", "baudCombo", "fastCheck", "okButton", "cancelButton"};
    QTest::newRow("program download") << WithPort<CDownProDlg>() << fileDownload;
    QTest::newRow("parameter download") << WithPort<CDownParDlg>() << fileDownload;
    QTest::newRow("screen download")
        << WithPort<CDownByteDlg>()
        << QStringList{"pathEdit",       "browseButton", "startupRadio",
                       "parameterRadio", "statusRadio",  "screenNumberEdit"} +
               Numbered("registerEdit%1", 1, 4) +
               QStringList{"startButton", "cancelButton", "importButton"};
    QTest::newRow("picture import")
        << WithPrompts<CPictureImportDlg>()
        // Without a picture only these are enabled.
        << QStringList{"openButton", "invertBox", "thresholdSlider", "ditherBox",
                       "fitBox",     "zoomBox",   "closeButton"};
    QTest::newRow("registers") << WithPrompts<CSetParDlg>()
                               << QStringList{"browseButton", "registerNumber0"} +
                                      Numbered("value%1", 0, 23) +
                                      QStringList{"saveButton", "closeButton"};
    QStringList cells;
    for (int g = 0; g < 4; ++g)
        cells += Numbered(QStringLiteral("cell%1_").arg(g) + QStringLiteral("%1"), 0, 7);
    QTest::newRow("characters") << WithPrompts<CSetByteDlg>()
                                << QStringList{"browseButton", "entryNumber0", "saveButton",
                                               "cancelButton"} +
                                       cells + QStringList{"storeButton"};
    QTest::newRow("load cut file")
        << WithPrompts<CLoadCutDlg>()
        << QStringList{"loadButton", "cancelButton", "pathEdit", "browseButton", "coefficientEdit"};
}

// The focus chain of the enabled named controls, from the first of `order` round to it again.
void LayoutTest::tabOrderIsTheTemplateOrder() {
    QFETCH(Make, make);
    QFETCH(QStringList, order);
    ui::ScriptedPrompts prompts;
    const std::unique_ptr<QDialog> dialog = make(prompts);
    QWidget* first = dialog->findChild<QWidget*>(order.first());
    QVERIFY(first);
    QStringList chain;
    QWidget* w = first;
    do {
        if (!w->objectName().isEmpty() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) &&
            !qobject_cast<QComboBox*>(w->parentWidget()))
            chain << w->objectName();
        w = w->nextInFocusChain();
    } while (w != first && chain.size() <= order.size());
    QCOMPARE(chain, order);
}

QTEST_MAIN(LayoutTest)
#include "LayoutTest.moc"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <string>

#include "common/FileIo.h"
#include "common/QtMessages.h"
#include "downloads/DownByteDlg.h"
#include "link/SerialPort.h"
#include "screen/PictureImport.h"
#include "screen/PictureImportDlg.h"
#include "ui/ScriptedPrompts.h"

namespace {

const QString kPictures = QStringLiteral(TARVEX_TEST_DATA "/pictures/");

std::string Bytes(const QString& path) {
    std::string bytes;
    fileio::ReadWholeFile(path.toStdString(), bytes);
    return bytes;
}

std::string Golden(const char* name) {
    return Bytes(kPictures + "expected/" + name + ".bmp");
}

template <typename Widget = QPushButton>
Widget* Find(QWidget& dlg, const char* name) {
    return dlg.findChild<Widget*>(QLatin1String(name));
}

void Click(QWidget& dlg, const char* name) {
    QTest::mouseClick(Find(dlg, name), Qt::LeftButton);
}

}  // namespace

class PictureImportDlgTest : public QObject {
    Q_OBJECT

private slots:
    void controlsGiveTheCommittedBitmapsAndSaveWritesThem();
    void saveAndDownloadHandsTheBitmapOn();
    void anUnreadablePictureIsToldAndNothingCanBeSaved();
    void screenDialogPreviewsWhatIsSent();
    void aRefusedBitmapOpensTheImportAndItsBitmapIsTaken();

private:
    QTemporaryDir dir;
};

// The dialog's controls reach the same bitmaps as the options of the golden pictures.
void PictureImportDlgTest::controlsGiveTheCommittedBitmapsAndSaveWritesThem() {
    ui::ScriptedPrompts prompts;
    CPictureImportDlg dlg(prompts);
    // A photo is padded and diffused unless chosen otherwise; the goldens take the plain options.
    QCOMPARE(dlg.options.fit, screen::Fit::Pad);
    QCOMPARE(dlg.options.dither, screen::Dither::FloydSteinberg);
    dlg.options.fit = screen::Fit::Scale;
    dlg.options.dither = screen::Dither::None;
    QVERIFY(dlg.OpenPicture(kPictures + "ramp.png"));
    dlg.show();
    // Not connected: the download is there, greyed, and says why.
    QVERIFY(Find(dlg, "downloadButton")->isVisible());
    QVERIFY(!Find(dlg, "downloadButton")->isEnabled());
    QCOMPARE(Find(dlg, "downloadButton")->toolTip(), msg::QText(msg::Id::PictureDownloadNeedsLink));
    QCOMPARE(screen::BitmapFromLitRows(dlg.Screen()), Golden("ramp-default"));

    Find<QComboBox>(dlg, "ditherBox")->setCurrentIndex(2);
    QCOMPARE(screen::BitmapFromLitRows(dlg.Screen()), Golden("ramp-fs"));
    Find<QComboBox>(dlg, "ditherBox")->setCurrentIndex(0);
    Find<QCheckBox>(dlg, "invertBox")->setChecked(true);
    Find<QSlider>(dlg, "thresholdSlider")->setValue(60);
    QCOMPARE(screen::BitmapFromLitRows(dlg.Screen()), Golden("ramp-invert-60"));

    const QString saved = dir.filePath("ramp.bmp");
    prompts.fileAnswers.enqueue(saved);
    Click(dlg, "saveButton");
    QCOMPARE(prompts.choosers.last().defaultExtension, QString("bmp"));
    // Beside the picture, not in the working folder.
    QCOMPARE(prompts.choosers.last().initialFileName, QDir(kPictures).filePath("ramp-lcd"));
    QCOMPARE(Bytes(saved), Golden("ramp-invert-60"));
    QCOMPARE(dlg.savedPath, saved);
    QCOMPARE(dlg.result(), int(QDialog::Accepted));

    // Turns and fit from the buttons and the list.
    CPictureImportDlg turned(prompts);
    turned.options.dither = screen::Dither::None;
    QVERIFY(turned.OpenPicture(kPictures + "mark.bmp"));
    turned.show();
    Click(turned, "rotateLeftButton");
    Click(turned, "rotateLeftButton");
    Click(turned, "rotateLeftButton");
    Find<QComboBox>(turned, "fitBox")->setCurrentIndex(2);
    QCOMPARE(screen::BitmapFromLitRows(turned.Screen()), Golden("mark-right-pad"));
    QVERIFY(prompts.messages.isEmpty());
}

void PictureImportDlgTest::saveAndDownloadHandsTheBitmapOn() {
    ui::ScriptedPrompts prompts;
    CPictureImportDlg dlg(prompts);
    QString handed;
    dlg.onDownload = [&handed](const QString& path) { handed = path; };
    dlg.canDownload = true;
    dlg.options.fit = screen::Fit::Crop;
    dlg.options.dither = screen::Dither::None;
    QVERIFY(dlg.OpenPicture(kPictures + "wide.gif"));
    dlg.show();
    QVERIFY(Find(dlg, "downloadButton")->isEnabled());
    QVERIFY(Find(dlg, "downloadButton")->toolTip().isEmpty());
    QCOMPARE(Find<QComboBox>(dlg, "fitBox")->currentIndex(), int(screen::Fit::Crop));

    prompts.fileAnswers.enqueue(std::nullopt);
    Click(dlg, "downloadButton");
    QVERIFY(handed.isEmpty());
    QVERIFY(dlg.isVisible());

    const QString saved = dir.filePath("wide.bmp");
    prompts.fileAnswers.enqueue(saved);
    Click(dlg, "downloadButton");
    QCOMPARE(handed, saved);
    QCOMPARE(Bytes(saved), Golden("wide-crop"));
}

void PictureImportDlgTest::anUnreadablePictureIsToldAndNothingCanBeSaved() {
    ui::ScriptedPrompts prompts;
    CPictureImportDlg dlg(prompts);
    const QString notPicture = kPictures + "expected";
    QVERIFY(!dlg.OpenPicture(notPicture));
    QCOMPARE(prompts.messages, QStringList{"不能读取图片： " + notPicture + " ！"});
    dlg.show();
    QVERIFY(!Find(dlg, "saveButton")->isEnabled());
    QVERIFY(!Find(dlg, "rotateLeftButton")->isEnabled());
}

void PictureImportDlgTest::screenDialogPreviewsWhatIsSent() {
    ui::ScriptedPrompts prompts;
    CSerialPort port;
    CDownByteDlg dlg(prompts, port);
    QLabel* preview = Find<QLabel>(dlg, "previewView");
    Find<QLineEdit>(dlg, "pathEdit")->setText(kPictures + "expected/mark-exact.bmp");
    const screen::ScreenRead read =
        screen::ReadScreenPicture((kPictures + "expected/mark-exact.bmp").toStdString());
    QCOMPARE(preview->pixmap().toImage().convertToFormat(QImage::Format_RGB32),
             screen::PreviewImage(read.rows, 1));
    // A picture the checks refuse shows nothing.
    Find<QLineEdit>(dlg, "pathEdit")->setText(kPictures + "mark.bmp");
    QVERIFY(preview->pixmap().isNull());
}

// The 1154-byte bitmap an ordinary tool writes is refused; Yes opens it in the import, and the
// bitmap saved there becomes the file to send.
void PictureImportDlgTest::aRefusedBitmapOpensTheImportAndItsBitmapIsTaken() {
    ui::ScriptedPrompts prompts;
    CSerialPort port;
    CDownByteDlg dlg(prompts, port);
    dlg.scratchPath = dir.filePath("dat01.dat");
    dlg.show();
    Find<QLineEdit>(dlg, "pathEdit")->setText(kPictures + "mark.bmp");
    prompts.answers.enqueue(ui::Prompts::Answer::Yes);
    const QString saved = dir.filePath("mark-lcd.bmp");
    prompts.fileAnswers.enqueue(saved);
    QString opened;
    QTimer::singleShot(0, [&opened] {
        auto* import = qobject_cast<CPictureImportDlg*>(QApplication::activeModalWidget());
        QVERIFY(import);
        opened = import->picturePath;
        Click(*import, "saveButton");
    });
    Click(dlg, "startButton");
    QCOMPARE(prompts.questions.size(), 1);
    QVERIFY(prompts.questions[0].startsWith("文件格式错误: File Size ERR!!!\n"));
    QCOMPARE(opened, kPictures + "mark.bmp");
    QCOMPARE(Bytes(saved), Golden("mark-exact"));
    QCOMPARE(Find<QLineEdit>(dlg, "pathEdit")->text(), saved);
    QVERIFY(!Find<QLabel>(dlg, "previewView")->pixmap().isNull());
    QVERIFY(!QFileInfo::exists(dlg.scratchPath));
}

QTEST_MAIN(PictureImportDlgTest)
#include "PictureImportDlgTest.moc"

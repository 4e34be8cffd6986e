#include "screen/PictureImportDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QPixmap>
#include <QShowEvent>
#include <QSlider>

#include "common/FileRoles.h"
#include "common/QtMessages.h"
#include "screen/ScreenImage.h"
#include "ui/DialogControls.h"
#include "ui/Prompts.h"

namespace {

// Room for the picture as the user gave it, the same height as the preview at double size.
constexpr QSize kSourceBox{192, 256};
constexpr int kLargestZoom = 4;
constexpr int kFirstZoom = 2;

std::filesystem::path PathOf(const QString& text) {
    return std::filesystem::path(text.toStdU16String());
}

QComboBox* Choices(const char* name, std::initializer_list<msg::Id> texts) {
    auto* box = new QComboBox;
    box->setObjectName(QLatin1String(name));
    for (const msg::Id text : texts)
        box->addItem(msg::QText(text));
    return box;
}

QLabel* Buddy(msg::Id text, QWidget* control) {
    auto* label = new QLabel(msg::QText(text));
    label->setBuddy(control);
    return label;
}

}  // namespace

CPictureImportDlg::CPictureImportDlg(ui::Prompts& prompts, QWidget* parent)
    : QDialog(parent), prompts_(prompts) {
    setWindowTitle(msg::QText(msg::Id::PictureImportCaption));
    // A photo keeps its shape and its shades.
    options.fit = screen::Fit::Pad;
    options.dither = screen::Dither::FloydSteinberg;
    MakeControls();
    LayOut();
    ConnectControls();
    Redraw();
}

void CPictureImportDlg::MakeControls() {
    namespace c = ui::controls;
    sourceView_ = new QLabel;
    sourceView_->setObjectName(QStringLiteral("sourceView"));
    sourceView_->setFixedSize(kSourceBox);
    sourceView_->setAlignment(Qt::AlignCenter);
    previewView_ = new QLabel;
    previewView_->setObjectName(QStringLiteral("previewView"));
    previewView_->setAlignment(Qt::AlignCenter);

    openButton_ = c::Button(msg::QText(msg::Id::PictureOpen), "openButton");
    rotateLeftButton_ = c::Button(msg::QText(msg::Id::PictureRotateLeft), "rotateLeftButton");
    rotateRightButton_ = c::Button(msg::QText(msg::Id::PictureRotateRight), "rotateRightButton");
    invertBox_ = new QCheckBox(msg::QText(msg::Id::PictureInvert));
    invertBox_->setObjectName(QStringLiteral("invertBox"));

    thresholdSlider_ = new QSlider(Qt::Horizontal);
    thresholdSlider_->setObjectName(QStringLiteral("thresholdSlider"));
    thresholdSlider_->setRange(0, 255);
    thresholdSlider_->setPageStep(16);
    thresholdSlider_->setValue(options.threshold);
    thresholdValue_ = new QLabel(QString::number(255));
    thresholdValue_->setMinimumWidth(thresholdValue_->sizeHint().width());
    thresholdValue_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    // The items follow the order of screen::Dither and screen::Fit.
    ditherBox_ = Choices("ditherBox", {msg::Id::PictureDitherNone, msg::Id::PictureDitherOrdered,
                                       msg::Id::PictureDitherDiffusion});
    fitBox_ = Choices("fitBox",
                      {msg::Id::PictureFitScale, msg::Id::PictureFitCrop, msg::Id::PictureFitPad});
    zoomBox_ = new QComboBox;
    zoomBox_->setObjectName(QStringLiteral("zoomBox"));
    for (int zoom = 1; zoom <= kLargestZoom; ++zoom)
        zoomBox_->addItem(msg::QText(msg::Id::PictureZoomFactor, {QString::number(zoom)}), zoom);
    zoomBox_->setCurrentIndex(kFirstZoom - 1);

    saveButton_ = c::Button(msg::QText(msg::Id::PictureSave), "saveButton");
    downloadButton_ = c::Button(msg::QText(msg::Id::PictureSaveAndDownload), "downloadButton");
    closeButton_ = c::Button(msg::QText(msg::Id::PictureClose), "closeButton");
    saveButton_->setDefault(true);
}

void CPictureImportDlg::LayOut() {
    namespace c = ui::controls;
    auto* threshold = new QHBoxLayout;
    threshold->addWidget(thresholdSlider_, 1);
    threshold->addWidget(thresholdValue_);
    auto* choices = new QFormLayout;
    choices->addRow(Buddy(msg::Id::PictureThresholdLabel, thresholdSlider_), threshold);
    choices->addRow(Buddy(msg::Id::PictureDitherLabel, ditherBox_), ditherBox_);
    choices->addRow(Buddy(msg::Id::PictureFitLabel, fitBox_), fitBox_);
    choices->addRow(Buddy(msg::Id::PictureZoomLabel, zoomBox_), zoomBox_);

    auto* turns = c::Row({rotateLeftButton_, rotateRightButton_, invertBox_});
    turns->addStretch();

    auto* layout = new QGridLayout;
    layout->addWidget(c::Group(msg::QText(msg::Id::PictureSourceGroup), c::Row({sourceView_})), 0,
                      0);
    layout->addWidget(c::Group(msg::QText(msg::Id::PicturePreviewGroup), c::Row({previewView_})), 0,
                      1);
    layout->addLayout(c::Row({openButton_}), 1, 0, Qt::AlignLeft);
    layout->addLayout(turns, 1, 1);
    layout->addLayout(choices, 2, 0, 1, 2);
    layout->addLayout(c::ButtonRow({saveButton_, downloadButton_, closeButton_}), 3, 0, 1, 2);
    c::SizeToContents(this, layout);
    c::TabOrder({openButton_, rotateLeftButton_, rotateRightButton_, invertBox_, thresholdSlider_,
                 ditherBox_, fitBox_, zoomBox_, saveButton_, downloadButton_, closeButton_});
}

void CPictureImportDlg::ConnectControls() {
    connect(openButton_, &QPushButton::clicked, this, &CPictureImportDlg::ChoosePicture);
    connect(rotateLeftButton_, &QPushButton::clicked, this, [this] {
        options.rotation = screen::Turned(options.rotation, false);
        Redraw();
    });
    connect(rotateRightButton_, &QPushButton::clicked, this, [this] {
        options.rotation = screen::Turned(options.rotation, true);
        Redraw();
    });
    auto retake = [this] {
        TakeControls();
        Redraw();
    };
    connect(invertBox_, &QCheckBox::toggled, this, retake);
    connect(thresholdSlider_, &QSlider::valueChanged, this, retake);
    connect(ditherBox_, &QComboBox::currentIndexChanged, this, retake);
    connect(fitBox_, &QComboBox::currentIndexChanged, this, retake);
    connect(zoomBox_, &QComboBox::currentIndexChanged, this, retake);
    connect(saveButton_, &QPushButton::clicked, this, &CPictureImportDlg::Save);
    connect(downloadButton_, &QPushButton::clicked, this, &CPictureImportDlg::SaveAndDownload);
    connect(closeButton_, &QPushButton::clicked, this, &QDialog::reject);
}

bool CPictureImportDlg::OpenPicture(const QString& path) {
    const QImage picture = screen::LoadPicture(PathOf(path));
    if (picture.isNull()) {
        prompts_.Message(
            QString::fromStdString(screen::PictureRefusal(PathOf(path), path.toStdString())));
        return false;
    }
    ShowPicture(picture, path);
    return true;
}

void CPictureImportDlg::ShowPicture(const QImage& picture, const QString& path) {
    picturePath = path;
    picture_ = picture;
    grey_ = screen::GreyFromImage(picture_);
    fitted_.reset();
    options.rotation = screen::Rotation::None;
    Redraw();
}

void CPictureImportDlg::ChoosePicture() {
    ui::FileChooser chooser;
    chooser.filter = msg::QText(msg::Id::PictureFilter);
    if (const auto chosen = prompts_.ChooseOpenFile(chooser))
        OpenPicture(*chosen);
}

bool CPictureImportDlg::Save() {
    ui::FileChooser chooser;
    chooser.defaultExtension = QStringLiteral("bmp");
    if (!picturePath.isEmpty()) {
        const QFileInfo picture(picturePath);
        chooser.initialFileName =
            picture.dir().filePath(picture.completeBaseName() + QStringLiteral("-lcd"));
    }
    chooser.filter = msg::QText(msg::Id::ScreenBitmapFilter);
    chooser.overwritePrompt = true;
    const auto chosen = prompts_.ChooseSaveFile(chooser);
    if (!chosen)
        return false;
    if (fileio::OutputOverInput(fileio::FileRoles().In(PathOf(picturePath)).Out(PathOf(*chosen)))) {
        prompts_.Message(msg::QText(msg::Id::OutputIsInput, {*chosen}));
        return false;
    }
    if (screen::SaveScreenBitmap(PathOf(*chosen), rows_)) {
        prompts_.Message(
            QString::fromStdString(screen::ScratchFailedMessage(chosen->toStdString())));
        return false;
    }
    savedPath = *chosen;
    accept();
    return true;
}

void CPictureImportDlg::SaveAndDownload() {
    if (Save() && onDownload)
        onDownload(savedPath);
}

void CPictureImportDlg::TakeControls() {
    options.invert = invertBox_->isChecked();
    options.threshold = thresholdSlider_->value();
    options.dither = static_cast<screen::Dither>(ditherBox_->currentIndex());
    options.fit = static_cast<screen::Fit>(fitBox_->currentIndex());
}

void CPictureImportDlg::Redraw() {
    thresholdValue_->setText(QString::number(options.threshold));
    const bool loaded = !picture_.isNull();
    if (loaded) {
        sourceView_->setPixmap(QPixmap::fromImage(
            picture_.scaled(kSourceBox, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    } else {
        sourceView_->clear();
    }
    const std::pair fit{options.rotation, options.fit};
    if (fitted_ != fit) {
        fittedGrey_ = screen::FittedGrey(grey_, options.rotation, options.fit);
        fitted_ = fit;
    }
    rows_ = screen::OneBit(fittedGrey_, options);
    previewView_->setPixmap(
        QPixmap::fromImage(screen::PreviewImage(rows_, zoomBox_->currentData().toInt())));
    for (QPushButton* needsPicture : {rotateLeftButton_, rotateRightButton_, saveButton_})
        needsPicture->setEnabled(loaded);
    const bool downloadable = canDownload && static_cast<bool>(onDownload);
    downloadButton_->setEnabled(loaded && downloadable);
    downloadButton_->setToolTip(downloadable ? QString()
                                             : msg::QText(msg::Id::PictureDownloadNeedsLink));
}

void CPictureImportDlg::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        // Each control's signal takes all of them, so the wanted choices are kept aside.
        const screen::ImportOptions wanted = options;
        invertBox_->setChecked(wanted.invert);
        thresholdSlider_->setValue(wanted.threshold);
        ditherBox_->setCurrentIndex(static_cast<int>(wanted.dither));
        fitBox_->setCurrentIndex(static_cast<int>(wanted.fit));
        options = wanted;
        Redraw();
    }
    QDialog::showEvent(event);
}

#pragma once

#include <functional>
#include <optional>
#include <utility>

#include <QDialog>
#include <QImage>
#include <QString>

#include "screen/PictureImport.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSlider;

namespace ui {
class Prompts;
}

// Turns any picture into the screen bitmap the screen download takes: the picture beside the
// one-bit screen it gives, redrawn as each choice changes.
class CPictureImportDlg : public QDialog {
    Q_OBJECT

public:
    explicit CPictureImportDlg(ui::Prompts& prompts, QWidget* parent = nullptr);

    // Reads the picture and shows it; false, and the user told, when it cannot be read.
    bool OpenPicture(const QString& path);
    // Shows a picture already in memory, as if opened from `path`.
    void ShowPicture(const QImage& picture, const QString& path = QString());

    screen::ImportOptions options;
    QString picturePath;
    // The bitmap last saved; empty until then.
    QString savedPath;
    // Where "save and download" hands the saved bitmap on.
    std::function<void(const QString&)> onDownload;
    // Whether a screen download can run now; the button shows either way, enabled only then.
    bool canDownload = false;

    const screen::LitRows& Screen() const { return rows_; }

    void ChoosePicture();
    // Asks where, writes the bitmap and closes the dialog; false when cancelled or not written.
    bool Save();
    void SaveAndDownload();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void MakeControls();
    void LayOut();
    void ConnectControls();
    void TakeControls();
    void Redraw();

    ui::Prompts& prompts_;
    screen::GreyPicture grey_;
    // grey_ turned and fitted for fitted_'s rotation and fit; made again when they change.
    screen::GreyPicture fittedGrey_;
    std::optional<std::pair<screen::Rotation, screen::Fit>> fitted_;
    QImage picture_;
    screen::LitRows rows_{};
    QLabel* sourceView_;
    QLabel* previewView_;
    QLabel* thresholdValue_;
    QPushButton* openButton_;
    QPushButton* rotateLeftButton_;
    QPushButton* rotateRightButton_;
    QCheckBox* invertBox_;
    QSlider* thresholdSlider_;
    QComboBox* ditherBox_;
    QComboBox* fitBox_;
    QComboBox* zoomBox_;
    QPushButton* saveButton_;
    QPushButton* downloadButton_;
    QPushButton* closeButton_;
};

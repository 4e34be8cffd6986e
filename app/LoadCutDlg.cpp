#include "app/LoadCutDlg.h"

#include <optional>

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QShowEvent>

#include "ui/DialogControls.h"
#include "ui/Prompts.h"

namespace {

const QString kCutFilter = QStringLiteral("CAXA文件 Files(*.cut)|*.cut|All Files(*.*)|*.*||");

using ui::FromDialogUnits;
namespace c = ui::controls;

// A decimal number with blanks around it, nothing else.
std::optional<double> ReadNumber(const QString& text) {
    static const QRegularExpression number(
        QStringLiteral(R"(^\s*[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?\s*$)"));
    if (!number.match(text).hasMatch())
        return std::nullopt;
    return text.trimmed().toDouble();
}

}  // namespace

CLoadCutDlg::CLoadCutDlg(ui::Prompts& prompts, QWidget* parent)
    : QDialog(parent), prompts_(prompts) {
    setWindowTitle(QStringLiteral("载入文件"));
    setFixedSize(FromDialogUnits(0, 0, 187, 98).size());

    // Created in template order, which is also the tab order.
    loadButton_ = c::Button(this, QStringLiteral("载入/转换"), "loadButton", kLoadId,
                            FromDialogUnits(30, 69, 50, 14));
    loadButton_->setDefault(true);
    cancelButton_ = c::Button(this, QStringLiteral("取消"), "cancelButton", kCancelId,
                              FromDialogUnits(110, 69, 50, 14));
    pathEdit_ = c::Edit(this, "pathEdit", kPathId, FromDialogUnits(10, 21, 120, 12));
    browseButton_ = c::Button(this, QStringLiteral("浏览"), "browseButton", kBrowseId,
                              FromDialogUnits(142, 19, 40, 15));
    c::Group(this, QStringLiteral("选择要载入的目标文件"), FromDialogUnits(9, 10, 130, 30));
    c::Label(this, QStringLiteral("脉冲系数:"), FromDialogUnits(15, 49, 37, 10));
    coefficientEdit_ =
        c::Edit(this, "coefficientEdit", kCoefficientId, FromDialogUnits(63, 47, 33, 12));
    c::Group(this, QString(), FromDialogUnits(9, 39, 130, 24));
    c::Label(this, QStringLiteral("脉冲/毫米"), FromDialogUnits(97, 49, 35, 8));

    connect(loadButton_, &QPushButton::clicked, this, &CLoadCutDlg::Load);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
    connect(browseButton_, &QPushButton::clicked, this, &CLoadCutDlg::Browse);
}

void CLoadCutDlg::Refresh() {
    pathEdit_->setText(filePath);
    coefficientEdit_->setText(QString::number(pulseCoefficient, 'g', 6));
}

bool CLoadCutDlg::TakeFields() {
    filePath = pathEdit_->text();
    const std::optional<double> number = ReadNumber(coefficientEdit_->text());
    QString problem;
    if (!number)
        problem = QStringLiteral("请键入一个数。");
    else if (float(*number) < kMinCoefficient || float(*number) > kMaxCoefficient)
        problem = QStringLiteral("“请填入一个在%1和%2之间的数字。”")
                      .arg(double(kMinCoefficient))
                      .arg(double(kMaxCoefficient));
    if (!problem.isEmpty()) {
        prompts_.Message(problem);
        coefficientEdit_->setFocus();
        coefficientEdit_->selectAll();
        return false;
    }
    pulseCoefficient = float(*number);
    return true;
}

void CLoadCutDlg::Browse() {
    ui::FileChooser chooser;
    chooser.defaultExtension = QStringLiteral("txt");
    chooser.filter = kCutFilter;
    chooser.overwritePrompt = true;
    if (const auto chosen = prompts_.ChooseOpenFile(chooser))
        filePath = *chosen;
    Refresh();
}

void CLoadCutDlg::Load() {
    // Cut files are not read anywhere; the button is kept for the dialog's layout.
}

void CLoadCutDlg::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        Refresh();
        loadButton_->setFocus();
    }
    QDialog::showEvent(event);
}

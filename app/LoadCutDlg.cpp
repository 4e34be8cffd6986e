#include "app/LoadCutDlg.h"

#include <optional>

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QShowEvent>

#include "ui/Prompts.h"

namespace {

const QString kCutFilter = QStringLiteral("CAXA文件 Files(*.cut)|*.cut|All Files(*.*)|*.*||");

// The dialog is laid out in dialog units of the "System" 10 point font.
QRect FromDialogUnits(int x, int y, int width, int height) {
    auto horizontal = [](int units) { return units * 7 / 4; };
    auto vertical = [](int units) { return units * 19 / 10; };
    return {horizontal(x), vertical(y), horizontal(width), vertical(height)};
}

QPushButton* MakeButton(QWidget* parent, const QString& text, const char* name, int id,
                        QRect geometry) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setProperty("controlId", id);
    button->setGeometry(geometry);
    return button;
}

QLineEdit* MakeEdit(QWidget* parent, const char* name, int id, QRect geometry) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setProperty("controlId", id);
    edit->setGeometry(geometry);
    return edit;
}

void MakeLabel(QWidget* parent, const QString& text, QRect geometry) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(geometry);
}

void MakeGroup(QWidget* parent, const QString& title, QRect geometry) {
    auto* group = new QGroupBox(title, parent);
    group->setGeometry(geometry);
}

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
    loadButton_ = MakeButton(this, QStringLiteral("载入/转换"), "loadButton", kLoadId,
                             FromDialogUnits(30, 69, 50, 14));
    loadButton_->setDefault(true);
    cancelButton_ = MakeButton(this, QStringLiteral("取消"), "cancelButton", kCancelId,
                               FromDialogUnits(110, 69, 50, 14));
    pathEdit_ = MakeEdit(this, "pathEdit", kPathId, FromDialogUnits(10, 21, 120, 12));
    browseButton_ = MakeButton(this, QStringLiteral("浏览"), "browseButton", kBrowseId,
                               FromDialogUnits(142, 19, 40, 15));
    MakeGroup(this, QStringLiteral("选择要载入的目标文件"), FromDialogUnits(9, 10, 130, 30));
    MakeLabel(this, QStringLiteral("脉冲系数:"), FromDialogUnits(15, 49, 37, 10));
    coefficientEdit_ =
        MakeEdit(this, "coefficientEdit", kCoefficientId, FromDialogUnits(63, 47, 33, 12));
    MakeGroup(this, QString(), FromDialogUnits(9, 39, 130, 24));
    MakeLabel(this, QStringLiteral("脉冲/毫米"), FromDialogUnits(97, 49, 35, 8));

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

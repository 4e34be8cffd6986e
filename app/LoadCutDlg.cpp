#include "app/LoadCutDlg.h"

#include <optional>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>

#include "common/QtMessages.h"
#include "ui/DialogControls.h"
#include "ui/Prompts.h"

namespace {

// A decimal number with blanks around it, nothing else.
std::optional<double> ReadNumber(const QString& text) {
    static const QRegularExpression number(
        QStringLiteral(R"(^\s*[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?\s*$)"));
    if (!number.match(text).hasMatch())
        return std::nullopt;
    return text.trimmed().toDouble();
}

}  // namespace

// Control ids, for the record: load 1003, cancel 2, path 1004, browse 1002, coefficient 1123.
CLoadCutDlg::CLoadCutDlg(ui::Prompts& prompts, QWidget* parent) : SettingsDialog(prompts, parent) {
    namespace c = ui::controls;
    setWindowTitle(msg::QText(msg::Id::LoadCutCaption));

    loadButton_ = c::Button(msg::QText(msg::Id::LoadCutLoad), "loadButton");
    loadButton_->setDefault(true);
    cancelButton_ = c::Button(msg::QText(msg::Id::DialogCancel), "cancelButton");
    pathEdit_ = c::PathEdit("pathEdit");
    browseButton_ = c::Button(msg::QText(msg::Id::DialogBrowse), "browseButton");
    coefficientEdit_ = c::Field(QStringLiteral("coefficientEdit"), QStringLiteral("00000.000"));

    auto* coefficient = new QHBoxLayout;
    coefficient->addWidget(new QLabel(msg::QText(msg::Id::LoadCutCoefficientLabel)));
    coefficient->addWidget(coefficientEdit_);
    coefficient->addWidget(new QLabel(msg::QText(msg::Id::LoadCutCoefficientUnit)));
    coefficient->addStretch();
    auto* layout = new QVBoxLayout;
    layout->addLayout(c::Row(
        {c::Group(msg::QText(msg::Id::LoadCutFileGroup), c::Row({pathEdit_})), browseButton_}));
    layout->addWidget(c::Group(QString(), coefficient));
    layout->addLayout(c::ButtonRow({loadButton_, cancelButton_}));
    c::SizeToContents(this, layout);
    // The template's order, which is also the tab order.
    c::TabOrder({loadButton_, cancelButton_, pathEdit_, browseButton_, coefficientEdit_});

    connect(loadButton_, &QPushButton::clicked, this, &CLoadCutDlg::Load);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
    connect(browseButton_, &QPushButton::clicked, this, &CLoadCutDlg::Browse);
}

void CLoadCutDlg::ShowSettings() {
    pathEdit_->setText(settings_.filePath);
    coefficientEdit_->setText(QString::number(settings_.pulseCoefficient, 'g', 6));
}

std::optional<CLoadCutDlg::Settings> CLoadCutDlg::CheckedSettings() {
    settings_.filePath = pathEdit_->text();
    const std::optional<double> number = ReadNumber(coefficientEdit_->text());
    QString problem;
    if (!number)
        problem = msg::QText(msg::Id::EnterANumber);
    else if (float(*number) < kMinCoefficient || float(*number) > kMaxCoefficient)
        problem = msg::QText(msg::Id::NumberOutOfRange, {QString::number(double(kMinCoefficient)),
                                                         QString::number(double(kMaxCoefficient))});
    if (!problem.isEmpty()) {
        prompts_.Message(problem);
        coefficientEdit_->setFocus();
        coefficientEdit_->selectAll();
        return std::nullopt;
    }
    settings_.pulseCoefficient = float(*number);
    return settings_;
}

void CLoadCutDlg::Browse() {
    BrowseInto(settings_.filePath, msg::QText(msg::Id::LoadCutFilter));
}

void CLoadCutDlg::Load() {
    // Cut files are not read anywhere; the button is kept for the dialog's layout.
}

QWidget* CLoadCutDlg::FirstFocus() const {
    return loadButton_;
}

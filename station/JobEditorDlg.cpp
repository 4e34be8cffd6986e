#include "station/JobEditorDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "common/QtMessages.h"
#include "jobs/JobEditing.h"
#include "jobs/JobInputs.h"
#include "screen/PictureImportDlg.h"
#include "ui/Prompts.h"

namespace station {
namespace {

constexpr int kPreviewUnits = 3;
constexpr int kPreviewZoom = 2;

QSpinBox* Spin(QWidget* parent, int most, int value = 0) {
    auto* spin = new QSpinBox(parent);
    spin->setRange(0, most);
    spin->setValue(value);
    return spin;
}

QString FromStd(const std::string& text) {
    return QString::fromStdString(text);
}

std::filesystem::path LocalPath(const QString& path) {
    return std::filesystem::path(path.toStdU16String());
}

jobs::Step StepOf(jobs::StepKind kind, std::string file, int number) {
    jobs::Step step;
    step.kind = kind;
    step.file = std::move(file);
    step.number = number;
    return step;
}

const jobs::Step* FirstOf(const jobs::Job& job, jobs::StepKind kind) {
    for (const jobs::Step& step : job.steps) {
        if (step.kind == kind)
            return &step;
    }
    return nullptr;
}

}  // namespace

JobEditorDlg::JobEditorDlg(ui::Prompts& prompts, QWidget* parent)
    : QDialog(parent), prompts(prompts) {
    setWindowTitle(msg::QText(msg::Id::JobEditorCaption));
    auto* layout = new QVBoxLayout(this);
    jobLabel = new QLabel(this);
    jobLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(jobLabel);

    layout->addWidget(BuildSteps());

    layout->addWidget(BuildStamp());

    auto* pinRow = new QHBoxLayout;
    pinOn = new QCheckBox(msg::QText(msg::Id::JobEditorPin), this);
    pin = new QLineEdit(this);
    pin->setEchoMode(QLineEdit::Password);
    pinRow->addWidget(pinOn);
    pinRow->addWidget(pin, 1);
    layout->addLayout(pinRow);

    problems = new QListWidget(this);
    layout->addWidget(problems, 1);
    auto* buttons = new QDialogButtonBox(this);
    auto* open =
        buttons->addButton(msg::QText(msg::Id::JobEditorOpen), QDialogButtonBox::ActionRole);
    auto* save =
        buttons->addButton(msg::QText(msg::Id::JobEditorSave), QDialogButtonBox::ActionRole);
    auto* check =
        buttons->addButton(msg::QText(msg::Id::JobEditorCheck), QDialogButtonBox::ActionRole);
    auto* approve =
        buttons->addButton(msg::QText(msg::Id::JobEditorApprove), QDialogButtonBox::ActionRole);
    buttons->addButton(QDialogButtonBox::Close);
    layout->addWidget(buttons);

    connect(open, &QPushButton::clicked, this, [this] {
        ui::FileChooser chooser;
        chooser.filter = msg::QText(msg::Id::StationJobFilter);
        chooser.mustExist = true;
        if (const auto path = this->prompts.ChooseOpenFile(chooser))
            Open(*path);
    });
    connect(save, &QPushButton::clicked, this, &JobEditorDlg::Save);
    connect(check, &QPushButton::clicked, this, &JobEditorDlg::Check);
    connect(approve, &QPushButton::clicked, this, &JobEditorDlg::Approve);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(pinOn, &QCheckBox::toggled, pin, &QWidget::setEnabled);
    for (QLineEdit* edit : {screenFile, stampCsv})
        connect(edit, &QLineEdit::textChanged, this, &JobEditorDlg::ShowPreviews);
    for (QSpinBox* spin : {stampStart, stampStep, stampDigits, stampRegister})
        connect(spin, &QSpinBox::valueChanged, this, &JobEditorDlg::ShowPreviews);
    connect(stampKind, &QComboBox::currentIndexChanged, this, &JobEditorDlg::ShowPreviews);
    setSettings({});
}

void JobEditorDlg::Run(ui::Prompts& prompts, const QString& openProgram, QWidget* parent) {
    JobEditorDlg dialog(prompts, parent);
    if (!openProgram.isEmpty()) {
        JobEditorSettings value;
        value.job.steps.push_back(StepOf(jobs::StepKind::Program, openProgram.toStdString(), 1));
        dialog.setSettings(value);
    }
    dialog.exec();
}

QGroupBox* JobEditorDlg::BuildSteps() {
    auto* steps = new QGroupBox(this);
    auto* form = new QFormLayout(steps);
    program = FileField(steps, msg::Id::JobEditorProgramFilter);
    form->addRow(msg::QText(msg::Id::JobEditorProgram), program->parentWidget());
    programNumber = Spin(steps, 9999, 1);
    form->addRow(msg::QText(msg::Id::JobEditorProgramNumber), programNumber);
    params = FileField(steps, msg::Id::ParameterDownloadFilter);
    form->addRow(msg::QText(msg::Id::JobEditorParams), params->parentWidget());
    page = Spin(steps, 9999, 1);
    form->addRow(msg::QText(msg::Id::JobEditorPage), page);
    screenFile = FileField(steps, msg::Id::PictureFilter);
    auto* importButton = new QPushButton(msg::QText(msg::Id::CommandPictureImport), steps);
    screenFile->parentWidget()->layout()->addWidget(importButton);
    form->addRow(msg::QText(msg::Id::JobEditorScreen), screenFile->parentWidget());
    screenKind = new QComboBox(steps);
    for (msg::Id kind :
         {msg::Id::ScreenKindStartup, msg::Id::ScreenKindParameter, msg::Id::ScreenKindStatus})
        screenKind->addItem(msg::QText(kind));
    form->addRow(msg::QText(msg::Id::JobEditorScreenKind), screenKind);
    screenNumber = Spin(steps, ctrl::kLastScreenNumber);
    form->addRow(msg::QText(msg::Id::JobEditorScreenNumber), screenNumber);
    auto* registers = new QHBoxLayout;
    for (QSpinBox*& spin : screenRegisters) {
        spin = Spin(steps, ctrl::kLastRegisterNumber);
        registers->addWidget(spin);
    }
    form->addRow(msg::QText(msg::Id::JobEditorScreenRegisters), registers);
    picturePreview = new QLabel(steps);
    form->addRow(QString(), picturePreview);
    connect(importButton, &QPushButton::clicked, this, &JobEditorDlg::ImportPicture);
    return steps;
}

QGroupBox* JobEditorDlg::BuildStamp() {
    auto* stamp = new QGroupBox(msg::QText(msg::Id::JobEditorStamp), this);
    auto* stampForm = new QFormLayout(stamp);
    stampKind = new QComboBox(stamp);
    stampKind->addItems(msg::QText(msg::Id::JobEditorStampKinds).split('\n'));
    stampForm->addRow(msg::QText(msg::Id::JobEditorStampKind), stampKind);
    stampRegister = Spin(stamp, jobs::kRegisterCount - 1);
    stampStart = Spin(stamp, 999999999);
    stampStep = Spin(stamp, 999999999, 1);
    stampStep->setMinimum(1);
    stampDigits = Spin(stamp, 9);
    stampForm->addRow(msg::QText(msg::Id::JobEditorStampRegister), stampRegister);
    stampForm->addRow(msg::QText(msg::Id::JobEditorStampStart), stampStart);
    stampForm->addRow(msg::QText(msg::Id::JobEditorStampStep), stampStep);
    stampForm->addRow(msg::QText(msg::Id::JobEditorStampDigits), stampDigits);
    stampCsv = FileField(stamp, msg::Id::RecordsCsvFilter);
    stampForm->addRow(msg::QText(msg::Id::JobEditorStampCsv), stampCsv->parentWidget());
    nextUnits = new QLabel(stamp);
    stampForm->addRow(QString(), nextUnits);
    return stamp;
}

// A file field with its "browse" button; the button picks a file and the field holds it as the
// job will name it.
QLineEdit* JobEditorDlg::FileField(QWidget* parent, msg::Id filter) {
    auto* row = new QWidget(parent);
    auto* box = new QHBoxLayout(row);
    box->setContentsMargins(0, 0, 0, 0);
    auto* edit = new QLineEdit(row);
    auto* browse = new QPushButton(msg::QText(msg::Id::JobEditorBrowse), row);
    box->addWidget(edit, 1);
    box->addWidget(browse);
    connect(browse, &QPushButton::clicked, this, [this, edit, filter] {
        ui::FileChooser chooser;
        chooser.filter = msg::QText(filter);
        chooser.mustExist = true;
        if (const auto path = prompts.ChooseOpenFile(chooser))
            edit->setText(*path);
    });
    return edit;
}

JobEditorSettings JobEditorDlg::settings() const {
    const QDir folder = QFileInfo(jobPath).absoluteDir();
    const auto named = [&](const QLineEdit* edit) {
        const QString text = edit->text().trimmed();
        return (jobPath.isEmpty() || QDir::isRelativePath(text) ? text
                                                                : folder.relativeFilePath(text))
            .toStdString();
    };
    jobs::Job job = kept;
    job.steps.clear();
    if (!program->text().trimmed().isEmpty())
        job.steps.push_back(
            StepOf(jobs::StepKind::Program, named(program), programNumber->value()));
    if (!params->text().trimmed().isEmpty())
        job.steps.push_back(StepOf(jobs::StepKind::Params, named(params), page->value()));
    if (!screenFile->text().trimmed().isEmpty()) {
        jobs::Step step = StepOf(jobs::StepKind::Screen, named(screenFile), screenNumber->value());
        step.screenKind = ctrl::ScreenKind(screenKind->currentIndex());
        for (std::size_t i = 0; i < step.registers.size(); ++i)
            step.registers[i] = screenRegisters[i]->value();
        step.picture = picture;
        job.steps.push_back(step);
    }
    job.steps.insert(job.steps.end(), kept.steps.begin(), kept.steps.end());
    job.stamp = {jobs::StampKind(stampKind->currentIndex()),
                 stampRegister->value(),
                 stampStart->value(),
                 stampStep->value(),
                 stampDigits->value(),
                 named(stampCsv)};
    if (job.stamp.kind != jobs::StampKind::Csv)
        job.stamp.csv.clear();
    if (!pinOn->isChecked())
        job.pinSha256.clear();
    else if (!pin->text().isEmpty())
        job.pinSha256 = jobs::PinHash(pin->text().toStdString());
    return {jobPath, job};
}

void JobEditorDlg::setSettings(const JobEditorSettings& value) {
    jobPath = value.jobPath;
    kept = value.job;
    kept.steps.clear();
    jobLabel->setText(
        msg::QText(msg::Id::JobEditorFile,
                   {jobPath.isEmpty() ? msg::QText(msg::Id::JobEditorUnsaved) : jobPath}));
    const jobs::Step* p = FirstOf(value.job, jobs::StepKind::Program);
    const jobs::Step* r = FirstOf(value.job, jobs::StepKind::Params);
    const jobs::Step* s = FirstOf(value.job, jobs::StepKind::Screen);
    for (const jobs::Step& step : value.job.steps) {
        if (&step != p && &step != r && &step != s)
            kept.steps.push_back(step);
    }
    program->setText(p ? FromStd(p->file) : QString());
    programNumber->setValue(p ? p->number : 1);
    params->setText(r ? FromStd(r->file) : QString());
    page->setValue(r ? r->number : 1);
    picture = s ? s->picture : screen::ImportOptions{};
    screenKind->setCurrentIndex(s ? int(s->screenKind) : 0);
    screenNumber->setValue(s ? s->number : 0);
    for (std::size_t i = 0; i < screenRegisters.size(); ++i)
        screenRegisters[i]->setValue(s ? s->registers[i] : 0);
    screenFile->setText(s ? FromStd(s->file) : QString());
    const jobs::Stamp& stamp = value.job.stamp;
    stampRegister->setValue(stamp.registerNumber);
    stampStart->setValue(static_cast<int>(stamp.start));
    stampStep->setValue(static_cast<int>(stamp.step));
    stampDigits->setValue(stamp.digits);
    stampCsv->setText(FromStd(stamp.csv));
    stampKind->setCurrentIndex(int(stamp.kind));
    pinOn->setChecked(!value.job.pinSha256.empty());
    pin->setEnabled(pinOn->isChecked());
    pin->clear();
    problems->clear();
    ShowPreviews();
}

bool JobEditorDlg::Open(const QString& path) {
    const jobs::JobRead read = jobs::ReadJob(LocalPath(path));
    if (!read.job) {
        prompts.Message(FromStd(read.fault.Text()));
        return false;
    }
    setSettings({path, *read.job});
    return true;
}

bool JobEditorDlg::Save() {
    JobEditorSettings value = settings();
    if (value.jobPath.isEmpty()) {
        ui::FileChooser chooser;
        chooser.filter = msg::QText(msg::Id::StationJobFilter);
        chooser.defaultExtension = QStringLiteral("tvjob");
        chooser.overwritePrompt = true;
        const auto path = prompts.ChooseSaveFile(chooser);
        if (!path)
            return false;
        jobPath = *path;
        value = settings();
    }
    if (const std::error_code ec = jobs::WriteJob(LocalPath(jobPath), value.job)) {
        prompts.Message(msg::QText(msg::Id::JobNotWritten, {jobPath, FromStd(ec.message())}));
        return false;
    }
    const QString pinText = pin->text();
    setSettings(value);
    pin->setText(pinText);
    return true;
}

QString JobEditorDlg::FieldLabel(const std::optional<std::size_t>& step) const {
    const std::vector<jobs::Step> steps = settings().job.steps;
    if (!step || *step >= steps.size())
        return msg::QText(msg::Id::JobEditorStamp);
    switch (steps[*step].kind) {
        case jobs::StepKind::Program:
            return msg::QText(msg::Id::JobEditorProgram);
        case jobs::StepKind::Params:
            return msg::QText(msg::Id::JobEditorParams);
        case jobs::StepKind::Screen:
            break;
    }
    return msg::QText(msg::Id::JobEditorScreen);
}

void JobEditorDlg::Check() {
    if (jobPath.isEmpty() && !Save())
        return;
    problems->clear();
    for (const jobs::JobProblem& problem : jobs::JobProblems(LocalPath(jobPath), settings().job))
        problems->addItem(FieldLabel(problem.step) + FromStd(problem.fault.Text()));
    if (problems->count() == 0)
        problems->addItem(msg::QText(msg::Id::JobEditorNoProblems));
}

void JobEditorDlg::Approve() {
    if (!Save())
        return;
    Check();
    const jobs::Approval approval = jobs::ApproveJob(LocalPath(jobPath));
    if (!approval.job) {
        prompts.Message(FromStd(approval.fault.Text()));
        return;
    }
    kept.approved = approval.job->approved;
    problems->addItem(
        msg::QText(msg::Id::JobApproved, {jobPath, QString::number(approval.job->approved.size()),
                                          FromStd(jobs::ApprovalHash(approval.job->approved))}));
}

QStringList JobEditorDlg::Problems() const {
    QStringList lines;
    for (int i = 0; i < problems->count(); ++i)
        lines << problems->item(i)->text();
    return lines;
}

QString JobEditorDlg::NextUnitsText() const {
    return nextUnits->text();
}

void JobEditorDlg::ShowPreviews() {
    const bool counter = stampKind->currentIndex() == int(jobs::StampKind::Counter);
    for (QWidget* w : {static_cast<QWidget*>(stampRegister), static_cast<QWidget*>(stampStart),
                       static_cast<QWidget*>(stampStep), static_cast<QWidget*>(stampDigits)})
        w->setEnabled(counter);
    stampCsv->parentWidget()->setEnabled(stampKind->currentIndex() == int(jobs::StampKind::Csv));
    const JobEditorSettings value = settings();
    QStringList units;
    for (const jobs::UnitStamp& unit : jobs::NextUnits(
             LocalPath(value.jobPath.isEmpty() ? QStringLiteral("new.tvjob") : value.jobPath),
             value.job, kPreviewUnits)) {
        QStringList values;
        for (const auto& [reg, text] : unit.values)
            values << QStringLiteral("S%1=%2").arg(reg, 4, 10, QLatin1Char('0')).arg(FromStd(text));
        units << (values.isEmpty() ? FromStd(unit.unit)
                                   : FromStd(unit.unit) + " (" + values.join(' ') + ')');
    }
    nextUnits->setText(msg::QText(msg::Id::JobEditorNextUnits, {units.join(QStringLiteral(", "))}));
    const QString file = screenFile->text().trimmed();
    const QString shown = QDir::isRelativePath(file) && !jobPath.isEmpty()
                              ? QFileInfo(jobPath).absoluteDir().filePath(file)
                              : file;
    const QImage image = file.isEmpty() ? QImage() : screen::LoadPicture(LocalPath(shown));
    picturePreview->setPixmap(image.isNull()
                                  ? QPixmap()
                                  : QPixmap::fromImage(screen::PreviewImage(
                                        screen::ImportPicture(image, picture), kPreviewZoom)));
}

// The screen's picture in the picture import, its choices kept with the step.
void JobEditorDlg::ImportPicture() {
    CPictureImportDlg dialog(prompts, this);
    dialog.options = picture;
    const QString file = screenFile->text().trimmed();
    if (!file.isEmpty()) {
        const QString path = QDir::isRelativePath(file) && !jobPath.isEmpty()
                                 ? QFileInfo(jobPath).absoluteDir().filePath(file)
                                 : file;
        if (!dialog.OpenPicture(path))
            return;
    }
    dialog.exec();
    picture = dialog.options;
    if (!dialog.picturePath.isEmpty() && dialog.picturePath != file)
        screenFile->setText(dialog.picturePath);
    ShowPreviews();
}

}  // namespace station

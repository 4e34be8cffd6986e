#include "ui/QtPrompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QMessageBox>

namespace ui {

int TitleRoom(const QMessageBox& box) {
    // The title bar also holds the window's icon and its buttons, some three text heights each.
    return box.fontMetrics().horizontalAdvance(box.windowTitle()) + 10 * box.fontMetrics().height();
}

namespace {

// A short text makes a box narrower than its title bar needs, and the title gets cut ("Ta... B").
void WideEnoughForTitle(QMessageBox& box) {
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(TitleRoom(box), 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
}

}  // namespace

void QtPrompts::Message(const QString& text) {
    QMessageBox box(QMessageBox::Warning, kApplicationName, text, QMessageBox::Ok,
                    QApplication::activeWindow());
    WideEnoughForTitle(box);
    box.exec();
}

Prompts::Answer QtPrompts::Question(const QString& text) {
    QMessageBox box(QMessageBox::Warning, kApplicationName, text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                    QApplication::activeWindow());
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    WideEnoughForTitle(box);
    switch (box.exec()) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            return Answer::Cancel;
    }
}

bool QtPrompts::Confirm(const QString& text) {
    QMessageBox box(QMessageBox::Warning, kApplicationName, text,
                    QMessageBox::Yes | QMessageBox::No, QApplication::activeWindow());
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    WideEnoughForTitle(box);
    return box.exec() == QMessageBox::Yes;
}

std::optional<QString> QtPrompts::ChooseOpenFile(const FileChooser& c) {
    QFileDialog dialog(QApplication::activeWindow(), c.title);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // Without "must exist" the user may type the name of a file that is not there yet.
    dialog.setFileMode(c.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    return RunChooser(dialog, c);
}

std::optional<QString> QtPrompts::ChooseSaveFile(const FileChooser& c) {
    QFileDialog dialog(QApplication::activeWindow(), c.title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(c.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !c.overwritePrompt);
    return RunChooser(dialog, c);
}

std::optional<QString> QtPrompts::RunChooser(QFileDialog& dialog, const FileChooser& c) {
    const QStringList filters = NameFiltersFromMfc(c.filter);
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    // The descriptions carry their patterns already ("Text Files(*.kxo)"); show them as written.
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    dialog.setDefaultSuffix(c.defaultExtension);
    if (!c.initialFileName.isEmpty())
        dialog.selectFile(c.initialFileName);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty())
        return std::nullopt;
    return QFileInfo(chosen.first()).absoluteFilePath();
}

}  // namespace ui

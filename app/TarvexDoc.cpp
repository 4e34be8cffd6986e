#include "app/TarvexDoc.h"

#include <QFileInfo>
#include <QRegularExpression>

#include "app/ProgramFile.h"
#include "app/TarvexView.h"
#include "ui/Prompts.h"

CTarvexDoc::CTarvexDoc(ui::Prompts& prompts, CTarvexView& view) : prompts_(prompts), view_(view) {
    view_.SetDocument(this);
}

void CTarvexDoc::SetModifiedFlag(bool modified) {
    modified_ = modified;
}

void CTarvexDoc::SetTitle(const QString& newTitle) {
    title = newTitle;
    emit TitleChanged(title);
}

void CTarvexDoc::SetPathName(const QString& path) {
    pathName = QFileInfo(path).absoluteFilePath();
    SetTitle(QFileInfo(pathName).fileName());
}

void CTarvexDoc::OnNewDocument() {
    pathName.clear();
    SetTitle(kUntitled);
    view_.SetWholeText({});
    modified_ = false;
}

CTarvexDoc::OpenOutcome CTarvexDoc::OnOpenDocument(const QString& path) {
    const programfile::ReadResult read = programfile::Read(path);
    if (read.outcome == programfile::ReadResult::Outcome::NotOpened) {
        prompts_.Message(read.message);
        return OpenOutcome::Untouched;
    }
    if (read.outcome == programfile::ReadResult::Outcome::Abandoned) {
        prompts_.Message(read.message);
        OnNewDocument();
        return OpenOutcome::Emptied;
    }
    view_.SetWholeText(read.bytes);
    SetPathName(path);
    modified_ = false;
    emit PathUsed(pathName);
    return OpenOutcome::Opened;
}

bool CTarvexDoc::OnSaveDocument(const QString& path) {
    if (const auto failure = programfile::Write(path, view_.WholeText())) {
        prompts_.Message(*failure);
        return false;
    }
    modified_ = false;
    return true;
}

QString CTarvexDoc::ProposedFileName() const {
    if (!pathName.isEmpty())
        return pathName;
    QString name = title;
    const qsizetype cut = name.indexOf(QRegularExpression(QStringLiteral("[ #%;/\\\\]")));
    if (cut >= 0)
        name.truncate(cut);
    return name + u'.' + kExtension;
}

bool CTarvexDoc::DoSave(const QString& path) {
    QString target = path;
    if (target.isEmpty()) {
        ui::FileChooser chooser;
        chooser.title = msg::QText(msg::Id::SaveAsTitle);
        chooser.filter = kFilter;
        chooser.defaultExtension = kExtension;
        chooser.initialFileName = ProposedFileName();
        chooser.overwritePrompt = true;
        const auto chosen = prompts_.ChooseSaveFile(chooser);
        if (!chosen)
            return false;
        target = *chosen;
    }
    if (!OnSaveDocument(target))
        return false;
    if (path.isEmpty()) {
        SetPathName(target);
        emit PathUsed(pathName);
    }
    return true;
}

bool CTarvexDoc::DoFileSave() {
    return DoSave(pathName);
}

bool CTarvexDoc::SaveModified() {
    if (!modified_)
        return true;
    const QString name = pathName.isEmpty() ? title : QFileInfo(pathName).fileName();
    switch (prompts_.Question(msg::QText(msg::Id::SaveChangesQuestion, {name}))) {
        case ui::Prompts::Answer::Yes:
            return DoFileSave();
        case ui::Prompts::Answer::No:
            return true;
        case ui::Prompts::Answer::Cancel:
            break;
    }
    return false;
}

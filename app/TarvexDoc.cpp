#include "app/TarvexDoc.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include "app/ProgramFile.h"
#include "app/TarvexView.h"
#include "common/EncodingGuess.h"
#include "common/GbkText.h"
#include "compiler/Disassembler.h"
#include "ui/Prompts.h"

CTarvexDoc::CTarvexDoc(ui::Prompts& prompts, CTarvexView& view) : prompts_(prompts), view_(view) {
    view_.SetDocument(this);
}

void CTarvexDoc::SetModifiedFlag(bool modified) {
    if (modified == modified_)
        return;
    modified_ = modified;
    // Saved or loaded here: the text's undo steps take this as their unmodified point.
    if (!modified)
        view_.document()->setModified(false);
    emit ModifiedChanged(modified_);
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
    SetModifiedFlag(false);
    utf8Bytes_.clear();
    emit EncodingChecked(false);
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
    if (QFileInfo(path).suffix().compare(kObjectExtension, Qt::CaseInsensitive) == 0)
        return OpenObjectProgram(path, read.bytes);
    view_.SetWholeText(read.bytes);
    SetPathName(path);
    SetModifiedFlag(false);
    emit PathUsed(pathName);
    const bool utf8 =
        encoding::GuessEncoding(std::string_view(
            read.bytes.constData(), std::size_t(read.bytes.size()))) == encoding::Guess::Utf8;
    utf8Bytes_ = utf8 ? read.bytes : QByteArray();
    emit EncodingChecked(utf8);
    return OpenOutcome::Opened;
}

void CTarvexDoc::OpenAsUtf8() {
    if (utf8Bytes_.isEmpty())
        return;
    QString text = QString::fromUtf8(utf8Bytes_);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    // Every line end becomes CR LF, as in any program file.
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    utf8Bytes_.clear();
    view_.SetWholeText(gbk::Encode(text));
    // Not the file's bytes any more, whatever is undone.
    view_.document()->setModified(true);
    SetModifiedFlag(true);
}

bool CTarvexDoc::OnSaveDocument(const QString& path) {
    if (const auto failure = programfile::Write(path, view_.WholeText())) {
        prompts_.Message(*failure);
        return false;
    }
    SetModifiedFlag(false);
    return true;
}

// Read only: the object program stays as it is, the text is a new document to save elsewhere.
CTarvexDoc::OpenOutcome CTarvexDoc::OpenObjectProgram(const QString& path,
                                                      const QByteArray& bytes) {
    const compiler::Disassembly source = compiler::Disassemble(
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    if (!source.ok) {
        prompts_.Message(
            msg::QText(msg::Id::ObjectNotDisassembled,
                       {QDir::toNativeSeparators(path), QString::fromStdString(source.error)}));
        return OpenOutcome::Untouched;
    }
    QByteArray text;
    for (const std::string& line : source.lines) {
        text.append(line.data(), qsizetype(line.size()));
        text.append("\r\n");
    }
    pathName.clear();
    SetTitle(kUntitled);
    view_.SetWholeText(text);
    SetModifiedFlag(false);
    utf8Bytes_.clear();
    emit EncodingChecked(false);
    emit PathUsed(QFileInfo(path).absoluteFilePath());
    return OpenOutcome::Opened;
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
    return ui::SaveFirst(prompts_, msg::QText(msg::Id::SaveChangesQuestion, {name}),
                         [this] { return DoFileSave(); });
}

#include "app/ProblemsDock.h"

#include <optional>

#include <QHeaderView>
#include <QTextBlock>
#include <QTextDocument>
#include <QTreeWidget>

#include "app/LiveCheck.h"
#include "app/ProblemText.h"
#include "common/QtMessages.h"
#include "compiler/CompileMessages.h"

CProblemsDock::CProblemsDock(QWidget* parent)
    : QDockWidget(msg::QText(msg::Id::ProblemsTitle), parent), list_(new QTreeWidget(this)) {
    setObjectName(QStringLiteral("problemsDock"));
    list_->setObjectName(QStringLiteral("problemsList"));
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setColumnCount(2);
    list_->setHeaderLabels(
        {msg::QText(msg::Id::ProblemsEditorLine), msg::QText(msg::Id::ProblemsMessage)});
    list_->header()->setStretchLastSection(true);
    list_->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    setWidget(list_);
    auto choose = [this](QTreeWidgetItem* item) {
        const int line = item->data(0, Qt::UserRole).toInt();
        if (line > 0)
            emit LineChosen(line);
    };
    connect(list_, &QTreeWidget::itemClicked, this, choose);
    connect(list_, &QTreeWidget::itemActivated, this, choose);
}

void CProblemsDock::Show(const CLiveCheck& check, const QTextDocument& text) {
    const compiler::CheckReport& report = check.Report();
    QList<QTreeWidgetItem*> rows;
    rows.reserve(qsizetype(report.findings.size()) + 1);
    std::optional<QSet<QString>> labels;  // read only when a type fault asks
    for (const compiler::Finding& f : report.findings) {
        const QString message = QString::fromStdString(f.message);
        QString note;
        if (IsTypeFault(f.code)) {
            if (!labels)
                labels = LabelKeys(LabelNames(text));
            note = UndefinedLabelNote(f, text.findBlockByNumber(f.editorLine - 1).text(), *labels);
        }
        auto* row = new QTreeWidgetItem(
            {QString::number(f.editorLine), FaultText(message, f.codeLine) + note});
        row->setData(0, Qt::UserRole, f.editorLine);
        for (int column = 0; column < 2; ++column)
            row->setToolTip(column, message + note);
        rows.append(row);
    }
    if (!report.endReached && check.HasText()) {
        const compiler::CompileResult missing{compiler::CompileOutcome::MissingEnd, 0, 0, 0, 0};
        rows.append(new QTreeWidgetItem(
            {QString(), QString::fromStdString(compiler::CompileMessage(missing, {}))}));
    }
    list_->setUpdatesEnabled(false);
    list_->clear();
    list_->addTopLevelItems(rows);
    list_->setUpdatesEnabled(true);
}

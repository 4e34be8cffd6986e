#include "app/ProblemsDock.h"

#include <QHeaderView>
#include <QTreeWidget>

#include "app/LiveCheck.h"
#include "common/QtMessages.h"
#include "compiler/CompileMessages.h"

CProblemsDock::CProblemsDock(QWidget* parent)
    : QDockWidget(msg::QText(msg::Id::ProblemsTitle), parent), list_(new QTreeWidget(this)) {
    setObjectName(QStringLiteral("problemsDock"));
    list_->setObjectName(QStringLiteral("problemsList"));
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setColumnCount(3);
    list_->setHeaderLabels({msg::QText(msg::Id::ProblemsEditorLine),
                            msg::QText(msg::Id::ProblemsCodeLine),
                            msg::QText(msg::Id::ProblemsMessage)});
    list_->header()->setStretchLastSection(true);
    list_->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    list_->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    setWidget(list_);
    auto choose = [this](QTreeWidgetItem* item) {
        const int line = item->data(0, Qt::UserRole).toInt();
        if (line > 0)
            emit LineChosen(line);
    };
    connect(list_, &QTreeWidget::itemClicked, this, choose);
    connect(list_, &QTreeWidget::itemActivated, this, choose);
}

void CProblemsDock::Show(const CLiveCheck& check) {
    const compiler::CheckReport& report = check.Report();
    QList<QTreeWidgetItem*> rows;
    rows.reserve(qsizetype(report.findings.size()) + 1);
    for (const compiler::Finding& f : report.findings) {
        auto* row = new QTreeWidgetItem({QString::number(f.editorLine), QString::number(f.codeLine),
                                         QString::fromStdString(f.message)});
        row->setData(0, Qt::UserRole, f.editorLine);
        rows.append(row);
    }
    if (!report.endReached && check.HasText()) {
        const compiler::CompileResult missing{compiler::CompileOutcome::MissingEnd, 0, 0, 0, 0};
        rows.append(new QTreeWidgetItem(
            {QString(), QString(), QString::fromStdString(compiler::CompileMessage(missing, {}))}));
    }
    list_->setUpdatesEnabled(false);
    list_->clear();
    list_->addTopLevelItems(rows);
    list_->setUpdatesEnabled(true);
}

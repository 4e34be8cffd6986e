#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

class QTextDocument;
namespace compiler {
struct Finding;
}

// A compile message's fault text, without the code-line prefix ("第 2 行") that the editor line
// of the problems list replaces.
QString FaultText(const QString& message, int codeLine);

bool IsTypeFault(int code);

// The names the program defines as labels ("NAME:"), as written, each once.
QStringList LabelNames(const QTextDocument& text);
// The names in upper case, as the compile compares them.
QSet<QString> LabelKeys(const QStringList& names);

// For a type fault whose operand is a name no line defines: "（未定义的标签 NAME？）"; else empty.
// `labels` holds LabelKeys.
QString UndefinedLabelNote(const compiler::Finding& finding, const QString& line,
                           const QSet<QString>& labels);

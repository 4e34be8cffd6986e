#include "app/ProblemText.h"

#include <QTextBlock>
#include <QTextDocument>

#include "app/ProgramHighlighter.h"
#include "common/QtMessages.h"
#include "compiler/EncodeLine.h"
#include "compiler/ProgramCheck.h"

namespace {

using Kind = CProgramHighlighter::Kind;

// The 1-based operand a type fault names.
int FaultOperand(int code) {
    return code / 10 - 1;
}

}  // namespace

bool IsTypeFault(int code) {
    for (int operand = 1; operand <= 3; ++operand) {
        if (code == compiler::result::TypeFault(operand))
            return true;
    }
    return false;
}

QString FaultText(const QString& message, int codeLine) {
    const QString number = QString::number(codeLine);
    qsizetype at = message.indexOf(number);
    // The number stands alone, not inside another ("第 12 行" is no line 2).
    while (at >= 0 &&
           ((at > 0 && message[at - 1].isDigit()) ||
            (at + number.size() < message.size() && message[at + number.size()].isDigit())))
        at = message.indexOf(number, at + 1);
    if (at < 0)
        return message;
    QStringView rest = QStringView(message).mid(at + number.size());
    // What joins the number to the text: blanks, a colon, and the word "行" in Chinese.
    while (!rest.isEmpty() && (rest.front().isSpace() || rest.front() == u':' ||
                               rest.front() == u'：' || rest.front() == u'行'))
        rest = rest.mid(1);
    return rest.isEmpty() ? message : rest.toString();
}

QStringList LabelNames(const QTextDocument& text) {
    QStringList labels;
    CProgramHighlighter::Scan scan;
    for (QTextBlock block = text.firstBlock(); block.isValid(); block = block.next()) {
        const QString line = block.text();
        if (!line.contains(u':'))
            continue;
        CProgramHighlighter::ScanLine(line, scan);
        for (const CProgramHighlighter::Span& span : scan.spans) {
            if (span.kind == Kind::LabelDefinition)
                labels.append(line.mid(span.start, span.length - 1).trimmed());
        }
    }
    labels.removeAll(QString());
    labels.removeDuplicates();
    return labels;
}

QSet<QString> LabelKeys(const QStringList& names) {
    QSet<QString> keys;
    for (const QString& name : names)
        keys.insert(name.toUpper());
    return keys;
}

QString UndefinedLabelNote(const compiler::Finding& finding, const QString& line,
                           const QSet<QString>& labels) {
    if (!IsTypeFault(finding.code))
        return {};
    CProgramHighlighter::Scan scan;
    CProgramHighlighter::ScanLine(line, scan);
    int mnemonicStart = 0;
    const QStringView mnemonic = CProgramHighlighter::MnemonicOf(line, &mnemonicStart);
    const int operandsStart = mnemonicStart + int(mnemonic.size());
    const QStringList pieces =
        line.mid(operandsStart, std::max(0, scan.codeEnd - operandsStart)).split(u',');
    const int operand = FaultOperand(finding.code);
    if (operand > pieces.size())
        return {};
    const QString name = pieces[operand - 1].trimmed();
    const qsizetype at = line.indexOf(name, operandsStart);
    for (const CProgramHighlighter::Span& span : scan.spans) {
        if (span.start == at && span.kind == Kind::LabelUse && !labels.contains(name.toUpper()))
            return msg::QText(msg::Id::ProblemsUndefinedLabel, {name});
    }
    return {};
}

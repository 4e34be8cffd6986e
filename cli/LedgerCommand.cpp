#include <ostream>
#include <string>

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "jobs/UnitLedger.h"

namespace cli {
namespace {

constexpr OptionRule kOptions[] = {
    {"--unit", "", true}, {"--job", "", true},   {"--since", "", true},  {"--failed", "", false},
    {"--csv", "", false}, {"--json", "", false}, {"--ledger", "", true},
};
constexpr Grammar kGrammar{kOptions, 0, msg::Id::CliLedgerTakesNoFile};

constexpr const char* kColumns[] = {"time", "station", "operator",   "job",   "unit",  "outcome",
                                    "port", "adapter", "failedStep", "trace", "golden"};

std::string Cell(const QJsonValue& value) {
    const QString text = value.isDouble() ? QString::number(value.toInt()) : value.toString();
    if (!text.contains(',') && !text.contains('"') && !text.contains('\n'))
        return text.toStdString();
    QString quoted = text;
    quoted.replace('"', QStringLiteral("\"\""));
    return ('"' + quoted + '"').toStdString();
}

std::string StampText(const QJsonObject& stamp) {
    std::string text;
    for (auto it = stamp.begin(); it != stamp.end(); ++it)
        text += (text.empty() ? "" : " ") + it.key().toStdString() + "=" +
                it.value().toString().toStdString();
    return text;
}

bool Wanted(const QJsonObject& r, const ParsedArgs& args, const QDateTime& since) {
    if (const auto unit = args.Value("--unit");
        unit && r.value("unit").toString().toStdString() != *unit)
        return false;
    if (const auto job = args.Value("--job");
        job && r.value("job").toString().toStdString() != *job)
        return false;
    if (args.Has("--failed") && r.value("outcome").toString() == QLatin1String("passed"))
        return false;
    return !since.isValid() ||
           QDateTime::fromString(r.value("time").toString(), Qt::ISODateWithMs) >= since;
}

void Show(const QJsonObject& r, const ParsedArgs& args, std::ostream& out) {
    if (args.Has("--json")) {
        out << QJsonDocument(r).toJson(QJsonDocument::Compact).toStdString() << "\n";
        return;
    }
    if (args.Has("--csv")) {
        std::string line;
        for (const char* column : kColumns)
            line += (line.empty() ? "" : ",") + Cell(r.value(column));
        out << line << "\n";
        return;
    }
    out << msg::Text(
        msg::Id::LedgerUnitLine,
        {r.value("time").toString().toStdString(), r.value("job").toString().toStdString(),
         r.value("unit").toString().toStdString(), r.value("outcome").toString().toStdString(),
         StampText(r.value("stamp").toObject()),
         std::to_string(r.value("steps").toArray().size())});
    if (r.contains("golden"))
        out << msg::Text(msg::Id::LedgerGolden, {r.value("golden").toString().toStdString()});
    out << "\n";
}

int Ledger(const ParsedArgs& args, std::ostream& out, std::ostream& err) {
    if (args.Has("--csv") && args.Has("--json"))
        return Usage(kLedgerCommand, msg::Text(msg::Id::CliLedgerOneFormat), err);
    QDateTime since;
    if (const auto date = args.Value("--since")) {
        since = QDateTime::fromString(QString::fromStdString(*date), Qt::ISODate);
        if (!since.isValid())
            return Usage(kLedgerCommand, msg::Text(msg::Id::CliLedgerBadDate, {*date}), err);
    }
    EnsureApplication();
    const QString path = args.Value("--ledger") ? QString::fromStdString(*args.Value("--ledger"))
                                                : jobs::DefaultUnitLedgerPath();
    const jobs::LedgerRead read = jobs::ReadUnitLedger(path);
    if (!read.opened)
        return Report(out, msg::Text(msg::Id::LedgerUnreadable, {path.toStdString()}),
                      exitcode::kUnreadable);
    for (const int line : read.skippedLines)
        err << msg::Text(msg::Id::LedgerLineSkipped, {path.toStdString(), std::to_string(line)})
            << "\n";
    if (args.Has("--csv")) {
        std::string header;
        for (const char* column : kColumns)
            header += (header.empty() ? "" : ",") + std::string(column);
        out << header << "\n";
    }
    for (const QJsonObject& record : read.records) {
        if (Wanted(record, args, since))
            Show(record, args, out);
    }
    return exitcode::kOk;
}

}  // namespace

const Command kLedgerCommand{"ledger", msg::Id::CliLedgerSynopsis, msg::Id::CliLedgerHelp, kGrammar,
                             Ledger};

}  // namespace cli

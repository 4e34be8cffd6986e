#include <ostream>
#include <string>

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "jobs/LedgerQuery.h"
#include "jobs/UnitLedger.h"

namespace cli {
namespace {

constexpr OptionRule kOptions[] = {
    {"--unit", "", true}, {"--job", "", true},   {"--since", "", true},  {"--failed", "", false},
    {"--csv", "", false}, {"--json", "", false}, {"--ledger", "", true},
};
constexpr Grammar kGrammar{kOptions, 0, msg::Id::CliLedgerTakesNoFile};

jobs::LedgerFilter FilterOf(const ParsedArgs& args, const QDateTime& since) {
    jobs::LedgerFilter filter;
    filter.unit = QString::fromStdString(args.Value("--unit").value_or(""));
    filter.job = QString::fromStdString(args.Value("--job").value_or(""));
    filter.since = since;
    filter.failedOnly = args.Has("--failed");
    return filter;
}

void Show(const QJsonObject& r, const ParsedArgs& args, std::ostream& out) {
    if (args.Has("--json")) {
        out << QJsonDocument(r).toJson(QJsonDocument::Compact).toStdString() << "\n";
        return;
    }
    out << msg::Text(
        msg::Id::LedgerUnitLine,
        {r.value("time").toString().toStdString(), r.value("job").toString().toStdString(),
         r.value("unit").toString().toStdString(), r.value("outcome").toString().toStdString(),
         jobs::StampText(r.value("stamp").toObject()).toStdString(),
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
    const std::vector<QJsonObject> wanted = jobs::Filtered(read.records, FilterOf(args, since));
    if (args.Has("--csv")) {
        out << jobs::LedgerCsv(wanted);
        return exitcode::kOk;
    }
    for (const QJsonObject& record : wanted)
        Show(record, args, out);
    return exitcode::kOk;
}

}  // namespace

const Command kLedgerCommand{"ledger", msg::Id::CliLedgerSynopsis, msg::Id::CliLedgerHelp, kGrammar,
                             Ledger};

}  // namespace cli

#include <ostream>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "link/PortList.h"

namespace cli {
namespace {

constexpr OptionRule kOptions[] = {{"--json", "", false}};
constexpr Grammar kGrammar{kOptions, 0, msg::Id::CliPortsTakesNoFile};

QString Hex(quint16 id) {
    return QStringLiteral("%1").arg(id, 4, 16, QLatin1Char('0'));
}

int Ports(const ParsedArgs& parsed, std::ostream& out, std::ostream&) {
    EnsureApplication();
    const QList<ctrl::PortEntry> ports = ctrl::ListPorts();
    if (parsed.Has("--json")) {
        QJsonArray list;
        for (const ctrl::PortEntry& p : ports) {
            QJsonObject entry{{"path", p.path},
                              {"target", p.target},
                              {"description", p.description},
                              {"manufacturer", p.manufacturer},
                              {"serialNumber", p.serialNumber}};
            // Every key in every entry, null when unknown, so that scripts can read them blindly.
            entry.insert("vendorId", p.hasUsbIds ? QJsonValue(Hex(p.vendorId)) : QJsonValue());
            entry.insert("productId", p.hasUsbIds ? QJsonValue(Hex(p.productId)) : QJsonValue());
            list.append(entry);
        }
        out << QJsonDocument(list).toJson(QJsonDocument::Compact).toStdString() << "\n";
        return exitcode::kOk;
    }
    for (const ctrl::PortEntry& p : ports)
        out << ctrl::PortLabel(p).toStdString() << "\n";
    return exitcode::kOk;
}

}  // namespace

const Command kPortsCommand{"ports", msg::Id::CliPortsSynopsis, msg::Id::CliPortsHelp, kGrammar,
                            Ports};

}  // namespace cli

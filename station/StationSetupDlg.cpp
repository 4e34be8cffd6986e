#include "station/StationSetupDlg.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QSettings>

#include "common/QtMessages.h"
#include "link/PortList.h"
#include "ui/Prompts.h"

namespace station {
namespace {

QString PortsKey(const QString& jobPath) {
    return QStringLiteral("Station/Ports/") + QString(jobPath).replace(QLatin1Char('/'), '|');
}

const QString kOperatorKey = QStringLiteral("Station/Operator");
const QString kOperatorSinceKey = QStringLiteral("Station/OperatorSince");

}  // namespace

QString StationPortName(const QString& path, bool hasUsbIds, quint16 vendorId, quint16 productId,
                        const QString& serialNumber) {
    if (!hasUsbIds)
        return path;
    QString name = QStringLiteral("usb:%1:%2")
                       .arg(vendorId, 4, 16, QLatin1Char('0'))
                       .arg(productId, 4, 16, QLatin1Char('0'));
    if (!serialNumber.isEmpty())
        name += QLatin1Char(':') + serialNumber;
    return name;
}

bool SameShift(const QDateTime& named, const QDateTime& now) {
    return named.isValid() && named <= now && named.date() == now.date() &&
           named.secsTo(now) < StationSetupDlg::kShiftHours * 3600;
}

StationSetupDlg::StationSetupDlg(ui::Prompts& prompts, const QString& jobPath, QWidget* parent)
    : QDialog(parent), prompts(prompts), jobPath(jobPath) {
    setWindowTitle(msg::QText(msg::Id::StationCaption));
    auto* form = new QFormLayout(this);
    ports = new QListWidget(this);
    const QStringList remembered = QSettings().value(PortsKey(jobPath)).toStringList();
    for (const ctrl::PortEntry& entry : ctrl::ListPorts()) {
        const QString name = StationPortName(entry.path, entry.hasUsbIds, entry.vendorId,
                                             entry.productId, entry.serialNumber);
        auto* item = new QListWidgetItem(ctrl::PortLabel(entry), ports);
        item->setData(Qt::UserRole, name);
        item->setCheckState(remembered.contains(name) ? Qt::Checked : Qt::Unchecked);
    }
    form->addRow(msg::QText(msg::Id::StationPorts), ports);
    QStringList others = remembered;
    for (int i = 0; i < ports->count(); ++i)
        others.removeAll(ports->item(i)->data(Qt::UserRole).toString());
    otherPorts = new QLineEdit(others.join(' '), this);
    form->addRow(msg::QText(msg::Id::StationOtherPorts), otherPorts);
    // The name is asked once per shift: a name given in an earlier shift is not offered.
    const QSettings profile;
    const bool sameShift =
        SameShift(profile.value(kOperatorSinceKey).toDateTime(), QDateTime::currentDateTime());
    operatorName =
        new QLineEdit(sameShift ? profile.value(kOperatorKey).toString() : QString(), this);
    form->addRow(msg::QText(msg::Id::StationOperatorPrompt), operatorName);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

StationSetup StationSetupDlg::settings() const {
    StationSetup setup;
    for (int i = 0; i < ports->count(); ++i) {
        const QListWidgetItem* item = ports->item(i);
        if (item->checkState() == Qt::Checked && !setup.ports.contains(item->data(Qt::UserRole)))
            setup.ports << item->data(Qt::UserRole).toString();
    }
    for (const QString& name : otherPorts->text().split(' ', Qt::SkipEmptyParts)) {
        if (!setup.ports.contains(name))
            setup.ports << name;
    }
    setup.operatorName = operatorName->text().trimmed();
    return setup;
}

void StationSetupDlg::accept() {
    const StationSetup setup = settings();
    if (setup.ports.isEmpty()) {
        prompts.Message(msg::QText(msg::Id::StationNoPorts));
        return;
    }
    if (setup.ports.size() > kMostPorts) {
        prompts.Message(msg::QText(msg::Id::StationTooManyPorts, {QString::number(kMostPorts)}));
        return;
    }
    if (setup.operatorName.isEmpty()) {
        operatorName->setFocus();
        return;
    }
    QSettings().setValue(PortsKey(jobPath), setup.ports);
    QSettings profile;
    if (profile.value(kOperatorKey).toString() != setup.operatorName ||
        !SameShift(profile.value(kOperatorSinceKey).toDateTime(), QDateTime::currentDateTime()))
        profile.setValue(kOperatorSinceKey, QDateTime::currentDateTime());
    profile.setValue(kOperatorKey, setup.operatorName);
    QDialog::accept();
}

}  // namespace station

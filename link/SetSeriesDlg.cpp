#include "link/SetSeriesDlg.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHideEvent>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>

#include "common/QtMessages.h"
#include "link/Link.h"
#include "link/PortList.h"
#include "link/SerialPort.h"
#include "ui/DialogControls.h"

namespace {

// Sorted lists compare without regard to case, as the platform's sorted combo boxes do.
void SortAsText(QStringList& items) {
    std::sort(items.begin(), items.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
}

constexpr int kRefreshMs = 1000;

QComboBox* MakeCombo(const char* name) {
    auto* combo = new QComboBox;
    combo->setObjectName(QLatin1String(name));
    combo->setMaxVisibleItems(5);
    return combo;
}

// Wide enough for a by-id path, not only for COM1.
constexpr int kPortPathChars = 40;

}  // namespace

// Control ids, for the record: port 1001, baud rate 1002, OK 1.
CSetSeriesDlg::CSetSeriesDlg(ctrl::Link& link, QWidget* parent) : QDialog(parent), link_(link) {
    setWindowTitle(msg::QText(msg::Id::SerialCaption));

    portCombo_ = MakeCombo("portCombo");
    portCombo_->setEditable(true);
    portCombo_->setInsertPolicy(QComboBox::NoInsert);
    portCombo_->setMinimumContentsLength(kPortPathChars);
    FillPorts();
    // Adapters plugged in while the dialog is open show up without reopening it.
    // The dialog lives as long as the window, so the list is polled only while it shows.
    refreshTimer_ = new QTimer(this);
    refreshTimer_->setInterval(kRefreshMs);
    connect(refreshTimer_, &QTimer::timeout, this, &CSetSeriesDlg::FillPorts);

    baudCombo_ = MakeCombo("baudCombo");
    QStringList bauds{QStringLiteral("19200"), QStringLiteral("9600"), QStringLiteral("4800")};
    SortAsText(bauds);
    baudCombo_->addItems(bauds);

    auto* fields = new QFormLayout;
    fields->addRow(msg::QText(msg::Id::SerialPortLabel), portCombo_);
    fields->addRow(msg::QText(msg::Id::SerialBaudLabel), baudCombo_);
    // Off by default: a controller may rely on the tick between its answer and the next frame.
    fastCheck_ = new QCheckBox(msg::QText(msg::Id::SerialFastTransfer));
    fastCheck_->setObjectName(QStringLiteral("fastCheck"));
    fields->addRow(fastCheck_);

    okButton_ = new QPushButton(msg::QText(msg::Id::SerialConfirm));
    okButton_->setObjectName(QStringLiteral("okButton"));
    okButton_->setDefault(true);
    connect(okButton_, &QPushButton::clicked, this, &CSetSeriesDlg::Confirm);
    auto* cancel = new QPushButton(msg::QText(msg::Id::DialogCancel));
    cancel->setObjectName(QStringLiteral("cancelButton"));
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout;
    layout->addWidget(ui::controls::Group(msg::QText(msg::Id::SerialGroup), fields));
    layout->addLayout(ui::controls::ButtonRow({okButton_, cancel}));
    ui::controls::SizeToContents(this, layout);
    ui::controls::TabOrder({portCombo_, baudCombo_, fastCheck_, okButton_, cancel});
}

QStringList CSetSeriesDlg::PortChoices(const QStringList& presentDevices) {
    QStringList items;
    for (int n = 1; n <= 4; ++n)
        items << QStringLiteral("COM%1").arg(n);
    for (const QString& device : presentDevices) {
        // The devices COM1 to COM4 stand for are listed under those names already.
        bool named = false;
        for (int n = 1; n <= 4; ++n)
            named = named || device == CSerialPort::DeviceName(n);
        if (!named && !items.contains(device))
            items << device;
    }
    SortAsText(items);
    return items;
}

QString CSetSeriesDlg::VirtualChoice() {
    return msg::QText(msg::Id::VirtualControllerPort);
}

void CSetSeriesDlg::FillPorts() {
    const QList<ctrl::PortEntry> ports = ctrl::ListPorts();
    QStringList paths;
    for (const ctrl::PortEntry& p : ports)
        paths << p.path;
    QStringList items = PortChoices(paths);
    if (ctrl::VirtualControllerProcess::Available())
        items << VirtualChoice();
    if (items == shownPorts_)
        return;
    shownPorts_ = items;
    // Rebuilding the list must not take away what the user typed.
    const QString typed = portCombo_->currentText();
    portCombo_->clear();
    portCombo_->addItems(items);
    for (const ctrl::PortEntry& p : ports) {
        const int row = portCombo_->findText(p.path);
        if (row >= 0)
            portCombo_->setItemData(row, ctrl::PortLabel(p), Qt::ToolTipRole);
    }
    portCombo_->setEditText(typed);
}

CSetSeriesDlg::Settings CSetSeriesDlg::settings() const {
    return {portCombo_->currentText(), baudCombo_->currentText(), fastCheck_->isChecked()};
}

void CSetSeriesDlg::setSettings(const Settings& settings) {
    portCombo_->setEditText(settings.port);
    const int baud = baudCombo_->findText(settings.baud);
    if (baud >= 0)
        baudCombo_->setCurrentIndex(baud);
    fastCheck_->setChecked(settings.fastTransfer);
}

CSetSeriesDlg::Settings CSetSeriesDlg::LinkSettings() const {
    return {link_.UsesVirtualController() ? VirtualChoice() : link_.PortText(), link_.BaudText(),
            link_.FastTransfer()};
}

void CSetSeriesDlg::Confirm() {
    accept();
    const Settings chosen = settings();
    link_.SetFastTransfer(chosen.fastTransfer);
    const bool virtualChosen =
        ctrl::VirtualControllerProcess::Available() && chosen.port == VirtualChoice();
    link_.Configure(virtualChosen ? ctrl::Link::kVirtualPort : chosen.port, chosen.baud);
    // Started now, so its device shows at once and a failure is told where it was chosen.
    if (virtualChosen)
        link_.StartVirtualController();
}

void CSetSeriesDlg::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        FillPorts();
        setSettings(LinkSettings());
        refreshTimer_->start();
    }
    QDialog::showEvent(event);
}

void CSetSeriesDlg::hideEvent(QHideEvent* event) {
    if (!event->spontaneous())
        refreshTimer_->stop();
    QDialog::hideEvent(event);
}

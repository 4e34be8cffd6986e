#include "link/SetSeriesDlg.h"

#include <algorithm>

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSerialPortInfo>
#include <QShowEvent>

#include "link/Link.h"
#include "link/SerialPort.h"
#include "ui/DialogControls.h"

namespace {

// Sorted lists compare without regard to case, as the platform's sorted combo boxes do.
void SortAsText(QStringList& items) {
    std::sort(items.begin(), items.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
}

QStringList PresentDevices() {
    QStringList devices;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        devices << info.systemLocation();
    }
    return devices;
}

QComboBox* MakeCombo(QWidget* parent, const char* name, int id, QRect geometry) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QLatin1String(name));
    combo->setProperty("controlId", id);
    combo->setGeometry(geometry);
    combo->setMaxVisibleItems(5);
    return combo;
}

}  // namespace

CSetSeriesDlg::CSetSeriesDlg(ctrl::Link& link, QWidget* parent) : QDialog(parent), link_(link) {
    setWindowTitle(QStringLiteral("串行口参数设置"));
    setFixedSize(ui::FromDialogUnits(0, 0, 134, 90).size());

    auto* group = new QGroupBox(QStringLiteral("通讯参数设置"), this);
    group->setGeometry(ui::FromDialogUnits(10, 10, 115, 50));
    auto* portLabel = new QLabel(QStringLiteral("选择串口"), this);
    portLabel->setGeometry(ui::FromDialogUnits(20, 25, 40, 10));
    auto* baudLabel = new QLabel(QStringLiteral("波特率"), this);
    baudLabel->setGeometry(ui::FromDialogUnits(21, 40, 35, 10));

    portCombo_ = MakeCombo(this, "portCombo", kPortComboId, ui::FromDialogUnits(65, 20, 45, 12));
    portCombo_->setEditable(true);
    portCombo_->setInsertPolicy(QComboBox::NoInsert);
    portCombo_->addItems(PortChoices(PresentDevices()));

    baudCombo_ = MakeCombo(this, "baudCombo", kBaudComboId, ui::FromDialogUnits(65, 40, 45, 12));
    QStringList bauds{QStringLiteral("19200"), QStringLiteral("9600"), QStringLiteral("4800")};
    SortAsText(bauds);
    baudCombo_->addItems(bauds);

    okButton_ = new QPushButton(QStringLiteral("确认"), this);
    okButton_->setObjectName(QStringLiteral("okButton"));
    okButton_->setProperty("controlId", static_cast<int>(kOkId));
    okButton_->setGeometry(ui::FromDialogUnits(48, 69, 50, 14));
    okButton_->setDefault(true);
    connect(okButton_, &QPushButton::clicked, this, &CSetSeriesDlg::Confirm);
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

void CSetSeriesDlg::Refresh() {
    portCombo_->setEditText(link_.PortText());
    const int baud = baudCombo_->findText(link_.BaudText());
    if (baud >= 0)
        baudCombo_->setCurrentIndex(baud);
}

void CSetSeriesDlg::Confirm() {
    accept();
    link_.Configure(portCombo_->currentText(), baudCombo_->currentText());
}

void CSetSeriesDlg::showEvent(QShowEvent* event) {
    if (!event->spontaneous())
        Refresh();
    QDialog::showEvent(event);
}

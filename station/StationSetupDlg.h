#pragma once

#include <QDateTime>
#include <QDialog>
#include <QStringList>

class QLineEdit;
class QListWidget;

namespace ui {
class Prompts;
}

namespace station {

struct StationSetup {
    QStringList ports;
    QString operatorName;
};

// Before a shift: the ports of the station, from the port list and remembered with the job, and
// the operator's name.
class StationSetupDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMostPorts = 24;
    static constexpr int kShiftHours = 8;

    StationSetupDlg(ui::Prompts& prompts, const QString& jobPath, QWidget* parent = nullptr);
    StationSetup settings() const;

    void accept() override;

private:
    ui::Prompts& prompts;
    QString jobPath;
    QListWidget* ports;
    QLineEdit* otherPorts;  // device paths the port list does not show, e.g. a pseudo-terminal
    QLineEdit* operatorName;
};

// Whether a name given at `named` still holds at `now`: the same day, within one shift.
bool SameShift(const QDateTime& named, const QDateTime& now);

// A port as the station names it: by USB identity where the adapter has one, so it is found
// again under another device name; by its path otherwise.
QString StationPortName(const QString& path, bool hasUsbIds, quint16 vendorId, quint16 productId,
                        const QString& serialNumber);

}  // namespace station

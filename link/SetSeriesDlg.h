#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

namespace ctrl {
class Link;
}

class QCheckBox;
class QComboBox;
class QPushButton;
class QHideEvent;
class QShowEvent;
class QTimer;

// The serial settings: which port and baud rate the next connect uses. The settings live in the
// link; a confirm hands them over, "取消", Esc and the close box change nothing. Where there are
// pseudo-terminals the list ends with the virtual controller, which the confirm starts.
class CSetSeriesDlg : public QDialog {
    Q_OBJECT

public:
    explicit CSetSeriesDlg(ctrl::Link& link, QWidget* parent = nullptr);

    // COM1 to COM4 and the serial devices present, sorted as text the way the list shows them.
    static QStringList PortChoices(const QStringList& presentDevices);
    // The list's entry for the virtual controller.
    static QString VirtualChoice();

    // What the controls show: the port (or the virtual controller's entry), the baud rate and
    // the fast line. A confirm hands them to the link; each opening shows the link's.
    struct Settings {
        QString port;
        QString baud;
        bool fastTransfer = false;
    };
    Settings settings() const;
    void setSettings(const Settings& settings);

    void Confirm();
    // Lists the ports present now, each with its details as a tooltip.
    void FillPorts();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    Settings LinkSettings() const;

    ctrl::Link& link_;
    QComboBox* portCombo_;
    QComboBox* baudCombo_;
    QCheckBox* fastCheck_;
    QPushButton* okButton_;
    QStringList shownPorts_;
    QTimer* refreshTimer_;
};

#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

#include "link/SerialPort.h"

class QComboBox;
class QPushButton;
class QShowEvent;

// The serial settings: which port and baud rate the next connect uses. The dialog owns the one
// serial port of the link; the view keeps the dialog for its whole life.
class CSetSeriesDlg : public QDialog {
    Q_OBJECT

public:
    explicit CSetSeriesDlg(QWidget* parent = nullptr);

    CSerialPort* port;
    CSerialPort ownedPort;
    QString baudText = QStringLiteral("4800");
    QString portText = QStringLiteral("COM1");

    // COM1 to COM4 and the serial devices present, sorted as text the way the list shows them.
    static QStringList PortChoices(const QStringList& presentDevices);

    void Refresh();
    void TakeFields();
    void Confirm();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QComboBox* portCombo_;
    QComboBox* baudCombo_;
    QPushButton* okButton_;
};

#pragma once

#include <QDialog>

// "关于 Tarvex620B": the version and a greeting.
class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

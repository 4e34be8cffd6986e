#include "app/AboutDlg.h"

#include <QLabel>
#include <QPushButton>

#include "ui/DialogControls.h"

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("关于 Tarvex620B"));
    setFixedSize(ui::FromDialogUnits(0, 0, 249, 101).size());

    auto* icon = new QLabel(this);
    icon->setPixmap(QPixmap(QStringLiteral(":/res/about.png")));
    icon->setGeometry(ui::FromDialogUnits(11, 17, 20, 20));

    auto* version = new QLabel(QStringLiteral("Tarvex620B 2.0 版"), this);
    version->setObjectName(QStringLiteral("version"));
    version->setGeometry(ui::FromDialogUnits(40, 10, 119, 8));

    auto* greeting =
        new QLabel(QStringLiteral("感谢您选用 QF620B 步进与伺服电机控制器。祝您使用愉快！"), this);
    greeting->setObjectName(QStringLiteral("greeting"));
    greeting->setWordWrap(true);
    greeting->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    greeting->setGeometry(ui::FromDialogUnits(40, 25, 199, 27));

    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    ok->setGeometry(ui::FromDialogUnits(192, 76, 50, 14));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

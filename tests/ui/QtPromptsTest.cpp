#include <functional>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QtTest>

#include "ui/QtPrompts.h"

namespace {

// Waits for the modal widget of type W to come up and hands it to `act`, which must close it.
template <typename W>
void WhenModal(std::function<void(W*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        auto* widget = qobject_cast<W*>(QApplication::activeModalWidget());
        if (!widget || !widget->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        act(widget);
    });
    timer->start();
}

// Types a name into the chooser as a user would and confirms it; the chooser opens in the
// current folder.
void TypeAndAccept(QFileDialog* dialog, const QString& name) {
    auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit");
    if (!edit) {
        dialog->reject();
        return;
    }
    edit->setText(name);
    static_cast<QDialog*>(dialog)->accept();
}

struct SeenChooser {
    QFileDialog::AcceptMode acceptMode = QFileDialog::AcceptOpen;
    QFileDialog::FileMode fileMode = QFileDialog::AnyFile;
    QStringList nameFilters;
    QString defaultSuffix;
    bool confirmsOverwrite = false;
};

}  // namespace

using Answer = ui::Prompts::Answer;

class QtPromptsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(QDir::setCurrent(dir_.path())); }
    void messageBoxHasCaptionExclamationIconAndOneOk();
    void questionButtonsGiveTheirAnswers_data();
    void questionButtonsGiveTheirAnswers();
    void openChooserLetsTheUserNameANewFile();
    void openChooserThatMustFindTheFileAndSaveChooser();

private:
    QTemporaryDir dir_;
};

void QtPromptsTest::messageBoxHasCaptionExclamationIconAndOneOk() {
    QString caption, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QList<QAbstractButton*> buttons;
    QMessageBox::StandardButtons standard;
    int width = 0, room = 0;
    WhenModal<QMessageBox>([&](QMessageBox* box) {
        caption = box->windowTitle();
        width = box->width();
        room = ui::TitleRoom(*box);
        text = box->text();
        icon = box->icon();
        buttons = box->buttons();
        standard = box->standardButtons();
        box->button(QMessageBox::Ok)->click();
    });
    ui::QtPrompts().Message("串口已断开！");
    QCOMPARE(caption, QString("Tarvex620B"));
    // A short text still leaves the title bar room for the whole title.
    QVERIFY2(width >= room && room > 0, qPrintable(QStringLiteral("%1 < %2").arg(width).arg(room)));
    QCOMPARE(text, QString("串口已断开！"));
    QCOMPARE(icon, QMessageBox::Warning);
    QCOMPARE(buttons.size(), 1);
    QCOMPARE(standard, QMessageBox::StandardButtons(QMessageBox::Ok));
}

void QtPromptsTest::questionButtonsGiveTheirAnswers_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<Answer>("expected");
    QTest::newRow("yes") << int(QMessageBox::Yes) << Answer::Yes;
    QTest::newRow("no") << int(QMessageBox::No) << Answer::No;
    QTest::newRow("cancel") << int(QMessageBox::Cancel) << Answer::Cancel;
    QTest::newRow("escape") << int(QMessageBox::NoButton) << Answer::Cancel;
}

void QtPromptsTest::questionButtonsGiveTheirAnswers() {
    QFETCH(int, button);
    QFETCH(Answer, expected);
    QString caption;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    WhenModal<QMessageBox>([&](QMessageBox* box) {
        caption = box->windowTitle();
        icon = box->icon();
        if (button == QMessageBox::NoButton) {
            QTest::keyClick(box, Qt::Key_Escape);
        } else {
            box->button(QMessageBox::StandardButton(button))->click();
        }
    });
    QCOMPARE(ui::QtPrompts().Question("将改动保存到 a.kxc？"), expected);
    QCOMPARE(caption, QString("Tarvex620B"));
    QCOMPARE(icon, QMessageBox::Warning);
}

void QtPromptsTest::openChooserLetsTheUserNameANewFile() {
    SeenChooser seen;
    QString offeredName;
    QStringList shownTypes;
    WhenModal<QFileDialog>([&](QFileDialog* dialog) {
        if (auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit"))
            offeredName = edit->text();
        if (auto* types = dialog->findChild<QComboBox*>("fileTypeCombo")) {
            for (int i = 0; i < types->count(); ++i)
                shownTypes << types->itemText(i).trimmed();
        }
        seen = {dialog->acceptMode(), dialog->fileMode(), dialog->nameFilters(),
                dialog->defaultSuffix(), !dialog->testOption(QFileDialog::DontConfirmOverwrite)};
        TypeAndAccept(dialog, "新程序");
    });
    const auto chosen = ui::QtPrompts().ChooseOpenFile(
        {"txt", "程序.kxo", "Text Files(*.kxo)|*.kxo|All Files(*.*)|*.*||", true, false, {}});
    QCOMPARE(seen.acceptMode, QFileDialog::AcceptOpen);
    QCOMPARE(seen.fileMode, QFileDialog::AnyFile);
    QCOMPARE(seen.nameFilters, (QStringList{"Text Files(*.kxo) (*.kxo)", "All Files(*.*) (*)"}));
    QCOMPARE(seen.defaultSuffix, QString("txt"));
    QCOMPARE(offeredName, QString("程序.kxo"));
    QCOMPARE(shownTypes, (QStringList{"Text Files(*.kxo)", "All Files(*.*)"}));
    QCOMPARE(chosen.value_or("<cancelled>"), QString(dir_.filePath("新程序.txt")));
}

void QtPromptsTest::openChooserThatMustFindTheFileAndSaveChooser() {
    SeenChooser open, save;
    WhenModal<QFileDialog>([&](QFileDialog* dialog) {
        open = {dialog->acceptMode(), dialog->fileMode(), {}, {}, {}};
        dialog->reject();
    });
    QVERIFY(!ui::QtPrompts().ChooseOpenFile({{}, {}, {}, false, true, {}}).has_value());
    QCOMPARE(open.fileMode, QFileDialog::ExistingFile);

    WhenModal<QFileDialog>([&](QFileDialog* dialog) {
        save = {dialog->acceptMode(),
                dialog->fileMode(),
                {},
                {},
                !dialog->testOption(QFileDialog::DontConfirmOverwrite)};
        TypeAndAccept(dialog, "par.dat");
    });
    const auto chosen =
        ui::QtPrompts().ChooseSaveFile({"dat", {}, "Par|*.dat||", false, false, {}});
    QCOMPARE(save.acceptMode, QFileDialog::AcceptSave);
    QVERIFY(!save.confirmsOverwrite);
    QCOMPARE(chosen.value_or("<cancelled>"), QString(dir_.filePath("par.dat")));
}

QTEST_MAIN(QtPromptsTest)
#include "QtPromptsTest.moc"

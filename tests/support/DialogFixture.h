#pragma once

// What every dialog test needs: the dialog with scripted prompts and a scratch folder, made anew
// for each test function, and controls found by their object names.
#include <memory>
#include <optional>

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "tests/support/QtFiles.h"
#include "ui/ScriptedPrompts.h"

namespace testsupport {

// A test class derives from this and calls Make() (or MakeOpen()) in init() and Drop() in
// cleanup().
template <typename Dialog>
class DialogFixture {
protected:
    void Make() {
        dir_ = std::make_unique<QTemporaryDir>();
        prompts_ = std::make_unique<ui::ScriptedPrompts>();
        dlg_ = std::make_unique<Dialog>(*prompts_);
    }
    void Drop() {
        dlg_.reset();
        prompts_.reset();
        dir_.reset();
    }

    // A fresh dialog, open as the active window: where most tests start.
    [[nodiscard]] bool MakeOpen() {
        Make();
        return Open();
    }

    // Shows the dialog as the active window, as the user who opens it sees it.
    [[nodiscard]] bool Open() {
        dlg_->show();
        QApplication::setActiveWindow(dlg_.get());
        return QTest::qWaitForWindowActive(dlg_.get());
    }

    // The named control; a missing one is a failure of the test, not a crash.
    template <typename Widget>
    Widget* Find(const QString& name) const {
        auto* widget = dlg_->template findChild<Widget*>(name);
        if (widget == nullptr)
            QTest::qFail(qPrintable(QStringLiteral("no control named ") + name), __FILE__,
                         __LINE__);
        return widget;
    }
    QLineEdit* Edit(const QString& name) const { return Find<QLineEdit>(name); }
    QPushButton* Button(const QString& name) const { return Find<QPushButton>(name); }
    void Click(const QString& name) {
        if (QPushButton* button = Button(name))
            QTest::mouseClick(button, Qt::LeftButton);
    }
    // Answers the next file chooser with `answer` (nothing: the user cancels) and presses Browse.
    void Browse(std::optional<QString> answer) {
        prompts_->fileAnswers.enqueue(answer);
        Click(QStringLiteral("browseButton"));
    }
    // Types `text` over the whole text of `edit`, key by key, with the focus in it.
    static void Type(QLineEdit* edit, const QString& text) {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<ui::ScriptedPrompts> prompts_;
    std::unique_ptr<Dialog> dlg_;
};

}  // namespace testsupport

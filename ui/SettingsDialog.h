#pragma once

#include <QDialog>
#include <QShowEvent>

#include "ui/DialogControls.h"
#include "ui/Prompts.h"

namespace ui {

// A dialog whose fields are one value struct: kept from one opening to the next and shown
// afresh at each opening, with the focus where the dialog says.
template <typename Settings>
class SettingsDialog : public QDialog {
public:
    Settings settings() const { return settings_; }
    // Kept for the next opening, and shown now if the dialog is open.
    void setSettings(const Settings& settings) {
        settings_ = settings;
        ShowSettings();
    }

    void done(int result) override {
        closing_ = true;
        QDialog::done(result);
        closing_ = false;
    }

protected:
    SettingsDialog(Prompts& prompts, QWidget* parent) : QDialog(parent), prompts_(prompts) {}

    virtual void ShowSettings() = 0;
    // The control each opening starts on; none leaves it to Qt.
    virtual QWidget* FirstFocus() const { return nullptr; }

    // A "浏览" that only names a file: the chosen one goes into `path`; the fields show again
    // either way, so a typed path is dropped.
    void BrowseInto(QString& path, const QString& filter) {
        if (const auto chosen = prompts_.ChooseOpenFile(BrowseChooser(filter)))
            path = *chosen;
        ShowSettings();
    }

    // `event` takes the focus from `field`, and not because the dialog closes: closing takes the
    // focus too, and that is no change the user made there.
    bool UserLeaves(const QObject* field, const QObject* watched, const QEvent* event) const {
        return watched == field && LeavesField(event) && !closing_ && isVisible();
    }

    void showEvent(QShowEvent* event) override {
        if (!event->spontaneous()) {
            ShowSettings();
            if (QWidget* first = FirstFocus())
                first->setFocus();
        }
        QDialog::showEvent(event);
    }

    Settings settings_;
    Prompts& prompts_;
    bool closing_ = false;
};

}  // namespace ui

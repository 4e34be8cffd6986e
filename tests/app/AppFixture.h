#pragma once

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include "app/MainFrm.h"
#include "app/Tarvex.h"
#include "app/TarvexDoc.h"
#include "app/TarvexView.h"
#include "link/Link.h"
#include "link/SetSeriesDlg.h"
#include "ui/ScriptedPrompts.h"

// Triggers `command` and hands the modal dialog of type Dialog it opens to `use`; returns that
// dialog (it lives on in its owner), or null when none of that type came.
template <typename Dialog, typename Use>
Dialog* RunModal(QAction* command, Use use) {
    Dialog* seen = nullptr;
    // Ends with the call, so a command that opened nothing leaves nothing behind.
    QTimer opened;
    opened.setSingleShot(true);
    opened.callOnTimeout([&] {
        QWidget* modal = QApplication::activeModalWidget();
        seen = qobject_cast<Dialog*>(modal);
        if (seen)
            use(*seen);
        else if (modal)
            modal->close();
    });
    opened.start(0);
    command->trigger();
    return seen;
}

// A part of `root` found by its object name; a missing one ends the test run with its name.
template <typename Widget>
Widget* Part(const QObject& root, const char* name) {
    auto* part = root.findChild<Widget*>(QLatin1String(name));
    if (part == nullptr)
        qFatal("no part named %s", name);
    return part;
}

// One run of the application with scripted prompts, started as the user would start it.
struct AppRun {
    ui::ScriptedPrompts prompts;
    CTarvexApp app{prompts};

    // "/Embedding" keeps the splash away, so keys and clicks reach the window at once.
    bool Start(const QStringList& arguments = {QStringLiteral("/Embedding")}) {
        return app.InitInstance(arguments, QStringLiteral("/opt/tarvex/tarvex620b"));
    }
    // Started, with the window shown as the user sees it.
    [[nodiscard]] bool StartShown() {
        if (!Start())
            return false;
        app.mainFrame->show();
        return true;
    }
    CMainFrame& Frame() { return *app.mainFrame; }
    CTarvexView& View() { return *app.view; }
    CTarvexDoc& Doc() { return *app.document; }
    const CMainFrame::Commands& Do() { return app.mainFrame->Actions(); }
    ctrl::Link& Link() { return *app.link; }
    template <typename Widget>
    Widget* Part(const char* name) {
        return ::Part<Widget>(*app.mainFrame, name);
    }
    // The menu bar's popups, in its order.
    QList<QMenu*> Popups() {
        QList<QMenu*> menus;
        for (QAction* title : app.mainFrame->menuBar()->actions())
            menus.append(title->menu());
        return menus;
    }
    QString LinePane() const;
    // "串口设置" with `port` typed into the port box and confirmed.
    bool ChoosePort(const QString& port) {
        return RunModal<CSetSeriesDlg>(Do().serialSettings, [&port](CSetSeriesDlg& dialog) {
            dialog.findChild<QComboBox*>(QStringLiteral("portCombo"))->setEditText(port);
            dialog.findChild<QPushButton*>(QStringLiteral("okButton"))->click();
        });
    }
};

inline QString AppRun::LinePane() const {
    return ::Part<QLabel>(*app.mainFrame, "linePane")->text();
}

inline void ClearProfile() {
    QSettings(QSettings::NativeFormat, QSettings::UserScope, CTarvexApp::kProfileKey,
              QStringLiteral("Tarvex620B"))
        .clear();
}

inline void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

inline QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

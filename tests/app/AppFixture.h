#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QSettings>
#include <QTemporaryDir>

#include "app/MainFrm.h"
#include "app/Tarvex.h"
#include "app/TarvexDoc.h"
#include "app/TarvexView.h"
#include "ui/ScriptedPrompts.h"

// One run of the application with scripted prompts, started as the user would start it.
struct AppRun {
    ui::ScriptedPrompts prompts;
    CTarvexApp app{prompts};

    // "/Embedding" keeps the splash away, so keys and clicks reach the window at once.
    bool Start(const QStringList& arguments = {QStringLiteral("/Embedding")}) {
        return app.InitInstance(arguments, QStringLiteral("/opt/tarvex/tarvex620b"));
    }
    CMainFrame& Frame() { return *app.mainFrame; }
    CTarvexView& View() { return *app.view; }
    CTarvexDoc& Doc() { return *app.document; }
    QAction* Action(int id) { return app.mainFrame->Action(id); }
    QString LinePane() const;
};

inline QString AppRun::LinePane() const {
    return app.mainFrame->linePane->text();
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

#pragma once

#include <memory>
#include <utility>

#include <QKeySequence>
#include <QString>

#include "common/QtMessages.h"

// What the main window's source files share; CMainFrame's members are spread over
// MainFrm.cpp (window, panes, events), MainFrmMenus.cpp, MainFrmTools.cpp and MainFrmDownloads.cpp.
namespace frame {

inline QString Ui(msg::Id id) {
    return msg::QText(id);
}

inline QKeySequence Keys(QKeyCombination key) {
    return QKeySequence(key);
}

// The dialog behind a command, made when the command first runs.
template <typename Dialog, typename... Args>
Dialog& OnFirstUse(std::unique_ptr<Dialog>& dialog, Args&&... args) {
    if (!dialog)
        dialog = std::make_unique<Dialog>(std::forward<Args>(args)...);
    return *dialog;
}

}  // namespace frame

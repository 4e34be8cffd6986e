#pragma once

#include <QStringView>

// Nothing but white space: no program yet, so a missing END is not worth saying. The editor's
// live check and the language server both ask this.
inline bool BlankText(QStringView text) {
    return text.trimmed().isEmpty();
}

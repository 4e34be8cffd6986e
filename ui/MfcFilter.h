#pragma once

#include <QString>
#include <QStringList>

namespace ui {

// Turns an MFC filter string ("Text Files(*.kxo)|*.kxo|All Files(*.*)|*.*||") into Qt name
// filters ("Text Files(*.kxo) (*.kxo)", "All Files(*.*) (*)"). "*.*" becomes "*" so that files
// without an extension show on Linux too; "a;b" pattern lists become "a b".
QStringList NameFiltersFromMfc(const QString& mfcFilter);

}  // namespace ui

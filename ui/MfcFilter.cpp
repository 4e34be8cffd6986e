#include "ui/MfcFilter.h"

namespace ui {
namespace {

QString QtPatterns(const QString& mfcPatterns) {
    QStringList patterns;
    for (const QString& raw : mfcPatterns.split(u';', Qt::SkipEmptyParts)) {
        const QString pattern = raw.trimmed();
        if (pattern.isEmpty())
            continue;
        patterns << (pattern == u"*.*" ? QStringLiteral("*") : pattern);
    }
    return patterns.join(u' ');
}

}  // namespace

QStringList NameFiltersFromMfc(const QString& mfcFilter) {
    const QStringList parts = mfcFilter.split(u'|');
    QStringList filters;
    // Pairs of description and patterns; an empty description ends the list ("||").
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        if (description.isEmpty())
            break;
        const QString patterns = QtPatterns(parts[i + 1]);
        if (patterns.isEmpty())
            continue;
        filters << description + QStringLiteral(" (") + patterns + u')';
    }
    return filters;
}

}  // namespace ui

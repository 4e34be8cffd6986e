#include "station/StationTile.h"

#include <QApplication>
#include <QColor>
#include <QFontMetricsF>
#include <QLabel>
#include <QPalette>
#include <QProgressBar>
#include <QResizeEvent>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

#include "common/QtMessages.h"

namespace station {
namespace {

// Waiting grey, running blue, passed green, failed red: the colours a line reads from afar.
QString Colour(TileState state) {
    switch (state) {
        case TileState::Running:
            return QStringLiteral("#1e5aa8");
        case TileState::Passed:
            return QStringLiteral("#1f7a32");
        case TileState::Failed:
        case TileState::Refused:
            return QStringLiteral("#b3261e");
        case TileState::Waiting:
            break;
    }
    return QStringLiteral("#5f6368");
}

// The tile's colour through its palette: a style sheet would restyle the tile and its labels at
// every change, a pause the window's thread feels with 24 tiles turning at once. A plain frame is
// drawn in the text colour, so the tile keeps a darker rim of its own colour and the labels carry
// the white text.
void Paint(QWidget* tile, TileState state) {
    const QColor colour(Colour(state));
    QPalette palette = tile->palette();
    palette.setColor(QPalette::Window, colour);
    palette.setColor(QPalette::WindowText, colour.darker(170));
    tile->setPalette(palette);
}

QString StateWords(const TileSnapshot& s) {
    switch (s.state) {
        case TileState::Running:
            return msg::QText(msg::Id::StationRunning,
                              {QString::number(std::max(s.step, 1)), QString::number(s.steps)});
        case TileState::Passed:
            return msg::QText(msg::Id::StationPassed);
        case TileState::Failed:
        case TileState::Refused:
            return msg::QText(msg::Id::StationFailed);
        case TileState::Waiting:
            break;
    }
    return msg::QText(msg::Id::StationWaiting);
}

QLabel* Scaled(const QString& text, double factor, bool bold, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    ScaleType(label, parent, factor, bold);
    label->setAlignment(Qt::AlignCenter);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(palette);
    return label;
}

}  // namespace

void ScaleType(QLabel* label, QWidget* parent, double factor, bool bold) {
    parent->ensurePolished();
    const double size = parent->font().pointSizeF() * factor;
    if (qApp->styleSheet().isEmpty()) {
        QFont font = label->font();
        font.setPointSizeF(size);
        font.setBold(bold);
        label->setFont(font);
        return;
    }
    label->setStyleSheet(QStringLiteral("font-size: %1pt;%2")
                             .arg(size, 0, 'f', 1)
                             .arg(bold ? QStringLiteral(" font-weight: bold;") : QString()));
}

StationTile::StationTile(const QString& portName, QWidget* parent) : QFrame(parent) {
    setFrameShape(QFrame::Box);
    setLineWidth(2);
    setAutoFillBackground(true);
    Paint(this, state);
    auto* layout = new QVBoxLayout(this);
    port = Scaled(portName, 1.0, false, this);
    stateLabel = Scaled(msg::QText(msg::Id::StationWaiting), 2.6, true, this);
    unit = Scaled(QString(), 1.4, false, this);
    elapsed = Scaled(QString(), 1.2, false, this);
    reason = Scaled(QString(), 1.1, false, this);
    reason->setWordWrap(true);
    port->setWordWrap(true);
    // The state's type shrinks to the tile instead of widening its column past the others, or
    // the window past a small screen; a tile never asks for more than its smallest type needs.
    stateLabel->setMinimumWidth(1);
    stateLabel->setWordWrap(true);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    progress = new QProgressBar(this);
    progress->setTextVisible(false);
    for (QWidget* w : {static_cast<QWidget*>(port), static_cast<QWidget*>(stateLabel),
                       static_cast<QWidget*>(progress), static_cast<QWidget*>(unit),
                       static_cast<QWidget*>(elapsed), static_cast<QWidget*>(reason)})
        layout->addWidget(w);
    layout->addStretch();
}

void StationTile::Show(const TileSnapshot& s, qint64 nowMs) {
    if (s.state != state)
        Paint(this, s.state);
    state = s.state;
    const QString words = StateWords(s);
    if (words != stateLabel->text()) {
        stateLabel->setText(words);
        FitState();
    }
    unit->setText(s.unit.isEmpty() ? QString() : msg::QText(msg::Id::StationUnit, {s.unit}));
    const qint64 end = s.endedMs ? s.endedMs : nowMs;
    elapsed->setText(s.startedMs
                         ? msg::QText(msg::Id::StationElapsed,
                                      {QString::number((end - s.startedMs) / 1000.0, 'f', 1)})
                         : QString());
    progress->setVisible(s.state == TileState::Running);
    progress->setRange(0, std::max(s.total, 1));
    progress->setValue(s.done);
    QString below = s.reason;
    if (s.state == TileState::Failed)
        below += QLatin1Char('\n') + msg::QText(msg::Id::StationAcknowledge);
    else if (s.state == TileState::Passed && s.unitPresent)
        below = msg::QText(msg::Id::StationRemoveUnit);
    if (!s.notice.isEmpty())
        below += (below.isEmpty() ? QString() : QStringLiteral("\n")) + s.notice;
    reason->setText(below);
}

QString StationTile::StateText() const {
    return stateLabel->text();
}

QString StationTile::ReasonText() const {
    return reason->text();
}

void StationTile::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    FitState();
}

// Up to 2.6 times the tile's font, down to 1.3 times where the words need the room; below that
// they wrap.
void StationTile::FitState() {
    constexpr double kLargest = 2.6;
    ensurePolished();
    const QMargins margins = layout()->contentsMargins();
    const int room = contentsRect().width() - margins.left() - margins.right();
    QFont large = font();
    large.setPointSizeF(font().pointSizeF() * kLargest);
    large.setBold(true);
    const double wide = QFontMetricsF(large).horizontalAdvance(stateLabel->text());
    double factor = kLargest;
    if (room > 0 && wide > room)
        factor = std::max(1.3, kLargest * room / wide);
    factor = std::floor(factor * 10) / 10;  // restyle only on a visible step
    if (factor == stateFactor)
        return;
    stateFactor = factor;
    ScaleType(stateLabel, this, factor, true);
}

void StationTile::mousePressEvent(QMouseEvent* event) {
    QFrame::mousePressEvent(event);
    emit clicked();
}

}  // namespace station

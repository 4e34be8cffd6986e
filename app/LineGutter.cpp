#include "app/LineGutter.h"

#include <algorithm>

#include <QPaintEvent>
#include <QPainter>
#include <QTextBlock>

#include "app/ProgramHighlighter.h"
#include "app/TarvexView.h"
#include "ui/Colours.h"

CLineGutter::CLineGutter(CTarvexView* view) : QWidget(view), view_(view) {}

int CLineGutter::Width() const {
    int digits = 1;
    for (int n = std::max(1, view_->document()->blockCount()); n >= 10; n /= 10)
        ++digits;
    return 8 + view_->fontMetrics().horizontalAdvance(u'9') * std::max(digits, 3);
}

void CLineGutter::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QPalette& colours = view_->palette();
    painter.fillRect(event->rect(), colours.color(QPalette::Window));
    const QColor plain =
        colours::Blend(colours.color(QPalette::WindowText), colours.color(QPalette::Window), 0.45);
    const QColor current = colours.color(QPalette::WindowText);
    const int caretBlock = view_->textCursor().blockNumber();
    const int height = view_->fontMetrics().height();
    QTextBlock block = view_->firstVisibleBlock();
    int top = qRound(view_->blockBoundingGeometry(block).translated(view_->contentOffset()).top());
    while (block.isValid() && top <= event->rect().bottom()) {
        const int bottom = top + qRound(view_->blockBoundingRect(block).height());
        if (block.isVisible() && bottom >= event->rect().top()) {
            const int number = block.blockNumber();
            if (CProgramHighlighter::IsFaulty(block))
                painter.fillRect(0, top, 3, bottom - top, colours::Fault(colours));
            QFont font = painter.font();
            font.setBold(number == caretBlock);
            painter.setFont(font);
            painter.setPen(number == caretBlock ? current : plain);
            painter.drawText(0, top, width() - 4, height, Qt::AlignRight,
                             QString::number(number + 1));
        }
        block = block.next();
        top = bottom;
    }
}

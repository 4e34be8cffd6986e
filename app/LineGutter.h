#pragma once

#include <QWidget>

class CTarvexView;

// Line numbers of the editor lines beside the text, the caret's in bold, a faulty line marked.
class CLineGutter : public QWidget {
public:
    explicit CLineGutter(CTarvexView* view);

    // Room for the last line's number, and never less than three digits.
    int Width() const;
    QSize sizeHint() const override { return {Width(), 0}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CTarvexView* view_;
};

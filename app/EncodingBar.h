#pragma once

#include <QFrame>

class QPushButton;

// Above the editor when an opened file seems to be UTF-8: the user chooses to read it as UTF-8
// (saved as GBK later) or to keep it as it is. Nothing changes until they choose.
class CEncodingBar : public QFrame {
    Q_OBJECT

public:
    explicit CEncodingBar(QWidget* parent = nullptr);

    QPushButton* OpenAsUtf8Button() const { return openAsUtf8_; }
    QPushButton* KeepButton() const { return keep_; }

signals:
    void OpenAsUtf8Chosen();

private:
    QPushButton* openAsUtf8_;
    QPushButton* keep_;
};

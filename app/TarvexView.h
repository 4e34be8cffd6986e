#pragma once

#include <QByteArray>
#include <QPlainTextEdit>
#include <QString>

#include "app/LoadCutDlg.h"
#include "app/MessageDlg.h"
#include "charset/SetByteDlg.h"
#include "compiler/TranslateDlg.h"
#include "link/ControllerSession.h"
#include "link/DownByteDlg.h"
#include "link/DownParDlg.h"
#include "link/DownProDlg.h"
#include "link/SetSeriesDlg.h"
#include "registers/SetParDlg.h"

class QPagedPaintDevice;
class CTarvexDoc;

namespace ui {
class Prompts;
}

// The editor of the program text and the owner of every dialog and of the controller session.
class CTarvexView : public QPlainTextEdit {
    Q_OBJECT

public:
    CTarvexView(ui::Prompts& prompts, QWidget* parent = nullptr);
    ~CTarvexView() override;

    void SetDocument(CTarvexDoc* doc) { document_ = doc; }

    // The whole text as the file holds it: GBK bytes with CR LF.
    QByteArray WholeText() const;
    // Replaces the text; the document is not marked modified by it.
    void SetWholeText(const QByteArray& bytes);
    // Bytes the text would take in the file; cached between changes.
    qsizetype TextBytes() const;

    // After a new or opened document: the session tick restarts and the line pane resets.
    void OnInitialUpdate();
    void OnUpdate();
    void UpdateLineIndicator();
    // The caret's display line counted from the top of the text, 1-based.
    int CaretDisplayLine() const;

    void OnCompile();
    void OnRegisters();
    void OnCharacters();
    void OnLoadCut();
    void OnSerialSettings();
    void OnConnect();
    void OnDisconnect();
    // Each download dialog gets the shared port just before it runs.
    void OnDownloadProgram();
    void OnDownloadParams();
    void OnDownloadScreen();
    void OnInfoWindow();
    void Print(QPagedPaintDevice* printer);

    bool IsEnabled(ctrl::LinkCommand command) const { return session.IsEnabled(command); }
    bool CanLoadCut() const { return false; }
    bool CanOpenInfoWindow() const { return !messageDlg.openFlag; }

    // Members in the order they are built; the session's fields (connected, handshakeTicks,
    // linkByte, linkTimer) live in `session`.
    CLoadCutDlg loadCutDlg;
    CSetParDlg setParDlg;
    CMessageDlg messageDlg;
    CDownByteDlg downByteDlg;
    CDownParDlg downParDlg;
    CSetByteDlg setByteDlg;
    CDownProDlg downProDlg;
    CSetSeriesDlg setSeriesDlg;
    CTranslateDlg translateDlg;
    ctrl::ControllerSession session;

signals:
    void LineIndicatorChanged(const QString& text);
    void FilesDropped(const QStringList& paths);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QString EditorText() const;
    // Whether replacing the selection by `text` keeps the program within the capacity.
    qsizetype RoomFor(const QString& text) const;
    void ShowLine(int line);

    ui::Prompts& prompts_;
    CTarvexDoc* document_ = nullptr;
    mutable qsizetype cachedBytes_ = 0;
    mutable bool bytesKnown_ = true;
};

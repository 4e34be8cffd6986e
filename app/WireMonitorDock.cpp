#include "app/WireMonitorDock.h"

#include <filesystem>

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include "common/FileIo.h"
#include "common/QtMessages.h"
#include "link/SerialPort.h"
#include "ui/Prompts.h"
#include "wire/WireExport.h"
#include "wire/WireTrace.h"

CWireMonitorDock::CWireMonitorDock(CSerialPort& port, ui::Prompts& prompts, QWidget* parent)
    : QDockWidget(msg::QText(msg::Id::WireMonitorTitle), parent),
      port_(port),
      prompts_(prompts),
      origin_(std::chrono::steady_clock::now()),
      view_(new QPlainTextEdit),
      count_(new QLabel),
      batch_(new QTimer(this)) {
    setObjectName(QStringLiteral("wireMonitor"));
    recorder_ = std::make_unique<wire::Recorder>([this] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now() - origin_)
            .count();
    });
    recorder_->onLine = [this](const wire::Line& line) {
        pending_ << QString::fromLatin1(wire::Format(line));
        if (!batch_->isActive())
            batch_->start();
    };
    port_.tap = [this](bool sent, const std::uint8_t* bytes, int count) {
        if (sent)
            recorder_->Sent(bytes, count);
        else
            recorder_->Received(bytes, count);
    };

    view_->setReadOnly(true);
    view_->setUndoRedoEnabled(false);
    view_->setLineWrapMode(QPlainTextEdit::NoWrap);
    view_->setMaximumBlockCount(static_cast<int>(wire::Recorder::kCapacity));
    view_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto* save = new QPushButton(msg::QText(msg::Id::WireMonitorSave));
    auto* clear = new QPushButton(msg::QText(msg::Id::WireMonitorClear));
    auto* bar = new QHBoxLayout;
    bar->addWidget(count_, 1);
    bar->addWidget(save);
    bar->addWidget(clear);
    auto* body = new QWidget;
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(view_, 1);
    layout->addLayout(bar);
    setWidget(body);

    batch_->setSingleShot(true);
    batch_->setInterval(kBatchMs);
    connect(batch_, &QTimer::timeout, this, &CWireMonitorDock::ShowPending);
    connect(save, &QPushButton::clicked, this, &CWireMonitorDock::Save);
    connect(clear, &QPushButton::clicked, this, &CWireMonitorDock::Clear);
    ShowPending();
}

CWireMonitorDock::~CWireMonitorDock() {
    port_.tap = nullptr;
}

void CWireMonitorDock::Restart() {
    recorder_->Flush();
    origin_ = std::chrono::steady_clock::now();
}

void CWireMonitorDock::ShowPending() {
    recorder_->Flush();
    if (!pending_.isEmpty()) {
        // One append for the batch: one layout pass however many lines came. The view follows
        // the newest line unless the user scrolled back to read.
        QScrollBar* bar = view_->verticalScrollBar();
        const bool following = bar->value() == bar->maximum();
        view_->appendPlainText(pending_.join(QLatin1Char('\n')));
        if (following)
            bar->setValue(bar->maximum());
        pending_.clear();
    }
    count_->setText(msg::QText(
        msg::Id::WireMonitorCount,
        {QString::number(recorder_->Lines().size()), QString::number(wire::Recorder::kCapacity)}));
}

void CWireMonitorDock::Clear() {
    batch_->stop();
    pending_.clear();
    recorder_->Clear();
    view_->clear();
    ShowPending();
}

void CWireMonitorDock::Save() {
    ui::FileChooser chooser = ui::TextSaveChooser(msg::QText(msg::Id::WireMonitorDefaultName),
                                                  msg::QText(msg::Id::WireMonitorFilter));
    chooser.title = msg::QText(msg::Id::WireMonitorSaveTitle);
    const auto chosen = prompts_.ChooseSaveFile(chooser);
    if (!chosen)
        return;
    ShowPending();
    const std::vector<wire::Line> lines(recorder_->Lines().begin(), recorder_->Lines().end());
    const std::string bytes = wire::ExportForFile(chosen->toStdString(), lines);
    if (fileio::WriteSafely(std::filesystem::path(chosen->toStdU16String()), bytes))
        prompts_.Message(msg::QText(msg::Id::CannotWriteFile, {*chosen}));
}

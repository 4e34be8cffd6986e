#include "app/LiveCheck.h"

#include "app/ProgramTextCheck.h"
#include "common/BlankText.h"

CLiveCheck::CLiveCheck(TextSource source, QObject* parent)
    : QObject(parent), source_(std::move(source)) {
    wait_.setSingleShot(true);
    wait_.setInterval(kDelayMs);
    connect(&wait_, &QTimer::timeout, this, &CLiveCheck::Start);
    worker_.setMaxThreadCount(1);
}

CLiveCheck::~CLiveCheck() {
    running_.request_stop();
    worker_.clear();
    worker_.waitForDone();
}

compiler::CheckReport CLiveCheck::Check(const QString& documentText, std::stop_token stop) {
    return CheckProgramText(documentText, stop);
}

void CLiveCheck::Schedule() {
    ++generation_;
    if (synchronous_) {
        RunNow();
        return;
    }
    wait_.start();
}

void CLiveCheck::StartNow() {
    wait_.stop();
    if (synchronous_)
        RunNow();
    else
        Start();
}

void CLiveCheck::RunNow() {
    wait_.stop();
    const int generation = ++generation_;
    const QString text = source_();
    Deliver(generation, Check(text), !BlankText(text));
}

void CLiveCheck::Start() {
    const int generation = ++generation_;
    // The copy is cheap; encoding and checking happen on the worker.
    QString text = source_();
    // Only the newest request matters; one not yet started is dropped.
    worker_.clear();
    running_.request_stop();
    running_ = std::stop_source();
    worker_.start([this, generation, text = std::move(text), stop = running_.get_token()] {
        compiler::CheckReport report = Check(text, stop);
        const bool hasText = !BlankText(text);
        QMetaObject::invokeMethod(
            this,
            [this, generation, report = std::move(report), hasText]() mutable {
                Deliver(generation, std::move(report), hasText);
            },
            Qt::QueuedConnection);
    });
}

void CLiveCheck::Deliver(int generation, compiler::CheckReport report, bool hasText) {
    if (generation != generation_)
        return;
    report_ = std::move(report);
    hasText_ = hasText;
    emit Checked();
}

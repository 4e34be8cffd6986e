#pragma once

#include <functional>
#include <memory>
#include <stop_token>

#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QTimer>

#include "compiler/ProgramCheck.h"

// Checks the program a moment after the last edit, on a worker thread, so typing never waits;
// a result that an edit has overtaken is dropped.
class CLiveCheck : public QObject {
    Q_OBJECT

public:
    static constexpr int kDelayMs = 250;

    // The editor's text as the document holds it (paragraph separators between lines); called
    // on the GUI thread when the check starts.
    using TextSource = std::function<QString()>;

    explicit CLiveCheck(TextSource source, QObject* parent = nullptr);
    ~CLiveCheck() override;

    // After each edit: restarts the wait.
    void Schedule();
    // Starts a check at once, without the wait (a text just loaded).
    void StartNow();
    // Checks now on the calling thread and reports before returning (tests, first look).
    void RunNow();
    // The pause after the last edit before a check starts.
    void SetDelay(int ms) { wait_.setInterval(ms); }
    // Runs every scheduled check at once on the calling thread, without the wait.
    void SetSynchronous(bool synchronous) { synchronous_ = synchronous; }

    const compiler::CheckReport& Report() const { return report_; }
    // Whether the program has any text at all; a blank one is not told it lacks an END.
    bool HasText() const { return hasText_; }
    int Generation() const { return generation_; }

    // The check of text, as the worker runs it.
    static compiler::CheckReport Check(const QString& documentText, std::stop_token stop = {});

signals:
    void Checked();

private:
    void Start();
    void Deliver(int generation, compiler::CheckReport report, bool hasText);

    TextSource source_;
    QTimer wait_;
    QThreadPool worker_;
    // Stops the check under way when a newer one starts or the window goes.
    std::stop_source running_;
    compiler::CheckReport report_;
    int generation_ = 0;
    bool hasText_ = false;
    bool synchronous_ = false;
};

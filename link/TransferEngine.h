#pragma once

#include <cstdint>

#include <QString>

#include "link/DownloadSource.h"
#include "link/FailureExplain.h"
#include "link/SerialLink.h"
#include "link/TransferProfile.h"

namespace ctrl {

// How the engine reaches the windows around it: the progress bar, the end of the transfer (the
// progress window closes, before any message), and a message box that returns when the user has
// closed it.
class TransferListener {
public:
    virtual ~TransferListener() = default;
    virtual void ProgressMoved(int position) = 0;
    virtual void TransferEnded() = 0;
    virtual void Report(const QString& message) = 0;
};

enum class TransferOutcome { Running, Finished, Abandoned, Stopped };

// One download on the line: start byte, header frame, data frames, end byte, each step
// acknowledged by the controller. Paced by Tick(), which reads at most one answer byte.
class TransferEngine {
public:
    TransferEngine(SerialLink& port, const TransferProfile& profile, DownloadSource& source,
                   TransferListener& listener);

    // Sends the start byte and enters the opening phase. The caller has started the ticks and
    // shows the progress window afterwards.
    void Start();
    // The bar runs from 0 to `upper`, one step per acknowledged packet that has a successor.
    void SetProgressRange(int upper);
    TransferOutcome Tick();
    // Fast pacing: acts on the answers waiting now, as the next tick would, without counting a
    // tick, so the resend and give-up rules still run on ticks alone.
    TransferOutcome AnswerArrived();
    // Ends the transfer at once on the user's word: no further byte goes out, the session is
    // ready for the next command, nothing is reported.
    void Stop();

    TransferOutcome Outcome() const { return outcome; }
    int ProgressPosition() const { return progressPosition; }
    const TransferProfile& Profile() const { return profile; }
    // Answers that show the controller may hold wrong data: a header acknowledgement before the
    // start answer, and an acknowledgement that was already waiting behind a resend request (so
    // the controller took the requested resend for a new packet).
    int SuspectAnswers() const { return suspectAnswers; }
    // Header and data frames put on the line, resends included.
    int FramesSent() const { return framesSent; }
    // Header and data frames the controller has acknowledged.
    int FramesAcknowledged() const { return framesAcknowledged; }
    // Resends the controller asked for (90), and resends after a silence.
    int ResendRequests() const { return resendRequests; }
    int TimedResends() const { return timedResends; }
    // Answer bytes that meant something in their phase, and those that fit no rule.
    int Answers() const { return bytesTaken - unmatchedBytes; }
    int UnmatchedBytes() const { return unmatchedBytes; }
    // The line went away during the transfer; the outcome is Abandoned, with nothing reported
    // (the session tells the user).
    bool LineLost() const { return lineLost; }
    // What the line showed so far, for the message when the transfer is given up.
    TransferCounters Counters() const;

    std::uint32_t tickCount = 0;
    std::uint8_t commandByte = 0;
    std::uint8_t answerByte = 0;
    Packet packet{};

private:
    bool TakeAnswerInTime(std::uint32_t resendTick, std::uint32_t giveUpTick, std::uint8_t command);
    void OpeningTick();
    void DataTick();
    void OpeningAnswer();
    void DataAnswer();
    bool TakeWaitingAnswer();
    bool TakeAnswer();
    void SendByte(std::uint8_t byte);
    void SendFrame(std::uint8_t command, std::uint8_t trailer);
    void StepProgress();
    void Finish();
    void Abandon();
    void LoseLine();

    SerialLink& port;
    const TransferProfile profile;
    DownloadSource& source;
    TransferListener& listener;
    TransferOutcome outcome = TransferOutcome::Running;
    int progressPosition = 0;
    int progressRange = 0;
    bool startAnswered = false;
    int waitingBehindRequest = 0;  // bytes that were queued when a resend request was taken
    int suspectAnswers = 0;
    int framesSent = 0;
    int framesAcknowledged = 0;
    int resendRequests = 0;
    int timedResends = 0;
    int bytesTaken = 0;
    int unmatchedBytes = 0;
    std::uint32_t ticksRun = 0;      // never reset, unlike tickCount
    std::uint32_t lastByteTick = 0;  // ticksRun when the last byte came in
    bool anyByte = false;
    bool lineLost = false;
};

}  // namespace ctrl

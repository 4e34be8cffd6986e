#include "link/TransferEngine.h"

#include "link/LinkMessages.h"

namespace ctrl {

TransferEngine::TransferEngine(SerialLink& port, const TransferProfile& profile,
                               DownloadSource& source, TransferListener& listener)
    : port(port), profile(profile), source(source), listener(listener) {}

void TransferEngine::Start() {
    tickCount = 0;
    outcome = TransferOutcome::Running;
    progressPosition = 0;
    startAnswered = false;
    waitingBehindRequest = 0;
    suspectAnswers = 0;
    framesAcknowledged = 0;
    bytesTaken = 0;
    unmatchedBytes = 0;
    ticksRun = 0;
    lastByteTick = 0;
    anyByte = false;
    lineLost = false;
    // A resend before the start is acknowledged carries the real header rather than leftovers.
    source.BuildHeaderPacket(packet);
    SendByte(profile.startByte);
    port.sessionState = LINK_OPENING;
}

void TransferEngine::SetProgressRange(int upper) {
    progressRange = upper;
    progressPosition = 0;
}

TransferOutcome TransferEngine::Tick() {
    if (outcome != TransferOutcome::Running)
        return outcome;
    // A vanished device ends the transfer at once instead of at the give-up tick.
    if (port.lost) {
        LoseLine();
        return outcome;
    }
    ++tickCount;
    ++ticksRun;
    if (port.sessionState == LINK_OPENING) {
        OpeningTick();
    } else if (port.sessionState == LINK_DATA) {
        DataTick();
    }
    return outcome;
}

// A tick of either phase before its answer is looked at: at `resendTick` the frame goes out again
// with the tick trailer, from `giveUpTick` on the transfer is abandoned. True when the tick has
// an answer byte to act on.
bool TransferEngine::TakeAnswerInTime(std::uint32_t resendTick, std::uint32_t giveUpTick,
                                      std::uint8_t command) {
    if (tickCount == resendTick) {
        ++timedResends;
        SendFrame(command, profile.tickTrailer);
        return false;
    }
    if (tickCount >= giveUpTick) {
        Abandon();
        return false;
    }
    return TakeAnswer();
}

TransferOutcome TransferEngine::AnswerArrived() {
    while (outcome == TransferOutcome::Running && TakeWaitingAnswer()) {
        if (port.sessionState == LINK_OPENING)
            OpeningAnswer();
        else
            DataAnswer();
    }
    return outcome;
}

bool TransferEngine::TakeWaitingAnswer() {
    const bool inTransfer = port.sessionState == LINK_OPENING || port.sessionState == LINK_DATA;
    return inTransfer && TakeAnswer();
}

void TransferEngine::OpeningTick() {
    if (TakeAnswerInTime(profile.openingResendTick, profile.openingGiveUpTick, profile.headerByte))
        OpeningAnswer();
}

void TransferEngine::OpeningAnswer() {
    if (answerByte == profile.startByte) {
        startAnswered = true;
        tickCount = 0;
        source.BuildHeaderPacket(packet);
        SendFrame(profile.headerByte, profile.ackTrailer);
    } else if (answerByte == kResendRequest) {
        ++resendRequests;
        SendFrame(profile.headerByte, profile.requestTrailer);
        tickCount = 0;
    } else if (answerByte == profile.headerByte) {
        // Without the start answer the header never went out: the controller holds none.
        if (!startAnswered)
            ++suspectAnswers;
        ++framesAcknowledged;
        port.sessionState = LINK_DATA;
        if (source.NextDataPacket(packet)) {
            SendFrame(profile.dataByte, profile.ackTrailer);
        } else {
            Finish();
        }
    } else {
        ++unmatchedBytes;
    }
}

void TransferEngine::DataTick() {
    if (TakeAnswerInTime(profile.dataResendTick, profile.dataGiveUpTick, profile.dataByte))
        DataAnswer();
}

void TransferEngine::DataAnswer() {
    if (answerByte == profile.dataByte) {
        // Sent before our requested resend could be answered: the request was not the
        // controller's, which keeps the resend as one more packet.
        if (waitingBehindRequest > 0)
            ++suspectAnswers;
        ++framesAcknowledged;
        waitingBehindRequest = 0;
        if (source.NextDataPacket(packet)) {
            SendFrame(profile.dataByte, profile.ackTrailer);
            StepProgress();
        } else {
            Finish();
        }
        tickCount = 0;
    } else if (answerByte == kResendRequest) {
        ++resendRequests;
        waitingBehindRequest = port.QueuedBytes();
        SendFrame(profile.dataByte, profile.requestTrailer);
    } else {
        ++unmatchedBytes;
    }
}

bool TransferEngine::TakeAnswer() {
    if (port.QueuedBytes() <= 0 || port.Receive(&answerByte, 1) != 1)
        return false;
    ++bytesTaken;
    anyByte = true;
    lastByteTick = ticksRun;
    if (waitingBehindRequest > 0 && answerByte != profile.dataByte)
        --waitingBehindRequest;
    return true;
}

void TransferEngine::SendByte(std::uint8_t byte) {
    commandByte = byte;
    port.Send(&commandByte, 1);
}

void TransferEngine::SendFrame(std::uint8_t command, std::uint8_t trailer) {
    ++framesSent;
    SendByte(command);
    for (std::uint8_t b : packet)
        SendByte(b);
    SendByte(trailer);
}

// Passing the upper end starts the bar again from the beginning, as the platform's bar does.
void TransferEngine::StepProgress() {
    ++progressPosition;
    if (progressPosition > progressRange)
        progressPosition = 0;
    listener.ProgressMoved(progressPosition);
}

void TransferEngine::Finish() {
    SendByte(profile.endByte);
    source.CloseSource();
    port.sessionState = LINK_READY;
    outcome = TransferOutcome::Finished;
    listener.TransferEnded();
    if (suspectAnswers > 0)
        listener.Report(SuspectAnswersMessage(suspectAnswers));
}

void TransferEngine::Stop() {
    if (outcome != TransferOutcome::Running)
        return;
    port.sessionState = LINK_READY;
    outcome = TransferOutcome::Stopped;
    listener.TransferEnded();
    source.CloseSource();
}

void TransferEngine::Abandon() {
    port.sessionState = LINK_IDLE;
    outcome = TransferOutcome::Abandoned;
    listener.TransferEnded();
    tickCount = 0;
    source.CloseSource();
    port.Close();
    listener.Report(ExplainAbandon(kNoAnswerMessage, Counters()));
}

void TransferEngine::LoseLine() {
    lineLost = true;
    port.sessionState = LINK_IDLE;
    outcome = TransferOutcome::Abandoned;
    listener.TransferEnded();
    tickCount = 0;
    source.CloseSource();
}

TransferCounters TransferEngine::Counters() const {
    TransferCounters c;
    c.answers = Answers();
    c.resendRequests = resendRequests;
    c.timedResends = timedResends;
    c.unmatchedBytes = unmatchedBytes;
    if (anyByte)
        c.silentMs = static_cast<int>((ticksRun - lastByteTick) *
                                      static_cast<std::uint32_t>(profile.periodMs));
    return c;
}

}  // namespace ctrl

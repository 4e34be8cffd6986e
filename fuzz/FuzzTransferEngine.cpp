// Any answer bytes and ticks fed to the transfer engine of each download kind: it must never ask
// the source for a packet past its end, must send every data packet as the source gave it, must
// end finished or abandoned within the give-up ticks of the last answer it took, and must send
// nothing after its end byte or after giving up.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <vector>

#include <QString>

#include "fuzz/Broken.h"
#include "link/TransferEngine.h"

namespace {

using namespace ctrl;

class Source : public DownloadSource {
public:
    explicit Source(int packets) : packets(packets) {}
    void BuildHeaderPacket(Packet& packet) override {
        Check(!closed, "header built after the source closed");
        packet.fill(0xA5);
    }
    bool NextDataPacket(Packet& packet) override {
        Check(!closed, "packet taken after the source closed");
        Check(!exhausted, "packet taken past the end of the source");
        if (given == packets) {
            exhausted = true;
            return false;
        }
        // A short last piece leaves bytes of the previous packet in place, as real sources do.
        const int length = given + 1 == packets ? 1 + given % 16 : 16;
        for (int i = 0; i < length; ++i)
            packet[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(given * 31 + i);
        last = packet;
        ++given;
        return true;
    }
    void CloseSource() override {
        ++closes;
        closed = true;
    }

    const int packets;
    int given = 0;
    int closes = 0;
    bool exhausted = false;
    bool closed = false;
    Packet last{};
};

// The line: answers queued by the input, and every byte the engine sends checked as it goes out.
class Line : public SerialLink {
public:
    Line(const TransferProfile& profile, const Source& source) : profile(profile), source(source) {}

    bool OpenConfigured() override { return open = true; }
    bool Close() override {
        open = false;
        return true;
    }
    int Send(const std::uint8_t* bytes, int count) override {
        Check(open, "sent on a closed line");
        for (int i = 0; i < count; ++i)
            Sent(bytes[i]);
        return count;
    }
    int QueuedBytes() override { return open ? static_cast<int>(answers.size()) : 0; }
    int Receive(std::uint8_t* buffer, int limit) override {
        const int n = std::min(limit, QueuedBytes());
        for (int i = 0; i < n; ++i) {
            buffer[i] = answers.front();
            answers.pop_front();
        }
        taken += n;
        return n;
    }

    bool open = true;
    bool ended = false;  // the end byte went out
    std::deque<std::uint8_t> answers;
    long taken = 0;
    int dataFrames = 0;

private:
    void Sent(std::uint8_t byte) {
        Check(!ended, "byte sent after the end byte");
        if (!frame.empty()) {
            frame.push_back(byte);
            if (frame.size() == 18)
                FrameDone();
            return;
        }
        if (!started) {
            Check(byte == profile.startByte, "first byte is not the start byte");
            started = true;
        } else if (byte == profile.endByte) {
            Check(source.exhausted, "end byte before the source ran out");
            ended = true;
        } else {
            Check(byte == profile.headerByte || byte == profile.dataByte, "unknown frame");
            frame.push_back(byte);
        }
    }
    void FrameDone() {
        const std::uint8_t trailer = frame.back();
        Check(trailer == profile.ackTrailer || trailer == profile.tickTrailer ||
                  trailer == profile.requestTrailer,
              "trailer");
        if (frame[0] == profile.dataByte) {
            Check(source.given > 0, "data frame before any packet");
            Check(std::equal(source.last.begin(), source.last.end(), frame.begin() + 1),
                  "data frame is not the packet the source gave");
            ++dataFrames;
        }
        frame.clear();
    }

    const TransferProfile& profile;
    const Source& source;
    bool started = false;
    std::vector<std::uint8_t> frame;
};

class Windows : public TransferListener {
public:
    void ProgressMoved(int position) override { lastPosition = position; }
    void TransferEnded() override { ++ends; }
    void Report(const QString&) override { ++reports; }
    int lastPosition = 0;
    int ends = 0;
    int reports = 0;
};

}  // namespace

// Byte 0 picks the kind, byte 1 the number of data packets; each later byte either queues an
// answer (one the engine expects, or any small byte) or lets ticks pass.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    const TransferProfile& profile = ProfileFor(static_cast<DownloadKind>(data[0] % 3));
    Source source(data[1] % 48);
    Line line(profile, source);
    Windows windows;
    TransferEngine engine(line, profile, source, windows);
    line.sessionState = LINK_READY;
    engine.Start();
    engine.SetProgressRange(source.packets);

    const std::uint32_t giveUp = std::max(profile.openingGiveUpTick, profile.dataGiveUpTick);
    long lastTaken = 0;
    std::uint32_t sinceAnswer = 0;
    auto tick = [&] {
        if (engine.Outcome() != TransferOutcome::Running) {
            // Once ended, ticks do nothing at all.
            const std::size_t queued = line.answers.size();
            engine.Tick();
            Check(line.answers.size() == queued, "answer taken after the end");
            return;
        }
        engine.Tick();
        if (line.taken != lastTaken) {
            lastTaken = line.taken;
            sinceAnswer = 0;
        } else if (++sinceAnswer > giveUp) {
            Check(engine.Outcome() != TransferOutcome::Running, "no give-up without answers");
        }
        Check(engine.ProgressPosition() >= 0 && engine.ProgressPosition() <= source.packets,
              "progress outside its range");
    };

    const std::uint8_t expected[] = {profile.startByte, profile.headerByte, profile.dataByte,
                                     kResendRequest};
    for (std::size_t i = 2; i < size; ++i) {
        const std::uint8_t b = data[i];
        switch (b >> 6) {
            case 0:
                line.answers.push_back(expected[b & 3]);
                break;
            case 1:
                line.answers.push_back(b & 0x3F);
                break;
            case 2:
                for (int n = (b & 0x3F) + 1; n > 0; --n)
                    tick();
                break;
            default:
                for (int n = ((b & 0x3F) + 1) * 16; n > 0; --n)
                    tick();
                break;
        }
    }
    // The line falls silent once the queue is taken: `tick` aborts if the give-up never comes.
    while (engine.Outcome() == TransferOutcome::Running)
        tick();
    tick();

    Check(windows.ends == 1, "the end told once");
    Check(source.closes == 1, "source closed once");
    if (engine.Outcome() == TransferOutcome::Finished) {
        Check(line.ended, "finished without the end byte");
        Check(source.exhausted && source.given == source.packets,
              "finished before the last packet");
        Check(line.dataFrames >= source.packets, "a packet never sent");
        Check(windows.reports == (engine.SuspectAnswers() > 0 ? 1 : 0), "finish messages");
        Check(line.open, "finished on a closed line");
    } else {
        Check(!line.ended, "abandoned after the end byte");
        Check(windows.reports == 1, "give-up message");
        Check(!line.open, "gave up on an open line");
    }
    return 0;
}

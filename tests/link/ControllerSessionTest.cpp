#include <gtest/gtest.h>

#include <functional>

#include <QStringList>
#include <QtGlobal>

#include "link/ControllerSession.h"
#include "link/LinkMessages.h"
#include "tests/link/FakeLink.h"

using ctrl::LinkCommand;

namespace {

class ControllerSessionTest : public ::testing::Test {
protected:
    void TickTimes(int n) {
        for (int i = 0; i < n; ++i)
            session.Tick();
    }

    void Handshake() {
        session.Connect("COM1");
        link.incoming = {1};
        session.Tick();
    }

    FakeLink link;
    QStringList shown;
    std::function<void()> whileShown;
    std::vector<bool> changes;  // what the listener heard, in order
    ctrl::ControllerSession session{link,
                                    [this](const QString& text) {
                                        shown << text;
                                        if (whileShown)
                                            whileShown();
                                    },
                                    [this](bool connected) { changes.push_back(connected); }};
};

TEST_F(ControllerSessionTest, ConnectOpensTheLineAndSendsOneHandshakeByte) {
    session.Connect("COM1");
    EXPECT_TRUE(link.open);
    EXPECT_EQ(link.sent, std::vector<std::uint8_t>{1});
    EXPECT_EQ(link.sessionState, ctrl::LINK_HANDSHAKE);
    EXPECT_FALSE(session.connected);
    EXPECT_TRUE(shown.isEmpty());
}

TEST_F(ControllerSessionTest, OtherBytesAreDroppedAndTheAnswerOneConnects) {
    session.Connect("COM1");
    link.incoming = {7, 1};
    session.Tick();
    EXPECT_FALSE(session.connected);
    EXPECT_EQ(link.sessionState, ctrl::LINK_HANDSHAKE);
    session.Tick();
    EXPECT_TRUE(session.connected);
    EXPECT_EQ(link.sessionState, ctrl::LINK_READY);
    EXPECT_EQ(link.sent, std::vector<std::uint8_t>{1}) << "the handshake byte goes out once";
}

TEST_F(ControllerSessionTest, SilenceFailsOnTheTwentiethTickAndClosesAfterTheMessage) {
    session.Connect("COM2");
    TickTimes(19);
    EXPECT_TRUE(shown.isEmpty());
    EXPECT_EQ(link.sessionState, ctrl::LINK_HANDSHAKE);
    bool openWhileShown = false;
    whileShown = [&] {
        openWhileShown = link.open;
        session.Tick();  // the view's timer keeps ticking under the message box
        EXPECT_FALSE(session.connected);
        EXPECT_EQ(link.sessionState, ctrl::LINK_IDLE);
    };
    session.Tick();
    EXPECT_EQ(shown, QStringList{ctrl::kHandshakeFailedMessage});
    EXPECT_TRUE(openWhileShown);
    EXPECT_FALSE(link.open);
    EXPECT_EQ(link.sessionState, ctrl::LINK_IDLE);
    EXPECT_TRUE(session.IsEnabled(LinkCommand::Connect));
}

TEST_F(ControllerSessionTest, ConnectDuringTheHandshakeRestartsTheCountOnTheOpenLine) {
    session.Connect("COM1");
    TickTimes(15);
    session.Connect("COM1");
    EXPECT_EQ(link.opens, 1);
    EXPECT_EQ(link.sent, (std::vector<std::uint8_t>{1, 1}));
    TickTimes(19);
    EXPECT_TRUE(shown.isEmpty());
    session.Tick();
    EXPECT_EQ(shown, QStringList{ctrl::kHandshakeFailedMessage});
}

TEST_F(ControllerSessionTest, PortThatWillNotOpenIsNamedAsTheUserTypedIt) {
    Handshake();
    link.open = false;  // the device went away under the session
    link.openFails = true;
    link.TakeSent();
    session.Connect("COM12");
    EXPECT_EQ(shown, QStringList{"串口 COM12 打开失败"});
    EXPECT_EQ(link.sessionState, ctrl::LINK_READY);
    EXPECT_FALSE(session.connected);
    EXPECT_TRUE(link.sent.empty());
}

TEST_F(ControllerSessionTest, DisconnectSendsOneFarewellByteAndKeepsTheStateCode) {
    Handshake();
    link.TakeSent();
    session.Disconnect();
    EXPECT_EQ(link.sent, std::vector<std::uint8_t>{136});
    EXPECT_FALSE(link.open);
    EXPECT_FALSE(session.connected);
    EXPECT_EQ(link.sessionState, ctrl::LINK_READY);
    EXPECT_FALSE(session.IsEnabled(LinkCommand::DownloadProgram));
}

TEST_F(ControllerSessionTest, TicksLeaveTransfersAloneAndNoticeAnAbandonedOne) {
    Handshake();
    for (std::int32_t state : {ctrl::LINK_OPENING, ctrl::LINK_DATA}) {
        link.sessionState = state;
        link.incoming = {1, 2};
        TickTimes(40);
        EXPECT_EQ(link.incoming.size(), 2u) << "a transfer's answers are not the view's";
        EXPECT_TRUE(session.connected);
        EXPECT_TRUE(shown.isEmpty());
    }
    link.sessionState = ctrl::LINK_IDLE;  // the transfer gave up
    session.Tick();
    EXPECT_FALSE(session.connected);
    EXPECT_TRUE(session.IsEnabled(LinkCommand::Connect));
}

TEST_F(ControllerSessionTest, CommandsNeedingASessionFollowTheConnectedFlag) {
    const LinkCommand sessionCommands[] = {LinkCommand::DownloadProgram,
                                           LinkCommand::DownloadParams, LinkCommand::DownloadScreen,
                                           LinkCommand::Disconnect};
    for (bool connected : {false, true}) {
        if (connected)
            Handshake();
        ASSERT_EQ(bool(session.connected), connected);
        EXPECT_TRUE(session.IsEnabled(LinkCommand::Serial));
        EXPECT_EQ(session.IsEnabled(LinkCommand::Connect), !connected);
        for (LinkCommand c : sessionCommands)
            EXPECT_EQ(session.IsEnabled(c), connected);
    }
}

// The menus follow these calls alone: every change is told once, and only changes.
TEST_F(ControllerSessionTest, TheListenerHearsEachChangeOnce) {
    session.Connect("COM1");
    TickTimes(3);
    EXPECT_TRUE(changes.empty());
    link.incoming = {1};
    TickTimes(3);
    session.Connect("COM1");  // a second connect forgets the answer
    link.incoming = {1};
    session.Tick();
    session.Disconnect();
    session.Disconnect();
    EXPECT_EQ(changes, (std::vector<bool>{true, false, true, false}));

    Handshake();
    link.sessionState = ctrl::LINK_IDLE;  // a transfer gave up
    TickTimes(2);
    EXPECT_EQ(changes, (std::vector<bool>{true, false, true, false, true, false}));
}

TEST_F(ControllerSessionTest, OpeningADocumentAsksForANewHandshakeOnTheSameLine) {
    Handshake();
    session.ViewUpdate();
    EXPECT_EQ(changes, (std::vector<bool>{true, false}));
    EXPECT_FALSE(session.connected);
    EXPECT_TRUE(link.open);
    session.Connect("COM1");
    EXPECT_EQ(link.opens, 1);
    EXPECT_EQ(link.sessionState, ctrl::LINK_HANDSHAKE);
}

// A suite may only quicken the tick, and not past the least; anything else keeps the 500 ms.
TEST(SessionTickTest, TheEnvironmentOnlyShortensTheTickDownToTheLeast) {
    const struct {
        const char* value;  // nullptr: unset
        int ms;
    } rows[] = {
        {nullptr, 500}, {"", 500},    {"soon", 500}, {"-100", 500}, {"0", 500}, {"500", 500},
        {"5000", 500},  {"499", 499}, {"100", 100},  {"50", 50},    {"1", 50},
    };
    for (const auto& r : rows) {
        if (r.value)
            qputenv(ctrl::kTickMsVariable, r.value);
        else
            qunsetenv(ctrl::kTickMsVariable);
        EXPECT_EQ(ctrl::ControllerSession::TickMs(), r.ms) << (r.value ? r.value : "unset");
    }
    qunsetenv(ctrl::kTickMsVariable);
}

}  // namespace

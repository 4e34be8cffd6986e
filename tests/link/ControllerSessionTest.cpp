#include <gtest/gtest.h>

#include <functional>

#include <QStringList>

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

    FakeLink link;
    QStringList shown;
    std::function<void()> whileShown;
    ctrl::ControllerSession session{link, [this](const QString& text) {
                                        shown << text;
                                        if (whileShown)
                                            whileShown();
                                    }};
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
        session.connected = true;
        session.Tick();  // the view's timer keeps ticking under the message box
        EXPECT_FALSE(session.connected);
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
    link.openFails = true;
    link.sessionState = ctrl::LINK_READY;
    session.connected = true;
    session.Connect("COM12");
    EXPECT_EQ(shown, QStringList{"串口 COM12 打开失败"});
    EXPECT_EQ(link.sessionState, ctrl::LINK_READY);
    EXPECT_FALSE(session.connected);
    EXPECT_TRUE(link.sent.empty());
}

TEST_F(ControllerSessionTest, DisconnectSendsOneFarewellByteAndKeepsTheStateCode) {
    session.Connect("COM1");
    link.incoming = {1};
    session.Tick();
    link.TakeSent();
    session.Disconnect();
    EXPECT_EQ(link.sent, std::vector<std::uint8_t>{136});
    EXPECT_FALSE(link.open);
    EXPECT_FALSE(session.connected);
    EXPECT_EQ(link.sessionState, ctrl::LINK_READY);
    EXPECT_FALSE(session.IsEnabled(LinkCommand::DownloadProgram));
}

TEST_F(ControllerSessionTest, TicksLeaveTransfersAloneAndNoticeAnAbandonedOne) {
    session.Connect("COM1");
    link.incoming = {1};
    session.Tick();
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
        session.connected = connected;
        EXPECT_TRUE(session.IsEnabled(LinkCommand::Serial));
        EXPECT_EQ(session.IsEnabled(LinkCommand::Connect), !connected);
        for (LinkCommand c : sessionCommands)
            EXPECT_EQ(session.IsEnabled(c), connected);
    }
}

TEST_F(ControllerSessionTest, OpeningADocumentAsksForANewHandshakeOnTheSameLine) {
    session.Connect("COM1");
    link.incoming = {1};
    session.Tick();
    session.ViewUpdate();
    EXPECT_FALSE(session.connected);
    EXPECT_TRUE(link.open);
    session.Connect("COM1");
    EXPECT_EQ(link.opens, 1);
    EXPECT_EQ(link.sessionState, ctrl::LINK_HANDSHAKE);
}

}  // namespace

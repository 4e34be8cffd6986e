// `tarvex lsp` as a process on pipes: whatever arrives, it answers and keeps reading, and it ends
// when told to.
#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QProcess>

#include "lsp/Framing.h"

namespace {

constexpr int kPatienceMs = 30'000;

QByteArray Message(const QByteArray& json) {
    return "Content-Length: " + QByteArray::number(json.size()) + "\r\n\r\n" + json;
}

TEST(ServerProcess, AnswersBrokenAndHugeInputWithErrorsAndEndsAfterShutdownAndExit) {
    QProcess server;
    server.start(TARVEX_TOOL_PATH, {"lsp"});
    ASSERT_TRUE(server.waitForStarted(kPatienceMs));
    const qint64 huge = 10 * 1024 * 1024;
    server.write(Message("{not json") + "Content-Length: " + QByteArray::number(huge) + "\r\n\r\n");
    // A 10 MB body written in pieces while the server skips it.
    const QByteArray piece(1024 * 1024, 'x');
    for (qint64 sent = 0; sent < huge; sent += piece.size()) {
        server.write(piece);
        ASSERT_TRUE(server.waitForBytesWritten(kPatienceMs));
    }
    server.write(Message(R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":{}})") +
                 Message(R"({"jsonrpc":"2.0","id":2,"method":"nothing/here"})") +
                 Message(R"({"jsonrpc":"2.0","id":3,"method":"shutdown"})") +
                 Message(R"({"jsonrpc":"2.0","method":"exit"})"));
    server.closeWriteChannel();
    ASSERT_TRUE(server.waitForFinished(kPatienceMs));
    EXPECT_EQ(server.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(server.exitCode(), 0);

    lsp::MessageReader reader;
    reader.Feed(server.readAllStandardOutput());
    std::vector<QJsonValue> codes;
    while (const auto in = reader.Next()) {
        ASSERT_EQ(in->kind, lsp::Incoming::Kind::Message);
        const QJsonObject answer = QJsonDocument::fromJson(in->body).object();
        codes.push_back(answer.contains("error") ? answer.value("error").toObject().value("code")
                                                 : QJsonValue(QStringLiteral("result")));
    }
    EXPECT_EQ(codes, (std::vector<QJsonValue>{-32700, -32600, QStringLiteral("result"), -32601,
                                              QStringLiteral("result")}));
}

}  // namespace

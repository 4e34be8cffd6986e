// The language server driven message by message: what an editor sends, what it gets back.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>

#include "common/GbkText.h"
#include "compiler/InstructionHelp.h"
#include "compiler/InstructionTable.h"
#include "lsp/LanguageServer.h"

namespace {

using lsp::Incoming;

const QString kUri = QStringLiteral("file:///p.kxc");

QJsonValue Field(const QJsonObject& o, const char* outer, const char* inner) {
    return o.value(QLatin1String(outer)).toObject().value(QLatin1String(inner));
}

class Client {
public:
    QList<QJsonObject> Send(const QJsonObject& message) {
        return server.Handle({Incoming::Kind::Message, QJsonDocument(message).toJson(), {}, 0});
    }
    QJsonObject Request(const QString& method, const QJsonObject& params = {}) {
        const QList<QJsonObject> answers =
            Send({{"jsonrpc", "2.0"}, {"id", ++id}, {"method", method}, {"params", params}});
        EXPECT_EQ(answers.size(), 1);
        return answers.value(0);
    }
    void Initialize() {
        Request("initialize", {{"capabilities", QJsonObject{}}});
        Send({{"jsonrpc", "2.0"}, {"method", "initialized"}, {"params", QJsonObject{}}});
    }
    QJsonArray Open(const QString& text) {
        const QList<QJsonObject> out =
            Send({{"jsonrpc", "2.0"},
                  {"method", "textDocument/didOpen"},
                  {"params", QJsonObject{{"textDocument", QJsonObject{{"uri", kUri},
                                                                      {"languageId", "tarvex"},
                                                                      {"version", 1},
                                                                      {"text", text}}}}}});
        EXPECT_EQ(out.size(), 1);
        return Field(out.value(0), "params", "diagnostics").toArray();
    }
    QJsonValue At(const QString& method, int line, int character) {
        return Request(method, {{"textDocument", QJsonObject{{"uri", kUri}}},
                                {"position", QJsonObject{{"line", line}, {"character", character}}},
                                {"context", QJsonObject{{"includeDeclaration", true}}}})["result"];
    }

    lsp::LanguageServer server;
    int id = 0;
};

struct Range {
    int line, begin, end;
    bool operator==(const Range&) const = default;
};

Range RangeOf(const QJsonValue& d) {
    const QJsonObject r = d["range"].toObject();
    EXPECT_EQ(r["start"]["line"], r["end"]["line"]);
    return {r["start"]["line"].toInt(), r["start"]["character"].toInt(),
            r["end"]["character"].toInt()};
}

TEST(LanguageServer, DiagnosticsSitOnTheFaultyOperandInUtf16Units) {
    Client c;
    c.Initialize();
    // CJK before the fault counts one unit a character, an emoji two; the missing END last.
    const QJsonArray d =
        c.Open(QStringLiteral("; 移动电机\r\n"
                              "标号:  MOV M1,x   ' 注\r\n"
                              "MOV \U0001F600,5\r\n"
                              "        FOO 1\r\n"));
    ASSERT_EQ(d.size(), 4);
    EXPECT_EQ(RangeOf(d[0]), (Range{1, 12, 13}));
    EXPECT_EQ(RangeOf(d[1]), (Range{2, 4, 6}));
    EXPECT_EQ(RangeOf(d[2]), (Range{3, 8, 11}));
    EXPECT_EQ(RangeOf(d[3]), (Range{3, 0, 13}));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(d[i]["severity"], 1);
    EXPECT_EQ(d[3]["severity"], 2);
    EXPECT_EQ(d[3]["message"], QStringLiteral("警告：程序缺少“End”！"));
}

TEST(LanguageServer, ProgramsTheCompileRefusesWholeAreReportedAsItRefusesThem) {
    Client c;
    c.Initialize();
    QString tooMany;
    for (int i = 0; i < 2049; ++i)
        tooMany += QStringLiteral("INC M1\n");
    tooMany += QStringLiteral("END\n");
    const QJsonArray d = c.Open(tooMany);
    ASSERT_EQ(d.size(), 1);
    EXPECT_EQ(RangeOf(d[0]), (Range{2048, 0, 6}));
    EXPECT_EQ(d[0]["code"], -1);

    EXPECT_TRUE(c.Open(QStringLiteral("  \n\n")).isEmpty());
    const QJsonArray big = c.Open(QString(1'048'576, u'A'));
    ASSERT_EQ(big.size(), 1);
    EXPECT_EQ(big[0]["message"], QStringLiteral("该文件太大，无法打开。"));
}

TEST(LanguageServer, HoverCompletionAndLabelNavigationFollowTheProgram) {
    Client c;
    c.Initialize();
    c.Open(
        QStringLiteral("; move\r\n        MOV M1,0\r\nLoop1:  INC M1\r\n"
                       "        JLD LOOP1,M1,100   ' loop1 in a comment\r\n        END\r\n"));
    const auto* jld = compiler::FindInstruction("JLD");
    EXPECT_EQ(c.At("textDocument/hover", 3, 9)["contents"]["value"],
              QString::fromStdString(compiler::OperandHint(*jld)));
    EXPECT_EQ(c.At("textDocument/hover", 3, 13)["contents"]["value"],
              QStringLiteral("标号 Loop1：第 2 代码行"));
    EXPECT_TRUE(c.At("textDocument/hover", 3, 33).isNull());  // in the comment

    QStringList labels;
    for (const QJsonValue& item : c.At("textDocument/completion", 1, 0).toArray())
        labels << item["label"].toString();
    for (const char* wanted : {"MOV", "JLD", "END", "Loop1", "M", "F", "S", "B", "I", "J", "O"})
        EXPECT_TRUE(labels.contains(QLatin1String(wanted))) << wanted;

    const QJsonArray definition = c.At("textDocument/definition", 3, 14).toArray();
    ASSERT_EQ(definition.size(), 1);
    EXPECT_EQ(RangeOf(definition[0]), (Range{2, 0, 5}));
    std::vector<Range> references;
    for (const QJsonValue& r : c.At("textDocument/references", 2, 1).toArray())
        references.push_back(RangeOf(r));
    EXPECT_EQ(references, (std::vector<Range>{{2, 0, 5}, {3, 12, 17}}));

    const QJsonArray symbols = c.Request("textDocument/documentSymbol",
                                         {{"textDocument", QJsonObject{{"uri", kUri}}}})["result"]
                                   .toArray();
    ASSERT_EQ(symbols.size(), 1);
    EXPECT_EQ(symbols[0]["name"], QStringLiteral("Loop1"));
}

struct FaultCase {
    const char* name;
    QByteArray body;
    int code;
};

TEST(LanguageServer, BadMessagesGetTheProtocolsErrorAnswers) {
    Client c;
    EXPECT_EQ(Field(c.Request("textDocument/hover"), "error", "code"), -32002);
    c.Initialize();
    const FaultCase cases[] = {
        {"malformed", R"({"jsonrpc":"2.0","id":1,"method":)", -32700},
        {"not an object", R"([1,2])", -32600},
        {"no method", R"({"jsonrpc":"2.0","id":2})", -32600},
        {"unknown method", R"({"jsonrpc":"2.0","id":3,"method":"tarvex/fly"})", -32601},
        {"unknown document method", R"({"jsonrpc":"2.0","id":4,"method":"textDocument/fly"})",
         -32601},
        {"no position", R"({"jsonrpc":"2.0","id":5,"method":"textDocument/hover","params":{}})",
         -32602},
    };
    for (const FaultCase& f : cases) {
        const QList<QJsonObject> out = c.server.Handle({Incoming::Kind::Message, f.body, {}, 0});
        ASSERT_EQ(out.size(), 1) << f.name;
        EXPECT_EQ(Field(out[0], "error", "code"), f.code) << f.name;
    }
    EXPECT_TRUE(c.Send({{"jsonrpc", "2.0"}, {"method", "tarvex/unknownNote"}}).isEmpty());
    EXPECT_EQ(
        Field(c.server.Handle({Incoming::Kind::TooLarge, {}, {}, 10'000'000})[0], "error", "code"),
        -32600);

    EXPECT_TRUE(c.Request("shutdown")["result"].isNull());
    EXPECT_EQ(Field(c.Request("textDocument/hover"), "error", "code"), -32600);
    c.Send({{"jsonrpc", "2.0"}, {"method", "exit"}});
    EXPECT_TRUE(c.server.Exited());
    EXPECT_EQ(c.server.ExitCode(), 0);
}

TEST(MessageReader, CutsMessagesWhereverTheBytesBreakAndSkipsWhatItRefuses) {
    const QByteArray one = lsp::Frame({{"a", 1}});
    const qint64 tooLarge = lsp::kMaxMessageBytes + 1;
    const QByteArray stream = one + "Content-Length: " + QByteArray::number(tooLarge) + "\r\n\r\n" +
                              QByteArray(tooLarge, 'x') + "garbage" + one +
                              "Content-Length: nine\r\n\r\n" + one;
    // Fed in small pieces and all at once, the same items come out.
    for (const qsizetype step : {qsizetype(7), stream.size()}) {
        lsp::MessageReader reader;
        std::vector<Incoming::Kind> kinds;
        for (qsizetype i = 0; i < stream.size(); i += step) {
            reader.Feed(QByteArrayView(stream).sliced(i, std::min(step, stream.size() - i)));
            while (const auto in = reader.Next()) {
                kinds.push_back(in->kind);
                if (in->kind == Incoming::Kind::Message) {
                    EXPECT_EQ(in->body, R"({"a":1})");
                }
            }
        }
        using K = Incoming::Kind;
        EXPECT_EQ(kinds, (std::vector<K>{K::Message, K::TooLarge, K::BadHeader, K::Message,
                                         K::BadHeader, K::Message}))
            << "step " << step;
    }
}

}  // namespace

#pragma once

#include <map>

#include <QJsonObject>
#include <QList>
#include <QString>

#include "lsp/Framing.h"
#include "lsp/ProgramDocument.h"

namespace lsp {

// JSON-RPC error codes the protocol defines.
namespace error {
constexpr int kParseError = -32700;
constexpr int kInvalidRequest = -32600;
constexpr int kMethodNotFound = -32601;
constexpr int kInvalidParams = -32602;
constexpr int kServerNotInitialized = -32002;
}  // namespace error

// The language server's state and answers, without any input or output of its own: each item
// read from the client goes in, the messages to send come out.
class LanguageServer {
public:
    QList<QJsonObject> Handle(const Incoming& incoming);

    bool Exited() const { return exited_; }
    // 0 when exit followed shutdown, 1 otherwise, as the protocol asks.
    int ExitCode() const { return shutdown_ ? 0 : 1; }

private:
    QList<QJsonObject> HandleMessage(const QJsonObject& message);
    QList<QJsonObject> Notification(const QString& method, const QJsonObject& params);
    QJsonObject Request(const QJsonValue& id, const QString& method, const QJsonObject& params);
    QJsonObject DocumentRequest(const QJsonValue& id, const QString& method,
                                const QJsonObject& params);
    QList<QJsonObject> Publish(const QString& uri, const QJsonValue& version);

    std::map<QString, ProgramDocument> documents_;
    bool initialized_ = false;
    bool shutdown_ = false;
    bool exited_ = false;
};

}  // namespace lsp

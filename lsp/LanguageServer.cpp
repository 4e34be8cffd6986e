#include "lsp/LanguageServer.h"

#include <QJsonArray>
#include <QJsonDocument>

#include "common/Messages.h"
#include "common/QtMessages.h"

namespace lsp {
namespace {

constexpr int kFullSync = 1;

QJsonObject Result(const QJsonValue& id, const QJsonValue& result) {
    return {{"jsonrpc", "2.0"}, {"id", id}, {"result", result}};
}

QJsonObject Error(const QJsonValue& id, int code, const QString& message) {
    return {{"jsonrpc", "2.0"},
            {"id", id},
            {"error", QJsonObject{{"code", code}, {"message", message}}}};
}

QJsonObject Notify(const QString& method, const QJsonObject& params) {
    return {{"jsonrpc", "2.0"}, {"method", method}, {"params", params}};
}

QJsonObject Capabilities() {
    return {{"positionEncoding", "utf-16"},
            {"textDocumentSync", QJsonObject{{"openClose", true}, {"change", kFullSync}}},
            {"hoverProvider", true},
            {"completionProvider", QJsonObject{}},
            {"definitionProvider", true},
            {"referencesProvider", true},
            {"documentSymbolProvider", true}};
}

std::optional<Position> ReadPosition(const QJsonObject& params) {
    const QJsonValue p = params.value("position");
    if (!p.isObject() || !p["line"].isDouble() || !p["character"].isDouble())
        return std::nullopt;
    return Position{p["line"].toInt(), p["character"].toInt()};
}

// The text of a full-sync change: the last change holds the whole document.
std::optional<QString> ChangedText(const QJsonObject& params) {
    const QJsonArray changes = params.value("contentChanges").toArray();
    if (changes.isEmpty() || !changes.last()["text"].isString())
        return std::nullopt;
    return changes.last()["text"].toString();
}

}  // namespace

QList<QJsonObject> LanguageServer::Handle(const Incoming& in) {
    switch (in.kind) {
        case Incoming::Kind::BadHeader:
            return {Error(QJsonValue::Null, error::kParseError,
                          msg::QText(msg::Id::LspBadHeader, {in.detail}))};
        case Incoming::Kind::TooLarge:
            return {
                Error(QJsonValue::Null, error::kInvalidRequest,
                      msg::QText(msg::Id::LspMessageTooLarge,
                                 {QString::number(in.length), QString::number(kMaxMessageBytes)}))};
        case Incoming::Kind::Message:
            break;
    }
    QJsonParseError fault{};
    const QJsonDocument doc = QJsonDocument::fromJson(in.body, &fault);
    if (fault.error != QJsonParseError::NoError)
        return {Error(QJsonValue::Null, error::kParseError, msg::QText(msg::Id::LspParseError))};
    if (!doc.isObject())
        return {Error(QJsonValue::Null, error::kInvalidRequest,
                      msg::QText(msg::Id::LspInvalidRequest))};
    return HandleMessage(doc.object());
}

QList<QJsonObject> LanguageServer::HandleMessage(const QJsonObject& message) {
    const QJsonValue id = message.value("id");
    const bool isRequest = message.contains("id");
    const QJsonValue method = message.value("method");
    if (isRequest && !id.isDouble() && !id.isString())
        return {Error(QJsonValue::Null, error::kInvalidRequest,
                      msg::QText(msg::Id::LspInvalidRequest))};
    if (!method.isString()) {
        // An answer to a request of ours; we send none, so there is nothing to match.
        if (isRequest && (message.contains("result") || message.contains("error")))
            return {};
        return {Error(isRequest ? id : QJsonValue::Null, error::kInvalidRequest,
                      msg::QText(msg::Id::LspInvalidRequest))};
    }
    const QJsonValue params = message.value("params");
    if (!params.isUndefined() && !params.isObject() && !params.isArray() && !params.isNull()) {
        if (isRequest)
            return {Error(id, error::kInvalidParams, msg::QText(msg::Id::LspInvalidParams))};
        return {};
    }
    if (isRequest)
        return {Request(id, method.toString(), params.toObject())};
    return Notification(method.toString(), params.toObject());
}

QJsonObject LanguageServer::Request(const QJsonValue& id, const QString& method,
                                    const QJsonObject& params) {
    if (method == u"initialize") {
        initialized_ = true;
        return Result(id, QJsonObject{{"capabilities", Capabilities()},
                                      {"serverInfo", QJsonObject{{"name", "tarvex"}}}});
    }
    if (!initialized_)
        return Error(id, error::kServerNotInitialized, msg::QText(msg::Id::LspNotInitialized));
    if (shutdown_)
        return Error(id, error::kInvalidRequest, msg::QText(msg::Id::LspInvalidRequest));
    if (method == u"shutdown") {
        shutdown_ = true;
        return Result(id, QJsonValue::Null);
    }
    if (method.startsWith(u"textDocument/"))
        return DocumentRequest(id, method, params);
    return Error(id, error::kMethodNotFound, msg::QText(msg::Id::LspMethodNotFound, {method}));
}

QJsonObject LanguageServer::DocumentRequest(const QJsonValue& id, const QString& method,
                                            const QJsonObject& params) {
    const QString uri = params.value("textDocument")["uri"].toString();
    const std::optional<Position> at = ReadPosition(params);
    const bool needsPosition = method != u"textDocument/documentSymbol";
    const bool known = method == u"textDocument/hover" || method == u"textDocument/completion" ||
                       method == u"textDocument/definition" ||
                       method == u"textDocument/references" || !needsPosition;
    if (!known)
        return Error(id, error::kMethodNotFound, msg::QText(msg::Id::LspMethodNotFound, {method}));
    if (uri.isEmpty() || (needsPosition && !at))
        return Error(id, error::kInvalidParams, msg::QText(msg::Id::LspInvalidParams));
    const auto found = documents_.find(uri);
    if (found == documents_.end())
        return Result(id, QJsonValue::Null);
    const ProgramDocument& doc = found->second;
    if (method == u"textDocument/hover") {
        const auto hover = doc.Hover(*at);
        return Result(id, hover ? QJsonValue(*hover) : QJsonValue(QJsonValue::Null));
    }
    if (method == u"textDocument/completion")
        return Result(id, doc.Completion());
    if (method == u"textDocument/definition")
        return Result(id, doc.Definition(uri, *at));
    if (method == u"textDocument/references") {
        const bool withDefinition = params.value("context")["includeDeclaration"].toBool();
        return Result(id, doc.References(uri, *at, withDefinition));
    }
    return Result(id, doc.Symbols());
}

QList<QJsonObject> LanguageServer::Notification(const QString& method, const QJsonObject& params) {
    if (method == u"exit") {
        exited_ = true;
        return {};
    }
    // Before initialize and after shutdown notifications are dropped, as the protocol says.
    if (!initialized_ || shutdown_)
        return {};
    const QJsonObject document = params.value("textDocument").toObject();
    const QString uri = document.value("uri").toString();
    if (method == u"textDocument/didOpen" && !uri.isEmpty() && document["text"].isString()) {
        documents_.insert_or_assign(uri, ProgramDocument(document["text"].toString()));
        return Publish(uri, document.value("version"));
    }
    if (method == u"textDocument/didChange" && documents_.count(uri) != 0) {
        if (const auto text = ChangedText(params)) {
            documents_.insert_or_assign(uri, ProgramDocument(*text));
            return Publish(uri, document.value("version"));
        }
    }
    if (method == u"textDocument/didClose" && documents_.erase(uri) != 0)
        return {Notify("textDocument/publishDiagnostics",
                       QJsonObject{{"uri", uri}, {"diagnostics", QJsonArray{}}})};
    return {};
}

QList<QJsonObject> LanguageServer::Publish(const QString& uri, const QJsonValue& version) {
    QJsonObject params{{"uri", uri}, {"diagnostics", documents_.at(uri).Diagnostics()}};
    if (version.isDouble())
        params["version"] = version;
    return {Notify("textDocument/publishDiagnostics", params)};
}

}  // namespace lsp

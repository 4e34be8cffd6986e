#include "compiler/CompileMessages.h"

#include <string>
#include <utility>

#include "common/Messages.h"

#include "compiler/EncodeLine.h"

namespace compiler {
namespace {

// Messages for the line fault codes that have one; every other code is an unknown error.
msg::Id LineFaultMessage(int code) {
    constexpr std::pair<int, msg::Id> kMessages[] = {
        {result::kUnknownMnemonic, msg::Id::CompileUnknownMnemonic},
        {result::TypeFault(1), msg::Id::CompileType1},
        {result::TypeFault(2), msg::Id::CompileType2},
        {result::TypeFault(3), msg::Id::CompileType3},
        {result::RangeFault(1), msg::Id::CompileRange1},
        {result::RangeFault(2), msg::Id::CompileRange2},
        {result::RangeFault(3), msg::Id::CompileRange3},
        {result::kMissingOperand, msg::Id::CompileMissingOperand},
        {result::kTooManyOperands, msg::Id::CompileTooManyOperands},
    };
    for (const auto& [fault, message] : kMessages) {
        if (fault == code)
            return message;
    }
    return msg::Id::UnknownError;
}

}  // namespace

std::string CompileMessage(const CompileResult& r, std::string_view targetPath) {
    switch (r.outcome) {
        case CompileOutcome::CannotCreate:
            return msg::Text(msg::Id::CannotCreateFile, {targetPath});
        case CompileOutcome::WriteFailed:
            return msg::Text(msg::Id::CannotWriteFile, {targetPath});
        case CompileOutcome::Compiled:
            return msg::Text(msg::Id::CompileSucceeded, {targetPath});
        case CompileOutcome::MissingEnd:
            return msg::Text(msg::Id::CompileMissingEnd);
        case CompileOutcome::TooManyLines:
            return msg::Text(msg::Id::CompileTooManyLines,
                             {std::to_string(r.codeLine), std::to_string(kMaxCodeLines)});
        case CompileOutcome::LineFault:
            return msg::Text(LineFaultMessage(r.resultCode), {std::to_string(r.codeLine)});
    }
    return msg::Text(msg::Id::UnknownError);
}

}  // namespace compiler

#include "compiler/CompileMessages.h"

#include <string>

#include "common/Messages.h"

#include "compiler/EncodeLine.h"

namespace compiler {
namespace {

// Messages for the line fault codes that have one; every other code is an unknown error.
msg::Id LineFaultMessage(int code) {
    switch (code) {
        case result::kUnknownMnemonic:
            return msg::Id::CompileUnknownMnemonic;
        case result::TypeFault(1):
            return msg::Id::CompileType1;
        case result::TypeFault(2):
            return msg::Id::CompileType2;
        case result::TypeFault(3):
            return msg::Id::CompileType3;
        case result::RangeFault(1):
            return msg::Id::CompileRange1;
        case result::RangeFault(2):
            return msg::Id::CompileRange2;
        case result::RangeFault(3):
            return msg::Id::CompileRange3;
        case result::kMissingOperand:
            return msg::Id::CompileMissingOperand;
        case result::kTooManyOperands:
            return msg::Id::CompileTooManyOperands;
        default:
            return msg::Id::UnknownError;
    }
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

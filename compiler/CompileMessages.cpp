#include "compiler/CompileMessages.h"

#include <string>

#include "compiler/EncodeLine.h"

namespace compiler {
namespace {

std::string Fill(std::string_view pattern, std::string_view placeholder, std::string_view value) {
    std::string text(pattern);
    const std::size_t at = text.find(placeholder);
    if (at != std::string::npos)
        text.replace(at, placeholder.size(), value);
    return text;
}

// Messages for the line fault codes that have one; every other code is an unknown error.
std::string_view LineFaultPattern(int code) {
    switch (code) {
        case result::kUnknownMnemonic:
            return "第 %d 行程序命令错误！";
        case result::TypeFault(1):
            return "第 %d 行程序第一参数类型错误！";
        case result::TypeFault(2):
            return "第 %d 行程序第二参数类型错误！";
        case result::TypeFault(3):
            return "第 %d 行程序第三参数类型错误！";
        case result::RangeFault(1):
            return "第 %d 行程序第一参数范围超限！";
        case result::RangeFault(2):
            return "第 %d 行程序第二参数范围超限！";
        case result::RangeFault(3):
            return "第 %d 行程序第三参数范围超限！";
        case result::kMissingOperand:
            return "第 %d 行程序缺少参数！";
        case result::kTooManyOperands:
            return "第 %d 行程序多参数！";
        default:
            return {};
    }
}

}  // namespace

std::string CompileMessage(const CompileResult& r, std::string_view targetPath) {
    switch (r.outcome) {
        case CompileOutcome::CannotCreate:
            return Fill("不能生成文件： %s ！", "%s", targetPath);
        case CompileOutcome::WriteFailed:
            return Fill("不能写入文件： %s ！", "%s", targetPath);
        case CompileOutcome::Compiled:
            return Fill("编译成功！目标文件：%s !", "%s", targetPath);
        case CompileOutcome::MissingEnd:
            return "警告：程序缺少“End”！";
        case CompileOutcome::TooManyLines:
            return "第 " + std::to_string(r.codeLine) + " 行程序超出程序容量（最多 " +
                   std::to_string(kMaxCodeLines) + " 行）！";
        case CompileOutcome::LineFault: {
            const std::string_view pattern = LineFaultPattern(r.resultCode);
            if (pattern.empty())
                return "未知错误！";
            return Fill(pattern, "%d", std::to_string(r.codeLine));
        }
    }
    return "未知错误！";
}

}  // namespace compiler

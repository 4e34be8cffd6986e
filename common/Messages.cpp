#include "common/Messages.h"

#include <array>
#include <cstddef>

namespace msg {
namespace {

struct Entry {
    Id id;
    const char* text;
};

// In the order of `Id`; the static_assert below keeps the two in step.
constexpr Entry kTable[] = {
    {Id::CannotCreateFile, "不能生成文件： %1 ！"},
    {Id::CannotWriteFile, "不能写入文件： %1 ！"},
    {Id::CannotOpenFile, "不能打开文件:%1 !"},
    {Id::CannotReadFile, "不能读取文件： %1 ！"},
    {Id::FileNotFound, "没有找到 %1。"},
    {Id::FileBadPath, "%1 中包含无效的路径。"},
    {Id::FileTooManyOpen, "无法打开 %1 因为太多文件已被打开。"},
    {Id::FileAccessDenied, "对 %1 的存取被拒绝。"},
    {Id::FileBadHandle, "一个无效的文件柄与 %1 相关联。"},
    {Id::FileSeekFailed, "对 %1 进行查找失败。"},
    {Id::FileHardwareError, "在存取 %1 时一个硬件输入/输出错误被报告。"},
    {Id::FileSharingViolation, "在存取 %1 时发生共享违例。"},
    {Id::FileLockViolation, "在存取 %1 时发生锁违例。"},
    {Id::FileDiskFull, "在存取 %1 时磁盘已满。"},
    {Id::FileGenericError, "在对 %1 进行访问时发生了一个不明错误。"},
    // Safe write (program files)
    {Id::ProgramTooLarge, "该文件太大，无法打开。"},
    {Id::ProgramUnexpectedFormat, "非预期的文件格式。"},
    {Id::ProgramOpenFailed, "打开文档失败。"},

    {Id::CompileSucceeded, "编译成功！目标文件：%1 !"},
    {Id::CompileMissingEnd, "警告：程序缺少“End”！"},
    {Id::CompileTooManyLines, "第 %1 行程序超出程序容量（最多 %2 行）！"},
    {Id::CompileUnknownMnemonic, "第 %1 行程序命令错误！"},
    {Id::CompileType1, "第 %1 行程序第一参数类型错误！"},
    {Id::CompileType2, "第 %1 行程序第二参数类型错误！"},
    {Id::CompileType3, "第 %1 行程序第三参数类型错误！"},
    {Id::CompileRange1, "第 %1 行程序第一参数范围超限！"},
    {Id::CompileRange2, "第 %1 行程序第二参数范围超限！"},
    {Id::CompileRange3, "第 %1 行程序第三参数范围超限！"},
    {Id::CompileMissingOperand, "第 %1 行程序缺少参数！"},
    {Id::CompileTooManyOperands, "第 %1 行程序多参数！"},
    {Id::UnknownError, "未知错误！"},
    {Id::DisasmUnknownInstruction, "no instruction has this group and code"},
    {Id::DisasmReservedBytesSet, "bytes 2 and 3 are not zero"},
    {Id::DisasmExtraOperand, "operand %1 is set but the instruction has no such operand"},
    {Id::DisasmOperandNotText, "operand %1 cannot be written as program text"},
    {Id::DisasmNoHeader, "not an object program: the header \"%1\" is missing"},
    {Id::DisasmPartialRecord, "the file ends inside a record (%1 bytes left over)"},
    {Id::DisasmTooManyRecords, "more than %1 records"},
    {Id::DisasmRecordFault, "record %1: %2"},
    {Id::DisasmRecordsAfterEnd, "record %1: END is followed by further records"},

    {Id::PortOpenFailed, "串口 %1 打开失败"},
    {Id::HandshakeFailed, "控制器连接：失败！"},
    {Id::NoAnswer, "控制器无应答！"},
    {Id::FileFormatError, "文件格式错误！"},
    {Id::ScreenNumberOutOfRange, "液晶画面序号超限！"},
    {Id::RegisterNumberOutOfRange, "参数序号超限！"},

    {Id::DesktopPrintAction, "打印"},

    {Id::EmulatorStoredProgram, "program: program %1, %2 records"},
    {Id::EmulatorStoredParameters, "parameters: parameter page %1, %2 registers"},
    {Id::EmulatorStoredScreen, "screen: screen kind %1 number %2, %3 bytes"},
    {Id::EmulatorCannotStore, "tarvex emulate: cannot write into %1"},
    {Id::EmulatorNoPty, "cannot create a pseudo-terminal: %1"},
    {Id::EmulatorNoPipe, "cannot create a pipe: %1"},
};

constexpr bool InIdOrder() {
    if (std::size(kTable) != static_cast<std::size_t>(Id::Count))
        return false;
    for (std::size_t i = 0; i < std::size(kTable); ++i) {
        if (static_cast<std::size_t>(kTable[i].id) != i)
            return false;
    }
    return true;
}
static_assert(InIdOrder(), "the message table must list every id once, in the order of msg::Id");

}  // namespace

std::string_view Source(Id id) {
    const auto index = static_cast<std::size_t>(id);
    return index < std::size(kTable) ? kTable[index].text : std::string_view();
}

std::string Fill(std::string_view pattern, std::span<const std::string_view> args) {
    std::string text;
    text.reserve(pattern.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
            const auto n = static_cast<std::size_t>(pattern[i + 1] - '1');
            if (n < args.size()) {
                text += args[n];
                ++i;
                continue;
            }
        }
        text += c;
    }
    return text;
}

std::string Text(Id id, std::initializer_list<std::string_view> args) {
    return Fill(Source(id), std::span<const std::string_view>(args.begin(), args.size()));
}

}  // namespace msg

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

    {Id::PortOpenFailed, "串口 %1 打开失败"},
    {Id::HandshakeFailed, "控制器连接：失败！"},
    {Id::NoAnswer, "控制器无应答！"},
    {Id::FileFormatError, "文件格式错误！"},
    {Id::ScreenNumberOutOfRange, "液晶画面序号超限！"},
    {Id::RegisterNumberOutOfRange, "参数序号超限！"},

    // commands: menus, toolbar, status bar, window title
    {Id::MenuFile, "文件(&F)"},
    {Id::MenuEdit, "编辑(&E)"},
    {Id::MenuTools, "工具(&T)"},
    {Id::MenuLink, "控制器会话(&L)"},
    {Id::MenuView, "查看(&V)"},
    {Id::MenuHelp, "帮助(&H)"},
    {Id::CommandNew, "新建(&N)\tCtrl+N"},
    {Id::CommandNewTip, "建立新文档"},
    {Id::CommandOpen, "打开(&O)...\tCtrl+O"},
    {Id::CommandOpenTip, "打开一个现有文档"},
    {Id::CommandSave, "保存(&S)\tCtrl+S"},
    {Id::CommandSaveTip, "保存活动文档"},
    {Id::CommandSaveAs, "另存为(&A)..."},
    {Id::CommandSaveAsTip, "将活动文档以一个新文件名保存"},
    {Id::CommandLoadCut, "载入(L)..."},
    {Id::CommandLoadCutTip, "载入*.cut文件"},
    {Id::CommandPrint, "打印(&P)...\tCtrl+P"},
    {Id::CommandPrintTip, "打印活动文档"},
    {Id::CommandPrintPreview, "打印预览(&V)"},
    {Id::CommandPrintPreviewTip, "显示整页"},
    {Id::CommandPrintSetup, "打印设置(&R)..."},
    {Id::CommandPrintSetupTip, "改变打印机及打印选项"},
    {Id::CommandRecentNone, "最近文件"},
    {Id::CommandRecentTip, "打开该文档"},
    {Id::CommandExit, "退出(&X)"},
    {Id::CommandExitTip, "退出应用程序；提示保存文档"},
    {Id::CommandUndo, "撤消(&U)\tCtrl+Z"},
    {Id::CommandUndoTip, "撤消最后一步操作"},
    {Id::CommandCut, "剪切(&T)\tCtrl+X"},
    {Id::CommandCutTip, "剪切被选对象并将其置于剪贴板上"},
    {Id::CommandCopy, "复制(&C)\tCtrl+C"},
    {Id::CommandCopyTip, "复制被选对象并将其置于剪贴板上"},
    {Id::CommandPaste, "粘贴(&P)\tCtrl+V"},
    {Id::CommandPasteTip, "插入剪贴板内容"},
    {Id::CommandCompile, "程序编译\tF8"},
    {Id::CommandRegisters, "寄存器设置"},
    {Id::CommandSerial, "串口设置"},
    {Id::CommandConnect, "连接控制器"},
    {Id::CommandDownloadProgram, "下载程序"},
    {Id::CommandDownloadParams, "下载参数"},
    {Id::CommandDownloadScreen, "下载液晶画面"},
    {Id::CommandDisconnect, "断开连接"},
    {Id::CommandToolbar, "工具栏(&T)"},
    {Id::CommandToolbarTip, "显示或隐藏工具栏"},
    {Id::CommandStatusBar, "状态栏(&S)"},
    {Id::CommandStatusBarTip, "显示或隐藏状态栏"},
    {Id::CommandInfoWindow, "信息窗口"},
    {Id::CommandAbout, "关于 Tarvex620B..."},
    {Id::CommandAboutTip, "显示程序信息，版本号和版权"},
    {Id::ToolbarTitle, "标准"},
    {Id::ButtonNew, "新建"},
    {Id::ButtonOpen, "打开"},
    {Id::ButtonSave, "保存"},
    {Id::ButtonCut, "剪切"},
    {Id::ButtonCopy, "复制"},
    {Id::ButtonPaste, "粘贴"},
    {Id::ButtonPrint, "打印"},
    {Id::ButtonAbout, "关于"},
    {Id::StatusReady, "就绪"},
    {Id::StatusLine, "行号： %1"},
    {Id::StatusCaps, "大写"},
    {Id::StatusNum, "数字"},
    {Id::StatusScroll, "滚动"},
    {Id::WindowTitle, "%1 - Tarvex620B-KF"},
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

#include "common/Messages.h"

#include <array>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

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
    {Id::OutputIsInput, "输出文件与输入文件相同：%1"},
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
    {Id::ScreenIdentifierError, "文件格式错误: Identifier ERR!!!"},
    {Id::ScreenFileSizeError, "文件格式错误: File Size ERR!!!"},
    {Id::ScreenWidthError, "文件格式错误: Width ERR!!!"},
    {Id::ScreenHeightError, "文件格式错误: Height ERR!!!"},
    {Id::ScreenDataSizeError, "文件格式错误: Bitmap Data Size ERR!!"},
    {Id::ScreenBitsError, "文件格式错误: Bits Per Pixel ERR!!"},
    {Id::SuspectAnswers, "传输中收到 %1 个异常应答，控制器中的数据可能不完整，请重新下载并核对。"},
    {Id::ProgramWithoutEnd, "目标程序不以 END 结束，可能是编译失败留下的文件。"},
    {Id::ProgramWithoutEndQuestion, "%1仍要下载吗？"},
    {Id::ProgressStop, "停止"},
    {Id::ProgressDetail, "%1 / %2 帧（%3%），已用 %4，剩余约 %5"},
    // issue 13: fast transfer and background compile
    {Id::SerialFastTransfer, "快速传输"},
    {Id::CompileRunning, "正在编译，请稍候……"},
    {Id::LinkStateDisconnected, "未连接"},
    {Id::LinkStateConnecting, "正在连接…"},
    {Id::LinkStateConnected, "已连接"},
    {Id::LinkStatusPane, "%1  %2  %3"},
    // issue 12: lost line and explained failures
    {Id::LineLost, "串口已断开！"},
    {Id::LinkReconnectOffer, "串口已恢复，点击重新连接"},
    {Id::OpenFailedPermission,
     "%1\n原因：没有使用 %2 的权限，该设备属于 %3 组。\n处理：执行 sudo usermod -aG %3 "
     "$USER，然后注销并重新登录。"},
    {Id::OpenFailedPermissionNoGroup,
     "%1\n原因：没有使用 %2 的权限。\n处理：把当前用户加入该设备所属的组，然后注销并重新登录。"},
    {Id::OpenFailedBusy,
     "%1\n原因：%2 正被其他程序占用。\n处理：关闭占用该串口的程序（串口终端、ModemManager "
     "等）后重试。"},
    {Id::OpenFailedNotFound,
     "%1\n原因：找不到 %2。\n处理：检查串口名称和连接线，或在串口设置中重新选择串口。"},
    {Id::AbandonExplained,
     "%1\n收到应答 %2 个，重发请求 %3 次，超时重发 %4 次，不符合协议的字节 %5 "
     "个。\n%6\n可能的原因：%7"},
    {Id::AbandonSilentFor, "最后一个字节之后已 %1 秒无数据。"},
    {Id::AbandonNeverAnswered, "从未收到控制器的任何字节。"},
    {Id::CauseManyResends, "重发请求很多，请检查电缆和波特率。"},
    {Id::CauseNoByte, "没有收到任何字节，串口或波特率不对，或控制器未上电。"},
    {Id::CauseUnmatchedBytes, "收到不符合协议的字节，请检查波特率。"},
    {Id::CauseStoppedAnswering, "控制器中途停止应答，请检查电缆和控制器电源。"},

    // issue 12: wire monitor and replay
    {Id::WireMonitorTitle, "串口监视"},
    {Id::WireMonitorMenu, "串口监视(&W)"},
    {Id::WireMonitorMenuTip, "显示串口上收发的每个字节及其含义"},
    {Id::WireMonitorSave, "保存(&S)..."},
    {Id::WireMonitorClear, "清除(&C)"},
    {Id::WireMonitorSaveTitle, "保存串口记录"},
    {Id::WireMonitorFilter,
     "串口记录 (*.txt)|*.txt|Wireshark 抓包 (*.pcap)|*.pcap|表格 CSV (*.csv)|*.csv|所有文件 "
     "(*.*)|*.*||"},
    {Id::WireMonitorDefaultName, "串口记录.txt"},
    {Id::WireMonitorCount, "共 %1 行，最多保留 %2 行"},
    {Id::EmulatorTraceUnreadable, "tarvex emulate: cannot read the trace %1"},
    {Id::EmulatorTraceBadLine, "tarvex emulate: %1 line %2 is no trace line"},
    {Id::EmulatorReplayed, "tarvex emulate: replayed %1 of %2 writes, %3 unlike the trace"},

    {Id::DesktopPrintAction, "打印"},

    {Id::EmulatorStoredProgram, "program: program %1, %2 records"},
    {Id::EmulatorStoredParameters, "parameters: parameter page %1, %2 registers"},
    {Id::EmulatorStoredScreen, "screen: screen kind %1 number %2, %3 bytes"},
    {Id::EmulatorCannotStore, "tarvex emulate: cannot write into %1"},
    {Id::EmulatorNoPty, "cannot create a pseudo-terminal: %1"},
    {Id::EmulatorNoPipe, "cannot create a pipe: %1"},
    {Id::EmulatorNoPtyHere,
     "tarvex emulate: the virtual controller serves on a pseudo-terminal, which Windows does not "
     "have; run it on Linux"},
    {Id::EmulatorStoreNotFolder, "--store needs an existing writable folder, not %1"},
    {Id::EmulatorRefusedNoHeader, "tarvex emulate: refused data frames that had no header"},
    {Id::EmulatorRefusedPartialRecord,
     "tarvex emulate: refused a program whose data ends inside a record"},

    // layouts: the eleven dialogs
    {Id::DialogBrowse, "浏览"},
    {Id::DialogCancel, "取消"},
    {Id::DialogStartDownload, "开始下载"},
    {Id::CompileCaption, "程序编译"},
    {Id::CompileTargetGroup, "选择目标文件存放路径"},
    {Id::CompileButton, "程序编译"},
    {Id::CompileObjectFilter, "Text Files(*.kxo)|*.kxo|All Files(*.*)|*.*||"},
    {Id::SerialCaption, "串行口参数设置"},
    {Id::SerialGroup, "通讯参数设置"},
    {Id::SerialPortLabel, "选择串口"},
    {Id::SerialBaudLabel, "波特率"},
    {Id::SerialConfirm, "确认"},
    {Id::ProgramDownloadCaption, "下载程序"},
    {Id::ProgramDownloadFileGroup, "选择要下载的程序文件"},
    {Id::ProgramDownloadNumberLabel, "至控制器程序序号:"},
    {Id::ProgramDownloadFilter, "KXCON Files(*.kxo)|*.kxo|All Files(*.*)|*.*||"},
    {Id::ParameterDownloadCaption, "下载参数"},
    {Id::ParameterDownloadFileGroup, "选择要下载的参数文件"},
    {Id::ParameterDownloadNumberLabel, "至控制器参数页面:"},
    {Id::ParameterDownloadFilter, "KXCON Files(*.dat)|*.dat|All Files(*.*)|*.*||"},
    {Id::ScreenDownloadCaption, "下载液晶画面"},
    {Id::ScreenDownloadFileGroup, "选择要下载的画面文件"},
    {Id::ScreenKindGroup, "画面类型选择"},
    {Id::ScreenKindStartup, "开机画面"},
    {Id::ScreenKindParameter, "参数画面"},
    {Id::ScreenKindStatus, "状态画面"},
    {Id::ScreenNumberLabel, "至控制器画面序号:"},
    {Id::ScreenRegistersGroup, "参数画面对应寄存器"},
    {Id::ScreenRegisterLabel, "NO%1:   S-"},
    {Id::ScreenBitmapFilter, "位图文件(*.bmp)|*.bmp|数据文件(*.dat)|*.dat|所有文件(*.*)|*.*||"},
    {Id::ProgressCaption, "消息窗口"},
    {Id::RegistersCaption, "寄存器设置"},
    {Id::RegistersEquals, "="},
    {Id::RegistersPathGroup, "文件保存路径"},
    {Id::RegistersSave, "数据保存"},
    {Id::RegistersClose, "关闭"},
    {Id::RegistersFilter, "KXCON Files(*.dat)|*.dat||"},
    {Id::RegistersChooseFileFirst, "请先选择文件保存路径！"},
    {Id::RegistersNotRegisterFile, "文件格式不正确！请确认你选择的是RVL412E寄存器文件。"},
    {Id::RegistersPageOutOfRange, "寄存器号超出范围！请键入S0000到S4095之间的寄存器号。"},
    {Id::FieldTooLong, "“请填入不多于%1个的字符。”"},
    {Id::CharactersCaption, "显示字符设置"},
    {Id::CharactersPathGroup, "显示字符文件保存路径"},
    {Id::CharactersEntryGroup, "位置%1"},
    {Id::CharactersStore, "数据更新"},
    {Id::CharactersSave, "文件保存"},
    {Id::CharactersFilter, "KXCON Files(*.kxm)|*.kxm||"},
    {Id::CharactersSaved, "生成字符资源文件： %1 ！"},
    {Id::LoadCutCaption, "载入文件"},
    {Id::LoadCutLoad, "载入/转换"},
    {Id::LoadCutFileGroup, "选择要载入的目标文件"},
    {Id::LoadCutCoefficientLabel, "脉冲系数:"},
    {Id::LoadCutCoefficientUnit, "脉冲/毫米"},
    {Id::LoadCutFilter, "CAXA文件 Files(*.cut)|*.cut|All Files(*.*)|*.*||"},
    {Id::EnterANumber, "请键入一个数。"},
    {Id::NumberOutOfRange, "“请填入一个在%1和%2之间的数字。”"},
    {Id::InformationCaption, "信息窗口"},
    {Id::AboutCaption, "关于 Tarvex620B"},
    {Id::AboutVersion, "Tarvex620B 2.0 版"},
    {Id::AboutGreeting, "感谢您选用 QF620B 步进与伺服电机控制器。祝您使用愉快！"},
    {Id::AboutOk, "确定"},

    // issue 14: registers
    {Id::RegistersUnsaved, "寄存器数据已修改，是否保存？"},
    {Id::RegistersSavedNote, "寄存器S%1到S%2已保存到 %3。"},
    {Id::RegistersTableCommand, "寄存器总表"},
    {Id::RegistersTableCommandTip, "在一个表中查看、查找、比较和修改全部4096个寄存器"},
    {Id::RegistersTableCaption, "寄存器总表"},
    {Id::RegistersTableNumber, "寄存器"},
    {Id::RegistersTableValue, "数值"},
    {Id::RegistersTableOther, "对比值"},
    {Id::RegistersTableCompare, "对比文件"},
    {Id::RegistersTableCompared, "对比 %1：%2 个寄存器数值不同。"},
    {Id::RegistersTableFind, "查找："},
    {Id::RegistersTableFindHint, "寄存器号或数值"},
    {Id::RegistersTableFindNext, "查找下一个"},
    {Id::RegistersTableNotFound, "没有找到“%1”。"},
    {Id::RegistersTableImport, "导入CSV"},
    {Id::RegistersTableExport, "导出CSV"},
    {Id::RegistersTableImported, "已从 %1 导入 %2 个寄存器，尚未保存。"},
    {Id::RegistersTableExported, "全部寄存器已导出到 %1。"},
    {Id::RegistersTableSavedNote, "寄存器数据已保存到 %1。"},
    {Id::RegistersCsvFilter, "CSV Files(*.csv)|*.csv||"},
    {Id::RegistersCsvRefused, "%1 未导入，寄存器文件没有改动：\n%2"},
    {Id::RegistersCsvBadNumber, "第%1行：寄存器号“%2”不正确，应为S0000到S4095。"},
    {Id::RegistersCsvDuplicate, "第%1行：寄存器%2重复出现。"},
    {Id::RegistersCsvColumns, "第%1行：应为“寄存器号,数值”两列。"},
    {Id::RegistersCsvQuote, "第%1行：引号不成对。"},
    {Id::RegistersCsvTooLong, "第%1行：寄存器%2的数值多于9个字符。"},
    {Id::RegistersCsvLineBreak, "第%1行：寄存器%2的数值含有换行。"},
    // issue 14: picture import
    {Id::PictureImportCaption, "画面转换"},
    {Id::CommandPictureImport, "画面转换(&P)..."},
    {Id::CommandPictureImportTip, "把任意图片转换为 64 × 128 的液晶画面位图"},
    {Id::PictureOpen, "打开图片(&O)..."},
    {Id::PictureSourceGroup, "原图"},
    {Id::PicturePreviewGroup, "液晶画面"},
    {Id::PictureRotateLeft, "向左旋转(&L)"},
    {Id::PictureRotateRight, "向右旋转(&R)"},
    {Id::PictureInvert, "反色(&I)"},
    {Id::PictureThresholdLabel, "阈值(&T)："},
    {Id::PictureDitherLabel, "抖动(&D)："},
    {Id::PictureDitherNone, "无"},
    {Id::PictureDitherOrdered, "有序抖动"},
    {Id::PictureDitherDiffusion, "误差扩散"},
    {Id::PictureFitLabel, "适配(&F)："},
    {Id::PictureFitScale, "拉伸"},
    {Id::PictureFitCrop, "裁剪"},
    {Id::PictureFitPad, "留白"},
    {Id::PictureZoomLabel, "放大(&Z)："},
    {Id::PictureZoomFactor, "%1 倍"},
    {Id::PictureSave, "保存(&S)..."},
    {Id::PictureSaveAndDownload, "保存并下载(&W)..."},
    {Id::PictureClose, "关闭"},
    {Id::PictureFilter,
     "图片文件(*.png;*.bmp;*.jpg;*.jpeg;*.gif;*.pbm;*.pgm;*.ppm)|*.png;*.bmp;*.jpg;*.jpeg;*.gif;*."
     "pbm;*.pgm;*.ppm|所有文件(*.*)|*.*||"},
    {Id::PictureCannotRead, "不能读取图片： %1 ！"},
    {Id::ScreenCheckRefused,
     "%1\n需要 64 × 128、1 位色、1086 字节的 BMP 文件，可用“画面转换”生成。"},
    {Id::ScreenCheckRefusedOffer,
     "%1\n需要 64 × 128、1 位色、1086 字节的 BMP 文件，可用“画面转换”生成。\n"
     "是否用“画面转换”打开这个文件？"},
    {Id::ScreenDownloadPreviewGroup, "发送的画面"},
    {Id::ScreenDownloadImport, "画面转换(&P)..."},

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
    {Id::Unregistered, "系统注册项已被移除并且相应的 INI 文件（假如存在）也被删除。"},
    {Id::NotAllUnregistered, "不是所有的系统注册项（或 INI 文件）都被移除。"},
    {Id::SaveAsTitle, "保存为"},
    {Id::SaveChangesQuestion, "将改动保存到 %1？"},
    {Id::OpenTitle, "打开"},
    {Id::UntitledPdf, "无标题.pdf"},
    {Id::Untitled, "无标题"},
    {Id::ProgramFilter, "Tarvex620B文件 (*.kxc)|*.kxc|所有文件 (*.*)|*.*||"},
    {Id::DefaultObjectName, "程序.kxo"},
    {Id::CommandCompileCurrent, "编译当前程序\tCtrl+F7"},
    {Id::CommandCompileCurrentTip, "把当前程序编译成同名的 .kxo 文件"},
    {Id::CommandCompileAndDownload, "编译并下载\tF5"},
    {Id::CommandCompileAndDownloadTip, "编译当前程序，成功后打开程序下载"},
    {Id::LogSave, "保存(&S)..."},
    {Id::LogClear, "清除(&C)"},
    {Id::LogFilter, "Text Files(*.txt)|*.txt|All Files(*.*)|*.*||"},
    {Id::LogDefaultName, "信息.txt"},
    {Id::LogCompile, "编译 %1：%2（%3 条记录）"},
    {Id::LogCompileNoObject, "编译 %1：%2"},
    {Id::LogDownload, "下载%1 %2：%3，%4 帧，重发请求 %5 次，超时重发 %6 次，用时 %7 秒，%8。"},
    {Id::LogKindProgram, "程序"},
    {Id::LogKindParams, "参数页"},
    {Id::LogKindScreen, "液晶画面"},
    {Id::LogOutcomeFinished, "完成"},
    {Id::LogOutcomeSuspect, "完成，但有异常应答"},
    {Id::LogOutcomeAbandoned, "控制器无应答"},
    {Id::LogOutcomeStopped, "已停止"},
    {Id::LogOutcomeLost, "串口已断开"},

    // Command-line tool: usage, help texts and their faults
    {Id::CliUsage, "usage: tarvex COMMAND [ARGS...]\n\ncommands:\n"},
    {Id::CliHelpSynopsis,
     "help [COMMAND]                        show this text or a command's help"},
    {Id::CliUsageEnd,
     "\nMessages are printed in UTF-8. `tarvex help COMMAND` lists its exit status;\n"
     "any command exits 74 when what it printed could not be written.\n"},
    {Id::CliVersion, "tarvex %1"},
    {Id::CliUnknownCommand, "tarvex: unknown command %1"},
    {Id::CliCannotWriteStdout, "tarvex: cannot write standard output"},
    {Id::CliCommandFault, "tarvex %1: %2"},
    {Id::CliUnknownOption, "unknown option %1"},
    {Id::CliOptionTakesNoValue, "option %1 takes no value"},
    {Id::CliOptionNeedsValue, "option %1 needs a value"},
    {Id::CliCompileSynopsis, "compile PROGRAM.kxc [-o OBJECT.kxo]   compile a program text"},
    {Id::CliCompileHelp,
     "usage: tarvex compile PROGRAM.kxc [-o OBJECT.kxo]\n"
     "\n"
     "Compiles a program text (GBK, CR LF, read unchanged) into an object program.\n"
     "Without -o the object file is PROGRAM with the extension .kxo.\n"
     "Prints the compile dialog's message on stdout; for a refused line also\n"
     "PROGRAM.kxc:LINE: MESSAGE on stderr, LINE being the line in the text file.\n"
     "\n"
     "exit status: 0 compiled, 1 a line was refused (or too many lines),\n"
     "2 no END, 3 object file not created or not written, 4 program unreadable,\n"
     "64 bad command line.\n"},
    {Id::CliCompileExpectsOneProgram, "expected one program file"},
    {Id::CliCompileWouldOverwrite, "%1 already ends in .kxo; name the object with -o"},
    {Id::CliCompileLineFault, "%1:%2: %3"},
    {Id::CliCheckSynopsis,
     "check PROGRAM.kxc [--json|--format=gcc] list every faulty line of a program text"},
    {Id::CliCheckHelp,
     "usage: tarvex check PROGRAM.kxc [--json | --format=gcc]\n"
     "\n"
     "Checks every code line before the first END as the compile does (labels\n"
     "included), without stopping at the first fault, and writes nothing.\n"
     "Prints PROGRAM.kxc:LINE: MESSAGE for each faulty line, LINE being the line in\n"
     "the text file and MESSAGE the compile's message were that line the first\n"
     "fault; then PROGRAM.kxc: followed by the missing-End warning when no END was\n"
     "reached. With --json prints one array of {line, codeLine, code, message}\n"
     "instead, the missing END being the entry with line 0. With --format=gcc\n"
     "prints PROGRAM.kxc:LINE:COLUMN: error: MESSAGE (COLUMN counting characters to\n"
     "the faulty operand, 1 for a fault of the whole line) and\n"
     "PROGRAM.kxc:LINE:1: warning: MESSAGE on the last line for the missing END.\n"
     "\n"
     "exit status: 0 clean, 1 a line is faulty, 2 only END is missing,\n"
     "4 program unreadable, 64 bad command line.\n"},
    {Id::CliCheckExpectsOneProgram, "expected one program file"},
    {Id::CliCheckMissingEnd, "%1: %2"},
    {Id::CliPortsSynopsis,
     "ports [--json]                        list the serial ports with their details"},
    {Id::CliPortsHelp,
     "usage: tarvex ports [--json]\n"
     "\n"
     "Lists every serial port the system reports, and on Linux the /dev/serial/by-id\n"
     "links, one a line: the device, then description, manufacturer, USB vendor:product\n"
     "and serial number where known. With --json prints one array of\n"
     "{path, target, description, manufacturer, vendorId, productId, serialNumber}.\n"
     "A USB adapter can be named in tarvex download as --port usb:VID:PID[:SERIAL].\n"
     "\n"
     "exit status: 0 listed (also when there is none), 64 bad command line.\n"},
    {Id::CliPortsTakesNoFile, "ports takes no file"},
    {Id::CliDisasmSynopsis,
     "disasm OBJECT.kxo                     print an object program as program text"},
    {Id::CliDisasmHelp,
     "usage: tarvex disasm OBJECT.kxo\n"
     "\n"
     "Prints the object program as program text, one line per record, with CR LF line\n"
     "ends as the editor writes them: compiling the output gives the same file byte\n"
     "for byte.\n"
     "\n"
     "exit status: 0 printed, 1 not an object program that program text can express,\n"
     "4 file unreadable, 64 bad command line.\n"},
    {Id::CliDisasmExpectsOneObject, "expected one object file"},
    {Id::CliDisasmRefused, "%1: %2"},
    {Id::CliEmulateSynopsis,
     "emulate [--store DIR] [FAULTS...]     serve a virtual controller on a new pty"},
    {Id::CliEmulateHelp,
     "usage: tarvex emulate [--store DIR] [FAULT OPTIONS]\n"
     "\n"
     "Serves a virtual controller on a new pseudo-terminal until SIGINT or SIGTERM.\n"
     "The first line of output is the device to open (for example /dev/pts/3), at any\n"
     "baud rate; then one line per completed transfer. It answers the handshake 1 with\n"
     "1 and every start, header and data frame with its command byte.\n"
     "\n"
     "  --store DIR            write each completed transfer into DIR: programs as\n"
     "                         program-NNN.kxo, parameter pages as register files\n"
     "                         parameters-page-NNN.dat, screens as PBM pictures\n"
     "                         screen-KIND-NNN.pbm\n"
     "  --replay FILE          answer as the controller in the trace FILE did (written by\n"
     "                         tarvex download --trace or the 串口监视 window)\n"
     "  --silent               never answer\n"
     "  --handshake-first B,.. answer the handshake with these bytes before its 1\n"
     "  --resend-every K       ask for a resend (90) of every K-th header or data frame\n"
     "  --delay MS             answer MS milliseconds late\n"
     "  --stop-after N         go silent after answering N frames\n"
     "  --noise B,..           send these bytes ahead of every answer\n"
     "  --hang-up-after N      close the line after N frames, as a pulled cable would\n"
     "  --line-rate BAUD       hold every byte in and out for its time on a real line\n"
     "                         at BAUD (11 bits a byte), so a pty is as slow as a cable\n"
     "  --units N              a line of N units: after each farewell the line is silent\n"
     "                         for --swap MS (default 300, at least 200), then the next\n"
     "                         unit answers;\n"
     "                         with --store each unit keeps its transfers in\n"
     "                         DIR/unit-NNN; --faulty-unit K gives the fault options\n"
     "                         to the K-th unit only\n"
     "\n"
     "exit status: 0 stopped by a signal, 1 no pseudo-terminal, 64 bad command line.\n"},
    {Id::CliUnexpectedArgument, "unexpected argument %1"},
    {Id::CliNeedsWholeNumber, "%1 needs a whole number, not %2"},
    {Id::CliNeedsBytes, "%1 needs bytes such as 7,200, not %2"},
    {Id::CliRegistersSynopsis,
     "registers new|read|write FILE ...   create, read or write a register file page"},
    {Id::CliRegistersHelp,
     "usage: tarvex registers new FILE\n"
     "       tarvex registers read FILE BASE\n"
     "       tarvex registers write FILE BASE V0 ... V23\n"
     "       tarvex registers diff A.dat B.dat\n"
     "       tarvex registers export FILE.dat FILE.csv\n"
     "       tarvex registers import FILE.dat FILE.csv\n"
     "\n"
     "new creates (or empties) a register file holding only its identification line.\n"
     "read prints the 24 value texts of the page that holds register BASE, one per line.\n"
     "write puts 24 value texts (at most 9 characters each, taken as typed) on that page,\n"
     "completing the file to 4096 registers, as the register settings editor saves.\n"
     "BASE is a register number 0 to 4103, rounded down to its page (0, 24, ... 4080).\n"
     "Values may start with a minus sign; nothing after BASE is read as an option.\n"
     "diff prints \"S0012: 5 -> 7\" for each register whose number differs (exit 1 if any).\n"
     "export writes \"number,value\" and one row per register; import takes such rows\n"
     "(S0012 or 12), checks every value as write does and, if one row is refused, names\n"
     "its line and writes nothing; otherwise the named registers change in one safe write.\n"
     "\n"
     "exit status: 0 done, 1 diff found differences or import refused rows, 3 the file\n"
     "could not be written, 4 the file could not be read or is no register file,\n"
     "64 bad command line.\n"},
    {Id::CliRegistersExpectsAction, "expected new, read or write and a register file"},
    {Id::CliRegistersNewTakesFile, "new takes only the file"},
    {Id::CliRegistersUnknownAction, "unknown action %1"},
    {Id::CliRegistersExpectsBase, "expected a page base"},
    {Id::CliRegistersBadBase, "page base must be a register number from 0 to 4103"},
    {Id::CliRegistersReadTakes, "read takes the file and the page base only"},
    {Id::CliRegistersWriteTakes, "write takes exactly 24 values"},
    {Id::CliRegistersValueTooLong, "“请填入不多于9个的字符。” (%1)"},
    {Id::CliRegistersLineBreak, "a value holds a line break"},
    {Id::CliNotRegisterFile, "文件格式不正确！请确认你选择的是RVL412E寄存器文件。"},
    {Id::CliDownloadSynopsis,
     "download program|params|screen FILE   send a file to the controller (--port)"},
    {Id::CliDownloadHelp,
     "usage: tarvex download program OBJECT.kxo --port DEV [--baud B] [--number N] [--force]\n"
     "       tarvex download params REGISTERS.dat --port DEV [--baud B] [--page P]\n"
     "       tarvex download screen BITMAP.bmp --port DEV [--baud B]\n"
     "               [--kind startup|parameter|status] [--number N] [--registers A,B,C,D]\n"
     "               [--scratch DATA.dat]\n"
     "\n"
     "Checks the file as the download dialog does, connects (handshake 1, answered by 1),\n"
     "runs the transfer with the dialog's timer and resend rules, and says goodbye (136).\n"
     "DEV is a device path from the root (/dev/ttyUSB0), COMn, which names /dev/ttyS(n-1),\n"
     "or usb:VID:PID[:SERIAL] (hex ids), the USB adapter under its present name;\n"
     "B is 4800 (default), 9600 or 19200.\n"
     "--fast sends each next frame as soon as its answer is in instead of on the next\n"
     "tick (the serial settings' 快速传输); resends and giving up still count ticks.\n"
     "--port given more than once sends the file to every port at the same time: one\n"
     "progress line and one summary line per port; the exit status is the highest of them.\n"
     "--trace FILE writes every byte sent and read (time, direction, hex, meaning) into\n"
     "FILE, also when the transfer fails; FILE.1, FILE.2 ... for several ports.\n"
     "Numbers are read as the dialogs read them: program number 001, page 001, screen 0\n"
     "and registers 0 unless given. A screen is converted into the scratch file first\n"
     "(default: dat01.dat in the application data folder).\n"
     "An object program whose last record is not END (what a failed compile may leave)\n"
     "is refused unless --force is given.\n"
     "Messages go to stdout, a progress bar (packets done, total, time left) to stderr.\n"
     "\n"
     "exit status: 0 transfer finished, 1 file or number refused, 3 scratch file not\n"
     "written, 4 file unreadable, 5 port not opened or no handshake, 6 the controller\n"
     "stopped answering, 7 the line was lost (device gone or hung up), 8 finished but\n"
     "answers showed the controller may hold wrong data, 64 bad command line, 130/143\n"
     "stopped by SIGINT/SIGTERM (port left clean).\n"},
    {Id::CliDownloadExpectsKindAndFile, "expected program|params|screen and a file"},
    {Id::CliDownloadUnknownKind, "unknown download %1; expected program, params or screen"},
    {Id::CliDownloadNeedsPort, "--port is required"},
    {Id::CliDownloadBadPort,
     "--port must be COM1 to COM255, a device path such as /dev/ttyUSB0 or\n"
     "usb:VID:PID[:SERIAL], not %1"},
    {Id::CliDownloadBadScreenKind, "--kind must be startup, parameter or status, not %1"},
    {Id::CliDownloadBadRegisters, "--registers needs four numbers A,B,C,D, not %1"},
    {Id::CliDownloadBadBaud, "--baud must be 4800, 9600 or 19200, not %1"},
    {Id::CliProgress, "[%1%2] %3/%4 packets, %5 left"},
    {Id::CliScreenSynopsis,
     "screen BITMAP.bmp [-o DATA.dat]       convert a bitmap to screen data"},
    {Id::CliScreenHelp,
     "usage: tarvex screen BITMAP.bmp [-o DATA.dat]\n"
     "\n"
     "Checks a 64 x 128 one-bit bitmap as the screen download does and writes its 1024\n"
     "bytes of screen data to DATA.dat (default: dat01.dat in the application data\n"
     "folder, the file the screen download sends). Prints the message of a failed check.\n"
     "\n"
     "exit status: 0 converted, 1 the bitmap failed a check, 3 the data file could not be\n"
     "written, 4 the bitmap could not be read, 64 bad command line.\n"},
    {Id::CliScreenExpectsOneBitmap, "expected one bitmap"},
    {Id::CliScreenHelpAll,
     "usage: tarvex screen BITMAP.bmp [-o DATA.dat]\n"
     "       tarvex screen import PICTURE -o SCREEN.bmp [--rotate left|right] [--invert]\n"
     "                     [--threshold N] [--dither none|ordered|fs] [--fit scale|crop|pad]\n"
     "       tarvex screen preview SCREEN.bmp|DATA.dat\n"
     "\n"
     "Checks a 64 x 128 one-bit bitmap as the screen download does and writes its 1024\n"
     "bytes of screen data to DATA.dat (default: dat01.dat in the application data\n"
     "folder, the file the screen download sends). Prints the message of a failed check.\n"
     "\n"
     "import turns any picture (PNG, BMP, JPEG, GIF, PBM...) into the 1086-byte bitmap\n"
     "the screen download takes: turned 90 degrees left or right, fitted to 64 x 128\n"
     "(scale stretches it, crop fills the screen and cuts the rest, pad shows it whole on\n"
     "white; default scale), inverted if asked, and made one-bit: a grey below N (0 to\n"
     "255, default 128) is dark, with ordered or Floyd-Steinberg dithering if asked.\n"
     "preview prints a screen bitmap or screen data file as the display will show it,\n"
     "two rows a line in half blocks.\n"
     "\n"
     "exit status: 0 done, 1 the bitmap failed a check, 3 the output could not be\n"
     "written, 4 the bitmap or picture could not be read, 64 bad command line.\n"},
    {Id::CliScreenImportTakes, "import takes one picture and -o SCREEN.bmp"},
    {Id::CliScreenPreviewTakes, "preview takes one screen bitmap or screen data file"},
    {Id::CliScreenImportOption, "%1 works only with screen import"},
    {Id::CliScreenBadRotate, "--rotate must be left or right, not %1"},
    {Id::CliScreenBadThreshold, "--threshold must be a number from 0 to 255, not %1"},
    {Id::CliScreenBadDither, "--dither must be none, ordered or fs, not %1"},
    {Id::CliScreenBadFit, "--fit must be scale, crop or pad, not %1"},
    // issue 12: several ports at once, traces and their replay
    {Id::CliDownloadPortSummary, "%1: %2 (exit status %3)"},
    {Id::CliTraceNotWritten, "tarvex download: the trace %1 was not written: %2"},
    {Id::CliReplayAlone, "--replay answers as the trace did and takes no other option"},
    {Id::CliDownloadBadNumber, "%1 must be a number from 0 to 9999, not %2"},
    // issue 14: registers diff, export and import
    {Id::CliRegistersDiffTakes, "diff takes two register files"},
    {Id::CliRegistersCsvTakes, "%1 takes the register file and the CSV file"},
    {Id::CliRegistersDiffLine, "%1: %2 -> %3"},
    {Id::CliRegistersCsvUnreadable, "cannot read %1"},
    // Program editor
    {Id::MenuFind, "查找(&F)...\tCtrl+F"},
    {Id::MenuFindTip, "查找指定的文字"},
    {Id::MenuReplace, "替换(&R)...\tCtrl+H"},
    {Id::MenuReplaceTip, "用其它文字替换指定的文字"},
    {Id::MenuFindNext, "查找下一个(&N)\tF3"},
    {Id::MenuFindNextTip, "重复上次的查找"},
    {Id::MenuFindPrevious, "查找上一个(&V)\tShift+F3"},
    {Id::MenuFindPreviousTip, "向前重复上次的查找"},
    {Id::MenuGoToLine, "转到行(&G)...\tCtrl+G"},
    {Id::MenuGoToLineTip, "移到指定的行"},
    {Id::MenuNextProblem, "下一个问题\tF4"},
    {Id::MenuNextProblemTip, "移到下一处错误"},
    {Id::MenuPreviousProblem, "上一个问题\tShift+F4"},
    {Id::MenuPreviousProblemTip, "移到上一处错误"},
    {Id::MenuProblems, "问题列表"},
    {Id::MenuProblemsTip, "显示或隐藏问题列表"},
    {Id::MenuZoomIn, "放大\tCtrl++"},
    {Id::MenuZoomInTip, "放大程序文字"},
    {Id::MenuZoomOut, "缩小\tCtrl+-"},
    {Id::MenuZoomOutTip, "缩小程序文字"},
    {Id::MenuZoomReset, "原始大小\tCtrl+0"},
    {Id::MenuZoomResetTip, "恢复程序文字的原始大小"},
    {Id::ProblemsTitle, "问题"},
    {Id::ProblemsEditorLine, "行"},
    {Id::ProblemsMessage, "问题"},
    {Id::FindCaption, "查找"},
    {Id::ReplaceCaption, "替换"},
    {Id::FindWhat, "查找内容(&N)："},
    {Id::ReplaceWith, "替换为(&P)："},
    {Id::FindMatchCase, "区分大小写(&C)"},
    {Id::FindUp, "向上(&U)"},
    {Id::FindNextButton, "查找下一个(&F)"},
    {Id::ReplaceButton, "替换(&R)"},
    {Id::ReplaceAllButton, "全部替换(&A)"},
    {Id::FindCancel, "取消"},
    {Id::FindNotFound, "找不到“%1”"},
    {Id::ReplacedCount, "已替换 %1 处"},
    {Id::ReplaceBeyondCapacity, "替换后程序将超过容量，没有替换。"},
    {Id::GoToCaption, "转到行"},
    {Id::GoToLabel, "行号(1 - %1)(&L)："},
    {Id::HintNoOperands, "%1：无操作数"},
    {Id::HintOneOperand, "%1：%2"},
    {Id::HintTwoOperands, "%1：%2，%3"},
    {Id::HintThreeOperands, "%1：%2，%3，%4"},
    {Id::HintFourOperands, "%1：%2，%3，%4，%5"},
    {Id::HintFiveOperands, "%1：%2，%3，%4，%5，%6"},
    {Id::HintNumber, "数字 %1–%2"},
    {Id::HintTarget, "目标行 %1–%2"},
    {Id::HintFloat, "小数"},
    {Id::HintSRegister, "寄存器 S%1–S%2"},
    {Id::HintMFRegister, "寄存器 M/F %1–%2"},
    {Id::HintBit, "位 B/I/J/O %1–%2"},
    {Id::HintRegister, "寄存器 M/F/S %1–%2"},
    {Id::HintNumberOrRegister, "数字 %1–%2 或寄存器 M/F/S"},
    {Id::WindowTitleModified, "%1* - Tarvex620B-KF"},
    {Id::ProgramOpenFilter,
     "Tarvex620B文件 (*.kxc)|*.kxc|目标程序 (*.kxo)|*.kxo|所有文件 (*.*)|*.*||"},
    {Id::ObjectNotDisassembled, "%1 不能转为程序文本：%2"},
    // issue 15: two languages
    {Id::MenuLanguage, "语言 / Language"},
    {Id::LanguageSystem, "跟随系统"},
    {Id::LanguageSystemTip, "按系统的区域设置选择界面语言"},
    {Id::LanguageChinese, "中文"},
    {Id::LanguageChineseTip, "界面使用中文"},
    {Id::LanguageEnglish, "English"},
    {Id::LanguageEnglishTip, "界面使用英文"},
    {Id::LanguageAtNextStart, "界面语言将在下次启动时更改。"},
    {Id::LedgerNotWritten, "下载记录未能写入：%1"},
    {Id::FileSizeLimit, "在存取 %1 时文件大小超出限制。"},
    {Id::CsvValueReadsAs, "第%1行：%2 的值“%3”，控制器将读作 %4"},
    {Id::PictureTooLarge, "图片太大： %1 有 %2 字节，最多 %3 字节！"},
    {Id::RegistersCsvNul, "第%1行：含有空字符（NUL）。"},
    {Id::JobBadJson, "%1 第 %2 行：不是有效的 JSON（%3）。"},
    {Id::JobUnreadable, "无法读取作业文件 %1。"},
    {Id::JobFieldMissing, "%1：缺少字段 %2。"},
    {Id::JobFieldBad, "%1：字段 %2 的值 %3 不可用。"},
    {Id::JobUnknownField, "%1：未知字段 %2。"},
    {Id::JobUnknownStep, "%1：%2 不是已知的步骤（program、params 或 screen）。"},
    {Id::JobFormatVersion, "%1：不支持格式版本 %2。"},
    {Id::JobStampRegisterRange, "%1：盖印寄存器 %2 不在 0 到 4095 之间。"},
    {Id::JobStampNoRegisterFile, "%1：盖印寄存器 %2 不在作业的任何寄存器文件中。"},
    {Id::JobCsvBadHeader, "%1 第 %2 行：应为 unit 列和寄存器列（如 unit,S0100）。"},
    {Id::JobCsvBadColumn, "%1 第 %2 行：%3 不是寄存器列。"},
    {Id::JobCsvBadRow, "%1 第 %2 行：单元行与表头不符。"},
    {Id::JobCsvDuplicateUnit, "%1 第 %2 行：单元 %3 重复。"},
    {Id::JobCompileRefused, "%1：%2 第 %3 行：%4"},
    {Id::JobFileBadFormat, "%1：文件 %2 的格式不对。"},
    {Id::JobPathNotRelative, "%1：文件 %2 须相对于作业文件。"},
    {Id::JobInputUnreadable, "%1：无法读取文件 %2。"},
    {Id::JobStateUnusable, "单元编号文件 %1 无法读写。"},
    {Id::JobUnitNotAvailable, "单元 %1 不在 %2 中或已编程。"},
    {Id::JobNoUnitsLeft, "%1 中的单元已全部编程。"},
    {Id::JobCounterTooWide, "单元编号 %1 超过 %2 位。"},
    {Id::JobChanged, "作业文件 %1 在批准后已改动，请重新批准。"},
    {Id::JobNotApproved, "作业文件 %1 尚未批准，请先运行 tarvex job approve。"},
    {Id::JobApproved, "作业文件 %1 已批准：%2 个文件，批准散列 %3。"},
    {Id::JobObjectHash, "%1  %2 的目标程序"},
    {Id::JobCheckPassed, "作业文件 %1 检查通过：%2 个步骤。"},
    {Id::JobWritten, "作业文件 %1 已写好：%2 个步骤。"},
    {Id::JobNotWritten, "无法写入作业文件 %1：%2"},
    {Id::JobUnitPassed, "单元 %1：通过（%2 个步骤）"},
    {Id::JobUnitFailed, "单元 %1：%2，步骤 %3（%4）：%5"},
    {Id::JobTotals, "合计：通过 %1，失败 %2，停止 %3"},
    {Id::JobWaitingForUnit, "等待下一台单元……"},
    {Id::JobWaitingForLeave, "等待单元离开……"},
    {Id::JobLedgerUnwritable, "单元记录文件 %1 无法写入，作业不能开始。"},
    {Id::JobRecordNotWritten, "单元记录未能写入 %1。"},
    {Id::LedgerUnreadable, "无法读取单元记录文件 %1。"},
    {Id::LedgerLineSkipped, "%1 第 %2 行不是完整的单元记录，已跳过。"},
    {Id::LedgerUnitLine, "%1  %2  单元 %3  %4  %5  %6 个步骤"},
    {Id::CliJobSynopsis, "job new|approve|check|run JOB        commission units from a job file"},
    {Id::CliJobHelp,
     "usage: tarvex job new JOB.tvjob --program FILE [--number N]\n"
     "               [--params FILE --page P]... [--screen FILE --kind startup|parameter|status\n"
     "               --screen-number N --registers A,B,C,D]...\n"
     "               [--stamp S0100:START:STEP:DIGITS | --stamp-csv FILE]\n"
     "       tarvex job approve JOB.tvjob\n"
     "       tarvex job check JOB.tvjob\n"
     "       tarvex job run JOB.tvjob --port DEV [--port DEV]... [--unit ID] [--operator NAME]\n"
     "               [--loop [--units N]] [--ledger FILE] [--baud B] [--fast] [--golden]\n"
     "\n"
     "A job (UTF-8 JSON, paths relative to the job file) is an ordered list of steps: a\n"
     "program (.kxo, or .kxc compiled at the start of each run), register files with\n"
     "their parameter page, screens (a 64 x 128 bitmap or any picture); and an optional\n"
     "stamp: per-unit register values written into the copy that is sent, from a counter\n"
     "or from a CSV of unit rows (unit,S0100,...). The register file never changes.\n"
     "new writes a job with the steps in the order given. approve records the SHA-256\n"
     "of every input; check validates every step and prints the hashes; run refuses a\n"
     "job changed since its approval, takes the next unit number (kept in JOB.state,\n"
     "never handed out twice), connects, runs every step as tarvex download does, stops\n"
     "at the first failing step, says goodbye and appends one line per unit to the unit\n"
     "ledger. --loop then waits for the unit to leave and for the next one. --port given\n"
     "more than once runs one loop per port. --golden records the wire traffic of the first\n"
     "passing unit as the golden run (JOB.golden); every later unit is compared with it,\n"
     "stamped bytes left out, and its record says how it differs. A unit cut off is\n"
     "recorded as interrupted at the next run. Exit status as tarvex download.\n"},
    {Id::CliLedgerSynopsis, "ledger                               show the record of every unit"},
    {Id::CliLedgerHelp,
     "usage: tarvex ledger [--unit ID] [--job NAME] [--since DATE] [--failed]\n"
     "                     [--csv|--json] [--ledger FILE]\n"
     "\n"
     "Reads the unit ledger (units.jsonl in the application data folder, or FILE): one\n"
     "line per unit, or CSV, or one JSON object per line. A torn or foreign line is\n"
     "reported with its line number and skipped.\n"},
    {Id::CliJobUnknownAction, "unknown job action %1 (new, approve, check or run)"},
    {Id::CliJobExpectsOneJob, "expected one job file"},
    {Id::CliJobNeedsProgram, "job new needs --program FILE"},
    {Id::CliJobBadStamp, "--stamp must be SREG:START:STEP:DIGITS, such as S0100:1000:1:4, not %1"},
    {Id::CliLedgerTakesNoFile, "ledger takes no file (use --ledger FILE)"},
    {Id::CliLedgerOneFormat, "--csv and --json exclude each other"},
    {Id::CliLedgerBadDate, "--since must be a date such as 2026-12-10 or 2026-12-10T08:00, not %1"},
    {Id::JobOutcomeFailed, "失败"},
    {Id::JobOutcomeStopped, "已停止"},
    {Id::GoldenMatches, "与基准一致"},
    {Id::GoldenExtraResends, "多出 %1 次重发"},
    {Id::GoldenUnexpectedBytes, "多出 %1 个意外字节"},
    {Id::GoldenFrameCount, "帧数不同：基准 %1，本台 %2"},
    {Id::GoldenDifferentPayload, "第 %1 帧内容不同"},
    {Id::GoldenRecorded, "基准记录已写入 %1。"},
    {Id::GoldenUnreadable, "无法读取基准记录 %1。"},
    {Id::LedgerGolden, "  基准：%1"},
    {Id::JobUnitInterrupted, "单元 %1 上次运行被中断，已记为中断。"},
    // other editors, git and Wireshark
    {Id::CliCheckGccError, "%1:%2:%3: error: %4"},
    {Id::CliCheckGccWarning, "%1:%2:1: warning: %3"},
    {Id::CliCheckUnknownFormat, "unknown format %1 (the one format is gcc)"},
    {Id::CliLspSynopsis,
     "lsp                                   language server for other editors (stdin/stdout)"},
    {Id::CliLspHelp,
     "usage: tarvex lsp\n"
     "\n"
     "A language server (LSP 3.17) on standard input and output, for editors such\n"
     "as Neovim, VS Code and Kate: the live check's diagnostics, hovers, completion,\n"
     "labels to go to and the program's labels as symbols. It runs until the editor\n"
     "sends exit or closes its input.\n"
     "\n"
     "exit status: 0 after shutdown and exit, 1 otherwise.\n"},
    {Id::LspLabelHover, "标号 %1：第 %2 代码行"},
    {Id::LspRegisterLetter, "寄存器 %1"},
    {Id::LspBitLetter, "位 %1"},
    {Id::LspParseError, "消息不是有效的 JSON"},
    {Id::LspInvalidRequest, "消息不是有效的请求"},
    {Id::LspMethodNotFound, "不支持的方法：%1"},
    {Id::LspNotInitialized, "服务尚未初始化"},
    {Id::LspInvalidParams, "参数无效"},
    {Id::LspMessageTooLarge, "消息太大：%1 字节，最多 %2 字节"},
    {Id::LspBadHeader, "消息头无效：%1"},
    {Id::CliSyntaxSynopsis,
     "syntax --kate|--vim|--vim-ftdetect     print a syntax definition for another editor"},
    {Id::CliSyntaxHelp,
     "usage: tarvex syntax --kate | --vim | --vim-ftdetect\n"
     "\n"
     "Prints a syntax definition made from the instruction table: --kate the\n"
     "KSyntaxHighlighting XML (Kate, KDevelop; put it in\n"
     "~/.local/share/org.kde.syntax-highlighting/syntax/tarvex.xml), --vim the Vim\n"
     "syntax file (~/.vim/syntax/tarvex.vim), --vim-ftdetect the file-type rule that\n"
     "selects it for .kxc files (~/.vim/ftdetect/tarvex.vim). The package installs\n"
     "all three for every user.\n"
     "\n"
     "exit status: 0 printed, 64 bad command line.\n"},
    {Id::CliSyntaxExpectsOneKind, "expected one of --kate, --vim and --vim-ftdetect"},
    {Id::CliTraceSynopsis,
     "trace export TRACE [--pcap OUT] [--csv OUT]  a trace for Wireshark or a spreadsheet"},
    {Id::CliTraceHelp,
     "usage: tarvex trace export TRACE [--pcap OUT] [--csv OUT]\n"
     "\n"
     "Writes a wire trace (from download --trace or the wire monitor) for other\n"
     "tools; at least one of:\n"
     "  --pcap OUT  a pcap file, one packet per line of the trace, its time kept;\n"
     "              link type USER0 (147), each packet starting with a direction\n"
     "              byte (0 host to controller, 1 controller to host) and the\n"
     "              trace's meaning (1 handshake, 2 start, 3 header, 4 data, 5 end,\n"
     "              6 acknowledge, 7 resend request, 8 farewell, 9 unexpected, 0\n"
     "              none). The package installs a Wireshark dissector for it.\n"
     "  --csv OUT   time_ms, delta_ms, direction, bytes, meaning, latency_ms (for a\n"
     "              handshake, acknowledge or resend request from the controller,\n"
     "              since the unit it answers).\n"
     "\n"
     "exit status: 0 written, 1 a line is no trace line, 3 an output not written,\n"
     "4 trace unreadable, 64 bad command line.\n"},
    {Id::CliTraceExpectsExport, "expected export TRACE and --pcap OUT or --csv OUT"},
    {Id::CliTraceNotATraceLine, "%1:%2: 不是串口记录行"},
    // Controller link: the virtual controller, connect in one step, download outcomes
    {Id::VirtualControllerPort, "虚拟控制器（试用）"},
    {Id::VirtualControllerNoTool, "找不到虚拟控制器程序 %1。"},
    {Id::VirtualControllerNotStarted, "虚拟控制器未能启动：%1"},
    {Id::LinkStateReconnect, "需重新连接"},
    {Id::LinkToggleTip, "连接或断开控制器 (Ctrl+L)"},
    {Id::StatusReconnectNeeded, "控制器需重新连接：F5 或 Ctrl+L"},
    {Id::StatusConnectingForDownload, "正在连接控制器 %1…"},
    {Id::StatusDownloadFinished, "下载完成：%1 %2，%3 帧，%4 秒"},
    {Id::StatusDownloadSuspect, "下载完成但有异常应答：%1 %2，%3 帧，请重新下载并核对"},
    {Id::StatusDownloadFailed, "下载失败：%1"},
    {Id::StatusDownloadStopped, "下载已停止：%1 %2，已发送 %3 帧"},
    {Id::ProgressTitleProgram, "下载程序 %1"},
    {Id::ProgressTitleParams, "下载参数 第 %1 页"},
    {Id::ProgressStalled, "%1 / %2 帧（%3%），已用 %4，等待控制器应答… %5 秒"},
    // Editor aids, file encodings, register comparison and picture download
    {Id::CommandRedo, "重做(&R)\tCtrl+Y"},
    {Id::CommandRedoTip, "重做上一步撤消的操作"},
    {Id::CommandCharacters, "显示字符设置(&D)..."},
    {Id::CommandCharactersTip, "编辑液晶屏的显示字符文件"},
    {Id::ProblemsUndefinedLabel, "（未定义的标签 %1？）"},
    {Id::EncodingUtf8Found, "此文件似乎是 UTF-8 编码。"},
    {Id::EncodingOpenAsUtf8, "按 UTF-8 打开（保存时转为 GBK）"},
    {Id::EncodingKeepAsIs, "保持原样"},
    {Id::CliUtf8Warning, "%1：警告：此文件似乎是 UTF-8 编码，程序按 GBK 读取。"},
    {Id::RegistersNextDifference, "下一个差异"},
    {Id::RegistersPreviousDifference, "上一个差异"},
    {Id::RegistersDifferencePosition, "差异 %1 / %2"},
    {Id::RegistersDifferenceCount, "共 %1 处差异"},
    {Id::PictureDownloadNeedsLink, "连接控制器后才能下载"},
    {Id::EmulatorSwapTooShort, "--swap 至少 %1 毫秒：真实的生产线换件没有这么快。"},
    {Id::StationCommand, "生产模式(&M)..."},
    {Id::StationCommandTip, "打开已批准的作业，在锁定的窗口中逐台调试"},
    {Id::StationWaiting, "等待控制器"},
    {Id::StationRunning, "步骤 %1/%2"},
    {Id::StationPassed, "合格"},
    {Id::StationFailed, "不合格"},
    {Id::StationRemoveUnit, "请取下本台"},
    {Id::StationFailReason, "步骤 %1（%2）：%3"},
    {Id::StationUnit, "编号 %1"},
    {Id::StationElapsed, "%1 秒"},
    {Id::StationCounters, "合格 %1　不合格 %2　今日合计 %3"},
    {Id::StationJob, "作业：%1"},
    {Id::StationOperator, "操作员：%1"},
    {Id::StationOperatorPrompt, "操作员姓名："},
    {Id::StationScanner, "扫码："},
    {Id::StationNextUnit, "下一台编号：%1"},
    {Id::StationSound, "提示音"},
    {Id::StationAcknowledge, "按 Enter 或点击确认"},
    {Id::StationLeave, "退出生产模式"},
    {Id::StationLeaveConfirm, "确定退出生产模式吗？"},
    {Id::StationPinPrompt, "请输入作业密码："},
    {Id::StationPinWrong, "密码错误。"},
    {Id::StationPorts, "选择端口"},
    {Id::StationNoPorts, "请至少选择一个端口。"},
    {Id::StationTooManyPorts, "最多 %1 个端口。"},
    {Id::StationJobFilter, "作业文件 (*.tvjob)|*.tvjob|所有文件 (*.*)|*.*||"},
    {Id::StationOtherPorts, "其他端口（空格分隔）："},
    {Id::RecordsCommand, "生产记录(&R)..."},
    {Id::RecordsCommandTip, "查看每台的调试记录、导出和打印报告"},
    {Id::RecordsUnit, "编号："},
    {Id::RecordsJob, "作业："},
    {Id::RecordsSince, "起始日期："},
    {Id::RecordsFailedOnly, "只看不合格"},
    {Id::RecordsColumns, "时间\n作业\n编号\n结果\n操作员\n工位\n写入值"},
    {Id::RecordsExportCsv, "导出 CSV"},
    {Id::RecordsOpenTrace, "打开串口记录"},
    {Id::RecordsPrintReport, "打印报告"},
    {Id::RecordsNoTrace, "编号 %1 没有串口记录。"},
    {Id::RecordsCsvFilter, "CSV 文件 (*.csv)|*.csv|所有文件 (*.*)|*.*||"},
    {Id::RecordsPdfFilter, "PDF 文件 (*.pdf)|*.pdf||"},
    {Id::RecordsSkippedLines, "生产记录 %1 中有 %2 行无法读取，已跳过。"},
    {Id::ReportTitle, "调试报告：编号 %1"},
    {Id::ReportJob, "作业"},
    {Id::ReportApproved, "批准哈希"},
    {Id::ReportStamp, "写入值"},
    {Id::ReportOperator, "操作员"},
    {Id::ReportStation, "工位"},
    {Id::ReportTime, "时间"},
    {Id::ReportOutcome, "结果"},
    {Id::ReportGolden, "与基准比较"},
    {Id::ReportStepColumns, "步骤\n类型\n编号\n文件\nSHA-256\n字节\n帧\n重发请求\n超时重发\n结果"},
    {Id::StationCaption, "生产模式"},
    {Id::RecordsCaption, "生产记录"},
    {Id::UnitOutcomeInterrupted, "已中断"},
    {Id::JobEditorCommand, "作业(&J)..."},
    {Id::JobEditorCommandTip, "编辑调试作业：程序、寄存器文件、画面和写入值"},
    {Id::JobEditorCaption, "作业"},
    {Id::JobEditorFile, "作业文件：%1"},
    {Id::JobEditorUnsaved, "（未保存）"},
    {Id::JobEditorProgram, "程序："},
    {Id::JobEditorProgramNumber, "程序号："},
    {Id::JobEditorProgramFilter, "程序文件 (*.kxc;*.kxo)|*.kxc;*.kxo|所有文件 (*.*)|*.*||"},
    {Id::JobEditorParams, "寄存器文件："},
    {Id::JobEditorPage, "参数页："},
    {Id::JobEditorScreen, "画面："},
    {Id::JobEditorScreenKind, "画面类型："},
    {Id::JobEditorScreenNumber, "画面号："},
    {Id::JobEditorScreenRegisters, "显示寄存器："},
    {Id::JobEditorStamp, "写入值："},
    {Id::JobEditorStampKind, "方式："},
    {Id::JobEditorStampKinds, "不写入\n计数器\nCSV 表"},
    {Id::JobEditorStampRegister, "写入寄存器："},
    {Id::JobEditorStampStart, "起始值："},
    {Id::JobEditorStampStep, "步长："},
    {Id::JobEditorStampDigits, "位数："},
    {Id::JobEditorStampCsv, "CSV 文件："},
    {Id::JobEditorNextUnits, "接下来三台：%1"},
    {Id::JobEditorPin, "退出密码："},
    {Id::JobEditorOpen, "打开作业(&O)..."},
    {Id::JobEditorSave, "保存作业(&S)"},
    {Id::JobEditorCheck, "检查(&C)"},
    {Id::JobEditorApprove, "批准(&A)"},
    {Id::JobEditorBrowse, "浏览(&B)..."},
    {Id::JobEditorNoProblems, "检查通过，没有发现问题。"},
    {Id::RecordsReplay, "重放"},
    {Id::RecordsReplayResult, "重放编号 %1：%2"},
    {Id::StationInterrupted, "单元 %1（%2）上次运行被中断，已记为中断：请将其放到一边或重新运行。"},
    {Id::StationPortUnknown, "端口不明"},
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

std::vector<std::string>& Translation() {
    static std::vector<std::string> texts;
    return texts;
}

}  // namespace

std::string_view Untranslated(Id id) {
    const auto index = static_cast<std::size_t>(id);
    return index < std::size(kTable) ? kTable[index].text : std::string_view();
}

std::string_view Source(Id id) {
    const std::vector<std::string>& texts = Translation();
    const auto index = static_cast<std::size_t>(id);
    if (index < texts.size() && !texts[index].empty())
        return texts[index];
    return Untranslated(id);
}

void SetTranslation(std::vector<std::string> texts) {
    Translation() = std::move(texts);
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

<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>msg</name>
    <message>
        <source>不能生成文件： %1 ！</source>
        <extracomment>CannotCreateFile</extracomment>
        <translation>Cannot create file: %1</translation>
    </message>
    <message>
        <source>不能写入文件： %1 ！</source>
        <extracomment>CannotWriteFile</extracomment>
        <translation>Cannot write file: %1</translation>
    </message>
    <message>
        <source>不能打开文件:%1 !</source>
        <extracomment>CannotOpenFile</extracomment>
        <translation>Cannot open file: %1</translation>
    </message>
    <message>
        <source>不能读取文件： %1 ！</source>
        <extracomment>CannotReadFile</extracomment>
        <translation>Cannot read file: %1</translation>
    </message>
    <message>
        <source>没有找到 %1。</source>
        <extracomment>FileNotFound</extracomment>
        <translation>%1 was not found.</translation>
    </message>
    <message>
        <source>%1 中包含无效的路径。</source>
        <extracomment>FileBadPath</extracomment>
        <translation>%1 contains an invalid path.</translation>
    </message>
    <message>
        <source>无法打开 %1 因为太多文件已被打开。</source>
        <extracomment>FileTooManyOpen</extracomment>
        <translation>%1 could not be opened because too many files are open.</translation>
    </message>
    <message>
        <source>对 %1 的存取被拒绝。</source>
        <extracomment>FileAccessDenied</extracomment>
        <translation>Access to %1 was denied.</translation>
    </message>
    <message>
        <source>一个无效的文件柄与 %1 相关联。</source>
        <extracomment>FileBadHandle</extracomment>
        <translation>An invalid file handle was associated with %1.</translation>
    </message>
    <message>
        <source>对 %1 进行查找失败。</source>
        <extracomment>FileSeekFailed</extracomment>
        <translation>A seek failed on %1.</translation>
    </message>
    <message>
        <source>在存取 %1 时一个硬件输入/输出错误被报告。</source>
        <extracomment>FileHardwareError</extracomment>
        <translation>A hardware I/O error was reported while accessing %1.</translation>
    </message>
    <message>
        <source>在存取 %1 时发生共享违例。</source>
        <extracomment>FileSharingViolation</extracomment>
        <translation>A sharing violation occurred while accessing %1.</translation>
    </message>
    <message>
        <source>在存取 %1 时发生锁违例。</source>
        <extracomment>FileLockViolation</extracomment>
        <translation>A locking violation occurred while accessing %1.</translation>
    </message>
    <message>
        <source>在存取 %1 时磁盘已满。</source>
        <extracomment>FileDiskFull</extracomment>
        <translation>The disk is full while accessing %1.</translation>
    </message>
    <message>
        <source>在对 %1 进行访问时发生了一个不明错误。</source>
        <extracomment>FileGenericError</extracomment>
        <translation>An unknown error occurred while accessing %1.</translation>
    </message>
    <message>
        <source>输出文件与输入文件相同：%1</source>
        <extracomment>OutputIsInput</extracomment>
        <translation>The output file is the input file: %1</translation>
    </message>
    <message>
        <source>该文件太大，无法打开。</source>
        <extracomment>ProgramTooLarge</extracomment>
        <translation>The file is too large to open.</translation>
    </message>
    <message>
        <source>非预期的文件格式。</source>
        <extracomment>ProgramUnexpectedFormat</extracomment>
        <translation>Unexpected file format.</translation>
    </message>
    <message>
        <source>打开文档失败。</source>
        <extracomment>ProgramOpenFailed</extracomment>
        <translation>Failed to open document.</translation>
    </message>
    <message>
        <source>编译成功！目标文件：%1 !</source>
        <extracomment>CompileSucceeded</extracomment>
        <translation>Compiled successfully! Object file: %1</translation>
    </message>
    <message>
        <source>警告：程序缺少“End”！</source>
        <extracomment>CompileMissingEnd</extracomment>
        <translation>Warning: the program has no “End”!</translation>
    </message>
    <message>
        <source>第 %1 行程序超出程序容量（最多 %2 行）！</source>
        <extracomment>CompileTooManyLines</extracomment>
        <translation>Line %1 exceeds the program capacity (at most %2 lines)!</translation>
    </message>
    <message>
        <source>第 %1 行程序命令错误！</source>
        <extracomment>CompileUnknownMnemonic</extracomment>
        <translation>Line %1: unknown instruction!</translation>
    </message>
    <message>
        <source>第 %1 行程序第一参数类型错误！</source>
        <extracomment>CompileType1</extracomment>
        <translation>Line %1: wrong type of the first operand!</translation>
    </message>
    <message>
        <source>第 %1 行程序第二参数类型错误！</source>
        <extracomment>CompileType2</extracomment>
        <translation>Line %1: wrong type of the second operand!</translation>
    </message>
    <message>
        <source>第 %1 行程序第三参数类型错误！</source>
        <extracomment>CompileType3</extracomment>
        <translation>Line %1: wrong type of the third operand!</translation>
    </message>
    <message>
        <source>第 %1 行程序第一参数范围超限！</source>
        <extracomment>CompileRange1</extracomment>
        <translation>Line %1: first operand out of range!</translation>
    </message>
    <message>
        <source>第 %1 行程序第二参数范围超限！</source>
        <extracomment>CompileRange2</extracomment>
        <translation>Line %1: second operand out of range!</translation>
    </message>
    <message>
        <source>第 %1 行程序第三参数范围超限！</source>
        <extracomment>CompileRange3</extracomment>
        <translation>Line %1: third operand out of range!</translation>
    </message>
    <message>
        <source>第 %1 行程序缺少参数！</source>
        <extracomment>CompileMissingOperand</extracomment>
        <translation>Line %1: missing operand!</translation>
    </message>
    <message>
        <source>第 %1 行程序多参数！</source>
        <extracomment>CompileTooManyOperands</extracomment>
        <translation>Line %1: too many operands!</translation>
    </message>
    <message>
        <source>未知错误！</source>
        <extracomment>UnknownError</extracomment>
        <translation>Unknown error!</translation>
    </message>
    <message>
        <source>no instruction has this group and code</source>
        <extracomment>DisasmUnknownInstruction</extracomment>
        <translation>no instruction has this group and code</translation>
    </message>
    <message>
        <source>bytes 2 and 3 are not zero</source>
        <extracomment>DisasmReservedBytesSet</extracomment>
        <translation>bytes 2 and 3 are not zero</translation>
    </message>
    <message>
        <source>operand %1 is set but the instruction has no such operand</source>
        <extracomment>DisasmExtraOperand</extracomment>
        <translation>operand %1 is set but the instruction has no such operand</translation>
    </message>
    <message>
        <source>operand %1 cannot be written as program text</source>
        <extracomment>DisasmOperandNotText</extracomment>
        <translation>operand %1 cannot be written as program text</translation>
    </message>
    <message>
        <source>not an object program: the header &quot;%1&quot; is missing</source>
        <extracomment>DisasmNoHeader</extracomment>
        <translation>not an object program: the header &quot;%1&quot; is missing</translation>
    </message>
    <message>
        <source>the file ends inside a record (%1 bytes left over)</source>
        <extracomment>DisasmPartialRecord</extracomment>
        <translation>the file ends inside a record (%1 bytes left over)</translation>
    </message>
    <message>
        <source>more than %1 records</source>
        <extracomment>DisasmTooManyRecords</extracomment>
        <translation>more than %1 records</translation>
    </message>
    <message>
        <source>record %1: %2</source>
        <extracomment>DisasmRecordFault</extracomment>
        <translation>record %1: %2</translation>
    </message>
    <message>
        <source>record %1: END is followed by further records</source>
        <extracomment>DisasmRecordsAfterEnd</extracomment>
        <translation>record %1: END is followed by further records</translation>
    </message>
    <message>
        <source>串口 %1 打开失败</source>
        <extracomment>PortOpenFailed</extracomment>
        <translation>Cannot open serial port %1</translation>
    </message>
    <message>
        <source>控制器连接：失败！</source>
        <extracomment>HandshakeFailed</extracomment>
        <translation>Connecting to the controller: failed!</translation>
    </message>
    <message>
        <source>控制器无应答！</source>
        <extracomment>NoAnswer</extracomment>
        <translation>The controller does not answer!</translation>
    </message>
    <message>
        <source>文件格式错误！</source>
        <extracomment>FileFormatError</extracomment>
        <translation>File format error!</translation>
    </message>
    <message>
        <source>液晶画面序号超限！</source>
        <extracomment>ScreenNumberOutOfRange</extracomment>
        <translation>LCD screen number out of range!</translation>
    </message>
    <message>
        <source>参数序号超限！</source>
        <extracomment>RegisterNumberOutOfRange</extracomment>
        <translation>Register number out of range!</translation>
    </message>
    <message>
        <source>文件格式错误: Identifier ERR!!!</source>
        <extracomment>ScreenIdentifierError</extracomment>
        <translation>File format error: Identifier ERR!!!</translation>
    </message>
    <message>
        <source>文件格式错误: File Size ERR!!!</source>
        <extracomment>ScreenFileSizeError</extracomment>
        <translation>File format error: File Size ERR!!!</translation>
    </message>
    <message>
        <source>文件格式错误: Width ERR!!!</source>
        <extracomment>ScreenWidthError</extracomment>
        <translation>File format error: Width ERR!!!</translation>
    </message>
    <message>
        <source>文件格式错误: Height ERR!!!</source>
        <extracomment>ScreenHeightError</extracomment>
        <translation>File format error: Height ERR!!!</translation>
    </message>
    <message>
        <source>文件格式错误: Bitmap Data Size ERR!!</source>
        <extracomment>ScreenDataSizeError</extracomment>
        <translation>File format error: Bitmap Data Size ERR!!</translation>
    </message>
    <message>
        <source>文件格式错误: Bits Per Pixel ERR!!</source>
        <extracomment>ScreenBitsError</extracomment>
        <translation>File format error: Bits Per Pixel ERR!!</translation>
    </message>
    <message>
        <source>传输中收到 %1 个异常应答，控制器中的数据可能不完整，请重新下载并核对。</source>
        <extracomment>SuspectAnswers</extracomment>
        <translation>%1 unexpected answers arrived during the transfer; the data in the controller may be incomplete. Download again and check it.</translation>
    </message>
    <message>
        <source>目标程序不以 END 结束，可能是编译失败留下的文件。</source>
        <extracomment>ProgramWithoutEnd</extracomment>
        <translation>The object program does not end with END; it may be left over from a failed compile.</translation>
    </message>
    <message>
        <source>%1仍要下载吗？</source>
        <extracomment>ProgramWithoutEndQuestion</extracomment>
        <translation>%1 Download it anyway?</translation>
    </message>
    <message>
        <source>停止</source>
        <extracomment>ProgressStop</extracomment>
        <translation>Stop</translation>
    </message>
    <message>
        <source>%1 / %2 帧（%3%），已用 %4，剩余约 %5</source>
        <extracomment>ProgressDetail</extracomment>
        <translation>%1 / %2 frames (%3%), %4 elapsed, about %5 left</translation>
    </message>
    <message>
        <source>未连接</source>
        <extracomment>LinkStateDisconnected</extracomment>
        <translation>Not connected</translation>
    </message>
    <message>
        <source>正在连接…</source>
        <extracomment>LinkStateConnecting</extracomment>
        <translation>Connecting…</translation>
    </message>
    <message>
        <source>已连接</source>
        <extracomment>LinkStateConnected</extracomment>
        <translation>Connected</translation>
    </message>
    <message>
        <source>%1  %2  %3</source>
        <extracomment>LinkStatusPane</extracomment>
        <translation>%1  %2  %3</translation>
    </message>
    <message>
        <source>打印</source>
        <extracomment>DesktopPrintAction ButtonPrint</extracomment>
        <translation>Print</translation>
    </message>
    <message>
        <source>program: program %1, %2 records</source>
        <extracomment>EmulatorStoredProgram</extracomment>
        <translation>program: program %1, %2 records</translation>
    </message>
    <message>
        <source>parameters: parameter page %1, %2 registers</source>
        <extracomment>EmulatorStoredParameters</extracomment>
        <translation>parameters: parameter page %1, %2 registers</translation>
    </message>
    <message>
        <source>screen: screen kind %1 number %2, %3 bytes</source>
        <extracomment>EmulatorStoredScreen</extracomment>
        <translation>screen: screen kind %1 number %2, %3 bytes</translation>
    </message>
    <message>
        <source>tarvex emulate: cannot write into %1</source>
        <extracomment>EmulatorCannotStore</extracomment>
        <translation>tarvex emulate: cannot write into %1</translation>
    </message>
    <message>
        <source>cannot create a pseudo-terminal: %1</source>
        <extracomment>EmulatorNoPty</extracomment>
        <translation>cannot create a pseudo-terminal: %1</translation>
    </message>
    <message>
        <source>cannot create a pipe: %1</source>
        <extracomment>EmulatorNoPipe</extracomment>
        <translation>cannot create a pipe: %1</translation>
    </message>
    <message>
        <source>tarvex emulate: the virtual controller serves on a pseudo-terminal, which Windows does not have; run it on Linux</source>
        <extracomment>EmulatorNoPtyHere</extracomment>
        <translation>tarvex emulate: the virtual controller serves on a pseudo-terminal, which Windows does not have; run it on Linux</translation>
    </message>
    <message>
        <source>--store needs an existing writable folder, not %1</source>
        <extracomment>EmulatorStoreNotFolder</extracomment>
        <translation>--store needs an existing writable folder, not %1</translation>
    </message>
    <message>
        <source>tarvex emulate: refused data frames that had no header</source>
        <extracomment>EmulatorRefusedNoHeader</extracomment>
        <translation>tarvex emulate: refused data frames that had no header</translation>
    </message>
    <message>
        <source>tarvex emulate: refused a program whose data ends inside a record</source>
        <extracomment>EmulatorRefusedPartialRecord</extracomment>
        <translation>tarvex emulate: refused a program whose data ends inside a record</translation>
    </message>
    <message>
        <source>浏览</source>
        <extracomment>DialogBrowse</extracomment>
        <translation>Browse</translation>
    </message>
    <message>
        <source>取消</source>
        <extracomment>DialogCancel FindCancel</extracomment>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>开始下载</source>
        <extracomment>DialogStartDownload</extracomment>
        <translation>Start Download</translation>
    </message>
    <message>
        <source>程序编译</source>
        <extracomment>CompileCaption CompileButton</extracomment>
        <translation>Compile Program</translation>
    </message>
    <message>
        <source>选择目标文件存放路径</source>
        <extracomment>CompileTargetGroup</extracomment>
        <translation>Folder for the object file</translation>
    </message>
    <message>
        <source>Text Files(*.kxo)|*.kxo|All Files(*.*)|*.*||</source>
        <extracomment>CompileObjectFilter</extracomment>
        <translation>Text Files(*.kxo)|*.kxo|All Files(*.*)|*.*||</translation>
    </message>
    <message>
        <source>串行口参数设置</source>
        <extracomment>SerialCaption</extracomment>
        <translation>Serial Port Settings</translation>
    </message>
    <message>
        <source>通讯参数设置</source>
        <extracomment>SerialGroup</extracomment>
        <translation>Communication settings</translation>
    </message>
    <message>
        <source>选择串口</source>
        <extracomment>SerialPortLabel</extracomment>
        <translation>Serial port</translation>
    </message>
    <message>
        <source>波特率</source>
        <extracomment>SerialBaudLabel</extracomment>
        <translation>Baud rate</translation>
    </message>
    <message>
        <source>确认</source>
        <extracomment>SerialConfirm</extracomment>
        <translation>OK</translation>
    </message>
    <message>
        <source>下载程序</source>
        <extracomment>ProgramDownloadCaption CommandDownloadProgram</extracomment>
        <translation>Download Program</translation>
    </message>
    <message>
        <source>选择要下载的程序文件</source>
        <extracomment>ProgramDownloadFileGroup</extracomment>
        <translation>Program file to download</translation>
    </message>
    <message>
        <source>至控制器程序序号:</source>
        <extracomment>ProgramDownloadNumberLabel</extracomment>
        <translation>Controller program no.:</translation>
    </message>
    <message>
        <source>KXCON Files(*.kxo)|*.kxo|All Files(*.*)|*.*||</source>
        <extracomment>ProgramDownloadFilter</extracomment>
        <translation>KXCON Files(*.kxo)|*.kxo|All Files(*.*)|*.*||</translation>
    </message>
    <message>
        <source>下载参数</source>
        <extracomment>ParameterDownloadCaption CommandDownloadParams</extracomment>
        <translation>Download Parameters</translation>
    </message>
    <message>
        <source>选择要下载的参数文件</source>
        <extracomment>ParameterDownloadFileGroup</extracomment>
        <translation>Parameter file to download</translation>
    </message>
    <message>
        <source>至控制器参数页面:</source>
        <extracomment>ParameterDownloadNumberLabel</extracomment>
        <translation>Controller parameter page:</translation>
    </message>
    <message>
        <source>KXCON Files(*.dat)|*.dat|All Files(*.*)|*.*||</source>
        <extracomment>ParameterDownloadFilter</extracomment>
        <translation>KXCON Files(*.dat)|*.dat|All Files(*.*)|*.*||</translation>
    </message>
    <message>
        <source>下载液晶画面</source>
        <extracomment>ScreenDownloadCaption CommandDownloadScreen</extracomment>
        <translation>Download LCD Screen</translation>
    </message>
    <message>
        <source>选择要下载的画面文件</source>
        <extracomment>ScreenDownloadFileGroup</extracomment>
        <translation>Screen file to download</translation>
    </message>
    <message>
        <source>画面类型选择</source>
        <extracomment>ScreenKindGroup</extracomment>
        <translation>Screen type</translation>
    </message>
    <message>
        <source>开机画面</source>
        <extracomment>ScreenKindStartup</extracomment>
        <translation>Startup screen</translation>
    </message>
    <message>
        <source>参数画面</source>
        <extracomment>ScreenKindParameter</extracomment>
        <translation>Parameter screen</translation>
    </message>
    <message>
        <source>状态画面</source>
        <extracomment>ScreenKindStatus</extracomment>
        <translation>Status screen</translation>
    </message>
    <message>
        <source>至控制器画面序号:</source>
        <extracomment>ScreenNumberLabel</extracomment>
        <translation>Controller screen no.:</translation>
    </message>
    <message>
        <source>参数画面对应寄存器</source>
        <extracomment>ScreenRegistersGroup</extracomment>
        <translation>Registers of the parameter screen</translation>
    </message>
    <message>
        <source>NO%1:   S-</source>
        <extracomment>ScreenRegisterLabel</extracomment>
        <translation>NO%1:   S-</translation>
    </message>
    <message>
        <source>位图文件(*.bmp)|*.bmp|数据文件(*.dat)|*.dat|所有文件(*.*)|*.*||</source>
        <extracomment>ScreenBitmapFilter</extracomment>
        <translation>Bitmap Files(*.bmp)|*.bmp|Data Files(*.dat)|*.dat|All Files(*.*)|*.*||</translation>
    </message>
    <message>
        <source>消息窗口</source>
        <extracomment>ProgressCaption</extracomment>
        <translation>Messages</translation>
    </message>
    <message>
        <source>寄存器设置</source>
        <extracomment>RegistersCaption CommandRegisters</extracomment>
        <translation>Register Settings</translation>
    </message>
    <message>
        <source>=</source>
        <extracomment>RegistersEquals</extracomment>
        <translation>=</translation>
    </message>
    <message>
        <source>文件保存路径</source>
        <extracomment>RegistersPathGroup</extracomment>
        <translation>Save to file</translation>
    </message>
    <message>
        <source>数据保存</source>
        <extracomment>RegistersSave</extracomment>
        <translation>Save Data</translation>
    </message>
    <message>
        <source>关闭</source>
        <extracomment>RegistersClose</extracomment>
        <translation>Close</translation>
    </message>
    <message>
        <source>KXCON Files(*.dat)|*.dat||</source>
        <extracomment>RegistersFilter</extracomment>
        <translation>KXCON Files(*.dat)|*.dat||</translation>
    </message>
    <message>
        <source>请先选择文件保存路径！</source>
        <extracomment>RegistersChooseFileFirst</extracomment>
        <translation>Choose the file to save to first!</translation>
    </message>
    <message>
        <source>文件格式不正确！请确认你选择的是RVL412E寄存器文件。</source>
        <extracomment>RegistersNotRegisterFile CliNotRegisterFile</extracomment>
        <translation>Wrong file format! Make sure you chose an RVL412E register file.</translation>
    </message>
    <message>
        <source>寄存器号超出范围！请键入S0000到S4095之间的寄存器号。</source>
        <extracomment>RegistersPageOutOfRange</extracomment>
        <translation>Register number out of range! Enter a register number from S0000 to S4095.</translation>
    </message>
    <message>
        <source>“请填入不多于%1个的字符。”</source>
        <extracomment>FieldTooLong</extracomment>
        <translation>“Enter no more than %1 characters.”</translation>
    </message>
    <message>
        <source>显示字符设置</source>
        <extracomment>CharactersCaption</extracomment>
        <translation>Display Characters</translation>
    </message>
    <message>
        <source>显示字符文件保存路径</source>
        <extracomment>CharactersPathGroup</extracomment>
        <translation>Save display characters to file</translation>
    </message>
    <message>
        <source>位置%1</source>
        <extracomment>CharactersEntryGroup</extracomment>
        <translation>Position %1</translation>
    </message>
    <message>
        <source>数据更新</source>
        <extracomment>CharactersStore</extracomment>
        <translation>Update</translation>
    </message>
    <message>
        <source>文件保存</source>
        <extracomment>CharactersSave</extracomment>
        <translation>Save File</translation>
    </message>
    <message>
        <source>KXCON Files(*.kxm)|*.kxm||</source>
        <extracomment>CharactersFilter</extracomment>
        <translation>KXCON Files(*.kxm)|*.kxm||</translation>
    </message>
    <message>
        <source>生成字符资源文件： %1 ！</source>
        <extracomment>CharactersSaved</extracomment>
        <translation>Character resource file created: %1</translation>
    </message>
    <message>
        <source>载入文件</source>
        <extracomment>LoadCutCaption</extracomment>
        <translation>Load File</translation>
    </message>
    <message>
        <source>载入/转换</source>
        <extracomment>LoadCutLoad</extracomment>
        <translation>Load/Convert</translation>
    </message>
    <message>
        <source>选择要载入的目标文件</source>
        <extracomment>LoadCutFileGroup</extracomment>
        <translation>File to load</translation>
    </message>
    <message>
        <source>脉冲系数:</source>
        <extracomment>LoadCutCoefficientLabel</extracomment>
        <translation>Pulse factor:</translation>
    </message>
    <message>
        <source>脉冲/毫米</source>
        <extracomment>LoadCutCoefficientUnit</extracomment>
        <translation>pulses/mm</translation>
    </message>
    <message>
        <source>CAXA文件 Files(*.cut)|*.cut|All Files(*.*)|*.*||</source>
        <extracomment>LoadCutFilter</extracomment>
        <translation>CAXA Files(*.cut)|*.cut|All Files(*.*)|*.*||</translation>
    </message>
    <message>
        <source>请键入一个数。</source>
        <extracomment>EnterANumber</extracomment>
        <translation>Enter a number.</translation>
    </message>
    <message>
        <source>“请填入一个在%1和%2之间的数字。”</source>
        <extracomment>NumberOutOfRange</extracomment>
        <translation>“Enter a number between %1 and %2.”</translation>
    </message>
    <message>
        <source>信息窗口</source>
        <extracomment>InformationCaption CommandInfoWindow</extracomment>
        <translation>Message Window</translation>
    </message>
    <message>
        <source>关于 Tarvex620B</source>
        <extracomment>AboutCaption</extracomment>
        <translation>About Tarvex620B</translation>
    </message>
    <message>
        <source>Tarvex620B 2.0 版</source>
        <extracomment>AboutVersion</extracomment>
        <translation>Tarvex620B version 2.0</translation>
    </message>
    <message>
        <source>感谢您选用 QF620B 步进与伺服电机控制器。祝您使用愉快！</source>
        <extracomment>AboutGreeting</extracomment>
        <translation>Thank you for choosing the QF620B stepper and servo motor controller. Enjoy!</translation>
    </message>
    <message>
        <source>确定</source>
        <extracomment>AboutOk</extracomment>
        <translation>OK</translation>
    </message>
    <message>
        <source>文件(&amp;F)</source>
        <extracomment>MenuFile</extracomment>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>编辑(&amp;E)</source>
        <extracomment>MenuEdit</extracomment>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>工具(&amp;T)</source>
        <extracomment>MenuTools</extracomment>
        <translation>&amp;Tools</translation>
    </message>
    <message>
        <source>控制器会话(&amp;L)</source>
        <extracomment>MenuLink</extracomment>
        <translation>Contro&amp;ller</translation>
    </message>
    <message>
        <source>查看(&amp;V)</source>
        <extracomment>MenuView</extracomment>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>帮助(&amp;H)</source>
        <extracomment>MenuHelp</extracomment>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>新建(&amp;N)	Ctrl+N</source>
        <extracomment>CommandNew</extracomment>
        <translation>&amp;New	Ctrl+N</translation>
    </message>
    <message>
        <source>建立新文档</source>
        <extracomment>CommandNewTip</extracomment>
        <translation>Create a new document</translation>
    </message>
    <message>
        <source>打开(&amp;O)...	Ctrl+O</source>
        <extracomment>CommandOpen</extracomment>
        <translation>&amp;Open...	Ctrl+O</translation>
    </message>
    <message>
        <source>打开一个现有文档</source>
        <extracomment>CommandOpenTip</extracomment>
        <translation>Open an existing document</translation>
    </message>
    <message>
        <source>保存(&amp;S)	Ctrl+S</source>
        <extracomment>CommandSave</extracomment>
        <translation>&amp;Save	Ctrl+S</translation>
    </message>
    <message>
        <source>保存活动文档</source>
        <extracomment>CommandSaveTip</extracomment>
        <translation>Save the active document</translation>
    </message>
    <message>
        <source>另存为(&amp;A)...</source>
        <extracomment>CommandSaveAs</extracomment>
        <translation>Save &amp;As...</translation>
    </message>
    <message>
        <source>将活动文档以一个新文件名保存</source>
        <extracomment>CommandSaveAsTip</extracomment>
        <translation>Save the active document under a new name</translation>
    </message>
    <message>
        <source>载入(L)...</source>
        <extracomment>CommandLoadCut</extracomment>
        <translation>Load .cut File...</translation>
    </message>
    <message>
        <source>载入*.cut文件</source>
        <extracomment>CommandLoadCutTip</extracomment>
        <translation>Load a *.cut file</translation>
    </message>
    <message>
        <source>打印(&amp;P)...	Ctrl+P</source>
        <extracomment>CommandPrint</extracomment>
        <translation>&amp;Print...	Ctrl+P</translation>
    </message>
    <message>
        <source>打印活动文档</source>
        <extracomment>CommandPrintTip</extracomment>
        <translation>Print the active document</translation>
    </message>
    <message>
        <source>打印预览(&amp;V)</source>
        <extracomment>CommandPrintPreview</extracomment>
        <translation>Print Pre&amp;view</translation>
    </message>
    <message>
        <source>显示整页</source>
        <extracomment>CommandPrintPreviewTip</extracomment>
        <translation>Show full pages</translation>
    </message>
    <message>
        <source>打印设置(&amp;R)...</source>
        <extracomment>CommandPrintSetup</extracomment>
        <translation>P&amp;rint Setup...</translation>
    </message>
    <message>
        <source>改变打印机及打印选项</source>
        <extracomment>CommandPrintSetupTip</extracomment>
        <translation>Change the printer and printing options</translation>
    </message>
    <message>
        <source>最近文件</source>
        <extracomment>CommandRecentNone</extracomment>
        <translation>Recent File</translation>
    </message>
    <message>
        <source>打开该文档</source>
        <extracomment>CommandRecentTip</extracomment>
        <translation>Open this document</translation>
    </message>
    <message>
        <source>退出(&amp;X)</source>
        <extracomment>CommandExit</extracomment>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>退出应用程序；提示保存文档</source>
        <extracomment>CommandExitTip</extracomment>
        <translation>Quit the application; prompts to save documents</translation>
    </message>
    <message>
        <source>撤消(&amp;U)	Ctrl+Z</source>
        <extracomment>CommandUndo</extracomment>
        <translation>&amp;Undo	Ctrl+Z</translation>
    </message>
    <message>
        <source>撤消最后一步操作</source>
        <extracomment>CommandUndoTip</extracomment>
        <translation>Undo the last action</translation>
    </message>
    <message>
        <source>剪切(&amp;T)	Ctrl+X</source>
        <extracomment>CommandCut</extracomment>
        <translation>Cu&amp;t	Ctrl+X</translation>
    </message>
    <message>
        <source>剪切被选对象并将其置于剪贴板上</source>
        <extracomment>CommandCutTip</extracomment>
        <translation>Cut the selection and put it on the clipboard</translation>
    </message>
    <message>
        <source>复制(&amp;C)	Ctrl+C</source>
        <extracomment>CommandCopy</extracomment>
        <translation>&amp;Copy	Ctrl+C</translation>
    </message>
    <message>
        <source>复制被选对象并将其置于剪贴板上</source>
        <extracomment>CommandCopyTip</extracomment>
        <translation>Copy the selection and put it on the clipboard</translation>
    </message>
    <message>
        <source>粘贴(&amp;P)	Ctrl+V</source>
        <extracomment>CommandPaste</extracomment>
        <translation>&amp;Paste	Ctrl+V</translation>
    </message>
    <message>
        <source>插入剪贴板内容</source>
        <extracomment>CommandPasteTip</extracomment>
        <translation>Insert the clipboard contents</translation>
    </message>
    <message>
        <source>程序编译	F8</source>
        <extracomment>CommandCompile</extracomment>
        <translation>Compile Program	F8</translation>
    </message>
    <message>
        <source>串口设置</source>
        <extracomment>CommandSerial</extracomment>
        <translation>Serial Port Settings</translation>
    </message>
    <message>
        <source>连接控制器</source>
        <extracomment>CommandConnect</extracomment>
        <translation>Connect Controller</translation>
    </message>
    <message>
        <source>断开连接</source>
        <extracomment>CommandDisconnect</extracomment>
        <translation>Disconnect</translation>
    </message>
    <message>
        <source>工具栏(&amp;T)</source>
        <extracomment>CommandToolbar</extracomment>
        <translation>&amp;Toolbar</translation>
    </message>
    <message>
        <source>显示或隐藏工具栏</source>
        <extracomment>CommandToolbarTip</extracomment>
        <translation>Show or hide the toolbar</translation>
    </message>
    <message>
        <source>状态栏(&amp;S)</source>
        <extracomment>CommandStatusBar</extracomment>
        <translation>&amp;Status Bar</translation>
    </message>
    <message>
        <source>显示或隐藏状态栏</source>
        <extracomment>CommandStatusBarTip</extracomment>
        <translation>Show or hide the status bar</translation>
    </message>
    <message>
        <source>关于 Tarvex620B...</source>
        <extracomment>CommandAbout</extracomment>
        <translation>About Tarvex620B...</translation>
    </message>
    <message>
        <source>显示程序信息，版本号和版权</source>
        <extracomment>CommandAboutTip</extracomment>
        <translation>Show program information, version number and copyright</translation>
    </message>
    <message>
        <source>标准</source>
        <extracomment>ToolbarTitle</extracomment>
        <translation>Standard</translation>
    </message>
    <message>
        <source>新建</source>
        <extracomment>ButtonNew</extracomment>
        <translation>New</translation>
    </message>
    <message>
        <source>打开</source>
        <extracomment>ButtonOpen OpenTitle</extracomment>
        <translation>Open</translation>
    </message>
    <message>
        <source>保存</source>
        <extracomment>ButtonSave</extracomment>
        <translation>Save</translation>
    </message>
    <message>
        <source>剪切</source>
        <extracomment>ButtonCut</extracomment>
        <translation>Cut</translation>
    </message>
    <message>
        <source>复制</source>
        <extracomment>ButtonCopy</extracomment>
        <translation>Copy</translation>
    </message>
    <message>
        <source>粘贴</source>
        <extracomment>ButtonPaste</extracomment>
        <translation>Paste</translation>
    </message>
    <message>
        <source>关于</source>
        <extracomment>ButtonAbout</extracomment>
        <translation>About</translation>
    </message>
    <message>
        <source>就绪</source>
        <extracomment>StatusReady</extracomment>
        <translation>Ready</translation>
    </message>
    <message>
        <source>行号： %1</source>
        <extracomment>StatusLine</extracomment>
        <translation>Line: %1</translation>
    </message>
    <message>
        <source>大写</source>
        <extracomment>StatusCaps</extracomment>
        <translation>CAP</translation>
    </message>
    <message>
        <source>数字</source>
        <extracomment>StatusNum</extracomment>
        <translation>NUM</translation>
    </message>
    <message>
        <source>滚动</source>
        <extracomment>StatusScroll</extracomment>
        <translation>SCRL</translation>
    </message>
    <message>
        <source>%1 - Tarvex620B-KF</source>
        <extracomment>WindowTitle</extracomment>
        <translation>%1 - Tarvex620B-KF</translation>
    </message>
    <message>
        <source>系统注册项已被移除并且相应的 INI 文件（假如存在）也被删除。</source>
        <extracomment>Unregistered</extracomment>
        <translation>The system registration entries were removed and the INI file (if any) was deleted.</translation>
    </message>
    <message>
        <source>不是所有的系统注册项（或 INI 文件）都被移除。</source>
        <extracomment>NotAllUnregistered</extracomment>
        <translation>Not all system registration entries (or the INI file) were removed.</translation>
    </message>
    <message>
        <source>保存为</source>
        <extracomment>SaveAsTitle</extracomment>
        <translation>Save As</translation>
    </message>
    <message>
        <source>将改动保存到 %1？</source>
        <extracomment>SaveChangesQuestion</extracomment>
        <translation>Save changes to %1?</translation>
    </message>
    <message>
        <source>无标题.pdf</source>
        <extracomment>UntitledPdf</extracomment>
        <translation>Untitled.pdf</translation>
    </message>
    <message>
        <source>无标题</source>
        <extracomment>Untitled</extracomment>
        <translation>Untitled</translation>
    </message>
    <message>
        <source>Tarvex620B文件 (*.kxc)|*.kxc|所有文件 (*.*)|*.*||</source>
        <extracomment>ProgramFilter</extracomment>
        <translation>Tarvex620B Files (*.kxc)|*.kxc|All Files (*.*)|*.*||</translation>
    </message>
    <message>
        <source>程序.kxo</source>
        <extracomment>DefaultObjectName</extracomment>
        <translation>program.kxo</translation>
    </message>
    <message>
        <source>编译当前程序	Ctrl+F7</source>
        <extracomment>CommandCompileCurrent</extracomment>
        <translation>Compile Current Program	Ctrl+F7</translation>
    </message>
    <message>
        <source>把当前程序编译成同名的 .kxo 文件</source>
        <extracomment>CommandCompileCurrentTip</extracomment>
        <translation>Compile the current program into a .kxo file of the same name</translation>
    </message>
    <message>
        <source>编译并下载	F5</source>
        <extracomment>CommandCompileAndDownload</extracomment>
        <translation>Compile and Download	F5</translation>
    </message>
    <message>
        <source>编译当前程序，成功后打开程序下载</source>
        <extracomment>CommandCompileAndDownloadTip</extracomment>
        <translation>Compile the current program and, if it succeeds, open the program download</translation>
    </message>
    <message>
        <source>保存(&amp;S)...</source>
        <extracomment>LogSave</extracomment>
        <translation>&amp;Save...</translation>
    </message>
    <message>
        <source>清除(&amp;C)</source>
        <extracomment>LogClear</extracomment>
        <translation>&amp;Clear</translation>
    </message>
    <message>
        <source>Text Files(*.txt)|*.txt|All Files(*.*)|*.*||</source>
        <extracomment>LogFilter</extracomment>
        <translation>Text Files(*.txt)|*.txt|All Files(*.*)|*.*||</translation>
    </message>
    <message>
        <source>信息.txt</source>
        <extracomment>LogDefaultName</extracomment>
        <translation>messages.txt</translation>
    </message>
    <message>
        <source>编译 %1：%2（%3 条记录）</source>
        <extracomment>LogCompile</extracomment>
        <translation>Compile %1: %2 (%3 records)</translation>
    </message>
    <message>
        <source>编译 %1：%2</source>
        <extracomment>LogCompileNoObject</extracomment>
        <translation>Compile %1: %2</translation>
    </message>
    <message>
        <source>下载%1 %2：%3，%4 帧，重发请求 %5 次，超时重发 %6 次，用时 %7 秒，%8。</source>
        <extracomment>LogDownload</extracomment>
        <translation>Download %1 %2: %3, %4 frames, %5 resend requests, %6 resends after timeout, %7 s, %8.</translation>
    </message>
    <message>
        <source>程序</source>
        <extracomment>LogKindProgram</extracomment>
        <translation>program</translation>
    </message>
    <message>
        <source>参数页</source>
        <extracomment>LogKindParams</extracomment>
        <translation>parameter page</translation>
    </message>
    <message>
        <source>液晶画面</source>
        <extracomment>LogKindScreen</extracomment>
        <translation>LCD screen</translation>
    </message>
    <message>
        <source>完成</source>
        <extracomment>LogOutcomeFinished</extracomment>
        <translation>finished</translation>
    </message>
    <message>
        <source>完成，但有异常应答</source>
        <extracomment>LogOutcomeSuspect</extracomment>
        <translation>finished, with unexpected answers</translation>
    </message>
    <message>
        <source>控制器无应答</source>
        <extracomment>LogOutcomeAbandoned</extracomment>
        <translation>the controller does not answer</translation>
    </message>
    <message>
        <source>已停止</source>
        <extracomment>LogOutcomeStopped</extracomment>
        <translation>stopped</translation>
    </message>
    <message>
        <source>usage: tarvex COMMAND [ARGS...]

commands:
</source>
        <extracomment>CliUsage</extracomment>
        <translation>usage: tarvex COMMAND [ARGS...]

commands:
</translation>
    </message>
    <message>
        <source>help [COMMAND]                        show this text or a command's help</source>
        <extracomment>CliHelpSynopsis</extracomment>
        <translation>help [COMMAND]                        show this text or a command's help</translation>
    </message>
    <message>
        <source>
Messages are printed in UTF-8. `tarvex help COMMAND` lists its exit status;
any command exits 74 when what it printed could not be written.
</source>
        <extracomment>CliUsageEnd</extracomment>
        <translation>
Messages are printed in UTF-8. `tarvex help COMMAND` lists its exit status;
any command exits 74 when what it printed could not be written.
</translation>
    </message>
    <message>
        <source>tarvex %1</source>
        <extracomment>CliVersion</extracomment>
        <translation>tarvex %1</translation>
    </message>
    <message>
        <source>tarvex: unknown command %1</source>
        <extracomment>CliUnknownCommand</extracomment>
        <translation>tarvex: unknown command %1</translation>
    </message>
    <message>
        <source>tarvex: cannot write standard output</source>
        <extracomment>CliCannotWriteStdout</extracomment>
        <translation>tarvex: cannot write standard output</translation>
    </message>
    <message>
        <source>tarvex %1: %2</source>
        <extracomment>CliCommandFault</extracomment>
        <translation>tarvex %1: %2</translation>
    </message>
    <message>
        <source>unknown option %1</source>
        <extracomment>CliUnknownOption</extracomment>
        <translation>unknown option %1</translation>
    </message>
    <message>
        <source>option %1 takes no value</source>
        <extracomment>CliOptionTakesNoValue</extracomment>
        <translation>option %1 takes no value</translation>
    </message>
    <message>
        <source>option %1 needs a value</source>
        <extracomment>CliOptionNeedsValue</extracomment>
        <translation>option %1 needs a value</translation>
    </message>
    <message>
        <source>compile PROGRAM.kxc [-o OBJECT.kxo]   compile a program text</source>
        <extracomment>CliCompileSynopsis</extracomment>
        <translation>compile PROGRAM.kxc [-o OBJECT.kxo]   compile a program text</translation>
    </message>
    <message>
        <source>usage: tarvex compile PROGRAM.kxc [-o OBJECT.kxo]

Compiles a program text (GBK, CR LF, read unchanged) into an object program.
Without -o the object file is PROGRAM with the extension .kxo.
Prints the compile dialog's message on stdout; for a refused line also
PROGRAM.kxc:LINE: MESSAGE on stderr, LINE being the line in the text file.

exit status: 0 compiled, 1 a line was refused (or too many lines),
2 no END, 3 object file not created or not written, 4 program unreadable,
64 bad command line.
</source>
        <extracomment>CliCompileHelp</extracomment>
        <translation>usage: tarvex compile PROGRAM.kxc [-o OBJECT.kxo]

Compiles a program text (GBK, CR LF, read unchanged) into an object program.
Without -o the object file is PROGRAM with the extension .kxo.
Prints the compile dialog's message on stdout; for a refused line also
PROGRAM.kxc:LINE: MESSAGE on stderr, LINE being the line in the text file.

exit status: 0 compiled, 1 a line was refused (or too many lines),
2 no END, 3 object file not created or not written, 4 program unreadable,
64 bad command line.
</translation>
    </message>
    <message>
        <source>expected one program file</source>
        <extracomment>CliCompileExpectsOneProgram CliCheckExpectsOneProgram</extracomment>
        <translation>expected one program file</translation>
    </message>
    <message>
        <source>%1 already ends in .kxo; name the object with -o</source>
        <extracomment>CliCompileWouldOverwrite</extracomment>
        <translation>%1 already ends in .kxo; name the object with -o</translation>
    </message>
    <message>
        <source>%1:%2: %3</source>
        <extracomment>CliCompileLineFault</extracomment>
        <translation>%1:%2: %3</translation>
    </message>
    <message>
        <source>check PROGRAM.kxc [--json|--format=gcc] list every faulty line of a program text</source>
        <extracomment>CliCheckSynopsis</extracomment>
        <translation>check PROGRAM.kxc [--json|--format=gcc] list every faulty line of a program text</translation>
    </message>
    <message>
        <source>usage: tarvex check PROGRAM.kxc [--json | --format=gcc]

Checks every code line before the first END as the compile does (labels
included), without stopping at the first fault, and writes nothing.
Prints PROGRAM.kxc:LINE: MESSAGE for each faulty line, LINE being the line in
the text file and MESSAGE the compile's message were that line the first
fault; then PROGRAM.kxc: followed by the missing-End warning when no END was
reached. With --json prints one array of {line, codeLine, code, message}
instead, the missing END being the entry with line 0. With --format=gcc
prints PROGRAM.kxc:LINE:COLUMN: error: MESSAGE (COLUMN counting characters to
the faulty operand, 1 for a fault of the whole line) and
PROGRAM.kxc:LINE:1: warning: MESSAGE on the last line for the missing END.

exit status: 0 clean, 1 a line is faulty, 2 only END is missing,
4 program unreadable, 64 bad command line.
</source>
        <extracomment>CliCheckHelp</extracomment>
        <translation>usage: tarvex check PROGRAM.kxc [--json | --format=gcc]

Checks every code line before the first END as the compile does (labels
included), without stopping at the first fault, and writes nothing.
Prints PROGRAM.kxc:LINE: MESSAGE for each faulty line, LINE being the line in
the text file and MESSAGE the compile's message were that line the first
fault; then PROGRAM.kxc: followed by the missing-End warning when no END was
reached. With --json prints one array of {line, codeLine, code, message}
instead, the missing END being the entry with line 0. With --format=gcc
prints PROGRAM.kxc:LINE:COLUMN: error: MESSAGE (COLUMN counting characters to
the faulty operand, 1 for a fault of the whole line) and
PROGRAM.kxc:LINE:1: warning: MESSAGE on the last line for the missing END.

exit status: 0 clean, 1 a line is faulty, 2 only END is missing,
4 program unreadable, 64 bad command line.
</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <extracomment>CliCheckMissingEnd CliDisasmRefused</extracomment>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>ports [--json]                        list the serial ports with their details</source>
        <extracomment>CliPortsSynopsis</extracomment>
        <translation>ports [--json]                        list the serial ports with their details</translation>
    </message>
    <message>
        <source>usage: tarvex ports [--json]

Lists every serial port the system reports, and on Linux the /dev/serial/by-id
links, one a line: the device, then description, manufacturer, USB vendor:product
and serial number where known. With --json prints one array of
{path, target, description, manufacturer, vendorId, productId, serialNumber}.
A USB adapter can be named in tarvex download as --port usb:VID:PID[:SERIAL].

exit status: 0 listed (also when there is none), 64 bad command line.
</source>
        <extracomment>CliPortsHelp</extracomment>
        <translation>usage: tarvex ports [--json]

Lists every serial port the system reports, and on Linux the /dev/serial/by-id
links, one a line: the device, then description, manufacturer, USB vendor:product
and serial number where known. With --json prints one array of
{path, target, description, manufacturer, vendorId, productId, serialNumber}.
A USB adapter can be named in tarvex download as --port usb:VID:PID[:SERIAL].

exit status: 0 listed (also when there is none), 64 bad command line.
</translation>
    </message>
    <message>
        <source>ports takes no file</source>
        <extracomment>CliPortsTakesNoFile</extracomment>
        <translation>ports takes no file</translation>
    </message>
    <message>
        <source>disasm OBJECT.kxo                     print an object program as program text</source>
        <extracomment>CliDisasmSynopsis</extracomment>
        <translation>disasm OBJECT.kxo                     print an object program as program text</translation>
    </message>
    <message>
        <source>usage: tarvex disasm OBJECT.kxo

Prints the object program as program text, one line per record, with CR LF line
ends as the editor writes them: compiling the output gives the same file byte
for byte.

exit status: 0 printed, 1 not an object program that program text can express,
4 file unreadable, 64 bad command line.
</source>
        <extracomment>CliDisasmHelp</extracomment>
        <translation>usage: tarvex disasm OBJECT.kxo

Prints the object program as program text, one line per record, with CR LF line
ends as the editor writes them: compiling the output gives the same file byte
for byte.

exit status: 0 printed, 1 not an object program that program text can express,
4 file unreadable, 64 bad command line.
</translation>
    </message>
    <message>
        <source>expected one object file</source>
        <extracomment>CliDisasmExpectsOneObject</extracomment>
        <translation>expected one object file</translation>
    </message>
    <message>
        <source>emulate [--store DIR] [FAULTS...]     serve a virtual controller on a new pty</source>
        <extracomment>CliEmulateSynopsis</extracomment>
        <translation>emulate [--store DIR] [FAULTS...]     serve a virtual controller on a new pty</translation>
    </message>
    <message>
        <source>unexpected argument %1</source>
        <extracomment>CliUnexpectedArgument</extracomment>
        <translation>unexpected argument %1</translation>
    </message>
    <message>
        <source>%1 needs a whole number, not %2</source>
        <extracomment>CliNeedsWholeNumber</extracomment>
        <translation>%1 needs a whole number, not %2</translation>
    </message>
    <message>
        <source>%1 needs bytes such as 7,200, not %2</source>
        <extracomment>CliNeedsBytes</extracomment>
        <translation>%1 needs bytes such as 7,200, not %2</translation>
    </message>
    <message>
        <source>registers new|read|write FILE ...   create, read or write a register file page</source>
        <extracomment>CliRegistersSynopsis</extracomment>
        <translation>registers new|read|write FILE ...   create, read or write a register file page</translation>
    </message>
    <message>
        <source>expected new, read or write and a register file</source>
        <extracomment>CliRegistersExpectsAction</extracomment>
        <translation>expected new, read or write and a register file</translation>
    </message>
    <message>
        <source>new takes only the file</source>
        <extracomment>CliRegistersNewTakesFile</extracomment>
        <translation>new takes only the file</translation>
    </message>
    <message>
        <source>unknown action %1</source>
        <extracomment>CliRegistersUnknownAction</extracomment>
        <translation>unknown action %1</translation>
    </message>
    <message>
        <source>expected a page base</source>
        <extracomment>CliRegistersExpectsBase</extracomment>
        <translation>expected a page base</translation>
    </message>
    <message>
        <source>page base must be a register number from 0 to 4103</source>
        <extracomment>CliRegistersBadBase</extracomment>
        <translation>page base must be a register number from 0 to 4103</translation>
    </message>
    <message>
        <source>read takes the file and the page base only</source>
        <extracomment>CliRegistersReadTakes</extracomment>
        <translation>read takes the file and the page base only</translation>
    </message>
    <message>
        <source>write takes exactly 24 values</source>
        <extracomment>CliRegistersWriteTakes</extracomment>
        <translation>write takes exactly 24 values</translation>
    </message>
    <message>
        <source>“请填入不多于9个的字符。” (%1)</source>
        <extracomment>CliRegistersValueTooLong</extracomment>
        <translation>“Enter no more than 9 characters.” (%1)</translation>
    </message>
    <message>
        <source>a value holds a line break</source>
        <extracomment>CliRegistersLineBreak</extracomment>
        <translation>a value holds a line break</translation>
    </message>
    <message>
        <source>download program|params|screen FILE   send a file to the controller (--port)</source>
        <extracomment>CliDownloadSynopsis</extracomment>
        <translation>download program|params|screen FILE   send a file to the controller (--port)</translation>
    </message>
    <message>
        <source>expected program|params|screen and a file</source>
        <extracomment>CliDownloadExpectsKindAndFile</extracomment>
        <translation>expected program|params|screen and a file</translation>
    </message>
    <message>
        <source>unknown download %1; expected program, params or screen</source>
        <extracomment>CliDownloadUnknownKind</extracomment>
        <translation>unknown download %1; expected program, params or screen</translation>
    </message>
    <message>
        <source>--port is required</source>
        <extracomment>CliDownloadNeedsPort</extracomment>
        <translation>--port is required</translation>
    </message>
    <message>
        <source>--port must be COM1 to COM255, a device path such as /dev/ttyUSB0 or
usb:VID:PID[:SERIAL], not %1</source>
        <extracomment>CliDownloadBadPort</extracomment>
        <translation>--port must be COM1 to COM255, a device path such as /dev/ttyUSB0 or
usb:VID:PID[:SERIAL], not %1</translation>
    </message>
    <message>
        <source>--kind must be startup, parameter or status, not %1</source>
        <extracomment>CliDownloadBadScreenKind</extracomment>
        <translation>--kind must be startup, parameter or status, not %1</translation>
    </message>
    <message>
        <source>--registers needs four numbers A,B,C,D, not %1</source>
        <extracomment>CliDownloadBadRegisters</extracomment>
        <translation>--registers needs four numbers A,B,C,D, not %1</translation>
    </message>
    <message>
        <source>--baud must be 4800, 9600 or 19200, not %1</source>
        <extracomment>CliDownloadBadBaud</extracomment>
        <translation>--baud must be 4800, 9600 or 19200, not %1</translation>
    </message>
    <message>
        <source>[%1%2] %3/%4 packets, %5 left</source>
        <extracomment>CliProgress</extracomment>
        <translation>[%1%2] %3/%4 packets, %5 left</translation>
    </message>
    <message>
        <source>screen BITMAP.bmp [-o DATA.dat]       convert a bitmap to screen data</source>
        <extracomment>CliScreenSynopsis</extracomment>
        <translation>screen BITMAP.bmp [-o DATA.dat]       convert a bitmap to screen data</translation>
    </message>
    <message>
        <source>usage: tarvex screen BITMAP.bmp [-o DATA.dat]

Checks a 64 x 128 one-bit bitmap as the screen download does and writes its 1024
bytes of screen data to DATA.dat (default: dat01.dat in the application data
folder, the file the screen download sends). Prints the message of a failed check.

exit status: 0 converted, 1 the bitmap failed a check, 3 the data file could not be
written, 4 the bitmap could not be read, 64 bad command line.
</source>
        <extracomment>CliScreenHelp</extracomment>
        <translation>usage: tarvex screen BITMAP.bmp [-o DATA.dat]

Checks a 64 x 128 one-bit bitmap as the screen download does and writes its 1024
bytes of screen data to DATA.dat (default: dat01.dat in the application data
folder, the file the screen download sends). Prints the message of a failed check.

exit status: 0 converted, 1 the bitmap failed a check, 3 the data file could not be
written, 4 the bitmap could not be read, 64 bad command line.
</translation>
    </message>
    <message>
        <source>expected one bitmap</source>
        <extracomment>CliScreenExpectsOneBitmap</extracomment>
        <translation>expected one bitmap</translation>
    </message>
    <message>
        <source>%1 must be a number from 0 to 9999, not %2</source>
        <extracomment>CliDownloadBadNumber</extracomment>
        <translation>%1 must be a number from 0 to 9999, not %2</translation>
    </message>
    <message>
        <source>查找(&amp;F)...	Ctrl+F</source>
        <extracomment>MenuFind</extracomment>
        <translation>&amp;Find...	Ctrl+F</translation>
    </message>
    <message>
        <source>查找指定的文字</source>
        <extracomment>MenuFindTip</extracomment>
        <translation>Find the given text</translation>
    </message>
    <message>
        <source>替换(&amp;R)...	Ctrl+H</source>
        <extracomment>MenuReplace</extracomment>
        <translation>&amp;Replace...	Ctrl+H</translation>
    </message>
    <message>
        <source>用其它文字替换指定的文字</source>
        <extracomment>MenuReplaceTip</extracomment>
        <translation>Replace the given text with other text</translation>
    </message>
    <message>
        <source>查找下一个(&amp;N)	F3</source>
        <extracomment>MenuFindNext</extracomment>
        <translation>Find &amp;Next	F3</translation>
    </message>
    <message>
        <source>重复上次的查找</source>
        <extracomment>MenuFindNextTip</extracomment>
        <translation>Repeat the last search</translation>
    </message>
    <message>
        <source>查找上一个(&amp;V)	Shift+F3</source>
        <extracomment>MenuFindPrevious</extracomment>
        <translation>Find Pre&amp;vious	Shift+F3</translation>
    </message>
    <message>
        <source>向前重复上次的查找</source>
        <extracomment>MenuFindPreviousTip</extracomment>
        <translation>Repeat the last search backwards</translation>
    </message>
    <message>
        <source>转到行(&amp;G)...	Ctrl+G</source>
        <extracomment>MenuGoToLine</extracomment>
        <translation>&amp;Go To Line...	Ctrl+G</translation>
    </message>
    <message>
        <source>移到指定的行</source>
        <extracomment>MenuGoToLineTip</extracomment>
        <translation>Move to the given line</translation>
    </message>
    <message>
        <source>下一个问题	F4</source>
        <extracomment>MenuNextProblem</extracomment>
        <translation>Next Problem	F4</translation>
    </message>
    <message>
        <source>移到下一处错误</source>
        <extracomment>MenuNextProblemTip</extracomment>
        <translation>Move to the next fault</translation>
    </message>
    <message>
        <source>上一个问题	Shift+F4</source>
        <extracomment>MenuPreviousProblem</extracomment>
        <translation>Previous Problem	Shift+F4</translation>
    </message>
    <message>
        <source>移到上一处错误</source>
        <extracomment>MenuPreviousProblemTip</extracomment>
        <translation>Move to the previous fault</translation>
    </message>
    <message>
        <source>问题列表</source>
        <extracomment>MenuProblems</extracomment>
        <translation>Problems</translation>
    </message>
    <message>
        <source>显示或隐藏问题列表</source>
        <extracomment>MenuProblemsTip</extracomment>
        <translation>Show or hide the problem list</translation>
    </message>
    <message>
        <source>放大	Ctrl++</source>
        <extracomment>MenuZoomIn</extracomment>
        <translation>Zoom In	Ctrl++</translation>
    </message>
    <message>
        <source>放大程序文字</source>
        <extracomment>MenuZoomInTip</extracomment>
        <translation>Enlarge the program text</translation>
    </message>
    <message>
        <source>缩小	Ctrl+-</source>
        <extracomment>MenuZoomOut</extracomment>
        <translation>Zoom Out	Ctrl+-</translation>
    </message>
    <message>
        <source>缩小程序文字</source>
        <extracomment>MenuZoomOutTip</extracomment>
        <translation>Shrink the program text</translation>
    </message>
    <message>
        <source>原始大小	Ctrl+0</source>
        <extracomment>MenuZoomReset</extracomment>
        <translation>Actual Size	Ctrl+0</translation>
    </message>
    <message>
        <source>恢复程序文字的原始大小</source>
        <extracomment>MenuZoomResetTip</extracomment>
        <translation>Restore the program text to its original size</translation>
    </message>
    <message>
        <source>问题</source>
        <extracomment>ProblemsTitle</extracomment>
        <translation>Problems</translation>
    </message>
    <message>
        <source>行</source>
        <extracomment>ProblemsEditorLine</extracomment>
        <translation>Line</translation>
    </message>
    <message>
        <source>问题</source>
        <extracomment>ProblemsMessage</extracomment>
        <translation>Problem</translation>
    </message>
    <message>
        <source>查找</source>
        <extracomment>FindCaption</extracomment>
        <translation>Find</translation>
    </message>
    <message>
        <source>替换</source>
        <extracomment>ReplaceCaption</extracomment>
        <translation>Replace</translation>
    </message>
    <message>
        <source>查找内容(&amp;N)：</source>
        <extracomment>FindWhat</extracomment>
        <translation>Fi&amp;nd what:</translation>
    </message>
    <message>
        <source>替换为(&amp;P)：</source>
        <extracomment>ReplaceWith</extracomment>
        <translation>Re&amp;place with:</translation>
    </message>
    <message>
        <source>区分大小写(&amp;C)</source>
        <extracomment>FindMatchCase</extracomment>
        <translation>Match &amp;case</translation>
    </message>
    <message>
        <source>向上(&amp;U)</source>
        <extracomment>FindUp</extracomment>
        <translation>&amp;Up</translation>
    </message>
    <message>
        <source>查找下一个(&amp;F)</source>
        <extracomment>FindNextButton</extracomment>
        <translation>&amp;Find Next</translation>
    </message>
    <message>
        <source>替换(&amp;R)</source>
        <extracomment>ReplaceButton</extracomment>
        <translation>&amp;Replace</translation>
    </message>
    <message>
        <source>全部替换(&amp;A)</source>
        <extracomment>ReplaceAllButton</extracomment>
        <translation>Replace &amp;All</translation>
    </message>
    <message>
        <source>找不到“%1”</source>
        <extracomment>FindNotFound</extracomment>
        <translation>Cannot find “%1”</translation>
    </message>
    <message>
        <source>已替换 %1 处</source>
        <extracomment>ReplacedCount</extracomment>
        <translation>Replaced %1 occurrences</translation>
    </message>
    <message>
        <source>替换后程序将超过容量，没有替换。</source>
        <extracomment>ReplaceBeyondCapacity</extracomment>
        <translation>Replacing would exceed the program capacity; nothing was replaced.</translation>
    </message>
    <message>
        <source>转到行</source>
        <extracomment>GoToCaption</extracomment>
        <translation>Go To Line</translation>
    </message>
    <message>
        <source>行号(1 - %1)(&amp;L)：</source>
        <extracomment>GoToLabel</extracomment>
        <translation>&amp;Line number (1 - %1):</translation>
    </message>
    <message>
        <source>%1：无操作数</source>
        <extracomment>HintNoOperands</extracomment>
        <translation>%1: no operands</translation>
    </message>
    <message>
        <source>%1：%2</source>
        <extracomment>HintOneOperand</extracomment>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>%1：%2，%3</source>
        <extracomment>HintTwoOperands</extracomment>
        <translation>%1: %2, %3</translation>
    </message>
    <message>
        <source>%1：%2，%3，%4</source>
        <extracomment>HintThreeOperands</extracomment>
        <translation>%1: %2, %3, %4</translation>
    </message>
    <message>
        <source>%1：%2，%3，%4，%5</source>
        <extracomment>HintFourOperands</extracomment>
        <translation>%1: %2, %3, %4, %5</translation>
    </message>
    <message>
        <source>%1：%2，%3，%4，%5，%6</source>
        <extracomment>HintFiveOperands</extracomment>
        <translation>%1: %2, %3, %4, %5, %6</translation>
    </message>
    <message>
        <source>数字 %1–%2</source>
        <extracomment>HintNumber</extracomment>
        <translation>number %1–%2</translation>
    </message>
    <message>
        <source>目标行 %1–%2</source>
        <extracomment>HintTarget</extracomment>
        <translation>target line %1–%2</translation>
    </message>
    <message>
        <source>小数</source>
        <extracomment>HintFloat</extracomment>
        <translation>decimal</translation>
    </message>
    <message>
        <source>寄存器 S%1–S%2</source>
        <extracomment>HintSRegister</extracomment>
        <translation>register S%1–S%2</translation>
    </message>
    <message>
        <source>寄存器 M/F %1–%2</source>
        <extracomment>HintMFRegister</extracomment>
        <translation>register M/F %1–%2</translation>
    </message>
    <message>
        <source>位 B/I/J/O %1–%2</source>
        <extracomment>HintBit</extracomment>
        <translation>bit B/I/J/O %1–%2</translation>
    </message>
    <message>
        <source>寄存器 M/F/S %1–%2</source>
        <extracomment>HintRegister</extracomment>
        <translation>register M/F/S %1–%2</translation>
    </message>
    <message>
        <source>数字 %1–%2 或寄存器 M/F/S</source>
        <extracomment>HintNumberOrRegister</extracomment>
        <translation>number %1–%2 or register M/F/S</translation>
    </message>
    <message>
        <source>%1* - Tarvex620B-KF</source>
        <extracomment>WindowTitleModified</extracomment>
        <translation>%1* - Tarvex620B-KF</translation>
    </message>
    <message>
        <source>Tarvex620B文件 (*.kxc)|*.kxc|目标程序 (*.kxo)|*.kxo|所有文件 (*.*)|*.*||</source>
        <extracomment>ProgramOpenFilter</extracomment>
        <translation>Tarvex620B Files (*.kxc)|*.kxc|Object Programs (*.kxo)|*.kxo|All Files (*.*)|*.*||</translation>
    </message>
    <message>
        <source>%1 不能转为程序文本：%2</source>
        <extracomment>ObjectNotDisassembled</extracomment>
        <translation>%1 cannot be turned into program text: %2</translation>
    </message>
    <message>
        <source>语言 / Language</source>
        <extracomment>MenuLanguage</extracomment>
        <translation>语言 / Language</translation>
    </message>
    <message>
        <source>跟随系统</source>
        <extracomment>LanguageSystem</extracomment>
        <translation>Follow System</translation>
    </message>
    <message>
        <source>按系统的区域设置选择界面语言</source>
        <extracomment>LanguageSystemTip</extracomment>
        <translation>Choose the interface language from the system's locale</translation>
    </message>
    <message>
        <source>中文</source>
        <extracomment>LanguageChinese</extracomment>
        <translation>中文</translation>
    </message>
    <message>
        <source>界面使用中文</source>
        <extracomment>LanguageChineseTip</extracomment>
        <translation>Show the interface in Chinese</translation>
    </message>
    <message>
        <source>English</source>
        <extracomment>LanguageEnglish</extracomment>
        <translation>English</translation>
    </message>
    <message>
        <source>界面使用英文</source>
        <extracomment>LanguageEnglishTip</extracomment>
        <translation>Show the interface in English</translation>
    </message>
    <message>
        <source>界面语言将在下次启动时更改。</source>
        <extracomment>LanguageAtNextStart</extracomment>
        <translation>The interface language changes at the next start.</translation>
    </message>
    <message>
        <source>快速传输</source>
        <extracomment>SerialFastTransfer</extracomment>
        <translation>Fast transfer</translation>
    </message>
    <message>
        <source>正在编译，请稍候……</source>
        <extracomment>CompileRunning</extracomment>
        <translation>Compiling, please wait...</translation>
    </message>
    <message>
        <source>串口已断开！</source>
        <extracomment>LineLost</extracomment>
        <translation>The serial line was lost!</translation>
    </message>
    <message>
        <source>串口已恢复，点击重新连接</source>
        <extracomment>LinkReconnectOffer</extracomment>
        <translation>The serial port is back: click to reconnect</translation>
    </message>
    <message>
        <source>%1
原因：没有使用 %2 的权限，该设备属于 %3 组。
处理：执行 sudo usermod -aG %3 $USER，然后注销并重新登录。</source>
        <extracomment>OpenFailedPermission</extracomment>
        <translation>%1
Why: no permission to use %2; the device belongs to group %3.
Fix: run sudo usermod -aG %3 $USER, then log out and log in again.</translation>
    </message>
    <message>
        <source>%1
原因：没有使用 %2 的权限。
处理：把当前用户加入该设备所属的组，然后注销并重新登录。</source>
        <extracomment>OpenFailedPermissionNoGroup</extracomment>
        <translation>%1
Why: no permission to use %2.
Fix: add your user to the group that owns the device, then log out and log in again.</translation>
    </message>
    <message>
        <source>%1
原因：%2 正被其他程序占用。
处理：关闭占用该串口的程序（串口终端、ModemManager 等）后重试。</source>
        <extracomment>OpenFailedBusy</extracomment>
        <translation>%1
Why: %2 is in use by another program.
Fix: close the program holding the port (a serial terminal, ModemManager ...) and try again.</translation>
    </message>
    <message>
        <source>%1
原因：找不到 %2。
处理：检查串口名称和连接线，或在串口设置中重新选择串口。</source>
        <extracomment>OpenFailedNotFound</extracomment>
        <translation>%1
Why: %2 was not found.
Fix: check the port name and the cable, or choose the port again in the serial settings.</translation>
    </message>
    <message>
        <source>%1
收到应答 %2 个，重发请求 %3 次，超时重发 %4 次，不符合协议的字节 %5 个。
%6
可能的原因：%7</source>
        <extracomment>AbandonExplained</extracomment>
        <translation>%1
Answers received: %2, resend requests: %3, timed resends: %4, bytes that fit no rule: %5.
%6
Likely cause: %7</translation>
    </message>
    <message>
        <source>最后一个字节之后已 %1 秒无数据。</source>
        <extracomment>AbandonSilentFor</extracomment>
        <translation>No data for %1 s since the last byte.</translation>
    </message>
    <message>
        <source>从未收到控制器的任何字节。</source>
        <extracomment>AbandonNeverAnswered</extracomment>
        <translation>No byte ever came back from the controller.</translation>
    </message>
    <message>
        <source>重发请求很多，请检查电缆和波特率。</source>
        <extracomment>CauseManyResends</extracomment>
        <translation>many resend requests: check the cable and the baud rate.</translation>
    </message>
    <message>
        <source>没有收到任何字节，串口或波特率不对，或控制器未上电。</source>
        <extracomment>CauseNoByte</extracomment>
        <translation>no byte ever came back: wrong port or baud rate, or the controller is off.</translation>
    </message>
    <message>
        <source>收到不符合协议的字节，请检查波特率。</source>
        <extracomment>CauseUnmatchedBytes</extracomment>
        <translation>bytes that fit no rule arrived: check the baud rate.</translation>
    </message>
    <message>
        <source>控制器中途停止应答，请检查电缆和控制器电源。</source>
        <extracomment>CauseStoppedAnswering</extracomment>
        <translation>the controller stopped answering midway: check the cable and its power.</translation>
    </message>
    <message>
        <source>串口监视</source>
        <extracomment>WireMonitorTitle</extracomment>
        <translation>Wire Monitor</translation>
    </message>
    <message>
        <source>串口监视(&amp;W)</source>
        <extracomment>WireMonitorMenu</extracomment>
        <translation>&amp;Wire Monitor</translation>
    </message>
    <message>
        <source>显示串口上收发的每个字节及其含义</source>
        <extracomment>WireMonitorMenuTip</extracomment>
        <translation>Show every byte sent and received on the serial line with its meaning</translation>
    </message>
    <message>
        <source>保存串口记录</source>
        <extracomment>WireMonitorSaveTitle</extracomment>
        <translation>Save Wire Trace</translation>
    </message>
    <message>
        <source>串口记录 (*.txt)|*.txt|Wireshark 抓包 (*.pcap)|*.pcap|表格 CSV (*.csv)|*.csv|所有文件 (*.*)|*.*||</source>
        <extracomment>WireMonitorFilter</extracomment>
        <translation>Wire traces (*.txt)|*.txt|Wireshark captures (*.pcap)|*.pcap|CSV tables (*.csv)|*.csv|All Files (*.*)|*.*||</translation>
    </message>
    <message>
        <source>串口记录.txt</source>
        <extracomment>WireMonitorDefaultName</extracomment>
        <translation>wire-trace.txt</translation>
    </message>
    <message>
        <source>共 %1 行，最多保留 %2 行</source>
        <extracomment>WireMonitorCount</extracomment>
        <translation>%1 lines, at most %2 kept</translation>
    </message>
    <message>
        <source>tarvex emulate: cannot read the trace %1</source>
        <extracomment>EmulatorTraceUnreadable</extracomment>
        <translation>tarvex emulate: cannot read the trace %1</translation>
    </message>
    <message>
        <source>tarvex emulate: %1 line %2 is no trace line</source>
        <extracomment>EmulatorTraceBadLine</extracomment>
        <translation>tarvex emulate: %1 line %2 is no trace line</translation>
    </message>
    <message>
        <source>tarvex emulate: replayed %1 of %2 writes, %3 unlike the trace</source>
        <extracomment>EmulatorReplayed</extracomment>
        <translation>tarvex emulate: replayed %1 of %2 writes, %3 unlike the trace</translation>
    </message>
    <message>
        <source>寄存器数据已修改，是否保存？</source>
        <extracomment>RegistersUnsaved</extracomment>
        <translation>The register values were changed. Save them?</translation>
    </message>
    <message>
        <source>寄存器S%1到S%2已保存到 %3。</source>
        <extracomment>RegistersSavedNote</extracomment>
        <translation>Registers S%1 to S%2 saved to %3.</translation>
    </message>
    <message>
        <source>寄存器总表</source>
        <extracomment>RegistersTableCommand, RegistersTableCaption</extracomment>
        <translation>Register Table</translation>
    </message>
    <message>
        <source>在一个表中查看、查找、比较和修改全部4096个寄存器</source>
        <extracomment>RegistersTableCommandTip</extracomment>
        <translation>View, find, compare and change all 4096 registers in one table</translation>
    </message>
    <message>
        <source>寄存器</source>
        <extracomment>RegistersTableNumber</extracomment>
        <translation>Register</translation>
    </message>
    <message>
        <source>数值</source>
        <extracomment>RegistersTableValue</extracomment>
        <translation>Value</translation>
    </message>
    <message>
        <source>对比值</source>
        <extracomment>RegistersTableOther</extracomment>
        <translation>Compared value</translation>
    </message>
    <message>
        <source>对比文件</source>
        <extracomment>RegistersTableCompare</extracomment>
        <translation>Compare with</translation>
    </message>
    <message>
        <source>对比 %1：%2 个寄存器数值不同。</source>
        <extracomment>RegistersTableCompared</extracomment>
        <translation>Compared with %1: %2 registers differ.</translation>
    </message>
    <message>
        <source>查找：</source>
        <extracomment>RegistersTableFind</extracomment>
        <translation>Find:</translation>
    </message>
    <message>
        <source>寄存器号或数值</source>
        <extracomment>RegistersTableFindHint</extracomment>
        <translation>Register number or value</translation>
    </message>
    <message>
        <source>查找下一个</source>
        <extracomment>RegistersTableFindNext</extracomment>
        <translation>Find Next</translation>
    </message>
    <message>
        <source>没有找到“%1”。</source>
        <extracomment>RegistersTableNotFound</extracomment>
        <translation>&quot;%1&quot; was not found.</translation>
    </message>
    <message>
        <source>导入CSV</source>
        <extracomment>RegistersTableImport</extracomment>
        <translation>Import CSV</translation>
    </message>
    <message>
        <source>导出CSV</source>
        <extracomment>RegistersTableExport</extracomment>
        <translation>Export CSV</translation>
    </message>
    <message>
        <source>已从 %1 导入 %2 个寄存器，尚未保存。</source>
        <extracomment>RegistersTableImported</extracomment>
        <translation>%2 registers imported from %1, not saved yet.</translation>
    </message>
    <message>
        <source>全部寄存器已导出到 %1。</source>
        <extracomment>RegistersTableExported</extracomment>
        <translation>All registers exported to %1.</translation>
    </message>
    <message>
        <source>寄存器数据已保存到 %1。</source>
        <extracomment>RegistersTableSavedNote</extracomment>
        <translation>Register values saved to %1.</translation>
    </message>
    <message>
        <source>CSV Files(*.csv)|*.csv||</source>
        <extracomment>RegistersCsvFilter</extracomment>
        <translation>CSV Files(*.csv)|*.csv||</translation>
    </message>
    <message>
        <source>%1 未导入，寄存器文件没有改动：
%2</source>
        <extracomment>RegistersCsvRefused</extracomment>
        <translation>%1 was not imported; the register file is unchanged:
%2</translation>
    </message>
    <message>
        <source>第%1行：寄存器号“%2”不正确，应为S0000到S4095。</source>
        <extracomment>RegistersCsvBadNumber</extracomment>
        <translation>Line %1: register number &quot;%2&quot; is wrong; it must be S0000 to S4095.</translation>
    </message>
    <message>
        <source>第%1行：寄存器%2重复出现。</source>
        <extracomment>RegistersCsvDuplicate</extracomment>
        <translation>Line %1: register %2 appears twice.</translation>
    </message>
    <message>
        <source>第%1行：应为“寄存器号,数值”两列。</source>
        <extracomment>RegistersCsvColumns</extracomment>
        <translation>Line %1: expected two columns, &quot;number,value&quot;.</translation>
    </message>
    <message>
        <source>第%1行：引号不成对。</source>
        <extracomment>RegistersCsvQuote</extracomment>
        <translation>Line %1: unbalanced quotes.</translation>
    </message>
    <message>
        <source>第%1行：寄存器%2的数值多于9个字符。</source>
        <extracomment>RegistersCsvTooLong</extracomment>
        <translation>Line %1: the value of register %2 is longer than 9 characters.</translation>
    </message>
    <message>
        <source>第%1行：寄存器%2的数值含有换行。</source>
        <extracomment>RegistersCsvLineBreak</extracomment>
        <translation>Line %1: the value of register %2 contains a line break.</translation>
    </message>
    <message>
        <source>画面转换</source>
        <extracomment>PictureImportCaption</extracomment>
        <translation>Picture Import</translation>
    </message>
    <message>
        <source>画面转换(&amp;P)...</source>
        <extracomment>CommandPictureImport, ScreenDownloadImport</extracomment>
        <translation>&amp;Picture Import...</translation>
    </message>
    <message>
        <source>把任意图片转换为 64 × 128 的液晶画面位图</source>
        <extracomment>CommandPictureImportTip</extracomment>
        <translation>Turn any picture into a 64 × 128 LCD screen bitmap</translation>
    </message>
    <message>
        <source>打开图片(&amp;O)...</source>
        <extracomment>PictureOpen</extracomment>
        <translation>&amp;Open Picture...</translation>
    </message>
    <message>
        <source>原图</source>
        <extracomment>PictureSourceGroup</extracomment>
        <translation>Picture</translation>
    </message>
    <message>
        <source>向左旋转(&amp;L)</source>
        <extracomment>PictureRotateLeft</extracomment>
        <translation>Rotate &amp;Left</translation>
    </message>
    <message>
        <source>向右旋转(&amp;R)</source>
        <extracomment>PictureRotateRight</extracomment>
        <translation>Rotate &amp;Right</translation>
    </message>
    <message>
        <source>反色(&amp;I)</source>
        <extracomment>PictureInvert</extracomment>
        <translation>&amp;Invert</translation>
    </message>
    <message>
        <source>阈值(&amp;T)：</source>
        <extracomment>PictureThresholdLabel</extracomment>
        <translation>&amp;Threshold:</translation>
    </message>
    <message>
        <source>抖动(&amp;D)：</source>
        <extracomment>PictureDitherLabel</extracomment>
        <translation>&amp;Dithering:</translation>
    </message>
    <message>
        <source>无</source>
        <extracomment>PictureDitherNone</extracomment>
        <translation>None</translation>
    </message>
    <message>
        <source>有序抖动</source>
        <extracomment>PictureDitherOrdered</extracomment>
        <translation>Ordered</translation>
    </message>
    <message>
        <source>误差扩散</source>
        <extracomment>PictureDitherDiffusion</extracomment>
        <translation>Floyd–Steinberg</translation>
    </message>
    <message>
        <source>适配(&amp;F)：</source>
        <extracomment>PictureFitLabel</extracomment>
        <translation>&amp;Fit:</translation>
    </message>
    <message>
        <source>拉伸</source>
        <extracomment>PictureFitScale</extracomment>
        <translation>Scale</translation>
    </message>
    <message>
        <source>裁剪</source>
        <extracomment>PictureFitCrop</extracomment>
        <translation>Crop</translation>
    </message>
    <message>
        <source>留白</source>
        <extracomment>PictureFitPad</extracomment>
        <translation>Pad</translation>
    </message>
    <message>
        <source>放大(&amp;Z)：</source>
        <extracomment>PictureZoomLabel</extracomment>
        <translation>&amp;Zoom:</translation>
    </message>
    <message>
        <source>%1 倍</source>
        <extracomment>PictureZoomFactor</extracomment>
        <translation>%1×</translation>
    </message>
    <message>
        <source>保存并下载(&amp;W)...</source>
        <extracomment>PictureSaveAndDownload</extracomment>
        <translation>Save and Do&amp;wnload...</translation>
    </message>
    <message>
        <source>图片文件(*.png;*.bmp;*.jpg;*.jpeg;*.gif;*.pbm;*.pgm;*.ppm)|*.png;*.bmp;*.jpg;*.jpeg;*.gif;*.pbm;*.pgm;*.ppm|所有文件(*.*)|*.*||</source>
        <extracomment>PictureFilter</extracomment>
        <translation>Pictures(*.png;*.bmp;*.jpg;*.jpeg;*.gif;*.pbm;*.pgm;*.ppm)|*.png;*.bmp;*.jpg;*.jpeg;*.gif;*.pbm;*.pgm;*.ppm|All Files(*.*)|*.*||</translation>
    </message>
    <message>
        <source>不能读取图片： %1 ！</source>
        <extracomment>PictureCannotRead</extracomment>
        <translation>Cannot read picture: %1</translation>
    </message>
    <message>
        <source>%1
需要 64 × 128、1 位色、1086 字节的 BMP 文件，可用“画面转换”生成。</source>
        <extracomment>ScreenCheckRefused</extracomment>
        <translation>%1
A 64 × 128, 1-bit, 1086-byte BMP file is needed; Picture Import makes one.</translation>
    </message>
    <message>
        <source>%1
需要 64 × 128、1 位色、1086 字节的 BMP 文件，可用“画面转换”生成。
是否用“画面转换”打开这个文件？</source>
        <extracomment>ScreenCheckRefusedOffer</extracomment>
        <translation>%1
A 64 × 128, 1-bit, 1086-byte BMP file is needed; Picture Import makes one.
Open this file in Picture Import?</translation>
    </message>
    <message>
        <source>发送的画面</source>
        <extracomment>ScreenDownloadPreviewGroup</extracomment>
        <translation>Screen as sent</translation>
    </message>
    <message>
        <source>usage: tarvex emulate [--store DIR] [FAULT OPTIONS]

Serves a virtual controller on a new pseudo-terminal until SIGINT or SIGTERM.
The first line of output is the device to open (for example /dev/pts/3), at any
baud rate; then one line per completed transfer. It answers the handshake 1 with
1 and every start, header and data frame with its command byte.

  --store DIR            write each completed transfer into DIR: programs as
                         program-NNN.kxo, parameter pages as register files
                         parameters-page-NNN.dat, screens as PBM pictures
                         screen-KIND-NNN.pbm
  --replay FILE          answer as the controller in the trace FILE did (written by
                         tarvex download --trace or the 串口监视 window)
  --silent               never answer
  --handshake-first B,.. answer the handshake with these bytes before its 1
  --resend-every K       ask for a resend (90) of every K-th header or data frame
  --delay MS             answer MS milliseconds late
  --stop-after N         go silent after answering N frames
  --noise B,..           send these bytes ahead of every answer
  --hang-up-after N      close the line after N frames, as a pulled cable would
  --line-rate BAUD       hold every byte in and out for its time on a real line
                         at BAUD (11 bits a byte), so a pty is as slow as a cable
  --units N              a line of N units: after each farewell the line is silent
                         for --swap MS (default 300, at least 200), then the next
                         unit answers;
                         with --store each unit keeps its transfers in
                         DIR/unit-NNN; --faulty-unit K gives the fault options
                         to the K-th unit only

exit status: 0 stopped by a signal, 1 no pseudo-terminal, 64 bad command line.
</source>
        <extracomment>CliEmulateHelp</extracomment>
        <translation>usage: tarvex emulate [--store DIR] [FAULT OPTIONS]

Serves a virtual controller on a new pseudo-terminal until SIGINT or SIGTERM.
The first line of output is the device to open (for example /dev/pts/3), at any
baud rate; then one line per completed transfer. It answers the handshake 1 with
1 and every start, header and data frame with its command byte.

  --store DIR            write each completed transfer into DIR: programs as
                         program-NNN.kxo, parameter pages as register files
                         parameters-page-NNN.dat, screens as PBM pictures
                         screen-KIND-NNN.pbm
  --replay FILE          answer as the controller in the trace FILE did (written by
                         tarvex download --trace or the Wire Monitor window)
  --silent               never answer
  --handshake-first B,.. answer the handshake with these bytes before its 1
  --resend-every K       ask for a resend (90) of every K-th header or data frame
  --delay MS             answer MS milliseconds late
  --stop-after N         go silent after answering N frames
  --noise B,..           send these bytes ahead of every answer
  --hang-up-after N      close the line after N frames, as a pulled cable would
  --line-rate BAUD       hold every byte in and out for its time on a real line
                         at BAUD (11 bits a byte), so a pty is as slow as a cable
  --units N              a line of N units: after each farewell the line is silent
                         for --swap MS (default 300, at least 200), then the next
                         unit answers;
                         with --store each unit keeps its transfers in
                         DIR/unit-NNN; --faulty-unit K gives the fault options
                         to the K-th unit only

exit status: 0 stopped by a signal, 1 no pseudo-terminal, 64 bad command line.
</translation>
    </message>
    <message>
        <source>usage: tarvex registers new FILE
       tarvex registers read FILE BASE
       tarvex registers write FILE BASE V0 ... V23
       tarvex registers diff A.dat B.dat
       tarvex registers export FILE.dat FILE.csv
       tarvex registers import FILE.dat FILE.csv

new creates (or empties) a register file holding only its identification line.
read prints the 24 value texts of the page that holds register BASE, one per line.
write puts 24 value texts (at most 9 characters each, taken as typed) on that page,
completing the file to 4096 registers, as the register settings editor saves.
BASE is a register number 0 to 4103, rounded down to its page (0, 24, ... 4080).
Values may start with a minus sign; nothing after BASE is read as an option.
diff prints &quot;S0012: 5 -&gt; 7&quot; for each register whose number differs (exit 1 if any).
export writes &quot;number,value&quot; and one row per register; import takes such rows
(S0012 or 12), checks every value as write does and, if one row is refused, names
its line and writes nothing; otherwise the named registers change in one safe write.

exit status: 0 done, 1 diff found differences or import refused rows, 3 the file
could not be written, 4 the file could not be read or is no register file,
64 bad command line.
</source>
        <extracomment>CliRegistersHelp</extracomment>
        <translation>usage: tarvex registers new FILE
       tarvex registers read FILE BASE
       tarvex registers write FILE BASE V0 ... V23
       tarvex registers diff A.dat B.dat
       tarvex registers export FILE.dat FILE.csv
       tarvex registers import FILE.dat FILE.csv

new creates (or empties) a register file holding only its identification line.
read prints the 24 value texts of the page that holds register BASE, one per line.
write puts 24 value texts (at most 9 characters each, taken as typed) on that page,
completing the file to 4096 registers, as the register settings editor saves.
BASE is a register number 0 to 4103, rounded down to its page (0, 24, ... 4080).
Values may start with a minus sign; nothing after BASE is read as an option.
diff prints &quot;S0012: 5 -&gt; 7&quot; for each register whose number differs (exit 1 if any).
export writes &quot;number,value&quot; and one row per register; import takes such rows
(S0012 or 12), checks every value as write does and, if one row is refused, names
its line and writes nothing; otherwise the named registers change in one safe write.

exit status: 0 done, 1 diff found differences or import refused rows, 3 the file
could not be written, 4 the file could not be read or is no register file,
64 bad command line.
</translation>
    </message>
    <message>
        <source>usage: tarvex download program OBJECT.kxo --port DEV [--baud B] [--number N] [--force]
       tarvex download params REGISTERS.dat --port DEV [--baud B] [--page P]
       tarvex download screen BITMAP.bmp --port DEV [--baud B]
               [--kind startup|parameter|status] [--number N] [--registers A,B,C,D]
               [--scratch DATA.dat]

Checks the file as the download dialog does, connects (handshake 1, answered by 1),
runs the transfer with the dialog's timer and resend rules, and says goodbye (136).
DEV is a device path from the root (/dev/ttyUSB0), COMn, which names /dev/ttyS(n-1),
or usb:VID:PID[:SERIAL] (hex ids), the USB adapter under its present name;
B is 4800 (default), 9600 or 19200.
--fast sends each next frame as soon as its answer is in instead of on the next
tick (the serial settings' 快速传输); resends and giving up still count ticks.
--port given more than once sends the file to every port at the same time: one
progress line and one summary line per port; the exit status is the highest of them.
--trace FILE writes every byte sent and read (time, direction, hex, meaning) into
FILE, also when the transfer fails; FILE.1, FILE.2 ... for several ports.
Numbers are read as the dialogs read them: program number 001, page 001, screen 0
and registers 0 unless given. A screen is converted into the scratch file first
(default: dat01.dat in the application data folder).
An object program whose last record is not END (what a failed compile may leave)
is refused unless --force is given.
Messages go to stdout, a progress bar (packets done, total, time left) to stderr.

exit status: 0 transfer finished, 1 file or number refused, 3 scratch file not
written, 4 file unreadable, 5 port not opened or no handshake, 6 the controller
stopped answering, 7 the line was lost (device gone or hung up), 8 finished but
answers showed the controller may hold wrong data, 64 bad command line, 130/143
stopped by SIGINT/SIGTERM (port left clean).
</source>
        <extracomment>CliDownloadHelp</extracomment>
        <translation>usage: tarvex download program OBJECT.kxo --port DEV [--baud B] [--number N] [--force]
       tarvex download params REGISTERS.dat --port DEV [--baud B] [--page P]
       tarvex download screen BITMAP.bmp --port DEV [--baud B]
               [--kind startup|parameter|status] [--number N] [--registers A,B,C,D]
               [--scratch DATA.dat]

Checks the file as the download dialog does, connects (handshake 1, answered by 1),
runs the transfer with the dialog's timer and resend rules, and says goodbye (136).
DEV is a device path from the root (/dev/ttyUSB0), COMn, which names /dev/ttyS(n-1),
or usb:VID:PID[:SERIAL] (hex ids), the USB adapter under its present name;
B is 4800 (default), 9600 or 19200.
--fast sends each next frame as soon as its answer is in instead of on the next
tick (the serial settings' Fast transfer); resends and giving up still count ticks.
--port given more than once sends the file to every port at the same time: one
progress line and one summary line per port; the exit status is the highest of them.
--trace FILE writes every byte sent and read (time, direction, hex, meaning) into
FILE, also when the transfer fails; FILE.1, FILE.2 ... for several ports.
Numbers are read as the dialogs read them: program number 001, page 001, screen 0
and registers 0 unless given. A screen is converted into the scratch file first
(default: dat01.dat in the application data folder).
An object program whose last record is not END (what a failed compile may leave)
is refused unless --force is given.
Messages go to stdout, a progress bar (packets done, total, time left) to stderr.

exit status: 0 transfer finished, 1 file or number refused, 3 scratch file not
written, 4 file unreadable, 5 port not opened or no handshake, 6 the controller
stopped answering, 7 the line was lost (device gone or hung up), 8 finished but
answers showed the controller may hold wrong data, 64 bad command line, 130/143
stopped by SIGINT/SIGTERM (port left clean).
</translation>
    </message>
    <message>
        <source>usage: tarvex screen BITMAP.bmp [-o DATA.dat]
       tarvex screen import PICTURE -o SCREEN.bmp [--rotate left|right] [--invert]
                     [--threshold N] [--dither none|ordered|fs] [--fit scale|crop|pad]
       tarvex screen preview SCREEN.bmp|DATA.dat

Checks a 64 x 128 one-bit bitmap as the screen download does and writes its 1024
bytes of screen data to DATA.dat (default: dat01.dat in the application data
folder, the file the screen download sends). Prints the message of a failed check.

import turns any picture (PNG, BMP, JPEG, GIF, PBM...) into the 1086-byte bitmap
the screen download takes: turned 90 degrees left or right, fitted to 64 x 128
(scale stretches it, crop fills the screen and cuts the rest, pad shows it whole on
white; default scale), inverted if asked, and made one-bit: a grey below N (0 to
255, default 128) is dark, with ordered or Floyd-Steinberg dithering if asked.
preview prints a screen bitmap or screen data file as the display will show it,
two rows a line in half blocks.

exit status: 0 done, 1 the bitmap failed a check, 3 the output could not be
written, 4 the bitmap or picture could not be read, 64 bad command line.
</source>
        <extracomment>CliScreenHelpAll</extracomment>
        <translation>usage: tarvex screen BITMAP.bmp [-o DATA.dat]
       tarvex screen import PICTURE -o SCREEN.bmp [--rotate left|right] [--invert]
                     [--threshold N] [--dither none|ordered|fs] [--fit scale|crop|pad]
       tarvex screen preview SCREEN.bmp|DATA.dat

Checks a 64 x 128 one-bit bitmap as the screen download does and writes its 1024
bytes of screen data to DATA.dat (default: dat01.dat in the application data
folder, the file the screen download sends). Prints the message of a failed check.

import turns any picture (PNG, BMP, JPEG, GIF, PBM...) into the 1086-byte bitmap
the screen download takes: turned 90 degrees left or right, fitted to 64 x 128
(scale stretches it, crop fills the screen and cuts the rest, pad shows it whole on
white; default scale), inverted if asked, and made one-bit: a grey below N (0 to
255, default 128) is dark, with ordered or Floyd-Steinberg dithering if asked.
preview prints a screen bitmap or screen data file as the display will show it,
two rows a line in half blocks.

exit status: 0 done, 1 the bitmap failed a check, 3 the output could not be
written, 4 the bitmap or picture could not be read, 64 bad command line.
</translation>
    </message>
    <message>
        <source>import takes one picture and -o SCREEN.bmp</source>
        <extracomment>CliScreenImportTakes</extracomment>
        <translation>import takes one picture and -o SCREEN.bmp</translation>
    </message>
    <message>
        <source>preview takes one screen bitmap or screen data file</source>
        <extracomment>CliScreenPreviewTakes</extracomment>
        <translation>preview takes one screen bitmap or screen data file</translation>
    </message>
    <message>
        <source>%1 works only with screen import</source>
        <extracomment>CliScreenImportOption</extracomment>
        <translation>%1 works only with screen import</translation>
    </message>
    <message>
        <source>--rotate must be left or right, not %1</source>
        <extracomment>CliScreenBadRotate</extracomment>
        <translation>--rotate must be left or right, not %1</translation>
    </message>
    <message>
        <source>--threshold must be a number from 0 to 255, not %1</source>
        <extracomment>CliScreenBadThreshold</extracomment>
        <translation>--threshold must be a number from 0 to 255, not %1</translation>
    </message>
    <message>
        <source>--dither must be none, ordered or fs, not %1</source>
        <extracomment>CliScreenBadDither</extracomment>
        <translation>--dither must be none, ordered or fs, not %1</translation>
    </message>
    <message>
        <source>--fit must be scale, crop or pad, not %1</source>
        <extracomment>CliScreenBadFit</extracomment>
        <translation>--fit must be scale, crop or pad, not %1</translation>
    </message>
    <message>
        <source>%1: %2 (exit status %3)</source>
        <extracomment>CliDownloadPortSummary</extracomment>
        <translation>%1: %2 (exit status %3)</translation>
    </message>
    <message>
        <source>tarvex download: the trace %1 was not written: %2</source>
        <extracomment>CliTraceNotWritten</extracomment>
        <translation>tarvex download: the trace %1 was not written: %2</translation>
    </message>
    <message>
        <source>--replay answers as the trace did and takes no other option</source>
        <extracomment>CliReplayAlone</extracomment>
        <translation>--replay answers as the trace did and takes no other option</translation>
    </message>
    <message>
        <source>diff takes two register files</source>
        <extracomment>CliRegistersDiffTakes</extracomment>
        <translation>diff takes two register files</translation>
    </message>
    <message>
        <source>%1 takes the register file and the CSV file</source>
        <extracomment>CliRegistersCsvTakes</extracomment>
        <translation>%1 takes the register file and the CSV file</translation>
    </message>
    <message>
        <source>%1: %2 -&gt; %3</source>
        <extracomment>CliRegistersDiffLine</extracomment>
        <translation>%1: %2 -&gt; %3</translation>
    </message>
    <message>
        <source>cannot read %1</source>
        <extracomment>CliRegistersCsvUnreadable</extracomment>
        <translation>cannot read %1</translation>
    </message>
    <message>
        <source>串口已断开</source>
        <extracomment>LogOutcomeLost</extracomment>
        <translation>serial line lost</translation>
    </message>
    <message>
        <source>下载记录未能写入：%1</source>
        <extracomment>LedgerNotWritten</extracomment>
        <translation>The download record could not be written: %1</translation>
    </message>
    <message>
        <source>在存取 %1 时文件大小超出限制。</source>
        <extracomment>FileSizeLimit</extracomment>
        <translation>The file size limit was exceeded while accessing %1.</translation>
    </message>
    <message>
        <source>第%1行：%2 的值“%3”，控制器将读作 %4</source>
        <extracomment>CsvValueReadsAs</extracomment>
        <translation>Line %1: the value "%3" of %2 will be read by the controller as %4</translation>
    </message>
    <message>
        <source>图片太大： %1 有 %2 字节，最多 %3 字节！</source>
        <extracomment>PictureTooLarge</extracomment>
        <translation>Picture too large: %1 has %2 bytes, at most %3 bytes!</translation>
    </message>
    <message>
        <source>第%1行：含有空字符（NUL）。</source>
        <extracomment>RegistersCsvNul</extracomment>
        <translation>Line %1: holds a NUL character.</translation>
    </message>
    <message>
        <source>%1 第 %2 行：不是有效的 JSON（%3）。</source>
        <extracomment>JobBadJson</extracomment>
        <translation>%1 line %2: not valid JSON (%3).</translation>
    </message>
    <message>
        <source>无法读取作业文件 %1。</source>
        <extracomment>JobUnreadable</extracomment>
        <translation>Cannot read the job file %1.</translation>
    </message>
    <message>
        <source>%1：缺少字段 %2。</source>
        <extracomment>JobFieldMissing</extracomment>
        <translation>%1: field %2 is missing.</translation>
    </message>
    <message>
        <source>%1：字段 %2 的值 %3 不可用。</source>
        <extracomment>JobFieldBad</extracomment>
        <translation>%1: field %2 cannot be %3.</translation>
    </message>
    <message>
        <source>%1：未知字段 %2。</source>
        <extracomment>JobUnknownField</extracomment>
        <translation>%1: unknown field %2.</translation>
    </message>
    <message>
        <source>%1：%2 不是已知的步骤（program、params 或 screen）。</source>
        <extracomment>JobUnknownStep</extracomment>
        <translation>%1: %2 is no known step (program, params or screen).</translation>
    </message>
    <message>
        <source>%1：不支持格式版本 %2。</source>
        <extracomment>JobFormatVersion</extracomment>
        <translation>%1: format version %2 is not supported.</translation>
    </message>
    <message>
        <source>%1：盖印寄存器 %2 不在 0 到 4095 之间。</source>
        <extracomment>JobStampRegisterRange</extracomment>
        <translation>%1: the stamp register %2 is not between 0 and 4095.</translation>
    </message>
    <message>
        <source>%1：盖印寄存器 %2 不在作业的任何寄存器文件中。</source>
        <extracomment>JobStampNoRegisterFile</extracomment>
        <translation>%1: the stamp register %2 is in no register file of the job.</translation>
    </message>
    <message>
        <source>%1 第 %2 行：应为 unit 列和寄存器列（如 unit,S0100）。</source>
        <extracomment>JobCsvBadHeader</extracomment>
        <translation>%1 line %2: expected a unit column and register columns (such as unit,S0100).</translation>
    </message>
    <message>
        <source>%1 第 %2 行：%3 不是寄存器列。</source>
        <extracomment>JobCsvBadColumn</extracomment>
        <translation>%1 line %2: %3 is no register column.</translation>
    </message>
    <message>
        <source>%1 第 %2 行：单元行与表头不符。</source>
        <extracomment>JobCsvBadRow</extracomment>
        <translation>%1 line %2: the unit row does not match the header.</translation>
    </message>
    <message>
        <source>%1 第 %2 行：单元 %3 重复。</source>
        <extracomment>JobCsvDuplicateUnit</extracomment>
        <translation>%1 line %2: unit %3 appears twice.</translation>
    </message>
    <message>
        <source>%1：%2 第 %3 行：%4</source>
        <extracomment>JobCompileRefused</extracomment>
        <translation>%1: %2 line %3: %4</translation>
    </message>
    <message>
        <source>%1：文件 %2 的格式不对。</source>
        <extracomment>JobFileBadFormat</extracomment>
        <translation>%1: the file %2 has the wrong format.</translation>
    </message>
    <message>
        <source>%1：文件 %2 须相对于作业文件。</source>
        <extracomment>JobPathNotRelative</extracomment>
        <translation>%1: the file %2 must be relative to the job file.</translation>
    </message>
    <message>
        <source>%1：无法读取文件 %2。</source>
        <extracomment>JobInputUnreadable</extracomment>
        <translation>%1: cannot read the file %2.</translation>
    </message>
    <message>
        <source>单元编号文件 %1 无法读写。</source>
        <extracomment>JobStateUnusable</extracomment>
        <translation>The unit number file %1 cannot be read or written.</translation>
    </message>
    <message>
        <source>单元 %1 不在 %2 中或已编程。</source>
        <extracomment>JobUnitNotAvailable</extracomment>
        <translation>Unit %1 is not in %2 or was already programmed.</translation>
    </message>
    <message>
        <source>%1 中的单元已全部编程。</source>
        <extracomment>JobNoUnitsLeft</extracomment>
        <translation>Every unit in %1 has been programmed.</translation>
    </message>
    <message>
        <source>单元编号 %1 超过 %2 位。</source>
        <extracomment>JobCounterTooWide</extracomment>
        <translation>The unit number %1 has more than %2 digits.</translation>
    </message>
    <message>
        <source>作业文件 %1 在批准后已改动，请重新批准。</source>
        <extracomment>JobChanged</extracomment>
        <translation>The job file %1 has changed since it was approved; approve it again.</translation>
    </message>
    <message>
        <source>作业文件 %1 尚未批准，请先运行 tarvex job approve。</source>
        <extracomment>JobNotApproved</extracomment>
        <translation>The job file %1 is not approved; run tarvex job approve first.</translation>
    </message>
    <message>
        <source>作业文件 %1 已批准：%2 个文件，批准散列 %3。</source>
        <extracomment>JobApproved</extracomment>
        <translation>The job file %1 is approved: %2 files, approval hash %3.</translation>
    </message>
    <message>
        <source>%1  %2 的目标程序</source>
        <extracomment>JobObjectHash</extracomment>
        <translation>%1  object program of %2</translation>
    </message>
    <message>
        <source>作业文件 %1 检查通过：%2 个步骤。</source>
        <extracomment>JobCheckPassed</extracomment>
        <translation>The job file %1 passed its checks: %2 steps.</translation>
    </message>
    <message>
        <source>作业文件 %1 已写好：%2 个步骤。</source>
        <extracomment>JobWritten</extracomment>
        <translation>The job file %1 is written: %2 steps.</translation>
    </message>
    <message>
        <source>无法写入作业文件 %1：%2</source>
        <extracomment>JobNotWritten</extracomment>
        <translation>Cannot write the job file %1: %2</translation>
    </message>
    <message>
        <source>单元 %1：通过（%2 个步骤）</source>
        <extracomment>JobUnitPassed</extracomment>
        <translation>unit %1: passed (%2 steps)</translation>
    </message>
    <message>
        <source>单元 %1：%2，步骤 %3（%4）：%5</source>
        <extracomment>JobUnitFailed</extracomment>
        <translation>unit %1: %2 at step %3 (%4): %5</translation>
    </message>
    <message>
        <source>合计：通过 %1，失败 %2，停止 %3</source>
        <extracomment>JobTotals</extracomment>
        <translation>totals: %1 passed, %2 failed, %3 stopped</translation>
    </message>
    <message>
        <source>等待下一台单元……</source>
        <extracomment>JobWaitingForUnit</extracomment>
        <translation>waiting for the next unit...</translation>
    </message>
    <message>
        <source>等待单元离开……</source>
        <extracomment>JobWaitingForLeave</extracomment>
        <translation>waiting for the unit to leave...</translation>
    </message>
    <message>
        <source>单元记录文件 %1 无法写入，作业不能开始。</source>
        <extracomment>JobLedgerUnwritable</extracomment>
        <translation>The unit ledger %1 cannot be written; the job does not start.</translation>
    </message>
    <message>
        <source>单元记录未能写入 %1。</source>
        <extracomment>JobRecordNotWritten</extracomment>
        <translation>The unit record could not be written to %1.</translation>
    </message>
    <message>
        <source>无法读取单元记录文件 %1。</source>
        <extracomment>LedgerUnreadable</extracomment>
        <translation>Cannot read the unit ledger %1.</translation>
    </message>
    <message>
        <source>%1 第 %2 行不是完整的单元记录，已跳过。</source>
        <extracomment>LedgerLineSkipped</extracomment>
        <translation>%1 line %2 is not a whole unit record; skipped.</translation>
    </message>
    <message>
        <source>%1  %2  单元 %3  %4  %5  %6 个步骤</source>
        <extracomment>LedgerUnitLine</extracomment>
        <translation>%1  %2  unit %3  %4  %5  %6 steps</translation>
    </message>
    <message>
        <source>job new|approve|check|run JOB        commission units from a job file</source>
        <extracomment>CliJobSynopsis</extracomment>
        <translation>job new|approve|check|run JOB        commission units from a job file</translation>
    </message>
    <message>
        <source>usage: tarvex job new JOB.tvjob --program FILE [--number N]
               [--params FILE --page P]... [--screen FILE --kind startup|parameter|status
               --screen-number N --registers A,B,C,D]...
               [--stamp S0100:START:STEP:DIGITS | --stamp-csv FILE]
       tarvex job approve JOB.tvjob
       tarvex job check JOB.tvjob
       tarvex job run JOB.tvjob --port DEV [--port DEV]... [--unit ID] [--operator NAME]
               [--loop [--units N]] [--ledger FILE] [--baud B] [--fast] [--golden]

A job (UTF-8 JSON, paths relative to the job file) is an ordered list of steps: a
program (.kxo, or .kxc compiled at the start of each run), register files with
their parameter page, screens (a 64 x 128 bitmap or any picture); and an optional
stamp: per-unit register values written into the copy that is sent, from a counter
or from a CSV of unit rows (unit,S0100,...). The register file never changes.
new writes a job with the steps in the order given. approve records the SHA-256
of every input; check validates every step and prints the hashes; run refuses a
job changed since its approval, takes the next unit number (kept in JOB.state,
never handed out twice), connects, runs every step as tarvex download does, stops
at the first failing step, says goodbye and appends one line per unit to the unit
ledger. --loop then waits for the unit to leave and for the next one. --port given
more than once runs one loop per port. --golden records the wire traffic of the first
passing unit as the golden run (JOB.golden); every later unit is compared with it,
stamped bytes left out, and its record says how it differs. A unit cut off is
recorded as interrupted at the next run. Exit status as tarvex download.
</source>
        <extracomment>CliJobHelp</extracomment>
        <translation>usage: tarvex job new JOB.tvjob --program FILE [--number N]
               [--params FILE --page P]... [--screen FILE --kind startup|parameter|status
               --screen-number N --registers A,B,C,D]...
               [--stamp S0100:START:STEP:DIGITS | --stamp-csv FILE]
       tarvex job approve JOB.tvjob
       tarvex job check JOB.tvjob
       tarvex job run JOB.tvjob --port DEV [--port DEV]... [--unit ID] [--operator NAME]
               [--loop [--units N]] [--ledger FILE] [--baud B] [--fast] [--golden]

A job (UTF-8 JSON, paths relative to the job file) is an ordered list of steps: a
program (.kxo, or .kxc compiled at the start of each run), register files with
their parameter page, screens (a 64 x 128 bitmap or any picture); and an optional
stamp: per-unit register values written into the copy that is sent, from a counter
or from a CSV of unit rows (unit,S0100,...). The register file never changes.
new writes a job with the steps in the order given. approve records the SHA-256
of every input; check validates every step and prints the hashes; run refuses a
job changed since its approval, takes the next unit number (kept in JOB.state,
never handed out twice), connects, runs every step as tarvex download does, stops
at the first failing step, says goodbye and appends one line per unit to the unit
ledger. --loop then waits for the unit to leave and for the next one. --port given
more than once runs one loop per port. --golden records the wire traffic of the first
passing unit as the golden run (JOB.golden); every later unit is compared with it,
stamped bytes left out, and its record says how it differs. A unit cut off is
recorded as interrupted at the next run. Exit status as tarvex download.
</translation>
    </message>
    <message>
        <source>ledger                               show the record of every unit</source>
        <extracomment>CliLedgerSynopsis</extracomment>
        <translation>ledger                               show the record of every unit</translation>
    </message>
    <message>
        <source>usage: tarvex ledger [--unit ID] [--job NAME] [--since DATE] [--failed]
                     [--csv|--json] [--ledger FILE]

Reads the unit ledger (units.jsonl in the application data folder, or FILE): one
line per unit, or CSV, or one JSON object per line. A torn or foreign line is
reported with its line number and skipped.
</source>
        <extracomment>CliLedgerHelp</extracomment>
        <translation>usage: tarvex ledger [--unit ID] [--job NAME] [--since DATE] [--failed]
                     [--csv|--json] [--ledger FILE]

Reads the unit ledger (units.jsonl in the application data folder, or FILE): one
line per unit, or CSV, or one JSON object per line. A torn or foreign line is
reported with its line number and skipped.
</translation>
    </message>
    <message>
        <source>unknown job action %1 (new, approve, check or run)</source>
        <extracomment>CliJobUnknownAction</extracomment>
        <translation>unknown job action %1 (new, approve, check or run)</translation>
    </message>
    <message>
        <source>expected one job file</source>
        <extracomment>CliJobExpectsOneJob</extracomment>
        <translation>expected one job file</translation>
    </message>
    <message>
        <source>job new needs --program FILE</source>
        <extracomment>CliJobNeedsProgram</extracomment>
        <translation>job new needs --program FILE</translation>
    </message>
    <message>
        <source>--stamp must be SREG:START:STEP:DIGITS, such as S0100:1000:1:4, not %1</source>
        <extracomment>CliJobBadStamp</extracomment>
        <translation>--stamp must be SREG:START:STEP:DIGITS, such as S0100:1000:1:4, not %1</translation>
    </message>
    <message>
        <source>ledger takes no file (use --ledger FILE)</source>
        <extracomment>CliLedgerTakesNoFile</extracomment>
        <translation>ledger takes no file (use --ledger FILE)</translation>
    </message>
    <message>
        <source>--csv and --json exclude each other</source>
        <extracomment>CliLedgerOneFormat</extracomment>
        <translation>--csv and --json exclude each other</translation>
    </message>
    <message>
        <source>--since must be a date such as 2026-12-10 or 2026-12-10T08:00, not %1</source>
        <extracomment>CliLedgerBadDate</extracomment>
        <translation>--since must be a date such as 2026-12-10 or 2026-12-10T08:00, not %1</translation>
    </message>
    <message>
        <source>失败</source>
        <extracomment>JobOutcomeFailed</extracomment>
        <translation>failed</translation>
    </message>
    <message>
        <source>已停止</source>
        <extracomment>JobOutcomeStopped</extracomment>
        <translation>stopped</translation>
    </message>
    <message>
        <source>与基准一致</source>
        <extracomment>GoldenMatches</extracomment>
        <translation>matches the golden run</translation>
    </message>
    <message>
        <source>多出 %1 次重发</source>
        <extracomment>GoldenExtraResends</extracomment>
        <translation>%1 extra resends</translation>
    </message>
    <message>
        <source>多出 %1 个意外字节</source>
        <extracomment>GoldenUnexpectedBytes</extracomment>
        <translation>%1 more unexpected bytes</translation>
    </message>
    <message>
        <source>帧数不同：基准 %1，本台 %2</source>
        <extracomment>GoldenFrameCount</extracomment>
        <translation>frame count differs: golden run %1, this unit %2</translation>
    </message>
    <message>
        <source>第 %1 帧内容不同</source>
        <extracomment>GoldenDifferentPayload</extracomment>
        <translation>different payload in frame %1</translation>
    </message>
    <message>
        <source>基准记录已写入 %1。</source>
        <extracomment>GoldenRecorded</extracomment>
        <translation>golden trace written to %1.</translation>
    </message>
    <message>
        <source>无法读取基准记录 %1。</source>
        <extracomment>GoldenUnreadable</extracomment>
        <translation>cannot read the golden trace %1.</translation>
    </message>
    <message>
        <source>  基准：%1</source>
        <extracomment>LedgerGolden</extracomment>
        <translation>  golden: %1</translation>
    </message>
    <message>
        <source>单元 %1 上次运行被中断，已记为中断。</source>
        <extracomment>JobUnitInterrupted</extracomment>
        <translation>unit %1 was cut off in the last run; recorded as interrupted.</translation>
    </message>
    <message>
        <source>%1:%2:%3: error: %4</source>
        <extracomment>CliCheckGccError</extracomment>
        <translation>%1:%2:%3: error: %4</translation>
    </message>
    <message>
        <source>%1:%2:1: warning: %3</source>
        <extracomment>CliCheckGccWarning</extracomment>
        <translation>%1:%2:1: warning: %3</translation>
    </message>
    <message>
        <source>unknown format %1 (the one format is gcc)</source>
        <extracomment>CliCheckUnknownFormat</extracomment>
        <translation>unknown format %1 (the one format is gcc)</translation>
    </message>
    <message>
        <source>lsp                                   language server for other editors (stdin/stdout)</source>
        <extracomment>CliLspSynopsis</extracomment>
        <translation>lsp                                   language server for other editors (stdin/stdout)</translation>
    </message>
    <message>
        <source>usage: tarvex lsp

A language server (LSP 3.17) on standard input and output, for editors such
as Neovim, VS Code and Kate: the live check's diagnostics, hovers, completion,
labels to go to and the program's labels as symbols. It runs until the editor
sends exit or closes its input.

exit status: 0 after shutdown and exit, 1 otherwise.
</source>
        <extracomment>CliLspHelp</extracomment>
        <translation>usage: tarvex lsp

A language server (LSP 3.17) on standard input and output, for editors such
as Neovim, VS Code and Kate: the live check's diagnostics, hovers, completion,
labels to go to and the program's labels as symbols. It runs until the editor
sends exit or closes its input.

exit status: 0 after shutdown and exit, 1 otherwise.
</translation>
    </message>
    <message>
        <source>标号 %1：第 %2 代码行</source>
        <extracomment>LspLabelHover</extracomment>
        <translation>label %1: code line %2</translation>
    </message>
    <message>
        <source>寄存器 %1</source>
        <extracomment>LspRegisterLetter</extracomment>
        <translation>register %1</translation>
    </message>
    <message>
        <source>位 %1</source>
        <extracomment>LspBitLetter</extracomment>
        <translation>bit %1</translation>
    </message>
    <message>
        <source>消息不是有效的 JSON</source>
        <extracomment>LspParseError</extracomment>
        <translation>the message is not valid JSON</translation>
    </message>
    <message>
        <source>消息不是有效的请求</source>
        <extracomment>LspInvalidRequest</extracomment>
        <translation>the message is not a valid request</translation>
    </message>
    <message>
        <source>不支持的方法：%1</source>
        <extracomment>LspMethodNotFound</extracomment>
        <translation>method not supported: %1</translation>
    </message>
    <message>
        <source>服务尚未初始化</source>
        <extracomment>LspNotInitialized</extracomment>
        <translation>the server is not initialized</translation>
    </message>
    <message>
        <source>参数无效</source>
        <extracomment>LspInvalidParams</extracomment>
        <translation>invalid parameters</translation>
    </message>
    <message>
        <source>消息太大：%1 字节，最多 %2 字节</source>
        <extracomment>LspMessageTooLarge</extracomment>
        <translation>message too large: %1 bytes, at most %2</translation>
    </message>
    <message>
        <source>消息头无效：%1</source>
        <extracomment>LspBadHeader</extracomment>
        <translation>invalid message header: %1</translation>
    </message>
    <message>
        <source>syntax --kate|--vim|--vim-ftdetect     print a syntax definition for another editor</source>
        <extracomment>CliSyntaxSynopsis</extracomment>
        <translation>syntax --kate|--vim|--vim-ftdetect     print a syntax definition for another editor</translation>
    </message>
    <message>
        <source>usage: tarvex syntax --kate | --vim | --vim-ftdetect

Prints a syntax definition made from the instruction table: --kate the
KSyntaxHighlighting XML (Kate, KDevelop; put it in
~/.local/share/org.kde.syntax-highlighting/syntax/tarvex.xml), --vim the Vim
syntax file (~/.vim/syntax/tarvex.vim), --vim-ftdetect the file-type rule that
selects it for .kxc files (~/.vim/ftdetect/tarvex.vim). The package installs
all three for every user.

exit status: 0 printed, 64 bad command line.
</source>
        <extracomment>CliSyntaxHelp</extracomment>
        <translation>usage: tarvex syntax --kate | --vim | --vim-ftdetect

Prints a syntax definition made from the instruction table: --kate the
KSyntaxHighlighting XML (Kate, KDevelop; put it in
~/.local/share/org.kde.syntax-highlighting/syntax/tarvex.xml), --vim the Vim
syntax file (~/.vim/syntax/tarvex.vim), --vim-ftdetect the file-type rule that
selects it for .kxc files (~/.vim/ftdetect/tarvex.vim). The package installs
all three for every user.

exit status: 0 printed, 64 bad command line.
</translation>
    </message>
    <message>
        <source>expected one of --kate, --vim and --vim-ftdetect</source>
        <extracomment>CliSyntaxExpectsOneKind</extracomment>
        <translation>expected one of --kate, --vim and --vim-ftdetect</translation>
    </message>
    <message>
        <source>trace export TRACE [--pcap OUT] [--csv OUT]  a trace for Wireshark or a spreadsheet</source>
        <extracomment>CliTraceSynopsis</extracomment>
        <translation>trace export TRACE [--pcap OUT] [--csv OUT]  a trace for Wireshark or a spreadsheet</translation>
    </message>
    <message>
        <source>usage: tarvex trace export TRACE [--pcap OUT] [--csv OUT]

Writes a wire trace (from download --trace or the wire monitor) for other
tools; at least one of:
  --pcap OUT  a pcap file, one packet per line of the trace, its time kept;
              link type USER0 (147), each packet starting with a direction
              byte (0 host to controller, 1 controller to host) and the
              trace's meaning (1 handshake, 2 start, 3 header, 4 data, 5 end,
              6 acknowledge, 7 resend request, 8 farewell, 9 unexpected, 0
              none). The package installs a Wireshark dissector for it.
  --csv OUT   time_ms, delta_ms, direction, bytes, meaning, latency_ms (for a
              handshake, acknowledge or resend request from the controller,
              since the unit it answers).

exit status: 0 written, 1 a line is no trace line, 3 an output not written,
4 trace unreadable, 64 bad command line.
</source>
        <extracomment>CliTraceHelp</extracomment>
        <translation>usage: tarvex trace export TRACE [--pcap OUT] [--csv OUT]

Writes a wire trace (from download --trace or the wire monitor) for other
tools; at least one of:
  --pcap OUT  a pcap file, one packet per line of the trace, its time kept;
              link type USER0 (147), each packet starting with a direction
              byte (0 host to controller, 1 controller to host) and the
              trace's meaning (1 handshake, 2 start, 3 header, 4 data, 5 end,
              6 acknowledge, 7 resend request, 8 farewell, 9 unexpected, 0
              none). The package installs a Wireshark dissector for it.
  --csv OUT   time_ms, delta_ms, direction, bytes, meaning, latency_ms (for a
              handshake, acknowledge or resend request from the controller,
              since the unit it answers).

exit status: 0 written, 1 a line is no trace line, 3 an output not written,
4 trace unreadable, 64 bad command line.
</translation>
    </message>
    <message>
        <source>expected export TRACE and --pcap OUT or --csv OUT</source>
        <extracomment>CliTraceExpectsExport</extracomment>
        <translation>expected export TRACE and --pcap OUT or --csv OUT</translation>
    </message>
    <message>
        <source>%1:%2: 不是串口记录行</source>
        <extracomment>CliTraceNotATraceLine</extracomment>
        <translation>%1:%2: not a trace line</translation>
    </message>
    <message>
        <source>虚拟控制器（试用）</source>
        <extracomment>VirtualControllerPort</extracomment>
        <translation>Virtual controller (trial)</translation>
    </message>
    <message>
        <source>找不到虚拟控制器程序 %1。</source>
        <extracomment>VirtualControllerNoTool</extracomment>
        <translation>The virtual controller program %1 was not found.</translation>
    </message>
    <message>
        <source>虚拟控制器未能启动：%1</source>
        <extracomment>VirtualControllerNotStarted</extracomment>
        <translation>The virtual controller did not start: %1</translation>
    </message>
    <message>
        <source>需重新连接</source>
        <extracomment>LinkStateReconnect</extracomment>
        <translation>connect again</translation>
    </message>
    <message>
        <source>连接或断开控制器 (Ctrl+L)</source>
        <extracomment>LinkToggleTip</extracomment>
        <translation>Connect to or disconnect from the controller (Ctrl+L)</translation>
    </message>
    <message>
        <source>控制器需重新连接：F5 或 Ctrl+L</source>
        <extracomment>StatusReconnectNeeded</extracomment>
        <translation>Connect to the controller again: F5 or Ctrl+L</translation>
    </message>
    <message>
        <source>正在连接控制器 %1…</source>
        <extracomment>StatusConnectingForDownload</extracomment>
        <translation>Connecting to the controller on %1…</translation>
    </message>
    <message>
        <source>下载完成：%1 %2，%3 帧，%4 秒</source>
        <extracomment>StatusDownloadFinished</extracomment>
        <translation>Download finished: %1 %2, %3 frames, %4 s</translation>
    </message>
    <message>
        <source>下载完成但有异常应答：%1 %2，%3 帧，请重新下载并核对</source>
        <extracomment>StatusDownloadSuspect</extracomment>
        <translation>Download finished with unexpected answers: %1 %2, %3 frames; download again and check</translation>
    </message>
    <message>
        <source>下载失败：%1</source>
        <extracomment>StatusDownloadFailed</extracomment>
        <translation>Download failed: %1</translation>
    </message>
    <message>
        <source>下载已停止：%1 %2，已发送 %3 帧</source>
        <extracomment>StatusDownloadStopped</extracomment>
        <translation>Download stopped: %1 %2, %3 frames sent</translation>
    </message>
    <message>
        <source>下载程序 %1</source>
        <extracomment>ProgressTitleProgram</extracomment>
        <translation>Downloading program %1</translation>
    </message>
    <message>
        <source>下载参数 第 %1 页</source>
        <extracomment>ProgressTitleParams</extracomment>
        <translation>Downloading parameters, page %1</translation>
    </message>
    <message>
        <source>%1 / %2 帧（%3%），已用 %4，等待控制器应答… %5 秒</source>
        <extracomment>ProgressStalled</extracomment>
        <translation>%1 / %2 frames (%3%), %4 elapsed, waiting for the controller… %5 s</translation>
    </message>
    <message>
        <source>重做(&amp;R)	Ctrl+Y</source>
        <extracomment>CommandRedo</extracomment>
        <translation>&amp;Redo	Ctrl+Y</translation>
    </message>
    <message>
        <source>重做上一步撤消的操作</source>
        <extracomment>CommandRedoTip</extracomment>
        <translation>Redo the last undone action</translation>
    </message>
    <message>
        <source>显示字符设置(&amp;D)...</source>
        <extracomment>CommandCharacters</extracomment>
        <translation>&amp;Display characters...</translation>
    </message>
    <message>
        <source>编辑液晶屏的显示字符文件</source>
        <extracomment>CommandCharactersTip</extracomment>
        <translation>Edit the display character file of the screen</translation>
    </message>
    <message>
        <source>（未定义的标签 %1？）</source>
        <extracomment>ProblemsUndefinedLabel</extracomment>
        <translation> (undefined label %1?)</translation>
    </message>
    <message>
        <source>此文件似乎是 UTF-8 编码。</source>
        <extracomment>EncodingUtf8Found</extracomment>
        <translation>This file seems to be UTF-8 encoded.</translation>
    </message>
    <message>
        <source>按 UTF-8 打开（保存时转为 GBK）</source>
        <extracomment>EncodingOpenAsUtf8</extracomment>
        <translation>Open as UTF-8 (converted to GBK when saved)</translation>
    </message>
    <message>
        <source>保持原样</source>
        <extracomment>EncodingKeepAsIs</extracomment>
        <translation>Keep as is</translation>
    </message>
    <message>
        <source>%1：警告：此文件似乎是 UTF-8 编码，程序按 GBK 读取。</source>
        <extracomment>CliUtf8Warning</extracomment>
        <translation>%1: warning: this file seems to be UTF-8 encoded; programs are read as GBK.</translation>
    </message>
    <message>
        <source>下一个差异</source>
        <extracomment>RegistersNextDifference</extracomment>
        <translation>Next difference</translation>
    </message>
    <message>
        <source>上一个差异</source>
        <extracomment>RegistersPreviousDifference</extracomment>
        <translation>Previous difference</translation>
    </message>
    <message>
        <source>差异 %1 / %2</source>
        <extracomment>RegistersDifferencePosition</extracomment>
        <translation>Difference %1 of %2</translation>
    </message>
    <message>
        <source>共 %1 处差异</source>
        <extracomment>RegistersDifferenceCount</extracomment>
        <translation>%1 differences</translation>
    </message>
    <message>
        <source>连接控制器后才能下载</source>
        <extracomment>PictureDownloadNeedsLink</extracomment>
        <translation>Connect to the controller to download</translation>
    </message>
    <message>
        <source>--swap 至少 %1 毫秒：真实的生产线换件没有这么快。</source>
        <extracomment>EmulatorSwapTooShort</extracomment>
        <translation>--swap must be at least %1 ms: no real line swaps units faster.</translation>
    </message>
    <message>
        <source>生产模式(&amp;M)...</source>
        <extracomment>StationCommand</extracomment>
        <translation>Production &amp;Mode...</translation>
    </message>
    <message>
        <source>生产模式</source>
        <extracomment>StationCaption</extracomment>
        <translation>Production mode</translation>
    </message>
    <message>
        <source>打开已批准的作业，在锁定的窗口中逐台调试</source>
        <extracomment>StationCommandTip</extracomment>
        <translation>Opens an approved job and runs units in a locked window</translation>
    </message>
    <message>
        <source>等待控制器</source>
        <extracomment>StationWaiting</extracomment>
        <translation>Waiting for a controller</translation>
    </message>
    <message>
        <source>步骤 %1/%2</source>
        <extracomment>StationRunning</extracomment>
        <translation>Step %1 of %2</translation>
    </message>
    <message>
        <source>合格</source>
        <extracomment>StationPassed</extracomment>
        <translation>Passed</translation>
    </message>
    <message>
        <source>不合格</source>
        <extracomment>StationFailed</extracomment>
        <translation>Failed</translation>
    </message>
    <message>
        <source>请取下本台</source>
        <extracomment>StationRemoveUnit</extracomment>
        <translation>Remove this unit</translation>
    </message>
    <message>
        <source>步骤 %1（%2）：%3</source>
        <extracomment>StationFailReason</extracomment>
        <translation>Step %1 (%2): %3</translation>
    </message>
    <message>
        <source>编号 %1</source>
        <extracomment>StationUnit</extracomment>
        <translation>Unit %1</translation>
    </message>
    <message>
        <source>%1 秒</source>
        <extracomment>StationElapsed</extracomment>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>合格 %1　不合格 %2　今日合计 %3</source>
        <extracomment>StationCounters</extracomment>
        <translation>Passed %1   Failed %2   Total today %3</translation>
    </message>
    <message>
        <source>作业：%1</source>
        <extracomment>StationJob</extracomment>
        <translation>Job: %1</translation>
    </message>
    <message>
        <source>操作员：%1</source>
        <extracomment>StationOperator</extracomment>
        <translation>Operator: %1</translation>
    </message>
    <message>
        <source>操作员姓名：</source>
        <extracomment>StationOperatorPrompt</extracomment>
        <translation>Operator name:</translation>
    </message>
    <message>
        <source>扫码：</source>
        <extracomment>StationScanner</extracomment>
        <translation>Scan:</translation>
    </message>
    <message>
        <source>下一台编号：%1</source>
        <extracomment>StationNextUnit</extracomment>
        <translation>Next unit: %1</translation>
    </message>
    <message>
        <source>提示音</source>
        <extracomment>StationSound</extracomment>
        <translation>Sound</translation>
    </message>
    <message>
        <source>按 Enter 或点击确认</source>
        <extracomment>StationAcknowledge</extracomment>
        <translation>Press Enter or click to acknowledge</translation>
    </message>
    <message>
        <source>退出生产模式</source>
        <extracomment>StationLeave</extracomment>
        <translation>Leave production mode</translation>
    </message>
    <message>
        <source>确定退出生产模式吗？</source>
        <extracomment>StationLeaveConfirm</extracomment>
        <translation>Leave production mode?</translation>
    </message>
    <message>
        <source>请输入作业密码：</source>
        <extracomment>StationPinPrompt</extracomment>
        <translation>Enter the job's PIN:</translation>
    </message>
    <message>
        <source>密码错误。</source>
        <extracomment>StationPinWrong</extracomment>
        <translation>Wrong PIN.</translation>
    </message>
    <message>
        <source>选择端口</source>
        <extracomment>StationPorts</extracomment>
        <translation>Choose ports</translation>
    </message>
    <message>
        <source>请至少选择一个端口。</source>
        <extracomment>StationNoPorts</extracomment>
        <translation>Choose at least one port.</translation>
    </message>
    <message>
        <source>最多 %1 个端口。</source>
        <extracomment>StationTooManyPorts</extracomment>
        <translation>At most %1 ports.</translation>
    </message>
    <message>
        <source>作业文件 (*.tvjob)|*.tvjob|所有文件 (*.*)|*.*||</source>
        <extracomment>StationJobFilter</extracomment>
        <translation>Job files (*.tvjob)|*.tvjob|All files (*.*)|*.*||</translation>
    </message>
    <message>
        <source>其他端口（空格分隔）：</source>
        <extracomment>StationOtherPorts</extracomment>
        <translation>Other ports (separated by spaces):</translation>
    </message>
    <message>
        <source>生产记录(&amp;R)...</source>
        <extracomment>RecordsCommand</extracomment>
        <translation>Production &amp;Records...</translation>
    </message>
    <message>
        <source>生产记录</source>
        <extracomment>RecordsCaption</extracomment>
        <translation>Production records</translation>
    </message>
    <message>
        <source>查看每台的调试记录、导出和打印报告</source>
        <extracomment>RecordsCommandTip</extracomment>
        <translation>Shows each unit's record, exports them and prints reports</translation>
    </message>
    <message>
        <source>编号：</source>
        <extracomment>RecordsUnit</extracomment>
        <translation>Unit:</translation>
    </message>
    <message>
        <source>作业：</source>
        <extracomment>RecordsJob</extracomment>
        <translation>Job:</translation>
    </message>
    <message>
        <source>起始日期：</source>
        <extracomment>RecordsSince</extracomment>
        <translation>From date:</translation>
    </message>
    <message>
        <source>只看不合格</source>
        <extracomment>RecordsFailedOnly</extracomment>
        <translation>Failed only</translation>
    </message>
    <message>
        <source>时间
作业
编号
结果
操作员
工位
写入值</source>
        <extracomment>RecordsColumns</extracomment>
        <translation>Time
Job
Unit
Outcome
Operator
Station
Stamped values</translation>
    </message>
    <message>
        <source>导出 CSV</source>
        <extracomment>RecordsExportCsv</extracomment>
        <translation>Export CSV</translation>
    </message>
    <message>
        <source>打开串口记录</source>
        <extracomment>RecordsOpenTrace</extracomment>
        <translation>Open wire trace</translation>
    </message>
    <message>
        <source>打印报告</source>
        <extracomment>RecordsPrintReport</extracomment>
        <translation>Print report</translation>
    </message>
    <message>
        <source>编号 %1 没有串口记录。</source>
        <extracomment>RecordsNoTrace</extracomment>
        <translation>Unit %1 has no wire trace.</translation>
    </message>
    <message>
        <source>CSV 文件 (*.csv)|*.csv|所有文件 (*.*)|*.*||</source>
        <extracomment>RecordsCsvFilter</extracomment>
        <translation>CSV files (*.csv)|*.csv|All files (*.*)|*.*||</translation>
    </message>
    <message>
        <source>PDF 文件 (*.pdf)|*.pdf||</source>
        <extracomment>RecordsPdfFilter</extracomment>
        <translation>PDF files (*.pdf)|*.pdf||</translation>
    </message>
    <message>
        <source>生产记录 %1 中有 %2 行无法读取，已跳过。</source>
        <extracomment>RecordsSkippedLines</extracomment>
        <translation>%2 lines of the records %1 could not be read and were skipped.</translation>
    </message>
    <message>
        <source>调试报告：编号 %1</source>
        <extracomment>ReportTitle</extracomment>
        <translation>Commissioning report: unit %1</translation>
    </message>
    <message>
        <source>作业</source>
        <extracomment>ReportJob JobEditorCaption</extracomment>
        <translation>Job</translation>
    </message>
    <message>
        <source>批准哈希</source>
        <extracomment>ReportApproved</extracomment>
        <translation>Approval hash</translation>
    </message>
    <message>
        <source>写入值</source>
        <extracomment>ReportStamp</extracomment>
        <translation>Stamped values</translation>
    </message>
    <message>
        <source>操作员</source>
        <extracomment>ReportOperator</extracomment>
        <translation>Operator</translation>
    </message>
    <message>
        <source>工位</source>
        <extracomment>ReportStation</extracomment>
        <translation>Station</translation>
    </message>
    <message>
        <source>时间</source>
        <extracomment>ReportTime</extracomment>
        <translation>Time</translation>
    </message>
    <message>
        <source>结果</source>
        <extracomment>ReportOutcome</extracomment>
        <translation>Outcome</translation>
    </message>
    <message>
        <source>与基准比较</source>
        <extracomment>ReportGolden</extracomment>
        <translation>Golden run</translation>
    </message>
    <message>
        <source>步骤
类型
编号
文件
SHA-256
字节
帧
重发请求
超时重发
结果</source>
        <extracomment>ReportStepColumns</extracomment>
        <translation>Step
Kind
Number
File
SHA-256
Bytes
Frames
Resend requests
Timed resends
Outcome</translation>
    </message>
    <message>
        <source>已中断</source>
        <extracomment>UnitOutcomeInterrupted</extracomment>
        <translation>Interrupted</translation>
    </message>
    <message>
        <source>作业(&amp;J)...</source>
        <extracomment>JobEditorCommand</extracomment>
        <translation>&amp;Job...</translation>
    </message>
    <message>
        <source>编辑调试作业：程序、寄存器文件、画面和写入值</source>
        <extracomment>JobEditorCommandTip</extracomment>
        <translation>Edit a commissioning job: program, register file, screen and stamp</translation>
    </message>
    <message>
        <source>作业文件：%1</source>
        <extracomment>JobEditorFile</extracomment>
        <translation>Job file: %1</translation>
    </message>
    <message>
        <source>（未保存）</source>
        <extracomment>JobEditorUnsaved</extracomment>
        <translation>(not saved)</translation>
    </message>
    <message>
        <source>程序：</source>
        <extracomment>JobEditorProgram</extracomment>
        <translation>Program:</translation>
    </message>
    <message>
        <source>程序号：</source>
        <extracomment>JobEditorProgramNumber</extracomment>
        <translation>Program number:</translation>
    </message>
    <message>
        <source>程序文件 (*.kxc;*.kxo)|*.kxc;*.kxo|所有文件 (*.*)|*.*||</source>
        <extracomment>JobEditorProgramFilter</extracomment>
        <translation>Program files (*.kxc;*.kxo)|*.kxc;*.kxo|All files (*.*)|*.*||</translation>
    </message>
    <message>
        <source>寄存器文件：</source>
        <extracomment>JobEditorParams</extracomment>
        <translation>Register file:</translation>
    </message>
    <message>
        <source>参数页：</source>
        <extracomment>JobEditorPage</extracomment>
        <translation>Parameter page:</translation>
    </message>
    <message>
        <source>画面：</source>
        <extracomment>JobEditorScreen</extracomment>
        <translation>Screen:</translation>
    </message>
    <message>
        <source>画面类型：</source>
        <extracomment>JobEditorScreenKind</extracomment>
        <translation>Screen kind:</translation>
    </message>
    <message>
        <source>画面号：</source>
        <extracomment>JobEditorScreenNumber</extracomment>
        <translation>Screen number:</translation>
    </message>
    <message>
        <source>显示寄存器：</source>
        <extracomment>JobEditorScreenRegisters</extracomment>
        <translation>Registers shown:</translation>
    </message>
    <message>
        <source>写入值：</source>
        <extracomment>JobEditorStamp</extracomment>
        <translation>Stamp:</translation>
    </message>
    <message>
        <source>方式：</source>
        <extracomment>JobEditorStampKind</extracomment>
        <translation>Kind:</translation>
    </message>
    <message>
        <source>不写入
计数器
CSV 表</source>
        <extracomment>JobEditorStampKinds</extracomment>
        <translation>None
Counter
CSV table</translation>
    </message>
    <message>
        <source>写入寄存器：</source>
        <extracomment>JobEditorStampRegister</extracomment>
        <translation>Register:</translation>
    </message>
    <message>
        <source>起始值：</source>
        <extracomment>JobEditorStampStart</extracomment>
        <translation>Start:</translation>
    </message>
    <message>
        <source>步长：</source>
        <extracomment>JobEditorStampStep</extracomment>
        <translation>Step:</translation>
    </message>
    <message>
        <source>位数：</source>
        <extracomment>JobEditorStampDigits</extracomment>
        <translation>Digits:</translation>
    </message>
    <message>
        <source>CSV 文件：</source>
        <extracomment>JobEditorStampCsv</extracomment>
        <translation>CSV file:</translation>
    </message>
    <message>
        <source>接下来三台：%1</source>
        <extracomment>JobEditorNextUnits</extracomment>
        <translation>Next three units: %1</translation>
    </message>
    <message>
        <source>退出密码：</source>
        <extracomment>JobEditorPin</extracomment>
        <translation>Leave PIN:</translation>
    </message>
    <message>
        <source>打开作业(&amp;O)...</source>
        <extracomment>JobEditorOpen</extracomment>
        <translation>&amp;Open Job...</translation>
    </message>
    <message>
        <source>保存作业(&amp;S)</source>
        <extracomment>JobEditorSave</extracomment>
        <translation>&amp;Save Job</translation>
    </message>
    <message>
        <source>检查(&amp;C)</source>
        <extracomment>JobEditorCheck</extracomment>
        <translation>&amp;Check</translation>
    </message>
    <message>
        <source>批准(&amp;A)</source>
        <extracomment>JobEditorApprove</extracomment>
        <translation>&amp;Approve</translation>
    </message>
    <message>
        <source>浏览(&amp;B)...</source>
        <extracomment>JobEditorBrowse</extracomment>
        <translation>&amp;Browse...</translation>
    </message>
    <message>
        <source>检查通过，没有发现问题。</source>
        <extracomment>JobEditorNoProblems</extracomment>
        <translation>Checked: no problems found.</translation>
    </message>
    <message>
        <source>重放</source>
        <extracomment>RecordsReplay</extracomment>
        <translation>Replay</translation>
    </message>
    <message>
        <source>重放编号 %1：%2</source>
        <extracomment>RecordsReplayResult</extracomment>
        <translation>Replay of unit %1: %2</translation>
    </message>
    <message>
        <source>单元 %1（%2）上次运行被中断，已记为中断：请将其放到一边或重新运行。</source>
        <extracomment>StationInterrupted</extracomment>
        <translation>Unit %1 (%2) was cut off in the last run and recorded as interrupted: set it aside or run it again.</translation>
    </message>
    <message>
        <source>端口不明</source>
        <extracomment>StationPortUnknown</extracomment>
        <translation>port unknown</translation>
    </message>
</context>
</TS>

#pragma once

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

// Every text a user reads, in one table. An id names a text independently of its language; the
// table holds the Chinese source text, with %1, %2 ... where arguments go.
namespace msg {

enum class Id : int {
    // File errors (shared by every subsystem)
    CannotCreateFile,
    CannotWriteFile,
    CannotOpenFile,
    CannotReadFile,
    FileNotFound,
    FileBadPath,
    FileTooManyOpen,
    FileAccessDenied,
    FileBadHandle,
    FileSeekFailed,
    FileHardwareError,
    FileSharingViolation,
    FileLockViolation,
    FileDiskFull,
    FileGenericError,
    // Safe write (program files)
    ProgramTooLarge,
    ProgramUnexpectedFormat,
    ProgramOpenFailed,

    // Compiler
    CompileSucceeded,
    CompileMissingEnd,
    CompileTooManyLines,
    CompileUnknownMnemonic,
    CompileType1,
    CompileType2,
    CompileType3,
    CompileRange1,
    CompileRange2,
    CompileRange3,
    CompileMissingOperand,
    CompileTooManyOperands,
    UnknownError,
    DisasmUnknownInstruction,
    DisasmReservedBytesSet,
    DisasmExtraOperand,
    DisasmOperandNotText,
    DisasmNoHeader,
    DisasmPartialRecord,
    DisasmTooManyRecords,
    DisasmRecordFault,
    DisasmRecordsAfterEnd,

    // Controller link and downloads
    PortOpenFailed,
    HandshakeFailed,
    NoAnswer,
    FileFormatError,
    ScreenNumberOutOfRange,
    RegisterNumberOutOfRange,

    // Desktop registration
    DesktopPrintAction,

    // Virtual controller
    EmulatorStoredProgram,
    EmulatorStoredParameters,
    EmulatorStoredScreen,
    EmulatorCannotStore,
    EmulatorNoPty,
    EmulatorNoPipe,

    // Dialogs (captions, labels and their messages)
    // layouts: the eleven dialogs
    DialogBrowse,
    DialogCancel,
    DialogStartDownload,
    CompileCaption,
    CompileTargetGroup,
    CompileButton,
    CompileObjectFilter,
    SerialCaption,
    SerialGroup,
    SerialPortLabel,
    SerialBaudLabel,
    SerialConfirm,
    ProgramDownloadCaption,
    ProgramDownloadFileGroup,
    ProgramDownloadNumberLabel,
    ProgramDownloadFilter,
    ParameterDownloadCaption,
    ParameterDownloadFileGroup,
    ParameterDownloadNumberLabel,
    ParameterDownloadFilter,
    ScreenDownloadCaption,
    ScreenDownloadFileGroup,
    ScreenKindGroup,
    ScreenKindStartup,
    ScreenKindParameter,
    ScreenKindStatus,
    ScreenNumberLabel,
    ScreenRegistersGroup,
    ScreenRegisterLabel,
    ScreenBitmapFilter,
    ProgressCaption,
    RegistersCaption,
    RegistersEquals,
    RegistersPathGroup,
    RegistersSave,
    RegistersClose,
    RegistersFilter,
    RegistersChooseFileFirst,
    RegistersNotRegisterFile,
    RegistersPageOutOfRange,
    FieldTooLong,
    CharactersCaption,
    CharactersPathGroup,
    CharactersEntryGroup,
    CharactersStore,
    CharactersSave,
    CharactersFilter,
    CharactersSaved,
    LoadCutCaption,
    LoadCutLoad,
    LoadCutFileGroup,
    LoadCutCoefficientLabel,
    LoadCutCoefficientUnit,
    LoadCutFilter,
    EnterANumber,
    NumberOutOfRange,
    InformationCaption,
    AboutCaption,
    AboutVersion,
    AboutGreeting,
    AboutOk,

    // Application shell (menus, status bar, document)

    // Command-line tool
    // Command-line tool: usage, help texts and their faults
    CliUsage,
    CliHelpSynopsis,
    CliUsageEnd,
    CliVersion,
    CliUnknownCommand,
    CliCannotWriteStdout,
    CliCommandFault,
    CliUnknownOption,
    CliOptionTakesNoValue,
    CliOptionNeedsValue,
    CliCompileSynopsis,
    CliCompileHelp,
    CliCompileExpectsOneProgram,
    CliCompileWouldOverwrite,
    CliCompileLineFault,
    CliDisasmSynopsis,
    CliDisasmHelp,
    CliDisasmExpectsOneObject,
    CliDisasmRefused,
    CliEmulateSynopsis,
    CliEmulateHelp,
    CliUnexpectedArgument,
    CliNeedsWholeNumber,
    CliNeedsBytes,
    CliRegistersSynopsis,
    CliRegistersHelp,
    CliRegistersExpectsAction,
    CliRegistersNewTakesFile,
    CliRegistersUnknownAction,
    CliRegistersExpectsBase,
    CliRegistersBadBase,
    CliRegistersReadTakes,
    CliRegistersWriteTakes,
    CliRegistersValueTooLong,
    CliRegistersLineBreak,
    CliNotRegisterFile,
    CliDownloadSynopsis,
    CliDownloadHelp,
    CliDownloadExpectsKindAndFile,
    CliDownloadUnknownKind,
    CliDownloadNeedsPort,
    CliDownloadBadPort,
    CliDownloadBadScreenKind,
    CliDownloadBadRegisters,
    CliDownloadBadBaud,
    CliProgress,
    CliScreenSynopsis,
    CliScreenHelp,
    CliScreenExpectsOneBitmap,

    Count
};

// The source text of `id` (UTF-8).
std::string_view Source(Id id);

// The text of `id` with %1, %2 ... replaced by `args` in order; a %n without an argument stays.
std::string Text(Id id, std::initializer_list<std::string_view> args = {});

// Fills %1, %2 ... of any pattern in one pass; the one way arguments enter a text.
std::string Fill(std::string_view pattern, std::span<const std::string_view> args);

}  // namespace msg

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

    // Controller link and downloads
    PortOpenFailed,
    HandshakeFailed,
    NoAnswer,
    FileFormatError,
    ScreenNumberOutOfRange,
    RegisterNumberOutOfRange,

    // Dialogs (captions, labels and their messages)

    // Application shell (menus, status bar, document)
    // commands: menus, toolbar, status bar, window title
    MenuFile,
    MenuEdit,
    MenuTools,
    MenuLink,
    MenuView,
    MenuHelp,
    CommandNew,
    CommandNewTip,
    CommandOpen,
    CommandOpenTip,
    CommandSave,
    CommandSaveTip,
    CommandSaveAs,
    CommandSaveAsTip,
    CommandLoadCut,
    CommandLoadCutTip,
    CommandPrint,
    CommandPrintTip,
    CommandPrintPreview,
    CommandPrintPreviewTip,
    CommandPrintSetup,
    CommandPrintSetupTip,
    CommandRecentNone,
    CommandRecentTip,
    CommandExit,
    CommandExitTip,
    CommandUndo,
    CommandUndoTip,
    CommandCut,
    CommandCutTip,
    CommandCopy,
    CommandCopyTip,
    CommandPaste,
    CommandPasteTip,
    CommandCompile,
    CommandRegisters,
    CommandSerial,
    CommandConnect,
    CommandDownloadProgram,
    CommandDownloadParams,
    CommandDownloadScreen,
    CommandDisconnect,
    CommandToolbar,
    CommandToolbarTip,
    CommandStatusBar,
    CommandStatusBarTip,
    CommandInfoWindow,
    CommandAbout,
    CommandAboutTip,
    ToolbarTitle,
    ButtonNew,
    ButtonOpen,
    ButtonSave,
    ButtonCut,
    ButtonCopy,
    ButtonPaste,
    ButtonPrint,
    ButtonAbout,
    StatusReady,
    StatusLine,
    StatusCaps,
    StatusNum,
    StatusScroll,
    WindowTitle,

    // Command-line tool

    Count
};

// The source text of `id` (UTF-8).
std::string_view Source(Id id);

// The text of `id` with %1, %2 ... replaced by `args` in order; a %n without an argument stays.
std::string Text(Id id, std::initializer_list<std::string_view> args = {});

// Fills %1, %2 ... of any pattern in one pass; the one way arguments enter a text.
std::string Fill(std::string_view pattern, std::span<const std::string_view> args);

}  // namespace msg

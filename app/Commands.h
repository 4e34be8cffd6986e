#pragma once

// Command identifiers of the menu, toolbar and keys: the framework's own (57600 and up) and the
// program's (32771 to 32781).
namespace cmd {

enum Id : int {
    FileNew = 57600,
    FileOpen = 57601,
    FileSave = 57603,
    FileSaveAs = 57604,
    FilePrintSetup = 57606,
    FilePrint = 57607,
    FilePrintDirect = 57608,
    FilePrintPreview = 57609,
    FileMru1 = 57616,
    FileLoadCut = 32781,
    AppExit = 57665,
    AppAbout = 57664,
    EditUndo = 57643,
    EditCut = 57635,
    EditCopy = 57634,
    EditPaste = 57637,
    ToolsCompile = 32771,
    ToolsRegisters = 32778,
    ToolsCharacters = 32779,
    LinkSerial = 32772,
    LinkConnect = 32773,
    LinkDownloadProgram = 32774,
    LinkDownloadParams = 32775,
    LinkDownloadScreen = 32776,
    LinkDisconnect = 32777,
    ViewToolbar = 59392,
    ViewStatusBar = 59393,
    ViewInfoWindow = 32780,
};

inline constexpr int kRecentFileCount = 4;

}  // namespace cmd

#include "downloads/DownProDlg.h"

#include "common/DecimalValue.h"
#include "common/QtMessages.h"
#include "link/SerialPort.h"
#include "ui/Prompts.h"

CDownProDlg::CDownProDlg(ui::Prompts& prompts, CSerialPort& port, QWidget* parent)
    : CFileDownloadDlg({msg::QText(msg::Id::ProgramDownloadCaption),
                        msg::QText(msg::Id::ProgramDownloadFileGroup),
                        msg::QText(msg::Id::ProgramDownloadNumberLabel),
                        msg::QText(msg::Id::ProgramDownloadFilter)},
                       prompts, port, parent) {}

ctrl::SourceOpen CDownProDlg::OpenSource(const std::filesystem::path& path) {
    return programFile.Open(path);
}

bool CDownProDlg::ConfirmSource(ui::Prompts& prompts) {
    if (programFile.EndsWithEnd())
        return true;
    return prompts.Confirm(
        msg::QText(msg::Id::ProgramWithoutEndQuestion, {msg::QText(msg::Id::ProgramWithoutEnd)}));
}

void CDownProDlg::Transfer(CSerialPort& port) {
    programFile.programNumber = text::DecimalValue(settings().numberText.toStdString());
    run.record = ctrl::DownloadRecord::Of(QStringLiteral("program"), programFile.programNumber,
                                          settings().filePath, port.ConfiguredName());
    run.Start(port, ctrl::kProgramProfile, programFile, programFile.PacketCount());
}

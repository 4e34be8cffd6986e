#include "downloads/DownParDlg.h"

#include "common/DecimalValue.h"
#include "common/QtMessages.h"
#include "link/SerialPort.h"

CDownParDlg::CDownParDlg(ui::Prompts& prompts, CSerialPort& port, QWidget* parent)
    : CFileDownloadDlg({msg::QText(msg::Id::ParameterDownloadCaption),
                        msg::QText(msg::Id::ParameterDownloadFileGroup),
                        msg::QText(msg::Id::ParameterDownloadNumberLabel),
                        msg::QText(msg::Id::ParameterDownloadFilter)},
                       prompts, port, parent) {}

ctrl::SourceOpen CDownParDlg::OpenSource(const std::filesystem::path& path) {
    return registerFile.Open(path);
}

void CDownParDlg::Transfer(CSerialPort& port) {
    registerFile.pageNumber = text::DecimalValue(settings().numberText.toStdString());
    run.record = ctrl::DownloadRecord::Of(QStringLiteral("params"), registerFile.pageNumber,
                                          settings().filePath, port.ConfiguredName());
    run.Start(port, ctrl::kParameterProfile, registerFile, ctrl::ParameterSource::kPacketCount);
}

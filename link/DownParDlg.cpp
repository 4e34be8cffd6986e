#include "link/DownParDlg.h"

#include "link/SerialPort.h"
#include "registers/RegisterFile.h"

CDownParDlg::CDownParDlg(ui::Prompts& prompts, CSerialPort& port, QWidget* parent)
    : CFileDownloadDlg({QStringLiteral("下载参数"), QStringLiteral("选择要下载的参数文件"),
                        QStringLiteral("至控制器参数页面:"), kNumberEditId,
                        QStringLiteral("KXCON Files(*.dat)|*.dat|All Files(*.*)|*.*||")},
                       prompts, port, parent) {}

ctrl::SourceOpen CDownParDlg::OpenSource(const std::filesystem::path& path) {
    return registerFile.Open(path);
}

void CDownParDlg::Transfer(CSerialPort& port) {
    registerFile.pageNumber = registers::RegisterValue(pageText.toStdString());
    run.Start(port, ctrl::kParameterProfile, registerFile, ctrl::ParameterSource::kPacketCount);
}

#include "link/DownProDlg.h"

#include "link/SerialPort.h"
#include "registers/RegisterFile.h"

CDownProDlg::CDownProDlg(ui::Prompts& prompts, CSerialPort& port, QWidget* parent)
    : CFileDownloadDlg({QStringLiteral("下载程序"), QStringLiteral("选择要下载的程序文件"),
                        QStringLiteral("至控制器程序序号:"), kNumberEditId,
                        QStringLiteral("KXCON Files(*.kxo)|*.kxo|All Files(*.*)|*.*||")},
                       prompts, port, parent) {}

ctrl::SourceOpen CDownProDlg::OpenSource(const std::filesystem::path& path) {
    return programFile.Open(path);
}

void CDownProDlg::Transfer(CSerialPort& port) {
    programFile.programNumber = registers::RegisterValue(programNumberText.toStdString());
    run.Start(port, ctrl::kProgramProfile, programFile, programFile.PacketCount());
}

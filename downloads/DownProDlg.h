#pragma once

#include <QString>

#include "downloads/FileDownloadDlg.h"
#include "downloads/ProgramSource.h"

// Sends an object program to a numbered program slot of the controller.
class CDownProDlg : public CFileDownloadDlg {
    Q_OBJECT

public:
    CDownProDlg(ui::Prompts& prompts, CSerialPort& port, QWidget* parent = nullptr);

    ctrl::ProgramSource programFile;

protected:
    ctrl::SourceOpen OpenSource(const std::filesystem::path& path) override;
    bool ConfirmSource(ui::Prompts& prompts) override;
    void Transfer(CSerialPort& port) override;
};

#pragma once

#include <QString>

#include "downloads/FileDownloadDlg.h"
#include "downloads/ParameterSource.h"

// Sends the values of a register file to a numbered parameter page of the controller.
class CDownParDlg : public CFileDownloadDlg {
    Q_OBJECT

public:
    CDownParDlg(ui::Prompts& prompts, CSerialPort& port, QWidget* parent = nullptr);

    ctrl::ParameterSource registerFile;

protected:
    ctrl::SourceOpen OpenSource(const std::filesystem::path& path) override;
    void Transfer(CSerialPort& port) override;
};

#pragma once

#include <filesystem>
#include <string>
#include <system_error>

#include <QString>

#include "registers/RegisterFile.h"

// Register texts are bytes in the system code page (GBK); the editors show and take them here.
namespace registers {

// GBK both ways by the one rule of gbk::Decode and gbk::Encode: bytes GBK cannot carry show one
// by one and go back as they came.
QString ShowBytes(const std::string& bytes);
std::string EncodeText(const QString& text);
// What the user sees in `shown` as bytes: `held` itself when it still shows unchanged.
std::string TakeText(const QString& shown, const std::string& held);

// The standard file-error message for `file`, as the editors show it.
QString FileErrorText(std::error_code cause, const std::filesystem::path& file);

// What the editors tell the user when a register write did not go well; empty when it did.
QString WriteFaultText(const WriteResult& result);

}  // namespace registers

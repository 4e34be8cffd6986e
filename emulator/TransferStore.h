#pragma once

#include <filesystem>
#include <string>

#include "emulator/Transfer.h"

namespace emu {

// Where each completed transfer goes when the emulator keeps them: object programs as .kxo,
// parameter pages as register files, screens as PBM pictures.
std::filesystem::path StoredName(const Transfer& transfer);
std::string StoredBytes(const Transfer& transfer);

// Writes the transfer into the existing `folder`; the path written, or empty on failure.
std::filesystem::path StoreTransfer(const std::filesystem::path& folder, const Transfer& transfer);

}  // namespace emu

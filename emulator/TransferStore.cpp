#include "emulator/TransferStore.h"

#include <cstdio>

#include "common/FileIo.h"

namespace emu {

namespace {

constexpr std::string_view kObjectHeader = "This is RVL412E.kxo!";
constexpr std::string_view kRegisterHeader = "This is Par.dat for RVL412E. By RSE.";
constexpr int kScreenWidth = 64;
constexpr int kScreenHeight = 128;

std::string Numbered(const char* pattern, int a, int b = 0) {
    char name[64];
    std::snprintf(name, sizeof name, pattern, a, b);
    return name;
}

std::string RegisterText(const Transfer& t) {
    std::string text(kRegisterHeader);
    text += "\r\n";
    int index = 0;
    for (std::int32_t value : t.RegisterValues()) {
        text += Numbered("[S%04d] = %d\r\n", index++, value);
    }
    return text;
}

// Screen data holds 16 blocks of 64 bytes: blocks 0-7 the upper 64 rows, 8-15 the lower ones,
// each block one byte column from the right, rows from the top; a set bit is a dark pixel.
std::string ScreenPicture(const Transfer& t) {
    std::string pbm = Numbered("P4\n%d %d\n", kScreenWidth, kScreenHeight);
    for (int row = 0; row < kScreenHeight; ++row) {
        for (int column = 0; column < kScreenWidth / 8; ++column) {
            const int block = 8 * (row / 64) + (7 - column);
            const std::size_t at = static_cast<std::size_t>(block * 64 + row % 64);
            pbm += static_cast<char>(at < t.data.size() ? t.data[at] : 0);
        }
    }
    return pbm;
}

}  // namespace

std::filesystem::path StoredName(const Transfer& t) {
    switch (t.kind) {
        case TransferKind::Program:
            return Numbered("program-%03d.kxo", t.ProgramNumber());
        case TransferKind::Parameters:
            return Numbered("parameters-page-%03d.dat", t.PageNumber());
        case TransferKind::Screen:
            break;
    }
    static const char* const kinds[] = {"startup", "parameter", "status"};
    const int kind = t.ScreenKind();
    const std::string prefix = kind >= 0 && kind < 3 ? kinds[kind] : Numbered("kind%d", kind);
    return "screen-" + prefix + Numbered("-%03d.pbm", t.ScreenNumber());
}

std::string StoredBytes(const Transfer& t) {
    switch (t.kind) {
        case TransferKind::Program:
            return std::string(kObjectHeader) + t.ObjectRecords();
        case TransferKind::Parameters:
            return RegisterText(t);
        case TransferKind::Screen:
            break;
    }
    return ScreenPicture(t);
}

std::filesystem::path StoreTransfer(const std::filesystem::path& folder, const Transfer& t) {
    const std::filesystem::path target = folder / StoredName(t);
    if (fileio::WriteSafely(target, StoredBytes(t)))
        return {};
    return target;
}

}  // namespace emu

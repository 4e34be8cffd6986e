#include "common/AtomicFile.h"

#include <cstdio>
#include <fstream>
#include <random>

namespace fileio {
namespace fs = std::filesystem;

namespace {

std::error_code WriteDirect(const fs::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        return std::make_error_code(std::errc::permission_denied);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out)
        return std::make_error_code(std::errc::io_error);
    out.close();
    if (out.fail())
        return std::make_error_code(std::errc::io_error);
    return {};
}

fs::path TemporaryBeside(const fs::path& target) {
    std::random_device random;
    fs::path name = target;
    name += ".tmp" + std::to_string(random() % 1000000u);
    return name;
}

}  // namespace

fs::path WriteTarget(const fs::path& path) {
    std::error_code ec;
    const fs::path target = fs::is_symlink(path, ec) ? fs::weakly_canonical(path, ec) : path;
    return ec ? path : target;
}

std::error_code WriteFileAtomically(const fs::path& requested, std::string_view bytes) {
    std::error_code ec;
    const fs::path target = WriteTarget(requested);

    // Devices and other special files are written in place: renaming over them would replace them.
    const auto existing = fs::status(target, ec);
    if (!ec && fs::exists(existing) && !fs::is_regular_file(existing))
        return WriteDirect(target, bytes);

    fs::path temporary = TemporaryBeside(target);
    {
        std::ofstream probe(temporary, std::ios::binary | std::ios::trunc);
        if (!probe)
            return WriteDirect(target, bytes);
    }
    if (std::error_code werr = WriteDirect(temporary, bytes)) {
        fs::remove(temporary, ec);
        return werr;
    }
    if (fs::exists(existing))
        fs::permissions(temporary, existing.permissions(), ec);
    fs::rename(temporary, target, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return ec;
    }
    return {};
}

bool CanWrite(const fs::path& target) {
    std::ofstream out(target, std::ios::binary | std::ios::app);
    return static_cast<bool>(out);
}

bool ReadWholeFile(const fs::path& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::error_code ec;
    if (fs::is_directory(path, ec))
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

}  // namespace fileio

#include "charset/CharacterImage.h"

#include <fstream>

#include "common/FileIo.h"

namespace charset {
namespace fs = std::filesystem;

std::string NewImage() {
    std::string image(kImageSize, ' ');
    image.replace(0, kIdentification.size(), kIdentification);
    return image;
}

std::optional<std::string> LoadImage(const fs::path& path) {
    std::error_code ec;
    if (fs::is_directory(path, ec))
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string image;
    std::getline(in, image, '\n');
    const bool endedByLf = !in.eof();
    if (endedByLf && !image.empty() && image.back() == '\r')
        image.pop_back();
    if (image.size() < kImageSize)
        image.resize(kImageSize, ' ');
    return image;
}

std::error_code SaveImage(const fs::path& path, std::string_view image) {
    return fileio::WriteSafely(path, image);
}

}  // namespace charset

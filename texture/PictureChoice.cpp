#include "texture/PictureChoice.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <random>
#include <system_error>

namespace fs = std::filesystem;

namespace {

bool HasPictureName(const fs::path& path)
{
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(), [](char c) {
        return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return extension == ".jpg" || extension == ".jpeg" || extension == ".jpe" ||
           extension == ".png" || extension == ".bmp";
}

bool IsHidden(const fs::path& path)
{
    const std::string name = path.filename().string();
    return !name.empty() && name[0] == '.';
}

}  // namespace

std::vector<std::string> ListPictureFiles(const std::string& folder)
{
    std::vector<std::string> files;
    std::error_code error;
    // Links to folders are not followed: a link back up would never end.
    fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied,
                                        error);
    const fs::recursive_directory_iterator end;
    while (!error && it != end) {
        const fs::directory_entry& entry = *it;
        std::error_code entryError;
        if (IsHidden(entry.path())) {
            if (entry.is_directory(entryError)) {
                it.disable_recursion_pending();
            }
        } else if (entry.is_regular_file(entryError) && HasPictureName(entry.path())) {
            files.push_back(entry.path().string());
        }
        it.increment(error);
    }
    std::sort(files.begin(), files.end());
    return files;
}

bool ChoosePictureFile(const std::string& path, std::uint64_t random, std::string* file,
                       std::string* reason)
{
    std::error_code error;
    if (!fs::is_directory(path, error)) {
        *file = path;
        return true;
    }
    const std::vector<std::string> files = ListPictureFiles(path);
    if (files.empty()) {
        *reason = "no JPEG, PNG or BMP picture in the folder";
        return false;
    }
    *file = files[static_cast<std::size_t>(random % files.size())];
    return true;
}

std::uint64_t PictureRandomValue()
{
    std::random_device device;
    const std::uint64_t high = device();
    const std::uint64_t low = device();
    // The clock too, should the device be a fixed sequence.
    return ((high << 32) | low) ^
           static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
}

#include "texture/TextureLocation.h"

#include <sys/stat.h>

#include <filesystem>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace {

bool FileExists(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

}  // namespace

std::string InstalledTexturePath(const std::string& executablePath, const char* fileName)
{
    if (executablePath.empty()) {
        return {};
    }
    // TUNNEL_DATA_FROM_BINDIR is the data folder as seen from the program's
    // folder, from the install rules: ../share/zelk-tunnel.
    const std::filesystem::path data =
        std::filesystem::path(executablePath).parent_path() / TUNNEL_DATA_FROM_BINDIR / fileName;
    return data.lexically_normal().string();
}

std::string TextureFileToLoad(const char* fileName, const std::string& executablePath)
{
    if (executablePath.empty() || FileExists(fileName)) {
        return fileName;
    }
    const std::string installed = InstalledTexturePath(executablePath, fileName);
    return FileExists(installed) ? installed : fileName;
}

std::string RunningExecutable()
{
#ifdef _WIN32
    return {};
#else
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof path) {
        return {};
    }
    return std::string(path, static_cast<std::size_t>(length));
#endif
}

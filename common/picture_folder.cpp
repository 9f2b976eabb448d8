#include "common/picture_folder.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

namespace velmora {
namespace {

constexpr mode_t kPrivateFolderMode = 0700;

std::filesystem::path AccountHome() {
    if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr) {
        return entry->pw_dir;
    }
    return "/";
}

bool MakePrivateFolder(const std::filesystem::path& folder) {
    return mkdir(folder.c_str(), kPrivateFolderMode) == 0 || errno == EEXIST;
}

}  // namespace

std::filesystem::path ResolveUserFolder(const char* variable_value, const char* home,
                                        const char* under_home) {
    if (variable_value != nullptr && variable_value[0] == '/') {
        return variable_value;
    }
    const std::filesystem::path home_folder =
        (home != nullptr && home[0] == '/') ? std::filesystem::path(home) : AccountHome();
    return home_folder / under_home;
}

std::filesystem::path ResolvePictureFolder(const char* xdg_cache_home, const char* home) {
    return ResolveUserFolder(xdg_cache_home, home, ".cache") / kPictureFolderName;
}

std::filesystem::path PictureFolder() {
    return ResolvePictureFolder(std::getenv("XDG_CACHE_HOME"), std::getenv("HOME"));
}

bool PreparePictureFolder(const std::filesystem::path& folder) {
    // Only the last two levels are created: a missing home is not ours to make.
    if (!MakePrivateFolder(folder.parent_path()) || !MakePrivateFolder(folder)) {
        return false;
    }
    struct stat info {};
    if (lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != geteuid()) {
        return false;
    }
    if ((info.st_mode & 07777) != kPrivateFolderMode) {
        return chmod(folder.c_str(), kPrivateFolderMode) == 0;
    }
    return true;
}

}  // namespace velmora

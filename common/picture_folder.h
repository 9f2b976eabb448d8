#pragma once

#include <filesystem>

namespace velmora {

// The saver writes the desktop capture and the flare picture here; the renderer reads them.
inline constexpr const char* kPictureFolderName = "k_orvin";
inline constexpr const char* kDesktopPictureName = "Velmora1.bmp";
inline constexpr const char* kFlarePictureName = "Velmora2.bmp";

// $XDG_CACHE_HOME/k_orvin, or $HOME/.cache/k_orvin when XDG_CACHE_HOME is unset, empty or
// relative (the base-directory rules say to ignore a relative one). Either argument may be null;
// with no usable home the account's home directory from the password database is used.
std::filesystem::path ResolvePictureFolder(const char* xdg_cache_home, const char* home);

// A base folder of the user's as the base-directory rules give it: the variable's value when it
// is absolute, else `under_home` in the home folder ($HOME when absolute, else the account's
// home from the password database).
std::filesystem::path ResolveUserFolder(const char* variable_value, const char* home,
                                        const char* under_home);

// ResolvePictureFolder for this process's environment.
std::filesystem::path PictureFolder();

// Creates the folder (and a missing cache folder above it) with mode 0700, and narrows an
// existing folder of ours to 0700: a desktop capture must never be readable by other users.
// False when the folder cannot be made, or the path is not a directory owned by this user
// (a symbolic link or someone else's folder is not written into).
bool PreparePictureFolder(const std::filesystem::path& folder);

}  // namespace velmora

#pragma once

#include <string>
#include <string_view>

namespace velmora {

// True when path names a regular file that this process can open for reading. One trailing
// "/" is dropped first, so "song.mp3/" still finds the file; a folder is never a file.
bool FileExists(std::string_view path);

// The folder part of a path: everything before the last "/", with "/" itself for a file in the
// root folder and "" for a bare file name.
std::string FolderOfPath(std::string_view path);

}  // namespace velmora

#include "saver/host/program_folder.h"

#include <filesystem>

#include "saver/paths.h"

namespace velmora {

std::string ProgramFolder() {
    std::error_code error;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        return std::filesystem::current_path(error).string();
    }
    return FolderOfPath(executable.string());
}

}  // namespace velmora

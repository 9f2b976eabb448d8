#include "tests/e2e/support/program_folder.h"

#include <filesystem>
#include <fstream>

namespace velmora::test {

void ProgramFolder::AddSaver() const {
    std::filesystem::copy_file(std::string(VELMORA_BIN_DIR) + "/" + VELMORA_SAVER_FILE_NAME,
                               saver());
}

void ProgramFolder::AddRenderer() const {
    std::filesystem::copy_file(std::string(VELMORA_BIN_DIR) + "/" + VELMORA_RENDERER_FILE_NAME,
                               renderer());
}

void ProgramFolder::AddRendererPlaceholder() const {
    std::ofstream(renderer()) << "#";
}

}  // namespace velmora::test

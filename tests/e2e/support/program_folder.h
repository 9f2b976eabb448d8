#pragma once

#include <string>

#include "tests/support/child_process.h"

namespace velmora::test {

// A temporary program folder holding copies of the built programs, as an installation would.
class ProgramFolder {
  public:
    ProgramFolder() = default;
    const std::string& path() const noexcept { return folder_.path(); }
    std::string saver() const { return path() + "/" + VELMORA_SAVER_FILE_NAME; }
    std::string renderer() const { return path() + "/" + VELMORA_RENDERER_FILE_NAME; }
    std::string ini() const { return path() + "/ヴェルモラ.ini"; }
    // Copies the built saver (or renderer) into the folder.
    void AddSaver() const;
    void AddRenderer() const;
    // Puts a file named like the renderer that is no program, for tests that only need the
    // saver to find it.
    void AddRendererPlaceholder() const;

  private:
    TemporaryFolder folder_;
};

}  // namespace velmora::test

#pragma once

#include <string>

namespace velmora {

// The folder of the running executable, without a trailing "/" except for the root folder.
std::string ProgramFolder();

}  // namespace velmora

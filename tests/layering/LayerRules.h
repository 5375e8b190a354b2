#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace velmora::layering {

// One broken rule: which file, which line (0 for a whole file) and what it points at.
struct TViolation {
    std::string File;
    int Line = 0;
    std::string Message;
};

// Walks the library and tool folders below Root and reports every `#include "..."` and every
// `velmora_*` library named in a CMakeLists.txt that points at a folder the including folder
// may not use: up the layer table, sideways, into tests/, or at a library nobody registered.
std::vector<TViolation> CheckLayers(const std::filesystem::path& Root);

} // namespace velmora::layering

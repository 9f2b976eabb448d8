#pragma once

#include <cstdio>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>

namespace velmora {

// main() of a picture generator that the build runs: argv[1] names the C++ source to make. The
// source opens with a note of its generator, `#include <array>`, the given header and an
// anonymous namespace inside velmora; body writes the rest. It is written beside the target and
// renamed over it only when complete, so an interrupted build never compiles half a file.
inline int WriteGeneratedSource(int argc, char** argv, const std::string& generator,
                                const std::string& header,
                                const std::function<void(std::ostream&)>& body) {
    if (argc != 2) {
        std::cerr << "usage: " << argv[0] << " OUTPUT.cpp\n";
        return 2;
    }
    const std::string output_path = argv[1];
    const std::string temporary_path = output_path + ".part";
    std::ofstream out(temporary_path, std::ios::binary | std::ios::trunc);
    out << "// Made by " << generator << " at build time.\n"
        << "#include <array>\n\n"
        << "#include \"" << header << "\"\n\n"
        << "namespace velmora {\nnamespace {\n\n";
    body(out);
    out.close();
    if (!out || std::rename(temporary_path.c_str(), output_path.c_str()) != 0) {
        std::cerr << argv[0] << ": cannot write " << output_path << '\n';
        return 1;
    }
    return 0;
}

}  // namespace velmora

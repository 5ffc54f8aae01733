// A scratch directory for programs the tests run (their captures land in
// their current directory), and reading back what they wrote.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace bc::test {

struct ScratchDir {
    ScratchDir() {
        char tmpl[] = "/tmp/benchcom-test-XXXXXX";
        dir = mkdtemp(tmpl);
    }
    ~ScratchDir() { std::filesystem::remove_all(dir); }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    std::filesystem::path dir;
};

inline std::string slurp(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace bc::test

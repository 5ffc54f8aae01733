// A scratch directory for programs the tests run (their captures land in
// their current directory), and reading back what they wrote.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace bc::test {

// A fresh directory for the files of the programs a test runs (their
// current directory), removed with everything in it afterwards.
struct ScratchDir {
    ScratchDir() {
        char tmpl[] = "/tmp/benchcom-test-XXXXXX";
        if (mkdtemp(tmpl)) dir = tmpl;
    }
    ~ScratchDir() {
        std::error_code ignored;
        if (!dir.empty()) std::filesystem::remove_all(dir, ignored);
    }
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

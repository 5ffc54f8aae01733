// The files still to be put in place, and what closing one does; creating
// the temporary file and the rename are each system's own
// (replacing_file_system.h).
#include "platform/replacing_file.h"

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/replacing_file_system.h"

namespace bc {

std::FILE* openInPlace(const char* name, int& error) {
    std::FILE* f = std::fopen(name, "w+");
    if (!f) error = errno;
    return f;
}

std::string tempNameBeside(const char* name, const char* base, unsigned& state) {
    static const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string temp = std::string(name, size_t(base - name)) + "." + base + ".";
    for (int i = 0; i < 6; ++i) {
        state = state * 1103515245u + 12345u;
        temp += letters[(state >> 16) % 36];
    }
    return temp;
}

namespace {

struct Unplaced {
    std::FILE* stream;
    std::string temp;  // empty: written under its own name
    std::string name;
};

std::vector<Unplaced>& unplaced() {
    static std::vector<Unplaced> files;
    return files;
}

// Takes the file's entry out of the list.
bool take(std::FILE* stream, Unplaced& out) {
    auto& files = unplaced();
    for (auto it = files.begin(); it != files.end(); ++it)
        if (it->stream == stream) {
            out = std::move(*it);
            files.erase(it);
            return true;
        }
    return false;
}

}  // namespace

std::FILE* openReplacing(const char* name) {
    static const bool registered = (std::atexit(discardUnplacedFiles), true);
    (void)registered;
    std::string temp;
    int error = 0;
    std::FILE* stream = createReplacement(name, temp, error);
    if (!stream) {
        errno = error;
        return nullptr;
    }
    unplaced().push_back({stream, temp, name});
    return stream;
}

int placeReplacing(std::FILE* stream) {
    Unplaced f;
    if (!take(stream, f)) return EINVAL;
    errno = 0;
    if (std::fclose(stream) != 0) {
        const int error = errno ? errno : EIO;
        if (!f.temp.empty()) std::remove(f.temp.c_str());
        return error;
    }
    if (f.temp.empty()) return 0;
    const int error = replaceWith(f.temp, f.name.c_str());
    if (error) std::remove(f.temp.c_str());
    return error;
}

void discardReplacing(std::FILE* stream) {
    Unplaced f;
    if (!take(stream, f)) return;
    std::fclose(stream);
    if (!f.temp.empty()) std::remove(f.temp.c_str());
}

void discardUnplacedFiles() {
    while (!unplaced().empty()) discardReplacing(unplaced().back().stream);
}

}  // namespace bc

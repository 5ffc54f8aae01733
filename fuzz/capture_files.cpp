#include "fuzz/capture_files.h"

#include <dlfcn.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace bc::fuzz {

namespace {

struct MemoryFile {
    const char* name;
    std::string text;
    bool refused;
    size_t room;  // bytes it takes before it is full
    bool faulted;
};

MemoryFile g_files[] = {
    {"./op_scope1.csv", {}, false, SIZE_MAX, false},
    {"./op_scope2.csv", {}, false, SIZE_MAX, false},
    {"./op_scope.csv", {}, false, SIZE_MAX, false},
    {"./gbookFtemp.js", {}, false, SIZE_MAX, false},
};

MemoryFile* find(const char* name) {
    for (MemoryFile& f : g_files)
        if (strcmp(f.name, name) == 0) return &f;
    return nullptr;
}

ssize_t writeTo(void* cookie, const char* bytes, size_t size) {
    MemoryFile& f = *static_cast<MemoryFile*>(cookie);
    const size_t taken = f.text.size() >= f.room ? 0 : std::min(size, f.room - f.text.size());
    f.text.append(bytes, taken);
    if (taken < size) {
        f.faulted = true;
        errno = ENOSPC;
    }
    return ssize_t(taken);
}

int closeFile(void*) { return 0; }

}  // namespace

void resetCaptureFiles() {
    for (MemoryFile& f : g_files) {
        f.text.clear();
        f.refused = false;
        f.room = SIZE_MAX;
        f.faulted = false;
    }
}

bool captureFileFaulted() {
    for (const MemoryFile& f : g_files)
        if (f.faulted) return true;
    return false;
}

const std::string& captureFileText(const char* name) {
    static const std::string none;
    const MemoryFile* f = find(name);
    return f ? f->text : none;
}

void refuseCaptureFile(const char* name) {
    if (MemoryFile* f = find(name)) f->refused = true;
}

void fillCaptureFileAfter(const char* name, size_t room) {
    if (MemoryFile* f = find(name)) f->room = room;
}

}  // namespace bc::fuzz

// Takes the place of the C library's fopen (and of the sanitizer's, which
// wraps it) in the fuzz targets.
extern "C" FILE* fopen(const char* path, const char* mode) {
    using bc::fuzz::MemoryFile;
    if (MemoryFile* f = bc::fuzz::find(path); f && strcmp(mode, "w+") == 0) {
        if (f->refused) {
            f->faulted = true;
            errno = EISDIR;
            return nullptr;
        }
        f->text.clear();
        return fopencookie(f, "w+", {nullptr, bc::fuzz::writeTo, nullptr, bc::fuzz::closeFile});
    }
    using Open = FILE* (*)(const char*, const char*);
    static const Open libraryOpen = reinterpret_cast<Open>(dlsym(RTLD_NEXT, "fopen"));
    return libraryOpen(path, mode);
}

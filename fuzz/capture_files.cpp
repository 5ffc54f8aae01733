#include "fuzz/capture_files.h"

#include <dlfcn.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace bc::fuzz {

namespace {

struct MemoryFile {
    const char* name;
    std::string text;     // what the file holds
    std::string pending;  // what its replacement holds until it is put in place
    bool direct;          // opened under its own name, written in place
    bool refused;
    size_t room;  // bytes it takes before it is full
    bool faulted;
};

MemoryFile g_files[] = {
    {"./op_scope1.csv", {}, {}, false, false, SIZE_MAX, false},
    {"./op_scope2.csv", {}, {}, false, false, SIZE_MAX, false},
    {"./op_scope.csv", {}, {}, false, false, SIZE_MAX, false},
    {"./gbookFtemp.js", {}, {}, false, false, SIZE_MAX, false},
};

MemoryFile* find(const char* name) {
    for (MemoryFile& f : g_files)
        if (strcmp(f.name, name) == 0) return &f;
    return nullptr;
}

// The file whose replacement `path` is: DIR/.NAME.XXXXXX beside DIR/NAME
// (platform/replacing_file.h).
MemoryFile* replacing(const char* path) {
    for (MemoryFile& f : g_files) {
        const char* base = strrchr(f.name, '/') + 1;
        const std::string prefix = std::string(f.name, size_t(base - f.name)) + "." + base + ".";
        if (strncmp(path, prefix.c_str(), prefix.size()) == 0 && strlen(path) > prefix.size()) return &f;
    }
    return nullptr;
}

ssize_t writeTo(void* cookie, const char* bytes, size_t size) {
    MemoryFile& f = *static_cast<MemoryFile*>(cookie);
    std::string& into = f.direct ? f.text : f.pending;
    const size_t taken = into.size() >= f.room ? 0 : std::min(size, f.room - into.size());
    into.append(bytes, taken);
    if (taken < size) {
        f.faulted = true;
        errno = ENOSPC;
    }
    return ssize_t(taken);
}

int closeFile(void*) { return 0; }

FILE* openMemory(MemoryFile& f, bool direct) {
    if (f.refused) {
        f.faulted = true;
        errno = EISDIR;
        return nullptr;
    }
    f.direct = direct;
    (direct ? f.text : f.pending).clear();
    return fopencookie(&f, "w+", {nullptr, writeTo, nullptr, closeFile});
}

template <typename Call>
Call library(const char* name) {
    return reinterpret_cast<Call>(dlsym(RTLD_NEXT, name));
}

}  // namespace

void resetCaptureFiles() {
    for (MemoryFile& f : g_files) {
        f.text.clear();
        f.pending.clear();
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

// These take the place of the C library's fopen (and of the sanitizer's,
// which wraps it), rename and remove in the fuzz targets: a capture file's
// replacement is created exclusively ("w+x"), renamed into place once whole
// and removed when it is not.
extern "C" FILE* fopen(const char* path, const char* mode) {
    using namespace bc::fuzz;
    if (MemoryFile* f = find(path); f && strcmp(mode, "w+") == 0) return openMemory(*f, true);
    if (MemoryFile* f = replacing(path); f && strcmp(mode, "w+x") == 0) return openMemory(*f, false);
    static const auto libraryOpen = library<FILE* (*)(const char*, const char*)>("fopen");
    return libraryOpen(path, mode);
}

extern "C" int rename(const char* from, const char* to) {
    using namespace bc::fuzz;
    if (MemoryFile* f = replacing(from); f && find(to) == f) {
        f->text = std::move(f->pending);
        f->pending.clear();
        return 0;
    }
    static const auto libraryRename = library<int (*)(const char*, const char*)>("rename");
    return libraryRename(from, to);
}

extern "C" int remove(const char* path) {
    using namespace bc::fuzz;
    if (MemoryFile* f = replacing(path)) {
        f->pending.clear();
        return 0;
    }
    static const auto libraryRemove = library<int (*)(const char*)>("remove");
    return libraryRemove(path);
}

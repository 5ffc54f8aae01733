// The learn-string routines on arbitrary text, section and key. The text
// lies either in a buffer of exactly its own size (so that any read past
// its terminator is caught) or, as a capture holds it, in a 700-byte learn
// buffer filled to the brim and terminated after it.
//
// Input: a flags byte (bit 0: the capture's learn buffer), the section's and
// the key's lengths (one byte each), the section, the key, then the text.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "scope/learn_string.h"
#include "scope/scope_interface.h"

namespace {

using bc::fuzz::expect;

// A C string in a heap block of exactly its size.
std::unique_ptr<char[]> exactCopy(const std::string& s) {
    auto p = std::make_unique<char[]>(s.size() + 1);
    memcpy(p.get(), s.data(), s.size());
    p[s.size()] = '\0';
    return p;
}

// The field by its definition: section, then key from there, then a space.
const char* fieldByDefinition(const char* text, const char* section, const char* key) {
    if (!text) return nullptr;
    const std::string_view t(text);
    const size_t s = t.find(section);
    if (s == std::string_view::npos) return nullptr;
    const size_t k = t.find(key, s);
    if (k == std::string_view::npos) return nullptr;
    const size_t space = t.find(' ', k);
    return space == std::string_view::npos ? nullptr : text + space;
}

// One line per ';'-separated setting; those not beginning with ':' indented.
std::string dumpByDefinition(const char* text) {
    std::string out;
    const std::string_view t(text);
    size_t start = 0;
    for (;;) {
        const size_t semi = t.find(';', start);
        const std::string_view setting = t.substr(start, semi == std::string_view::npos ? semi : semi - start);
        if (setting.empty() || setting[0] != ':') out += "    ";
        out += setting;
        out += '\n';
        if (semi == std::string_view::npos) return out;
        start = semi + 1;
    }
}

bool sameFloat(float a, float b) { return (std::isnan(a) && std::isnan(b)) || memcmp(&a, &b, sizeof a) == 0; }

void checkLookup(const char* text, const char* section, const char* key) {
    const char* field = bc::lrnFindField(text, section, key);
    expect(field == fieldByDefinition(text, section, key), "lrnFindField lands where the searches do");
    // The number "%f" reads after the field, or 0 when there is no field or
    // no number. Where "%f" gives up on a malformed number whose start is
    // still a number ("-0xS" after "-0", "infinite" after "inf"), the tool
    // reads that start, as strtof does: either is a fair reading of such a
    // text, and the tool's is defined for every input.
    const float value = bc::lrnGetFloat(text, section, key);
    float scanned = 0.0f;
    if (field && sscanf(field, "%f", &scanned) == 1) {
        expect(sameFloat(value, scanned), "lrnGetFloat reads what %f reads");
    } else if (field) {
        char* end = nullptr;
        const float start = strtof(field, &end);
        expect(sameFloat(value, end == field ? 0.0f : start), "lrnGetFloat reads a malformed number's start");
    } else {
        expect(sameFloat(value, 0.0f), "lrnGetFloat gives 0 without a field");
    }
}

void checkDump(char* text) {
    const std::string before(text);
    char* written = nullptr;
    size_t size = 0;
    FILE* out = open_memstream(&written, &size);
    expect(out != nullptr, "memory stream");
    bc::lrnDump(out, text);
    fclose(out);
    expect(std::string(written, size) == dumpByDefinition(text), "lrnDump writes one setting a line");
    free(written);
    expect(before == text, "lrnDump restores the text");
    bc::lrnDump(nullptr, text);  // the console form
    expect(before == text, "lrnDump restores the text");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // The text of a learn string with room to spare.
    bc::fuzz::startUp(argc, argv, {"-max_len=2048", "-entropic_scale_per_exec_time=1"});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    bc::fuzz::Input in(data, size);
    const bool learnBuffer = in.byte() & 1;
    const size_t sectionLength = in.byte();
    const size_t keyLength = in.byte();
    const auto section = exactCopy(in.bytes(sectionLength));
    const auto key = exactCopy(in.bytes(keyLength));
    const std::string text = in.rest();

    if (learnBuffer) {
        char learn[bc::scopeLearnMax + 1] = {};
        const size_t got = std::min<size_t>(text.size(), bc::scopeLearnMax);
        memcpy(learn, text.data(), got);
        learn[got] = '\0';
        checkLookup(learn, section.get(), key.get());
        checkDump(learn);
    } else {
        const auto exact = exactCopy(text);
        checkLookup(exact.get(), section.get(), key.get());
        checkDump(exact.get());
    }
    checkLookup(nullptr, section.get(), key.get());
    bc::lrnDump(nullptr, nullptr);
    return 0;
}

// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
#include "scope/learn_string.h"

#include <cstdlib>
#include <cstring>

namespace bc {

// Three plain substring searches, first match wins: the key search starts at
// the section match and runs on to the end of the text, past the section's
// own settings if need be.
const char* lrnFindField(const char* text, const char* section, const char* key) {
    if (!text) return nullptr;
    const char* sectionAt = strstr(text, section);
    if (!sectionAt) return nullptr;
    const char* keyAt = strstr(sectionAt, key);
    if (!keyAt) return nullptr;
    return strstr(keyAt, " ");
}

// strtof reads what "%f" would (the space in front, then a number) but is
// defined for a value beyond float range, which an instrument's learn
// string may carry: it comes back as infinity.
float lrnGetFloat(const char* text, const char* section, const char* key) {
    float value = 0.0f;
    if (const char* field = lrnFindField(text, section, key)) {
        char* end = nullptr;
        const float parsed = strtof(field, &end);
        if (end != field) value = parsed;
    }
    return value;
}

namespace {

void emitSetting(FILE* out, const char* setting) {
    if (setting[0] != ':') {
        if (out)
            fprintf(out, "    ");
        else
            printf("    ");
    }
    if (out)
        fprintf(out, "%s\n", setting);
    else
        printf("%s\n", setting);
}

}  // namespace

void lrnDump(FILE* out, char* text) {
    if (!text) return;
    char* at = text;
    for (char* sep; (sep = strchr(at, ';')) != nullptr; at = sep + 1) {
        *sep = '\0';
        emitSetting(out, at);
        *sep = ';';
    }
    emitSetting(out, at);
}

}  // namespace bc

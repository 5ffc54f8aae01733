#include <cstring>
#include <string>

#include "led/max7219_demos.h"
#include "led/max7219_sequences.h"
#include "led/max7219_setup.h"
#include "led/max7219_transfer.h"
#include "tools/routine_table.h"

namespace bc::run {

namespace {

void runSendMax7219Word(const Args& a) { sendMax7219Word(a.fd, a.num[0]); }
void runWalkMax7219Pins(const Args& a) { walkMax7219Pins(a.fd); }
void runInitMax7219(const Args& a) { initMax7219(a.fd); }
void runClearMax7219(const Args& a) { clearMax7219(a.fd); }
void runShowMax7219Help(const Args& a) { showMax7219Help(a.fd); }
void runSendMax7219Sequence(const Args& a) { sendMax7219Sequence(a.fd, a.num[0], a.sequence); }
void runSendMAX2719xyz(const Args& a) { sendMAX2719xyz(a.fd, a.num[0], a.num[1], a.num[2]); }
void runDemoMax7219Xyz(const Args& a) { demoMax7219Xyz(a.fd); }
void runDemoMax7219Patterns(const Args& a) { demoMax7219Patterns(a.fd); }

}  // namespace

std::span<const Routine> ledRoutines() {
    static const Routine table[] = {
        {"sendMax7219Word", "i", "word", true, runSendMax7219Word},
        {"walkMax7219Pins", "", "", true, runWalkMax7219Pins},
        {"initMax7219", "", "", true, runInitMax7219},
        {"clearMax7219", "", "", true, runClearMax7219},
        {"showMax7219Help", "", "", true, runShowMax7219Help},
        {"sendMax7219Sequence", "is", "pattern sequence", true, runSendMax7219Sequence},
        {"sendMAX2719xyz", "iii", "x y z", true, runSendMAX2719xyz},
        {"demoMax7219Xyz", "", "", true, runDemoMax7219Xyz},
        {"demoMax7219Patterns", "", "", true, runDemoMax7219Patterns},
    };
    return table;
}

const int* sequenceNamed(const char* name) {
    for (int i = 0; i < kSequenceCount; ++i)
        if (std::strcmp(sequenceTableNames[i], name) == 0) return sequenceTable[i];
    return nullptr;
}

const char* sequenceNames() {
    static const std::string names = [] {
        std::string all;
        for (const char* name : sequenceTableNames) {
            if (!all.empty()) all += ' ';
            all += name;
        }
        return all;
    }();
    return names.c_str();
}

}  // namespace bc::run

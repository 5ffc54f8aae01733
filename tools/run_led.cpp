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
        {"sendMax7219Word", "i", "word",
         "Clocks one register word (register in bits 11-8, data in bits 7-0) into the MAX7219 "
         "through the adapter's pins, 53 pin frames, then waits 600 ms. The pins must already be "
         "in I/O mode (initMax7219 leaves them so).",
         true, runSendMax7219Word},
        {"walkMax7219Pins", "", "",
         "Steps the adapter's four pins through 13 fixed patterns 1 ms apart, for checking the "
         "wiring, and leaves load, data and clock high. Under a second.",
         true, runWalkMax7219Pins},
        {"initMax7219", "", "",
         "Puts the adapter's pins in I/O mode, then sets the display to eight digits, no decode, "
         "normal operation (3 words). About 2 s.",
         true, runInitMax7219},
        {"clearMax7219", "", "", "I/O mode, then intensity 3 and every digit dark (14 words). About 9 s.", true,
         runClearMax7219},
        {"showMax7219Help", "", "",
         "I/O mode, then HELP, a blank and a dash on the six left digits in Code B (14 words). "
         "About 9 s.",
         true, runShowMax7219Help},
        {"sendMax7219Sequence", "is", "pattern sequence",
         "I/O mode, normal operation, display test off, then the ten words of the named register "
         "sequence; PATTERN is only a label. About 8 s.",
         true, runSendMax7219Sequence},
        {"sendMAX2719xyz", "iii", "x y z",
         "Lights bit X (0-7) alone in digit register Y+1 (Y 0-7); Z is not used. 0.6 s.", true, runSendMAX2719xyz},
        {"demoMax7219Xyz", "", "",
         "Prints the adapter's version and serial number, then walks single lit segments over the "
         "display: columns, diagonals, rows, 75 s a round. Runs until Ctrl-C.",
         true, runDemoMax7219Xyz},
        {"demoMax7219Patterns", "", "",
         "Runs once through the display's modes: HELP, the register sequences, intensity and "
         "scan-limit changes, diagonals. About three minutes.",
         true, runDemoMax7219Patterns},
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

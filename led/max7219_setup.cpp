#include "led/max7219_setup.h"

#include "iss/adapter_commands.h"
#include "platform/platform.h"
#include "led/max7219_transfer.h"

namespace bc {

namespace {

void sendWords(int fd, const int* words, int count) {
    for (int i = 0; i < count; ++i) sendMax7219Word(fd, words[i]);
}

template <int N>
void sendWords(int fd, const int (&words)[N]) {
    sendWords(fd, words, N);
}

}  // namespace

void max7219IoSetup(int fd) {
    issSetIoMode(fd, 0);
    issChangeIoMode(fd, 0);
}

void initMax7219(int fd) {
    static const int words[] = {0x0B07, 0x0900, 0x0C01};
    max7219IoSetup(fd);
    sendWords(fd, words);
}

void clearMax7219(int fd) {
    // The digits are cleared while the chip is shut down, so that the old
    // contents vanish at once instead of digit by digit.
    static const int words[] = {0x0C01, 0x0B07, 0x0900, 0x0A03, 0x0C00, 0x0100, 0x0200,
                                0x0300, 0x0400, 0x0500, 0x0600, 0x0700, 0x0800, 0x0C01};
    max7219IoSetup(fd);
    sendWords(fd, words);
}

void showMax7219Help(int fd) {
    // Registers 0x02 and 0x01 are left alone: under Code B they show what
    // their old contents select.
    static const int words[] = {0x0C01, 0x0B07, 0x0900, 0x0A03, 0x0C01, 0x0B07, 0x09FF,
                                0x080C, 0x070B, 0x060D, 0x050E, 0x040F, 0x030A, 0x0C01};
    max7219IoSetup(fd);
    sendWords(fd, words);
    _sleep(2);
}

void sendMax7219Sequence(int fd, int, const int* sequence) {
    max7219IoSetup(fd);
    sendMax7219Word(fd, 0x0C01);
    sendMax7219Word(fd, 0x0F00);
    for (const int* word = sequence; word && *word != -1; ++word) sendMax7219Word(fd, *word);
    _sleep(3);
}

}  // namespace bc

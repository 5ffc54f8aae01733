// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
// Words into the MAX7219, clocked bit by bit through the adapter's IO pins.
// These assume the adapter is already in IO mode (see max7219_setup.h).
#pragma once

namespace bc {

// Prints the word, clocks its low 16 bits into the chip (most significant
// first, three pin frames a bit), latches them and waits 600 ms.
void sendMax7219Word(int fd, int word);

// Sends a table of words, one after the other.
template <int N>
void sendMax7219Words(int fd, const int (&words)[N]) {
    for (int word : words) sendMax7219Word(fd, word);
}

// Drives a fixed series of 13 pin bytes, 1 ms apart: a check of the wiring
// with a meter or a logic probe.
void walkMax7219Pins(int fd);

// Sets digit register y+1 to the single segment bit x; z is not used. x or y
// outside 0..7 would name no segment or reach a control register: refused
// with one printed line, nothing sent.
void sendMAX2719xyz(int fd, int x, int y, int z);

}  // namespace bc

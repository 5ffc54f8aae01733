// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
// The text panel with keypad on the adapter's I2C bus: four rows of twenty
// characters, written at 0xC6; its status bytes (key state in byte 1) are
// polled at 0xC7.
#pragma once

namespace bc {

// Writes the lead byte and then the text (without its NUL) to the panel. A
// text longer than 254 characters does not fit the frame's count byte: it is
// refused with one printed line and nothing is sent.
void panelWriteText(int fd, int lead, const char* text);

// Polls the panel's four status bytes, prints them and returns byte 1, the
// key state. The mode is not sent.
int setModeIICpollDisp(int fd, int mode);

// Shows a prompt, then polls the keys for ever: key 1 pressed writes a
// greeting screen, key 3 a screen of stars.
[[noreturn]] void panelKeyDemo(int fd);

}  // namespace bc

// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
// The adapter's own commands: identity, IO modes, two further sub-commands of
// the 0x5A group, and the pin setting through which the LED driver clocks
// its chip. Each builds its frame in ioBuf, writes it, reads the reply of the
// frame's fixed length back over it and prints one line from the reply.
// Nothing is checked: a reply that does not come leaves the older bytes of
// ioBuf, and those are printed as if they were the reply.
#pragma once

namespace bc {

// 5A 01; prints the three reply bytes.
void issVersion(int fd);
// 5A 03; prints the seven reply bytes as hex pairs and as characters.
void issSerialNumber(int fd);
// 5A 02 00 value: every pin an IO pin, with the pin types in value.
void issSetIoMode(int fd, int value);
// 5A 02 10 value: new pin types, the mode kept.
void issChangeIoMode(int fd, int value);
// 5A 10 value 00; prints the one reply byte.
void issCmd5A10(int fd, int value);
// issCmd5A10(fd, 12), then 5A 12 00 00; prints four of the eight reply bytes.
void issRead5A12(int fd);
// 63 value: the pins take the low bits of value; the reply is dropped.
void issSetPins(int fd, int value);

}  // namespace bc

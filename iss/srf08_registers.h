// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
// The SRF08 ultrasonic range finder as its registers show it: shared by the
// routine that ranges with it and the simulated one.
#pragma once

namespace bc::srf08 {

// Written: register 0 takes a command, 1 the gain, 2 the range.
constexpr unsigned char kCommandRegister = 0x00;
constexpr unsigned char kGainRegister = 0x01;
constexpr unsigned char kRangeRegister = 0x02;

// Commands: range in inches, centimetres or microseconds of echo time.
constexpr unsigned char kRangeInInches = 0x50;
constexpr unsigned char kRangeInCm = 0x51;
constexpr unsigned char kRangeInMicroseconds = 0x52;

// Read: register 0 the software revision, 1 the light sensor, then from 2
// up to seventeen echoes, each high byte first.
constexpr unsigned char kRevisionRegister = 0x00;
constexpr unsigned char kLightRegister = 0x01;
constexpr unsigned char kFirstEchoRegister = 0x02;
constexpr int kEchoes = 17;
constexpr int kRegisters = kFirstEchoRegister + 2 * kEchoes;  // 36

// A ranging takes up to 65 ms; meanwhile the device does not answer on the
// bus (reads bring 0xFF).
constexpr int kRangingMs = 65;

}  // namespace bc::srf08

// Names and texts here are kept as the instruments' users know them: ARCHITECTURE.md, "Kept as they are".
// The SRF08 ultrasonic range finder on the adapter's I2C bus.
#pragma once

namespace bc {

// hi x 256 + lo, each taken by its low 8 bits: 0..65535.
int leBytesToInt(int lo, int hi);

// Starts a ranging in centimetres, waits for it and prints the first two
// echoes (second echo first), with a bar as long as a quarter of the first.
void srf08Range(int fd);

}  // namespace bc

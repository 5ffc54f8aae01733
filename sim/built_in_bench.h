#pragma once

namespace bc::sim {

// Lets BENCHCOM_PORT=sim open the simulated bench inside this program: the
// same devices as benchcom-sim serves, in real time, one bench for the life
// of the process (opened, closed and opened again like a real one).
void offerBuiltInBench();

}  // namespace bc::sim

#pragma once
// Resident memory of this process, for measuring the writer's peak.
#include <cstddef>

namespace wendlow::pdf::bench {

// Returns freed heap memory to the system and restarts the kernel's peak-resident counter, so
// that a following peak_resident_bytes() covers only what comes after. False when the kernel
// does not allow the reset.
bool reset_peak_resident();

std::size_t current_resident_bytes();
std::size_t peak_resident_bytes();

}  // namespace wendlow::pdf::bench

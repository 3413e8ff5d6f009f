#pragma once
// The process's resident memory for benchmarks that report what an operation
// takes at its peak, not only how long.

// Starts a new peak at the present resident size and returns that size, in MB.
double ResetPeakMemory();
// The peak resident size since the last reset, in MB.
double PeakMemoryMegabytes();

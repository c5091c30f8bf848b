// The C runtime's rand() sequence (RAND_MAX 32767), reproduced so that noise
// and random textures come out the same on every run and every platform.
// One state for the whole process, shared by every caller in call order;
// main thread only. glibc's rand() is never used for these.
#pragma once

constexpr int CRAND_MAX = 32767;

// Next value in 0..32767: state = state * 214013 + 2531011, value = (state >> 16) & 0x7FFF.
int CRand();
// Restarts the sequence; the program never calls it (the state starts at 1).
void CSRand(unsigned seed);

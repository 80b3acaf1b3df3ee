// A sampling profiler for one thread: a timer on the thread's CPU clock
// interrupts it every `periodUs` of CPU time and the interrupted instruction
// is counted as the program's own code when it lies in the executable's
// machine code (the project is linked in statically; the GL driver, libc and
// libm are shared libraries), else as library time. Samples go to the bucket
// set with setBucket. Linux on x86-64 or AArch64; elsewhere it counts nothing.
#pragma once

class CodeSampler {
public:
    static constexpr int maxBuckets = 16;

    // Finds the executable's machine code; start() does it too. Safe to call
    // before anything else runs.
    static void findOwnCode();
    // True when `address` lies in the executable's machine code.
    static bool isOwnCode(const void* address);

    // Starts sampling the calling thread. False when the timer cannot be made.
    bool start(long periodUs);
    void stop();
    void setBucket(int bucket); // 0 .. maxBuckets - 1
    // CPU ms sampled in a bucket: all of it, and the part in the executable.
    double totalMs(int bucket) const;
    double ownMs(int bucket) const;
};

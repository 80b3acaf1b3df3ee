// Thread CPU-time sampling with timer_create and SIGPROF. See CodeSampler.h.
#include "tools/bench_frames/CodeSampler.h"

#include <link.h>
#include <signal.h>
#include <sys/syscall.h>
#include <time.h>
#include <ucontext.h>
#include <unistd.h>

#include <cstdint>

namespace {

struct Range {
    uintptr_t begin = 0, end = 0;
};
Range codeRanges[8]; // executable segments of the main program
int rangeCount = 0;

volatile int bucket = 0;
volatile long samples[CodeSampler::maxBuckets];
volatile long ownSamples[CodeSampler::maxBuckets];
timer_t timer;
bool running = false;
long period = 1000; // us

int findMainProgram(dl_phdr_info* info, size_t, void*) {
    // The first object listed is the executable itself.
    for (int i = 0; i < info->dlpi_phnum && rangeCount < 8; i++) {
        const ElfW(Phdr)& ph = info->dlpi_phdr[i];
        if (ph.p_type != PT_LOAD || !(ph.p_flags & PF_X)) continue;
        codeRanges[rangeCount].begin = info->dlpi_addr + ph.p_vaddr;
        codeRanges[rangeCount].end = info->dlpi_addr + ph.p_vaddr + ph.p_memsz;
        rangeCount++;
    }
    return 1;
}

uintptr_t interruptedPc(void* context) {
    auto* uc = static_cast<ucontext_t*>(context);
#if defined(__x86_64__)
    return uintptr_t(uc->uc_mcontext.gregs[REG_RIP]);
#elif defined(__aarch64__)
    return uintptr_t(uc->uc_mcontext.pc);
#else
    (void)uc;
    return 0;
#endif
}

void onSample(int, siginfo_t* info, void* context) {
    long weight = 1 + (info ? info->si_overrun : 0); // expirations folded into this one
    int b = bucket;
    samples[b] += weight;
    if (CodeSampler::isOwnCode(reinterpret_cast<const void*>(interruptedPc(context))))
        ownSamples[b] += weight;
}

} // namespace

void CodeSampler::findOwnCode() {
    if (rangeCount == 0) dl_iterate_phdr(findMainProgram, nullptr);
}

bool CodeSampler::isOwnCode(const void* address) {
    uintptr_t pc = reinterpret_cast<uintptr_t>(address);
    for (int i = 0; i < rangeCount; i++) {
        if (pc >= codeRanges[i].begin && pc < codeRanges[i].end) return true;
    }
    return false;
}

bool CodeSampler::start(long periodUs) {
    period = periodUs;
    findOwnCode();
    struct sigaction action = {};
    action.sa_sigaction = onSample;
    action.sa_flags = SA_SIGINFO | SA_RESTART;
    sigemptyset(&action.sa_mask);
    sigaction(SIGPROF, &action, nullptr);

    sigevent event = {};
    event.sigev_notify = SIGEV_THREAD_ID;
    event.sigev_signo = SIGPROF;
    event._sigev_un._tid = pid_t(syscall(SYS_gettid)); // only this thread is sampled
    if (timer_create(CLOCK_THREAD_CPUTIME_ID, &event, &timer) != 0) return false;
    itimerspec spec = {};
    spec.it_interval.tv_nsec = periodUs * 1000;
    spec.it_value = spec.it_interval;
    running = timer_settime(timer, 0, &spec, nullptr) == 0;
    return running;
}

void CodeSampler::stop() {
    if (!running) return;
    timer_delete(timer);
    running = false;
}

void CodeSampler::setBucket(int b) {
    bucket = b;
}

double CodeSampler::totalMs(int b) const {
    return double(samples[b]) * double(period) / 1000.0;
}

double CodeSampler::ownMs(int b) const {
    return double(ownSamples[b]) * double(period) / 1000.0;
}

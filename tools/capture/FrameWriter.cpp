// The capture's writer threads. See FrameWriter.h.
#include "tools/capture/FrameWriter.h"

FrameWriter::FrameWriter(size_t frameBytes, int slotCount, int workers, Write write)
    : writeFrame(std::move(write)),
      slots(size_t(slotCount)) {
    for (Slot& s : slots) s.frame.resize(frameBytes);
    for (int w = 0; w < workers; w++) threads.emplace_back(&FrameWriter::run, this, w);
}

FrameWriter::~FrameWriter() {
    finish();
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
    }
    changed.notify_all();
    for (std::thread& t : threads) t.join();
}

unsigned char* FrameWriter::buffer() {
    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
        if (!problem.empty()) return nullptr;
        for (size_t i = 0; i < slots.size(); i++) {
            if (slots[i].state != State::Free) continue;
            filling = int(i);
            return slots[i].frame.data();
        }
        changed.wait(lock);
    }
}

void FrameWriter::submit(long index) {
    {
        std::lock_guard<std::mutex> lock(mutex);
        Slot& s = slots[size_t(filling)];
        s.state = State::Waiting;
        s.index = index;
        s.sequence = handedOver++;
        filling = -1;
    }
    changed.notify_all();
}

bool FrameWriter::busy() const {
    for (const Slot& s : slots)
        if (s.state != State::Free) return true;
    return false;
}

std::string FrameWriter::finish() {
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [&] { return !busy(); });
    return problem;
}

long FrameWriter::written() const {
    std::lock_guard<std::mutex> lock(mutex);
    return done;
}

void FrameWriter::run(int worker) {
    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
        Slot* next = nullptr; // the oldest frame waiting
        for (Slot& s : slots)
            if (s.state == State::Waiting && (!next || s.sequence < next->sequence)) next = &s;
        if (!next) {
            if (stopping) return;
            changed.wait(lock);
            continue;
        }
        next->state = State::Writing;
        std::string failure;
        if (problem.empty()) {
            lock.unlock();
            failure = writeFrame(next->frame.data(), next->index, worker);
            lock.lock();
        }
        if (!failure.empty() && problem.empty()) problem = failure;
        else if (failure.empty() && problem.empty()) done++;
        next->state = State::Free;
        changed.notify_all();
    }
}

// The capture's writer thread. See FrameWriter.h.
#include "tools/capture/FrameWriter.h"

FrameWriter::FrameWriter(size_t frameBytes, int slots, Write write)
    : writeFrame(std::move(write)), buffers(size_t(slots), std::vector<unsigned char>(frameBytes)),
      indices(size_t(slots), 0), thread(&FrameWriter::run, this) {}

FrameWriter::~FrameWriter() {
    finish();
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
    }
    changed.notify_all();
    thread.join();
}

unsigned char* FrameWriter::buffer() {
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [&] { return count < buffers.size() || !problem.empty(); });
    if (!problem.empty()) return nullptr;
    return buffers[(head + count) % buffers.size()].data();
}

void FrameWriter::submit(long index) {
    {
        std::lock_guard<std::mutex> lock(mutex);
        indices[(head + count) % buffers.size()] = index;
        count++;
    }
    changed.notify_all();
}

std::string FrameWriter::finish() {
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [&] { return count == 0; });
    return problem;
}

long FrameWriter::written() const {
    std::lock_guard<std::mutex> lock(mutex);
    return done;
}

void FrameWriter::run() {
    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
        changed.wait(lock, [&] { return count > 0 || stopping; });
        if (count == 0) return; // stopping, and nothing left
        const unsigned char* frame = buffers[head].data();
        const long index = indices[head];
        std::string failure;
        if (problem.empty()) {
            lock.unlock();
            failure = writeFrame(frame, index);
            lock.lock();
        }
        if (failure.empty() && problem.empty()) done++;
        else if (problem.empty()) problem = failure;
        head = (head + 1) % buffers.size();
        count--;
        changed.notify_all();
    }
}

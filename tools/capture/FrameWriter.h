// The capture's writer threads: frames read back from GL are handed over in
// one of a few buffers made before the first frame, and the writers average
// them down (when supersampled) and write them (a PNG file each, or down the
// video pipe) while the render thread draws the next one. At most `slots`
// frames are in memory at once; the render thread waits for a free buffer
// when the writers fall behind. One writer takes the frames strictly in the
// order they were handed over (a video needs that); several (PNG files,
// each on its own) take the oldest waiting frame each. After the first
// failed write the writers take no more frames and the one-line problem is
// kept.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class FrameWriter {
public:
    // `write(frame, index, worker)` writes one frame (`frameBytes` bytes) on
    // writer `worker` (0 .. workers - 1) and returns an empty string or the
    // problem.
    using Write = std::function<std::string(const unsigned char* frame, long index, int worker)>;
    FrameWriter(size_t frameBytes, int slots, int workers, Write write);
    ~FrameWriter(); // finishes the frames handed over, then stops the threads

    // A buffer to read the next frame into; waits while every buffer is in
    // use. Null once a write has failed.
    unsigned char* buffer();
    // Hands over the buffer last returned by buffer(), as frame `index`.
    void submit(long index);
    // Waits until every frame handed over is written. Returns the problem
    // of the first failed write, or an empty string.
    std::string finish();
    long written() const; // frames written so far

private:
    enum class State { Free, Waiting, Writing };
    struct Slot {
        std::vector<unsigned char> frame;
        State state = State::Free;
        long index = 0;    // the frame's number
        long sequence = 0; // order of handing over
    };
    void run(int worker);
    bool busy() const; // a frame waits or is being written

    Write writeFrame;
    std::vector<Slot> slots;
    int filling = -1; // the slot buffer() returned
    long handedOver = 0;
    long done = 0;
    bool stopping = false;
    std::string problem;
    mutable std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::thread> threads;
};

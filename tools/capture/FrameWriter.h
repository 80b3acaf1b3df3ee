// The capture's second thread: frames read back from GL are handed over in
// one of a few buffers made before the first frame, and this thread
// averages them down (when supersampled) and writes them (a PNG file each,
// or down the video pipe) while the render thread draws the next one. At
// most `slots` frames are in memory at once; the render thread waits for a
// free buffer when the writer falls behind. Frames are written in the order
// they were handed over. After the first failed write the writer takes no
// more frames and keeps the one-line problem.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class FrameWriter {
public:
    // `write(frame, index)` writes one frame (`frameBytes` bytes) and returns
    // an empty string or the problem; it runs on the writer thread.
    using Write = std::function<std::string(const unsigned char* frame, long index)>;
    FrameWriter(size_t frameBytes, int slots, Write write);
    ~FrameWriter(); // finishes the frames handed over, then stops the thread

    // A buffer to read the next frame into; waits while every buffer is in
    // flight. Null once a write has failed.
    unsigned char* buffer();
    // Hands over the buffer last returned by buffer(), as frame `index`.
    void submit(long index);
    // Waits until every frame handed over is written. Returns the problem
    // of the first failed write, or an empty string.
    std::string finish();
    long written() const; // frames written so far

private:
    void run();

    Write writeFrame;
    std::vector<std::vector<unsigned char>> buffers;
    std::vector<long> indices;
    size_t head = 0;  // next buffer to write
    size_t count = 0; // buffers handed over and not yet written
    long done = 0;
    bool stopping = false;
    std::string problem;
    mutable std::mutex mutex;
    std::condition_variable changed;
    std::thread thread;
};

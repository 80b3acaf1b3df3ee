// A file written so that a failure never leaves a file under its name that
// looks complete: the bytes go to a temporary file beside it (".NAME.XXXXXX",
// hidden, in the same folder, so the final rename is atomic) and only a
// commit after every write and the close succeeded gives it its name. On any
// failure, or without a commit, the temporary file is removed. The messages
// name the file and the system's reason ("No space left on device").
#pragma once

#include <cstdio>
#include <string>

// Creates a hidden empty file beside `path`, ".NAME.XXXXXX" in the same
// folder, or ".STEM-XXXXXX.EXT" with `keepExtension` (for programs that pick
// the format from the extension), readable as a finished file would be
// (0666 less the umask). Returns its descriptor and sets `name`, or -1.
int createTemporaryBeside(const std::string& path, bool keepExtension, std::string& name);

class OutputFile {
public:
    explicit OutputFile(const std::string& path);
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile(); // removes the temporary file unless committed

    // The stream to write to; null when the file could not be created.
    std::FILE* stream() const { return file; }
    // Writes `size` bytes; false (and the reason kept) when they did not all go.
    bool write(const void* data, size_t size);
    // Notes a failure found by the caller (errno at the time gives the reason).
    void fail();
    // Flushes and closes the stream, checking both, then renames the file
    // into place. Returns "", or error() when anything failed since the file
    // was created (then the file is not renamed).
    std::string commit();
    // "cannot write PATH: REASON" after a failure; empty otherwise.
    std::string error() const;

private:
    std::string path;
    std::string temporary;
    std::FILE* file = nullptr;
    int reason = 0; // errno of the first failure
    bool failed = false;
    bool committed = false;
};

// The exit status of a tool whose results go to standard output: `status`,
// or 1 after one line on stderr when standard output could not be written
// (a full disk behind a redirect, a closed pipe).
int checkedExit(const char* tool, int status);

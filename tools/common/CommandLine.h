// How every tool answers its command line and reports what went wrong, so
// that scripts can tell a mistyped call from a failed run:
//  - `--help` or `-h` anywhere on the line: the usage (the synopsis, then
//    what the tool does and its options) on stdout, exit status 0;
//  - a bad command line: "TOOL: REASON (see --help)" and the synopsis on
//    stderr, exit status 2 (usageStatus);
//  - a failed run (a file that cannot be read or written, a missing
//    program, no display): "TOOL: PROBLEM" on stderr, exit status 1; a quit
//    request (SIGINT, SIGTERM) ends it with 130.
// Errors are values: within tools/, a function that can fail returns a
// std::string, empty on success, else the problem in one line without the
// tool's name ("cannot write x.png: No space left on device"). Only the
// tool's own main.cpp prints it, through usageError or fail, and chooses the
// exit status. A function that answers a yes-or-no question (parseSize:
// is this a size?) returns bool, and its caller words the problem. A notice
// that changes nothing about success (a video without sound, a fallback
// font) is printed where it arises, "TOOL: WHAT; WHAT HAPPENS INSTEAD".
#pragma once

#include <string>

struct Usage {
    const char* tool;     // the program's name, the first word of every message
    const char* synopsis; // the "usage: TOOL ..." lines, repeated after every usage error
    const char* details;  // the rest of --help: what the tool does, its options
};

constexpr int usageStatus = 2; // the exit status of a bad command line

// True when an argument is --help or -h.
bool asksForHelp(int argc, char** argv);
// Prints the usage on stdout; returns the exit status, 0 (1 when stdout
// cannot be written).
int printHelp(const Usage& usage);
// Prints "TOOL: REASON (see --help)" and the synopsis on stderr; returns
// usageStatus.
int usageError(const Usage& usage, const std::string& reason);
// Prints "TOOL: PROBLEM" on stderr; returns 1, the status of a failed run.
int fail(const char* tool, const std::string& problem);

// The reasons of usageError for an argument no option takes, and for an
// option whose value is missing or wrong: "unknown argument 'ARG'", "bad or
// missing value for OPTION (EXPECTED)".
std::string unknownArgument(const char* arg);
std::string badValue(const char* option, const char* expected);

// Reads a whole decimal integer from `low` to `high`; false, leaving
// `value` alone, for anything else (no text, other characters, out of range).
bool parseInteger(const char* text, long low, long high, long& value);

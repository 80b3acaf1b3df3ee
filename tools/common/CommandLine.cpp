// The tools' answers to their command lines. See CommandLine.h.
#include "tools/common/CommandLine.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tools/common/OutputFile.h"

bool asksForHelp(int argc, char** argv) {
    for (int i = 1; i < argc; i++)
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) return true;
    return false;
}

int printHelp(const Usage& usage) {
    std::fputs(usage.synopsis, stdout);
    std::fputs(usage.details, stdout);
    return checkedExit(usage.tool, 0);
}

int usageError(const Usage& usage, const std::string& reason) {
    std::fprintf(stderr, "%s: %s (see --help)\n%s", usage.tool, reason.c_str(), usage.synopsis);
    return usageStatus;
}

int fail(const char* tool, const std::string& problem) {
    std::fprintf(stderr, "%s: %s\n", tool, problem.c_str());
    return 1;
}

std::string unknownArgument(const char* arg) {
    return std::string("unknown argument '") + arg + "'";
}

std::string badValue(const char* option, const char* expected) {
    return std::string("bad or missing value for ") + option + " (" + expected + ")";
}

bool parseInteger(const char* text, long low, long high, long& value) {
    if (!text || !*text) return false;
    errno = 0;
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (errno || *end || v < low || v > high) return false;
    value = v;
    return true;
}

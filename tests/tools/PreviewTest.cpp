// The preview player run headless (offscreen video, muted): a start with
// --from lands in the scene that holds that time, and its answers to bad
// arguments and --help.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>

namespace {

struct PreviewRun {
    int status;
    std::string out;
};

PreviewRun preview(const std::string& args) {
    std::string command =
        "SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy " DEMO_BINARY_DIR "/preview " + args + " 2>&1";
    PreviewRun run{-1, ""};
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe)) run.out += buffer;
    int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

TEST(Preview, StartingFromATimeLandsInItsScene) {
    // 48,000 ms starts scene 4 and 18,000 ms scene 2; short run-ups.
    PreviewRun r = preview("--mute --window 320x240 --from 48200 --frames 2");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("in scene 4\n"), std::string::npos) << r.out;
    r = preview("--mute --from 18300 --frames 1");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("in scene 2\n"), std::string::npos) << r.out;
}

TEST(Preview, BadArgumentsFailWithOneLineAndHelpListsTheKeys) {
    PreviewRun r = preview("--vsync sometimes");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "preview: bad or missing value for --vsync (on or off) (see --help)\n");
    r = preview("--help");
    EXPECT_EQ(r.status, 0);
    for (const char* word : {"--window", "--fullscreen-desktop", "--from", "--loop", "--mute",
                             "--av-offset", "--vsync", "Space", "Left/Right", "Escape"}) {
        EXPECT_NE(r.out.find(word), std::string::npos) << word;
    }
}

} // namespace

// The build's source checks, run on small trees of their own: the layering
// check refuses an include of a higher layer and the platform libraries'
// headers outside platform/; the GL check refuses a GL name the list lacks,
// a listed name no longer used, and a spare-only name in the show.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/Process.h"
#include "tests/support/TestMp3.h"

namespace {

using Files = std::vector<std::pair<std::string, std::string>>; // path, contents

// Writes the files into a fresh folder and runs the check script on it.
testsupport::Finished runCheck(const char* script, const Files& files) {
    const std::string root = testsupport::makeTempDir();
    for (const char* folder : {"platform", "geometry", "render", "scenes", "app", "tools", "web"}) {
        mkdir((root + "/" + folder).c_str(), 0755);
    }
    for (const auto& [path, text] : files) std::ofstream(root + "/" + path) << text;
    testsupport::Program cmake(std::string(DEMO_CMAKE) + " -DSOURCE_DIR=" + root + " -P " +
                               DEMO_SOURCE_DIR + "/cmake/" + script);
    return cmake.wait(60);
}

TEST(BuildChecks, LayeringRefusesIncludesAgainstTheLayers) {
    struct Case {
        const char* what;
        Files files;
        bool passes;
    };
    const Case cases[] = {
        {"downward includes",
         {{"scenes/a.cpp", "#include \"render/b.h\"\n#include \"platform/c.h\"\n"}},
         true},
        {"tools include every layer", {{"tools/a.cpp", "#include \"app/b.h\"\n"}}, true},
        {"platform includes SDL", {{"platform/a.cpp", "#include <SDL.h>\n"}}, true},
        {"web includes every layer", {{"web/a.cpp", "#include \"app/b.h\"\n"}}, true},
        {"platform includes Emscripten", {{"platform/a.cpp", "#include <emscripten/html5.h>\n"}}, true},
        {"app includes Emscripten", {{"app/a.cpp", "#include <emscripten/html5.h>\n"}}, false},
        {"web includes Emscripten", {{"web/a.cpp", "#include <emscripten.h>\n"}}, false},
        {"scenes include app", {{"scenes/a.cpp", "#include \"app/Timeline.h\"\n"}}, false},
        {"geometry includes render", {{"geometry/a.h", "#include \"render/Engine.h\"\n"}}, false},
        {"render includes tests", {{"render/a.cpp", "#include \"tests/support/x.h\"\n"}}, false},
        {"app includes SDL", {{"app/a.cpp", "#include <SDL.h>\n"}}, false},
        {"render includes Xlib", {{"render/a.cpp", "  #  include <X11/Xlib.h>\n"}}, false},
    };
    for (const Case& c : cases) {
        const testsupport::Finished run = runCheck("CheckLayering.cmake", c.files);
        EXPECT_EQ(run.exitCode == 0, c.passes) << c.what << "\n" << run.err;
        if (!c.passes) {
            EXPECT_NE(run.err.find(c.files[0].first), std::string::npos) << c.what;
        }
    }
}

TEST(BuildChecks, GLSubsetMustMatchTheNamesTheShowUses) {
    const std::string list = "unit render/Spare.cpp\nglBegin\nGL_QUADS\nglLineWidth spare\n";
    const std::string show = "glBegin(GL_QUADS);\n";
    struct Case {
        const char* what;
        Files files;
        const char* named; // in the message when it fails
    };
    const Case cases[] = {
        {"exact",
         {{"platform/GLSubset.txt", list},
          {"scenes/a.cpp", show},
          {"render/Spare.cpp", "glLineWidth(2);"}},
         nullptr},
        {"unlisted entry point",
         {{"platform/GLSubset.txt", list},
          {"scenes/a.cpp", show + "glFogf(1, 2);"},
          {"render/Spare.cpp", "glLineWidth(2);"}},
         "glFogf"},
        {"unlisted enum",
         {{"platform/GLSubset.txt", list},
          {"app/a.h", show + "GL_FOG"},
          {"render/Spare.cpp", "glLineWidth(2);"}},
         "GL_FOG"},
        {"listed, unused",
         {{"platform/GLSubset.txt", list + "glEnd\n"},
          {"scenes/a.cpp", show},
          {"render/Spare.cpp", "glLineWidth(2);"}},
         "glEnd"},
        {"spare name in the show",
         {{"platform/GLSubset.txt", list},
          {"scenes/a.cpp", show + "glLineWidth(1);"},
          {"render/Spare.cpp", "glLineWidth(2);"}},
         "glLineWidth"},
    };
    for (const Case& c : cases) {
        const testsupport::Finished run = runCheck("CheckGLSubset.cmake", c.files);
        EXPECT_EQ(run.exitCode == 0, c.named == nullptr) << c.what << "\n" << run.err;
        if (c.named) {
            EXPECT_NE(run.err.find(c.named), std::string::npos) << c.what << "\n" << run.err;
        }
    }
}

} // namespace

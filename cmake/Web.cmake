# The browser build (configured with `emcmake cmake`, built by Emscripten):
# the show as WebAssembly in a page of its own. Included by the root
# CMakeLists.txt in place of the desktop's platform library and show; the
# layers above platform/ are the desktop's. It defines
#  - demo_platform: the browser backend (platform/web/) and the platform
#    units that need no system library; the root's GL choice, forced to
#    "fixed" here, adds the fixed-function layer over WebGL 1
#    (platform/fixedgl/), onto which platform/GL.h then maps the show's GL;
#  - demo: the page's program (web/main.cpp) as demo.js and demo.wasm, with
#    the pack's textures preloaded into its file system from demo.data;
#  - the page beside them: index.html, page.js and musa.mp3, which the page's
#    <audio> element streams.
# The pack is a generated one (build/assets, made by the desktop build):
# DEMO_WEB_PACK names it.

set(DEMO_WEB_PACK "" CACHE PATH "The asset pack whose Textures/ and musa.mp3 the page serves")
if(NOT IS_DIRECTORY "${DEMO_WEB_PACK}/Textures" OR NOT EXISTS "${DEMO_WEB_PACK}/musa.mp3")
    message(FATAL_ERROR "DEMO_WEB_PACK must name a pack with Textures/ and musa.mp3 "
                        "(make build writes one to build/assets), not \"${DEMO_WEB_PACK}\"")
endif()
# The tools and the tests need the desktop's libraries (SDL2, libpng, ...).
set(DEMO_TOOLS OFF CACHE BOOL "" FORCE)
set(DEMO_TESTS OFF CACHE BOOL "" FORCE)
# In the browser the only GL is the layer over WebGL.
set(DEMO_GL fixed CACHE STRING "The GL the show draws with: in a browser the layer over WebGL" FORCE)

add_library(demo_platform STATIC
    platform/GL.cpp
    platform/InputFile.cpp
    platform/MusicClock.cpp
    platform/RenderSize.cpp
    platform/web/Clock.cpp
    platform/web/FrameLoop.cpp
    platform/web/GlibcRandom.cpp
    platform/web/Music.cpp
    platform/web/Page.cpp
    platform/web/Rand.cpp
    platform/web/Window.cpp
)
target_include_directories(demo_platform PUBLIC ${CMAKE_SOURCE_DIR})

# The page's program. Its link options:
#  - the textures preloaded from demo.data into the program's file system
#    before main runs, where the show reads them as from a disk;
#  - 64 MiB of memory, which the whole show has not outgrown, allowed to
#    grow should a pack need more;
#  - for the web only (no Node.js or worker code), without the HTML that
#    Emscripten would write (the page is web/index.html).
add_executable(demo web/main.cpp)
set_target_properties(demo PROPERTIES SUFFIX ".js")
target_link_libraries(demo PRIVATE demo_app)
file(GLOB webTextures CONFIGURE_DEPENDS "${DEMO_WEB_PACK}/Textures/*")
set_property(TARGET demo APPEND PROPERTY LINK_DEPENDS ${webTextures})
target_link_options(demo PRIVATE
    "SHELL:--preload-file ${DEMO_WEB_PACK}/Textures@/Textures"
    -sALLOW_MEMORY_GROWTH=1
    -sINITIAL_MEMORY=64MB
    -sENVIRONMENT=web
    -sMAX_WEBGL_VERSION=1)

# The page and the music, copied beside the program.
set(webPageFiles "")
foreach(source web/index.html web/page.js "${DEMO_WEB_PACK}/musa.mp3")
    get_filename_component(name "${source}" NAME)
    get_filename_component(from "${source}" ABSOLUTE BASE_DIR ${CMAKE_SOURCE_DIR})
    add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/${name}
        COMMAND ${CMAKE_COMMAND} -E copy ${from} ${CMAKE_BINARY_DIR}/${name}
        DEPENDS ${from}
        VERBATIM)
    list(APPEND webPageFiles ${CMAKE_BINARY_DIR}/${name})
endforeach()
add_custom_target(web_page ALL DEPENDS ${webPageFiles})

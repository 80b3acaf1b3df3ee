# Fails when a source of the show or its tools includes against the layers.
# The layers, lowest first: platform, geometry, render, scenes, app, tools
# and web (the browser's program, beside the tools). A source may include
# project headers of its own layer and of the layers below it, never of one
# above (tools/ and web/ may include every layer). Outside platform/, no
# source may include an SDL2, libmpg123, Xlib or Emscripten header: those
# libraries and the browser's API are the platform layer's private
# business. Tests may use anything and are not scanned.
# Usage: cmake -DSOURCE_DIR=<repository root> -P CheckLayering.cmake
set(layers platform geometry render scenes app tools web)
set(systemPattern "^[ \t]*#[ \t]*include[ \t]*[<\"](SDL[^>\"]*|mpg123\\.h|X11/[^>\"]*|emscripten[./][^>\"]*)[>\"]")
set(projectPattern "^[ \t]*#[ \t]*include[ \t]*\"([a-z_]+)/")

set(found "")
set(rank 0)
foreach(layer ${layers})
    file(GLOB_RECURSE sources ${SOURCE_DIR}/${layer}/*.cpp ${SOURCE_DIR}/${layer}/*.h)
    foreach(source ${sources})
        file(RELATIVE_PATH name ${SOURCE_DIR} ${source})
        if(NOT layer STREQUAL "platform")
            file(STRINGS ${source} lines REGEX "${systemPattern}")
            foreach(line ${lines})
                string(STRIP "${line}" line)
                string(APPEND found "\n  ${name}: ${line} (only platform/ may include SDL2, libmpg123, Xlib or Emscripten)")
            endforeach()
        endif()
        file(STRINGS ${source} lines REGEX "${projectPattern}")
        foreach(line ${lines})
            string(REGEX MATCH "${projectPattern}" match "${line}")
            set(target ${CMAKE_MATCH_1})
            list(FIND layers ${target} targetRank)
            if(targetRank GREATER rank OR (targetRank EQUAL -1))
                string(STRIP "${line}" line)
                string(APPEND found "\n  ${name}: ${line} (${layer}/ may include only ${layer}/ and the layers below it)")
            endif()
        endforeach()
    endforeach()
    math(EXPR rank "${rank} + 1")
endforeach()

if(found)
    message(FATAL_ERROR "includes against the layers platform <- geometry <- render <- scenes <- app <- tools, web:${found}")
endif()

# Fails when a source of the show or its tools outside platform/ includes an
# SDL2, libmpg123 or Xlib header: those libraries are the platform layer's
# private business. Tests may use them directly and are not scanned.
# Usage: cmake -DSOURCE_DIR=<repository root> -P CheckPlatformIncludes.cmake
set(folders app geometry render scenes tools)
set(pattern "^[ \t]*#[ \t]*include[ \t]*[<\"](SDL[^>\"]*|mpg123\\.h|X11/[^>\"]*)[>\"]")

set(found "")
foreach(folder ${folders})
    file(GLOB_RECURSE sources ${SOURCE_DIR}/${folder}/*.cpp ${SOURCE_DIR}/${folder}/*.h)
    foreach(source ${sources})
        file(STRINGS ${source} lines REGEX "${pattern}")
        foreach(line ${lines})
            file(RELATIVE_PATH name ${SOURCE_DIR} ${source})
            string(STRIP "${line}" line)
            string(APPEND found "\n  ${name}: ${line}")
        endforeach()
    endforeach()
endforeach()

if(found)
    message(FATAL_ERROR "only platform/ may include SDL2, libmpg123 or Xlib headers:${found}")
endif()

# platform_headers.cmake — run by CTest with -DSOURCE=<source tree>: outside
# media/ the program includes our own headers and the C++ standard library's,
# nothing else. Headers on the system's own path (<GL/gl.h>, <SDL2/SDL.h>,
# <png.h>, <unistd.h>, <windows.h>) build anywhere, so only this finds them.
# A standard library header has no ".h"; every platform header has one.
function(PlatformIncludes out)
  set(found)
  foreach(file ${ARGN})
    file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*<[^>]*[.][^>]*>")
    foreach(line ${lines})
      string(STRIP "${line}" line)
      file(RELATIVE_PATH name ${SOURCE} ${file})
      list(APPEND found "${name}: ${line}")
    endforeach()
  endforeach()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

file(GLOB_RECURSE program ${SOURCE}/shell/* ${SOURCE}/scores/* ${SOURCE}/tools/* ${SOURCE}/game/*)
list(APPEND program ${SOURCE}/main.cpp)
list(FILTER program INCLUDE REGEX "[.](cpp|h|c)$")
PlatformIncludes(stray ${program})
if(stray)
  list(JOIN stray "\n  " stray)
  message(FATAL_ERROR "platform headers outside media/ (they belong behind media.h):\n  ${stray}")
endif()

# The media layer does include them: a pattern that finds none there is broken.
file(GLOB_RECURSE media ${SOURCE}/media/*.cpp)
PlatformIncludes(inside ${media})
list(FILTER inside INCLUDE REGEX "<SDL.h>")
if(NOT inside)
  message(FATAL_ERROR "no <SDL.h> found in media/ either: the scan is broken")
endif()
list(LENGTH program files)
message(STATUS "${files} files outside media/ include no platform header")

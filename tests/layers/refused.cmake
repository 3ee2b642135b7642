# refused.cmake — run by CTest with -DBUILD=<build folder> and the probes as
# REFUSED and ALLOWED, each FOLDER:LIB (tests/CMakeLists.txt): a probe is the
# file that includes LIB's header (stray_LIB.cpp) as FOLDER sees it. Each
# refused probe must fail to build for want of the header, or stopped at the
# stand-in header that names its owner, and for nothing else; each allowed
# one must build, so a refusal is the view's doing and not a broken probe.
set(headers sdl:SDL.h freetype:ft2build.h png:png.h openal:AL/al.h gl:GL/gl.h emscripten:emscripten/emscripten.h)
function(Probe probe out_target out_header)
  string(REPLACE ":" ";" parts ${probe})
  list(GET parts 0 view)
  list(GET parts 1 lib)
  string(MAKE_C_IDENTIFIER "probe_${view}_${lib}" target)
  foreach(pair ${headers})
    if(pair MATCHES "^${lib}:(.*)$")
      set(${out_header} ${CMAKE_MATCH_1} PARENT_SCOPE)
    endif()
  endforeach()
  set(${out_target} ${target} PARENT_SCOPE)
endfunction()

foreach(probe ${REFUSED})
  Probe(${probe} target header)
  execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD} --target ${target}
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(rc EQUAL 0)
    message(FATAL_ERROR "${target}: <${header}> is seen where it is refused")
  endif()
  # GCC: "SDL.h: No such file or directory"; clang: "'SDL.h' file not found";
  # a stand-in: "#error "refused: libpng is media/decode/'s ...".
  string(REPLACE "." "[.]" pattern ${header})
  if(out MATCHES "${pattern}'?(: No such file| file not found)")
    message(STATUS "${target}: refused, <${header}> not found")
  elseif(out MATCHES "error: #error \"refused: ([^\"]*)\"")
    message(STATUS "${target}: refused, ${CMAKE_MATCH_1}")
  else()
    message(FATAL_ERROR "${target} failed, but not for want of <${header}>:\n${out}")
  endif()
endforeach()
foreach(probe ${ALLOWED})
  Probe(${probe} target header)
  execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD} --target ${target}
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${target} does not build even where <${header}> belongs:\n${out}")
  endif()
  message(STATUS "${target}: builds")
endforeach()

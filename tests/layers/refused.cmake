# refused.cmake — run by CTest with -DBUILD=<build folder>: the probes that
# include a platform library's header must fail to build where a layer above
# media/ sees them (stray_*), for want of the header and nothing else, and
# build where the media layer does (platform_probes).
foreach(probe sdl:SDL.h freetype:ft2build.h)
  string(REPLACE ":" ";" probe ${probe})
  list(GET probe 0 name)
  list(GET probe 1 header)
  execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD} --target stray_${name}
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(rc EQUAL 0)
    message(FATAL_ERROR "stray_${name}: <${header}> is seen outside media/")
  endif()
  # GCC: "SDL.h: No such file or directory"; clang: "'SDL.h' file not found".
  if(NOT out MATCHES "${header}'?(: No such file| file not found)")
    message(FATAL_ERROR "stray_${name} failed, but not for want of <${header}>:\n${out}")
  endif()
  message(STATUS "stray_${name}: refused, <${header}> not found")
endforeach()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD} --target platform_probes
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the probes do not build even with the platform's headers:\n${out}")
endif()

# The Windows build: the same program cross-built with mingw-w64
# (win/toolchain.cmake) into one static wenhod.exe beside Files/. SDL2,
# libpng, zlib, FreeType and GoogleTest are our static builds of Debian's
# sources (scripts/setup-win.sh puts them in WENHOD_WIN_LIBS). There is no
# OpenAL here: the program's own mixer plays through SDL's audio.
set(WENHOD_WIN_LIBS "" CACHE PATH "Folder of the Windows libraries (scripts/setup-win.sh prints it)")
if(NOT EXISTS "${WENHOD_WIN_LIBS}/lib/libSDL2.a")
  message(FATAL_ERROR "WENHOD_WIN_LIBS must name the library folder of scripts/setup-win.sh")
endif()
list(APPEND CMAKE_FIND_ROOT_PATH ${WENHOD_WIN_LIBS})
list(APPEND CMAKE_PREFIX_PATH ${WENHOD_WIN_LIBS})
set(WENHOD_NO_OPENAL ON)
enable_language(RC)

find_package(PNG REQUIRED)
find_package(Freetype REQUIRED)
# Not mingw's sdl2.pc: it renames main() to SDL_main, which the test programs
# do not want. The library and the system libraries it uses, by hand.
target_include_directories(wenhod_lib_sdl INTERFACE ${WENHOD_WIN_LIBS}/include/SDL2)
target_link_libraries(wenhod_lib_sdl INTERFACE ${WENHOD_WIN_LIBS}/lib/libSDL2.a
  user32 gdi32 winmm imm32 ole32 oleaut32 version uuid advapi32 setupapi shell32 dinput8)
target_link_libraries(wenhod_lib_ft INTERFACE Freetype::Freetype)
target_link_libraries(wenhod_lib_png INTERFACE PNG::PNG)
target_link_libraries(wenhod_lib_gl INTERFACE opengl32)
# No run-time DLLs to ship: libgcc, libstdc++ and winpthread linked in.
add_link_options(-static)

# Nothing of the benchmarks runs here.
set(WENHOD_BENCH OFF CACHE BOOL "" FORCE)

# wenhod_windows_program(TARGET): the game as a Windows program: no console
# window (-mwindows), with its icon and manifest compiled in; a release build
# carries no symbols.
function(wenhod_windows_program target)
  set(WENHOD_MANIFEST ${CMAKE_SOURCE_DIR}/win/wenhod.manifest)
  set(rc ${CMAKE_BINARY_DIR}/wenhod.rc)
  configure_file(${CMAKE_SOURCE_DIR}/win/wenhod.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS "${WENHOD_ICON};${WENHOD_MANIFEST}")
  set_target_properties(${target} PROPERTIES WIN32_EXECUTABLE ON)
  target_link_options(${target} PRIVATE $<$<CONFIG:Release>:-s>)
endfunction()

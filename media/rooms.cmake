# rooms.cmake — the media layer (wenhod_media) built room by room. Each folder
# of media/ compiles on its own and sees only the platform libraries named
# for it below; the heart (media/ itself) and the headless back end see none.
# A library whose headers are off the system's path (SDL, FreeType) is simply
# not on a room's include path; for every library a room may not use, a
# folder of stand-in headers comes first on its path and stops the build with
# the reason, which also catches <png.h>, <AL/al.h>, <GL/gl.h> and
# Emscripten's headers that sit on the system's own path (tests/layers/).
# The system's own headers (<unistd.h>, <windows.h>) are for the per-system
# files, posix.cpp and windows.cpp; a test finds them anywhere else.

# The headers each library is reached by.
set(WENHOD_HEADERS_sdl SDL.h SDL2/SDL.h SDL_opengl.h SDL_syswm.h)
set(WENHOD_HEADERS_gl GL/gl.h GL/glext.h GL/glx.h SDL_opengl.h SDL_opengles2.h GLES2/gl2.h GLES3/gl3.h EGL/egl.h)
set(WENHOD_HEADERS_al AL/al.h AL/alc.h AL/alext.h)
set(WENHOD_HEADERS_png png.h pngconf.h libpng16/png.h)
set(WENHOD_HEADERS_ft ft2build.h freetype2/ft2build.h)
set(WENHOD_HEADERS_web emscripten.h emscripten/emscripten.h emscripten/html5.h)
# Where each library belongs, for the stand-ins' message.
set(WENHOD_OWNER_sdl "SDL is media/sdl/'s (and media/gl/'s): ask media/sdl/services.h")
set(WENHOD_OWNER_gl "OpenGL is media/gl/'s")
set(WENHOD_OWNER_al "OpenAL is media/audio/'s")
set(WENHOD_OWNER_png "libpng is media/decode/'s")
set(WENHOD_OWNER_ft "FreeType is media/decode/'s")
set(WENHOD_OWNER_web "Emscripten is media/host/'s")
set(WENHOD_REFUSED ${CMAKE_BINARY_DIR}/refused)
foreach(lib ${WENHOD_LIBS})
  foreach(header ${WENHOD_HEADERS_${lib}})
    file(CONFIGURE OUTPUT ${WENHOD_REFUSED}/${lib}/${header}
      CONTENT "#error \"refused: ${WENHOD_OWNER_${lib}}, not this folder's\"\n")
  endforeach()
endforeach()

# wenhod_sees(TARGET LIB...): TARGET's own sources see these libraries' headers
# and are refused every other's.
function(wenhod_sees target)
  foreach(lib ${WENHOD_LIBS})
    if(lib IN_LIST ARGN)
      target_link_libraries(${target} PRIVATE wenhod_lib_${lib})
    else()
      target_include_directories(${target} BEFORE PRIVATE ${WENHOD_REFUSED}/${lib})
    endif()
  endforeach()
endfunction()

add_library(wenhod_media STATIC)
wenhod_include_root(media media)
# The program links every library; only the rooms see their headers.
target_link_libraries(wenhod_media PRIVATE wenhod_platform)

# wenhod_room(FOLDER [LIB...]): the folder's sources, compiled with the media
# layer's include root and the libraries named, into wenhod_media.
# wenhod_room_view(TARGET FOLDER) gives another target the same view (the
# tests' probes).
function(wenhod_room folder)
  string(REPLACE "/" "_" name ${folder})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
  wenhod_system_files(sources)
  add_library(wenhod_room_${name} OBJECT ${sources})
  set_property(GLOBAL PROPERTY WENHOD_ROOM_SEES_${name} "${ARGN}")
  wenhod_room_view(wenhod_room_${name} ${folder})
  target_sources(wenhod_media PRIVATE $<TARGET_OBJECTS:wenhod_room_${name}>)
endfunction()
function(wenhod_room_view target folder)
  string(REPLACE "/" "_" name ${folder})
  get_property(sees GLOBAL PROPERTY WENHOD_ROOM_SEES_${name})
  target_include_directories(${target} PRIVATE ${CMAKE_BINARY_DIR}/include/media)
  wenhod_sees(${target} ${sees})
endfunction()

wenhod_room(media)                    # the API and the device-independent heart
wenhod_room(media/sdl sdl)            # the real back end, its key map, SDL's services
wenhod_room(media/gl sdl gl)          # the sprite batch and textures (entry points from SDL)
wenhod_room(media/audio al)           # the sound outputs: OpenAL, the mixer, the voices
wenhod_room(media/decode png ft)      # PNG, TrueType, the WAV checks, images as CPU frames
wenhod_room(media/files)              # the file service, with a file per system
wenhod_room(media/system)             # clock, dates, reports, with a file per system
wenhod_room(media/host web)           # the desktop and the page
if(WENHOD_INSTALLED)
  target_compile_definitions(wenhod_room_media_files PRIVATE WENHOD_INSTALLED_DATA="${WENHOD_DATA_ROOT}")
else()
  target_compile_definitions(wenhod_room_media_files PRIVATE WENHOD_INSTALLED_DATA="")
endif()

# The headless back end: for the tests and benchmarks, never in the program.
add_library(wenhod_headless STATIC ${CMAKE_SOURCE_DIR}/media/headless/headless.cpp)
target_link_libraries(wenhod_headless PUBLIC wenhod_media)
wenhod_sees(wenhod_headless)

# The browser build: the same program compiled by Emscripten into a page.
# SDL2, libpng, zlib and FreeType are our wasm builds of Debian's sources
# (scripts/setup-web.sh puts them in WENHOD_WEB_LIBS); OpenAL, WebGL 2 and
# the IndexedDB file system come with Emscripten. The data tree is the one a
# native build stages (WENHOD_NATIVE_FILES), since its generator runs there.
set(WENHOD_WEB_LIBS "" CACHE PATH "Folder of the wasm libraries (scripts/setup-web.sh prints it)")
set(WENHOD_NATIVE_FILES "" CACHE PATH "Files/ folder staged by a native build")
if(NOT IS_DIRECTORY "${WENHOD_WEB_LIBS}/lib/pkgconfig")
  message(FATAL_ERROR "WENHOD_WEB_LIBS must name the wasm library folder of scripts/setup-web.sh")
endif()
if(NOT IS_DIRECTORY "${WENHOD_NATIVE_FILES}/Common")
  message(FATAL_ERROR "WENHOD_NATIVE_FILES must name the Files/ folder of a native build")
endif()
# Nothing here runs on the build machine: no tests, benchmarks or generator.
set(WENHOD_TESTS OFF CACHE BOOL "" FORCE)
set(WENHOD_BENCH OFF CACHE BOOL "" FORCE)

# Only our wasm libraries: pkg-config would otherwise find the host's.
set(ENV{PKG_CONFIG_LIBDIR} "${WENHOD_WEB_LIBS}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
find_package(PkgConfig REQUIRED)
pkg_check_modules(WEB_SDL REQUIRED IMPORTED_TARGET sdl2)
pkg_check_modules(WEB_PNG REQUIRED IMPORTED_TARGET libpng16 zlib)
pkg_check_modules(WEB_FT REQUIRED IMPORTED_TARGET freetype2 zlib)
target_link_libraries(wenhod_lib_sdl INTERFACE PkgConfig::WEB_SDL)
target_link_libraries(wenhod_lib_png INTERFACE PkgConfig::WEB_PNG)
target_link_libraries(wenhod_lib_ft INTERFACE PkgConfig::WEB_FT)
# The toolchain searches its own sysroot only, so the -l names need the folder.
foreach(lib sdl png ft)
  target_link_directories(wenhod_lib_${lib} INTERFACE ${WENHOD_WEB_LIBS}/lib)
endforeach()
# OpenAL, WebGL and Emscripten's own headers are in its sysroot.
target_link_options(wenhod_lib_al INTERFACE -lopenal)

set(WENHOD_WEB_DIR ${CMAKE_CURRENT_LIST_DIR})

# wenhod_page(TARGET): link TARGET as the page, with its .js, .wasm and .data
# (the preloaded Files/ tree).
function(wenhod_page target)
  set(media ${CMAKE_SOURCE_DIR}/media/host)
  # The page is all that is served: build-web/page/index.html and beside it
  # index.js, index.wasm and index.data.
  set_target_properties(${target} PROPERTIES OUTPUT_NAME index SUFFIX ".html"
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/page)
  target_link_options(${target} PRIVATE
    # WebGL 2 is OpenGL ES 3.0: the renderer's shaders take their ES form.
    -sMIN_WEBGL_VERSION=2 -sMAX_WEBGL_VERSION=2 -sFULL_ES3
    # The renderer needs no extension: none is enabled, which keeps the context quick to make.
    -sGL_SUPPORT_AUTOMATIC_ENABLE_EXTENSIONS=0
    # The game's loops sleep; asyncify turns each sleep into a return to the
    # browser and back.
    -sASYNCIFY -sASYNCIFY_IMPORTS=host_sleep,host_yield,host_wait_frame,host_lock_shared -sASYNCIFY_STACK_SIZE=65536
    -sALLOW_MEMORY_GROWTH -sINITIAL_MEMORY=67108864 -sEXIT_RUNTIME=0
    -lidbfs.js -sFORCE_FILESYSTEM -sEXPORTED_RUNTIME_METHODS=FS,ccall
    -sENVIRONMENT=web -sMINIFY_HTML=0
    "SHELL:--shell-file ${WENHOD_WEB_DIR}/page.html"
    "SHELL:--js-library ${media}/browser.js"
    "SHELL:--pre-js ${media}/page.js"
    "SHELL:--pre-js ${media}/screen.js"
    "SHELL:--pre-js ${media}/replays.js"
    "SHELL:--exclude-file *scores.dat"
    "SHELL:--preload-file ${WENHOD_NATIVE_FILES}/Common@/Files/Common"
    "SHELL:--preload-file ${WENHOD_NATIVE_FILES}/239@/Files/239")
  # Debian's Emscripten finds its JavaScript modules only through NODE_PATH;
  # the optimiser keeps to one core.
  set_property(TARGET ${target} PROPERTY RULE_LAUNCH_LINK
    "${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs BINARYEN_CORES=1")
  # A redrawn picture or sound of the native build packs the data again.
  file(GLOB_RECURSE data CONFIGURE_DEPENDS ${WENHOD_NATIVE_FILES}/Common/* ${WENHOD_NATIVE_FILES}/239/*)
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS
    ${WENHOD_WEB_DIR}/page.html ${media}/browser.js ${media}/page.js ${media}/screen.js ${media}/replays.js ${data})
endfunction()

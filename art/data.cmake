# Stages the run-time tree next to the executable. The art generator (our own
# code, art/) draws every image and synthesises every sound; the fonts come
# from Debian's font packages (art/fonts.txt). Files the program writes there
# (Debug.txt, Setup.ini, scores.dat, screenshots) are never touched by a rebuild.
set(WENHOD_FILES ${CMAKE_BINARY_DIR}/Files)
file(MAKE_DIRECTORY ${WENHOD_FILES}/Common ${WENHOD_FILES}/239)

# The generator is a build tool: it writes PNGs with libpng and WAVs by hand.
add_executable(artgen
  art/artgen.cpp art/canvas.cpp art/hero.cpp art/bird.cpp art/world.cpp art/ui.cpp art/sfx.cpp)
target_include_directories(artgen PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(artgen PRIVATE PNG::PNG)
target_compile_options(artgen PRIVATE -O2)  # it runs in every fresh build, debug ones too

set(WENHOD_ART_FILES
  Common/icons.png Common/logo.png Common/Brindle.png Common/badgeget.wav
  239/inavarnocostume.png 239/wenhod.png 239/wenhodVarno.png 239/wenhod2.png 239/wenhodVarno2.png
  239/Gullwick.png 239/GullwickVarno.png 239/Gullwick2.png 239/GullwickVarno2.png
  239/scenery.png 239/gets.png 239/badges.png)
foreach(k RANGE 1 15)
  string(LENGTH "${k}" len)
  if(len EQUAL 1)
    list(APPEND WENHOD_ART_FILES 239/00${k}.wav)
  else()
    list(APPEND WENHOD_ART_FILES 239/0${k}.wav)
  endif()
endforeach()
list(TRANSFORM WENHOD_ART_FILES PREPEND ${WENHOD_FILES}/ OUTPUT_VARIABLE WENHOD_ART_OUTPUTS)
# Cross-built, it runs under the emulator (Wine for Windows).
add_custom_command(OUTPUT ${WENHOD_ART_OUTPUTS}
  COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:artgen> ${WENHOD_FILES}
  DEPENDS artgen
  COMMENT "Drawing the game's pictures and sounds"
  VERBATIM)

# Fonts, staged under the names the program loads. A missing package only
# costs the face: the program then draws text with its built-in font. Each
# keeps only the glyphs the program can draw (codes 0-255, ISO 8859-1; the
# faces also carry thousands it never shows), by Debian's fontTools, and
# ships with its licence text beside it ("NAME.license.txt", the package's
# copyright file), as the SIL Open Font Licence asks.
find_program(WENHOD_SYSTEM_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH)
set(WENHOD_FONT_SUBSET "")
if(WENHOD_SYSTEM_PYTHON)
  execute_process(COMMAND ${WENHOD_SYSTEM_PYTHON} -c "import fontTools.subset"
    RESULT_VARIABLE no_fonttools OUTPUT_QUIET ERROR_QUIET)
  if(NOT no_fonttools)
    set(WENHOD_FONT_SUBSET ${WENHOD_SYSTEM_PYTHON} -m fontTools.subset)
  endif()
endif()
if(NOT WENHOD_FONT_SUBSET)
  message(WARNING "python3-fonttools not found (scripts/setup.sh installs it); fonts are staged whole")
endif()
set(WENHOD_FONT_OUTPUTS)
function(wenhod_stage_font target source subdir)
  string(MAKE_C_IDENTIFIER "${target}" id)
  find_file(WENHOD_FONT_${id} NAMES ${source}
    PATHS /usr/share/fonts/opentype /usr/share/fonts/truetype PATH_SUFFIXES ${subdir} NO_DEFAULT_PATH
    NO_CMAKE_FIND_ROOT_PATH)  # the build machine's fonts, also when cross-building
  if(NOT WENHOD_FONT_${id})
    message(WARNING "Font ${source} not found (see art/fonts.txt); \"${target}\" will be missing")
    return()
  endif()
  set(out "${WENHOD_FILES}/Common/${target}")
  set(licence /usr/share/doc/fonts-${subdir}/copyright)
  if(WENHOD_FONT_SUBSET)
    # .notdef keeps its outline: a code the face lacks draws it, as in the full face.
    set(stage ${WENHOD_FONT_SUBSET} "${WENHOD_FONT_${id}}" "--output-file=${out}" --unicodes=U+0000-00FF
      --notdef-outline --legacy-kern --name-IDs=* --name-languages=* --name-legacy)
  else()
    set(stage ${CMAKE_COMMAND} -E copy "${WENHOD_FONT_${id}}" "${out}")
  endif()
  set(outputs "${out}")
  if(EXISTS "${licence}")
    list(APPEND stage COMMAND ${CMAKE_COMMAND} -E copy "${licence}" "${out}.license.txt")
    list(APPEND outputs "${out}.license.txt")
  else()
    message(WARNING "${licence} not found: \"${target}\" is staged without its licence text")
  endif()
  add_custom_command(OUTPUT ${outputs}
    COMMAND ${stage}
    DEPENDS "${WENHOD_FONT_${id}}"
    COMMENT "Staging font ${target}"
    VERBATIM)
  set(WENHOD_FONT_OUTPUTS ${WENHOD_FONT_OUTPUTS} ${outputs} PARENT_SCOPE)
endfunction()
wenhod_stage_font("SVBasicManual.ttf" ComicNeue-Bold.otf comic-neue)
wenhod_stage_font("Blue Highway.ttf" LeagueSpartan-Bold.otf league-spartan)
wenhod_stage_font("Acknowledge TT BRK.ttf" DotGothic16-Regular.ttf dotgothic16)

add_custom_target(wenhod_data ALL DEPENDS ${WENHOD_ART_OUTPUTS} ${WENHOD_FONT_OUTPUTS})

# The program's icon, for the Windows resources.
set(WENHOD_ICON ${CMAKE_BINARY_DIR}/wenhod.ico)
add_custom_command(OUTPUT ${WENHOD_ICON}
  COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:artgen> --icon ${WENHOD_ICON}
  DEPENDS artgen
  COMMENT "Drawing the program's icon"
  VERBATIM)

# The one way a target gets the staged tree: built before it, and its path
# known to the code as WENHOD_DATA_DIR.
function(wenhod_uses_data target)
  add_dependencies(${target} wenhod_data)
  set(dir ${WENHOD_FILES})
  if(WIN32 AND CMAKE_CROSSCOMPILING)
    set(dir Z:${dir})  # the tests run under Wine, which shows the build machine's / as drive Z:
  endif()
  target_compile_definitions(${target} PRIVATE WENHOD_DATA_DIR="${dir}")
endfunction()

# Two runs of the generator must give the same bytes.
if(WENHOD_TESTS AND NOT WENHOD_FUZZ)
  add_test(NAME art_repeatable
    COMMAND ${CMAKE_COMMAND} -DARTGEN=$<TARGET_FILE:artgen> "-DEMULATOR=${CMAKE_CROSSCOMPILING_EMULATOR}" -DWORK=${CMAKE_BINARY_DIR}/art-repeat
            -P ${CMAKE_SOURCE_DIR}/art/repeatable.cmake)
  set_tests_properties(art_repeatable PROPERTIES LABELS unit TIMEOUT 120)
endif()

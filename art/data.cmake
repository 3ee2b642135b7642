# Stages the run-time tree next to the executable. The art generator (our own
# code, art/) draws every image and synthesises every sound; the fonts come
# from Debian's font packages. Files the program writes there (Debug.txt,
# Setup.ini, scores.dat, screenshots) are never touched by a rebuild.
set(WENHOD_FILES ${CMAKE_BINARY_DIR}/Files)
file(MAKE_DIRECTORY ${WENHOD_FILES}/Common ${WENHOD_FILES}/239)

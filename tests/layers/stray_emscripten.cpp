// A file that includes Emscripten: it builds in media/host/ of the page only
// (tests/layers/).
#include <emscripten/emscripten.h>

int StrayEmscriptenProbe() { return EMSCRIPTEN_KEEPALIVE 0; }

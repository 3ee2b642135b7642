// A file that includes SDL: it builds in the media layer only (tests/layers/).
#include <SDL.h>

int StraySdlProbe() { return SDL_MAJOR_VERSION; }

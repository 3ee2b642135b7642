// A file that includes OpenAL: it builds in media/audio/ only (tests/layers/).
#include <AL/al.h>

int StrayOpenalProbe() { return AL_PLAYING; }

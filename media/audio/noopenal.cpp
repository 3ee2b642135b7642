// noopenal.cpp — a build without OpenAL Soft (Windows: its source cannot
// be had for it here): "OpenAL" is not among the outputs offered, and a setup
// file that asks for it gets the program's own mixer over SDL's audio
// (mixer.cpp), as does any other unknown name.
#include "media/audio/output.h"

bool OpenALLinked() { return false; }

std::unique_ptr<AudioOutput> OpenOpenALOutput() { return nullptr; }

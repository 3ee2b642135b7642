// Placeholders until the shell is built; each goes as its real one lands.
#include "shell/shell.h"

// keys.h — inside the media layer: SDL keys to Windows virtual-key codes.
#pragma once

// Letters and digits come from the key symbol (the key labelled Z is 90 on
// every layout); everything else from the scancode (its place on the
// keyboard). 0 for keys without a code.
int VirtualKeyFromSdl(int symbol, int scancode);

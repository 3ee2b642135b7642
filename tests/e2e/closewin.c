/* closewin — asks a window to close the way a window manager does, with a
 * WM_DELETE_WINDOW message (xdotool windowclose destroys the window instead,
 * which no program ever sees as a close request).
 * Usage: closewin WINDOW-ID (decimal or 0x hex, as xdotool prints it). */
#include <X11/Xlib.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: closewin WINDOW-ID\n");
    return 2;
  }
  char* end = NULL;
  Window window = (Window)strtoul(argv[1], &end, 0);
  if (*argv[1] == '\0' || *end != '\0' || window == 0) {
    fprintf(stderr, "closewin: bad window id '%s'\n", argv[1]);
    return 2;
  }
  Display* display = XOpenDisplay(NULL);
  if (!display) {
    fprintf(stderr, "closewin: cannot open the display\n");
    return 1;
  }
  XEvent event;
  memset(&event, 0, sizeof event);
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = (long)XInternAtom(display, "WM_DELETE_WINDOW", False);
  event.xclient.data.l[1] = CurrentTime;
  Status sent = XSendEvent(display, window, False, NoEventMask, &event);
  XSync(display, False);
  XCloseDisplay(display);
  return sent ? 0 : 1;
}

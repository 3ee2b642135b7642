/* dropfile — drops a file on a window the way a file manager does, through
 * the XDND protocol: enter, position, drop, then the file's URI handed over
 * as the selection the window asks for, until it says it has finished.
 * Usage: dropfile WINDOW-ID FILE (the id in decimal or 0x hex, as xdotool
 * prints it; FILE an absolute path). */
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/select.h>

static Display* display;
static Window source, target;

static void Send(Atom type, long l1, long l2, long l3, long l4) {
  XEvent e;
  memset(&e, 0, sizeof e);
  e.xclient.type = ClientMessage;
  e.xclient.window = target;
  e.xclient.message_type = type;
  e.xclient.format = 32;
  e.xclient.data.l[0] = (long)source;
  e.xclient.data.l[1] = l1;
  e.xclient.data.l[2] = l2;
  e.xclient.data.l[3] = l3;
  e.xclient.data.l[4] = l4;
  XSendEvent(display, target, False, NoEventMask, &e);
  XFlush(display);
}

/* The next event for the source window, or 0 after five seconds. */
static int Next(XEvent* e) {
  const int fd = ConnectionNumber(display);
  for (int waited = 0; waited < 50;) {
    if (XPending(display)) {
      XNextEvent(display, e);
      return 1;
    }
    fd_set fds;
    FD_ZERO(&fds);
    FD_SET(fd, &fds);
    struct timeval tv = {0, 100000};
    if (select(fd + 1, &fds, NULL, NULL, &tv) == 0) ++waited;
  }
  return 0;
}

int main(int argc, char** argv) {
  if (argc != 3 || argv[2][0] != '/') {
    fprintf(stderr, "usage: dropfile WINDOW-ID /ABSOLUTE/FILE\n");
    return 2;
  }
  char* end = NULL;
  target = (Window)strtoul(argv[1], &end, 0);
  if (*argv[1] == '\0' || *end != '\0' || target == 0) {
    fprintf(stderr, "dropfile: bad window id '%s'\n", argv[1]);
    return 2;
  }
  display = XOpenDisplay(NULL);
  if (!display) {
    fprintf(stderr, "dropfile: cannot open the display\n");
    return 1;
  }
  const Atom aware = XInternAtom(display, "XdndAware", False);
  const Atom enter = XInternAtom(display, "XdndEnter", False);
  const Atom position = XInternAtom(display, "XdndPosition", False);
  const Atom status = XInternAtom(display, "XdndStatus", False);
  const Atom drop = XInternAtom(display, "XdndDrop", False);
  const Atom finished = XInternAtom(display, "XdndFinished", False);
  const Atom leave = XInternAtom(display, "XdndLeave", False);
  const Atom selection = XInternAtom(display, "XdndSelection", False);
  const Atom copy = XInternAtom(display, "XdndActionCopy", False);
  const Atom uriList = XInternAtom(display, "text/uri-list", False);

  Atom type;
  int format;
  unsigned long count, left;
  unsigned char* data = NULL;
  if (XGetWindowProperty(display, target, aware, 0, 1, False, AnyPropertyType, &type, &format, &count, &left, &data) !=
          Success ||
      count == 0) {
    fprintf(stderr, "dropfile: the window takes no drops\n");
    return 1;
  }
  const long version = *(long*)data < 5 ? *(long*)data : 5;
  XFree(data);

  source = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
  XSetSelectionOwner(display, selection, source, CurrentTime);
  char uri[4200];
  snprintf(uri, sizeof uri, "file://%s\r\n", argv[2]);

  /* The middle of the window, in root coordinates. */
  XWindowAttributes at;
  XGetWindowAttributes(display, target, &at);
  int x, y;
  Window child;
  XTranslateCoordinates(display, target, DefaultRootWindow(display), at.width / 2, at.height / 2, &x, &y, &child);

  Send(enter, version << 24, (long)uriList, 0, 0);
  Send(position, 0, (long)x << 16 | y, CurrentTime, (long)copy);
  int accepted = 0, done = 0;
  XEvent e;
  while (!done && Next(&e)) {
    if (e.type == ClientMessage && e.xclient.message_type == status) {
      accepted = e.xclient.data.l[1] & 1;
      if (!accepted) break;
      Send(drop, 0, CurrentTime, 0, 0);
    } else if (e.type == SelectionRequest) {
      XSelectionRequestEvent* r = &e.xselectionrequest;
      XEvent reply;
      memset(&reply, 0, sizeof reply);
      reply.xselection.type = SelectionNotify;
      reply.xselection.requestor = r->requestor;
      reply.xselection.selection = r->selection;
      reply.xselection.target = r->target;
      reply.xselection.time = r->time;
      reply.xselection.property = None;
      if (r->target == uriList) {
        const Atom property = r->property != None ? r->property : r->target;
        XChangeProperty(display, r->requestor, property, uriList, 8, PropModeReplace, (unsigned char*)uri,
                        (int)strlen(uri));
        reply.xselection.property = property;
      }
      XSendEvent(display, r->requestor, False, NoEventMask, &reply);
      XFlush(display);
    } else if (e.type == ClientMessage && e.xclient.message_type == finished) {
      done = 1;
    }
  }
  if (!done) {
    Send(leave, 0, 0, 0, 0);
    fprintf(stderr, "dropfile: the window %s\n", accepted ? "never finished the drop" : "refused the drop");
  }
  XCloseDisplay(display);
  return done ? 0 : 1;
}

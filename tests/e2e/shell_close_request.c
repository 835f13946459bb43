/* shell_close_request WINDOW-ID: asks a window to close the way a window
   manager does, with a WM_PROTOCOLS client message carrying WM_DELETE_WINDOW.
   Xvfb runs no window manager, so the end-to-end tests send it themselves. */
#include <X11/Xlib.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int main(int argc, char **argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: shell_close_request WINDOW-ID\n");
        return 2;
    }
    Display *pDisplay = XOpenDisplay(NULL);
    if (pDisplay == NULL) {
        fprintf(stderr, "shell_close_request: cannot open the display\n");
        return 1;
    }
    Window window = (Window)strtoul(argv[1], NULL, 0);
    XEvent event;
    memset(&event, 0, sizeof(event));
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(pDisplay, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = (long)XInternAtom(pDisplay, "WM_DELETE_WINDOW", False);
    event.xclient.data.l[1] = CurrentTime;
    Status status = XSendEvent(pDisplay, window, False, NoEventMask, &event);
    XSync(pDisplay, False);
    XCloseDisplay(pDisplay);
    return status != 0 ? 0 : 1;
}

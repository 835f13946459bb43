/* display_host_window WIDTH HEIGHT [X Y]: makes and maps a window (at 40, 30
   unless X and Y are given) the way a
   display mode's host does (XScreenSaver's preview pane, or its blanking
   window), prints its id in hexadecimal on a line of its own, and keeps it
   until the program is ended: then the X server destroys the window. Like a
   host, it takes the window's button presses for itself (only one client may
   select them), so a guest that asks for them fails. */
#include <X11/Xlib.h>
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char **argv)
{
    if ((argc != 3 && argc != 5) || atoi(argv[1]) <= 0 || atoi(argv[2]) <= 0) {
        fprintf(stderr, "usage: display_host_window WIDTH HEIGHT [X Y]\n");
        return 2;
    }
    Display *pDisplay = XOpenDisplay(NULL);
    if (pDisplay == NULL) {
        fprintf(stderr, "display_host_window: cannot open the display\n");
        return 1;
    }
    int nScreen = DefaultScreen(pDisplay);
    /* A grey that the scene never fills a window with. */
    int x = argc == 5 ? atoi(argv[3]) : 40, y = argc == 5 ? atoi(argv[4]) : 30;
    Window window = XCreateSimpleWindow(pDisplay, RootWindow(pDisplay, nScreen), x, y,
                                        (unsigned)atoi(argv[1]), (unsigned)atoi(argv[2]), 0,
                                        0, 0x404040);
    XStoreName(pDisplay, window, "Vellumtide host");
    XSelectInput(pDisplay, window,
                 ButtonPressMask | ButtonReleaseMask | KeyPressMask | StructureNotifyMask);
    XMapWindow(pDisplay, window);
    XSync(pDisplay, False);
    printf("0x%lx\n", (unsigned long)window);
    fflush(stdout);
    for (;;) {
        XEvent event;
        XNextEvent(pDisplay, &event);
    }
}

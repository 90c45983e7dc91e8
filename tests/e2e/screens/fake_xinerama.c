/* A stand-in for libXinerama.so.1, loaded by Wine's X11 driver in place of
 * the real one: it reports the screens listed in PT_SCREENS
 * ("x,y,width,height;x,y,width,height"), so one plain Xvfb screen shows as
 * several monitors side by side or stacked. Xvfb's own Xinerama puts every
 * screen at 0,0. */
#include <stdio.h>
#include <stdlib.h>

typedef struct {
    int screen_number;
    short x_org, y_org, width, height;
} ScreenInfo;

int XineramaQueryExtension(void *display, int *eventBase, int *errorBase) {
    (void)display;
    *eventBase = 0;
    *errorBase = 0;
    return 1;
}

int XineramaQueryVersion(void *display, int *major, int *minor) {
    (void)display;
    *major = 1;
    *minor = 1;
    return 1;
}

int XineramaIsActive(void *display) {
    (void)display;
    return 1;
}

/* The caller frees the list with XFree, which is free. */
ScreenInfo *XineramaQueryScreens(void *display, int *count) {
    enum { kMax = 8 };
    const char *spec = getenv("PT_SCREENS");
    ScreenInfo *list = calloc(kMax, sizeof *list);
    int n = 0, x, y, w, h, used;
    (void)display;
    while (list && spec && n < kMax && sscanf(spec, "%d,%d,%d,%d%n", &x, &y, &w, &h, &used) == 4) {
        list[n].screen_number = n;
        list[n].x_org = (short)x;
        list[n].y_org = (short)y;
        list[n].width = (short)w;
        list[n].height = (short)h;
        ++n;
        spec += used;
        if (*spec != ';')
            break;
        ++spec;
    }
    *count = n;
    return list;
}

#include "x11_window.h"

#include <stdint.h>
#include <stdio.h>

#include <X11/extensions/Xrandr.h>

#include "x11_image.h"

X11Window x11Window;

namespace {

const int kOwnWidth = 640;
const int kOwnHeight = 480;

int
OnXError(Display*, XErrorEvent* error)
{
    if (x11Image.shmAttaching && error->request_code == x11Image.shmOpcode)
        x11Image.shmFailed = true;
    else if ((error->error_code == BadWindow || error->error_code == BadDrawable) &&
             error->resourceid == x11Window.window)
        x11Window.windowGone = true;
    else if (x11Window.started)
        x11Window.unexpectedErrors++;
    return 0;
}

}

bool
OpenWindow(Display* display, bool ownWindow, Window target, std::string* error)
{
    x11Window = X11Window();
    x11Window.display = display;
    XSetErrorHandler(OnXError);
    int screen = DefaultScreen(display);
    if (ownWindow) {
        XSetWindowAttributes attributes = XSetWindowAttributes();
        attributes.background_pixel = BlackPixel(display, screen);
        attributes.event_mask = ExposureMask | StructureNotifyMask;
        target = XCreateWindow(display, RootWindow(display, screen), 0, 0, kOwnWidth, kOwnHeight, 0, CopyFromParent,
                               InputOutput, CopyFromParent, CWBackPixel | CWEventMask, &attributes);
        x11Window.ownWindow = true;
        XStoreName(display, target, "Tarvelimunde");
        x11Window.protocols = XInternAtom(display, "WM_PROTOCOLS", False);
        x11Window.deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
        XSetWMProtocols(display, target, &x11Window.deleteWindow, 1);
    }
    x11Window.window = target;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, target, &attributes) || x11Window.windowGone) {
        char id[32];
        snprintf(id, sizeof id, "0x%lx", (unsigned long)target);
        *error = std::string("no window ") + id;
        return false;
    }
    // Other windows are only watched: a size change, their end, exposures.
    if (!x11Window.ownWindow)
        XSelectInput(display, target, ExposureMask | StructureNotifyMask);
    x11Window.visual = attributes.visual;
    x11Window.depth = attributes.depth;
    x11Window.width = attributes.width;
    x11Window.height = attributes.height;
    x11Window.colormap = attributes.colormap != None ? attributes.colormap : DefaultColormap(display, screen);
    return true;
}

bool
ShowWindow(std::string* error)
{
    Display* display = x11Window.display;
    Window target = x11Window.window;
    if (x11Window.ownWindow)
        XMapWindow(display, target);
    XSync(display, False);
    if (x11Window.windowGone) {
        *error = "the window went away";
        return false;
    }
    x11Window.started = true;
    return true;
}

int
RefreshRate()
{
    Display* display = x11Window.display;
    int events, errors, major = 0, minor = 0;
    if (!XRRQueryExtension(display, &events, &errors) || !XRRQueryVersion(display, &major, &minor) ||
        major * 100 + minor < 102)
        return 0;
    Window root = DefaultRootWindow(display), child;
    int x, y;
    if (!XTranslateCoordinates(display, x11Window.window, root, x11Window.width / 2, x11Window.height / 2, &x, &y,
                               &child))
        return 0;
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, root);
    if (resources == NULL)
        return 0;
    int hz = 0;
    for (int i = 0; i < resources->ncrtc && hz == 0; i++) {
        XRRCrtcInfo* crtc = XRRGetCrtcInfo(display, resources, resources->crtcs[i]);
        if (crtc == NULL)
            continue;
        bool shows = crtc->mode != None && x >= crtc->x && y >= crtc->y && x < crtc->x + (int)crtc->width &&
                     y < crtc->y + (int)crtc->height;
        for (int m = 0; shows && m < resources->nmode; m++) {
            const XRRModeInfo& mode = resources->modes[m];
            if (mode.id == crtc->mode && mode.hTotal != 0 && mode.vTotal != 0)
                hz = (int)(mode.dotClock / ((uint64_t)mode.hTotal * mode.vTotal));
        }
        XRRFreeCrtcInfo(crtc);
    }
    XRRFreeScreenResources(resources);
    return hz;
}

void
CloseWindow()
{
    if (x11Window.ownWindow && !x11Window.windowGone)
        XDestroyWindow(x11Window.display, x11Window.window);
    XSync(x11Window.display, False);
    x11Window.display = NULL;
}

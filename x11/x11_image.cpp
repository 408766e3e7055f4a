#include "x11_image.h"

#include <stdlib.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include "x11_window.h"

X11Image x11Image;

namespace {

bool
MakeSharedImage()
{
    x11Image.shm = XShmSegmentInfo();
    x11Image.image = XShmCreateImage(x11Window.display, x11Window.visual, (unsigned)x11Window.depth, ZPixmap, NULL,
                                     &x11Image.shm, (unsigned)x11Window.width, (unsigned)x11Window.height);
    if (x11Image.image == NULL)
        return false;
    x11Image.shm.shmid =
        shmget(IPC_PRIVATE, (size_t)x11Image.image->bytes_per_line * (size_t)x11Window.height, IPC_CREAT | 0600);
    if (x11Image.shm.shmid < 0) {
        XDestroyImage(x11Image.image);
        x11Image.image = NULL;
        return false;
    }
    x11Image.shm.shmaddr = x11Image.image->data = (char*)shmat(x11Image.shm.shmid, NULL, 0);
    x11Image.shm.readOnly = False;
    bool attached = false;
    if (x11Image.shm.shmaddr != (char*)-1) {
        x11Image.shmFailed = false;
        x11Image.shmAttaching = true;
        attached = XShmAttach(x11Window.display, &x11Image.shm);
        XSync(x11Window.display, False);
        x11Image.shmAttaching = false;
        attached = attached && !x11Image.shmFailed;
    }
    // Marked for removal at once, so that no segment outlives the process.
    shmctl(x11Image.shm.shmid, IPC_RMID, NULL);
    if (!attached) {
        if (x11Image.shm.shmaddr != (char*)-1)
            shmdt(x11Image.shm.shmaddr);
        x11Image.image->data = NULL;
        XDestroyImage(x11Image.image);
        x11Image.image = NULL;
        x11Image.shmFailed = true;
        return false;
    }
    x11Image.usesShm = true;
    return true;
}

}

bool
OpenImage()
{
    x11Image = X11Image();
    int firstEvent, firstError;
    if (XShmQueryExtension(x11Window.display) &&
        XQueryExtension(x11Window.display, "MIT-SHM", &x11Image.shmOpcode, &firstEvent, &firstError))
        x11Image.shmCompletion = XShmGetEventBase(x11Window.display) + ShmCompletion;
    else
        x11Image.shmOpcode = 0;
    x11Image.gc = XCreateGC(x11Window.display, x11Window.window, 0, NULL);
    return MakeImage();
}

bool
MakeImage()
{
    x11Image.converted = false;
    if (x11Image.shmOpcode != 0 && !x11Image.shmFailed && MakeSharedImage())
        return true;
    x11Image.image = XCreateImage(x11Window.display, x11Window.visual, (unsigned)x11Window.depth, ZPixmap, 0, NULL,
                                  (unsigned)x11Window.width, (unsigned)x11Window.height, 32, 0);
    if (x11Image.image != NULL)
        x11Image.image->data = (char*)calloc((size_t)x11Image.image->bytes_per_line, (size_t)x11Window.height);
    if (x11Image.image != NULL && x11Image.image->data == NULL) {
        XDestroyImage(x11Image.image);
        x11Image.image = NULL;
    }
    return x11Image.image != NULL;
}

void
DropImage()
{
    if (x11Image.image == NULL)
        return;
    if (x11Image.usesShm) {
        XShmDetach(x11Window.display, &x11Image.shm);
        XSync(x11Window.display, False);
        shmdt(x11Image.shm.shmaddr);
        x11Image.image->data = NULL;
    }
    XDestroyImage(x11Image.image);
    x11Image.image = NULL;
    x11Image.usesShm = x11Image.shmBusy = false;
}

void
PutArea(FrameArea a, bool shm, bool last)
{
    unsigned width = (unsigned)(a.right - a.left), height = (unsigned)(a.bottom - a.top);
    if (shm) {
        XShmPutImage(x11Window.display, x11Window.window, x11Image.gc, x11Image.image, a.left, a.top, a.left, a.top,
                     width, height, last);
        x11Image.shmBusy = x11Image.shmBusy || last;
    } else {
        XPutImage(x11Window.display, x11Window.window, x11Image.gc, x11Image.image, a.left, a.top, a.left, a.top, width,
                  height);
    }
}

bool
OutputBusy()
{
    return x11Image.shmBusy;
}

bool
HandleOutputEvent(const XEvent& event)
{
    if (x11Image.shmCompletion == 0 || event.type != x11Image.shmCompletion)
        return false;
    x11Image.shmBusy = false;
    return true;
}

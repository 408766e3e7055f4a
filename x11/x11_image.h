// The image the frames go out through: shared memory where MIT-SHM works,
// plain requests where it does not.
#ifndef TARVELIMUNDE_X11_IMAGE_H
#define TARVELIMUNDE_X11_IMAGE_H

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

#include "framebuffer.h"

struct X11Image {
    XImage* image;
    XShmSegmentInfo shm;
    bool usesShm, shmBusy, shmFailed, shmAttaching;
    int shmOpcode, shmCompletion;
    GC gc;
    // Every pixel converted since the image was made: pixels at index 0 hold
    // that index's colour.
    bool converted;
};

extern X11Image x11Image;

// MIT-SHM looked for, and an image at the window's size: false without
// the memory for one.
bool OpenImage();
// An image at the window's size; false, with none, without the memory.
bool MakeImage();
void DropImage();
// An area of the image out to the window; the last of a frame's puts
// through shared memory asks for the completion.
void PutArea(FrameArea area, bool shm, bool last);
// Waiting for the server to finish with the last image.
bool OutputBusy();
// Completion of an image; answers whether the event was one.
bool HandleOutputEvent(const XEvent& event);

#endif

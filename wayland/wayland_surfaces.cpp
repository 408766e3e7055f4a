// The surfaces: on the layers one per output, the picture whole on one and
// the others black; or one toplevel. Buffers are in device pixels, so the
// picture stays sharp at any scale.
#include <string.h>
#include <time.h>

#include "picture.h"
#include "wayland_client.h"

namespace {

const int kDefaultWidth = 640, kDefaultHeight = 480;

bool
OnLayers()
{
    return wayland.options.mode == kWaylandLayer || wayland.options.mode == kWaylandBackground;
}

int
DeviceSize(const WaylandSurface* s, int logical)
{
    if (s->viewport != NULL && s->preferredScale > 0)
        return (logical * s->preferredScale + 60) / 120;
    return logical * s->outputScale;
}

void
Damage(WaylandSurface* s, int x, int y, int width, int height)
{
    if (wl_surface_get_version(s->surface) >= WL_SURFACE_DAMAGE_BUFFER_SINCE_VERSION)
        wl_surface_damage_buffer(s->surface, x, y, width, height);
    else
        wl_surface_damage(s->surface, 0, 0, INT32_MAX, INT32_MAX);
}

// A fractional scale goes through the viewport; a whole one is the buffer's scale.
void
Attach(WaylandSurface* s, WaylandBuffer* b)
{
    if (s->viewport != NULL && s->preferredScale > 0) {
        wl_surface_set_buffer_scale(s->surface, 1);
        wp_viewport_set_destination(s->viewport, s->logicalWidth, s->logicalHeight);
    } else {
        wl_surface_set_buffer_scale(s->surface, s->outputScale);
    }
    wl_surface_attach(s->surface, b->buffer, 0, 0);
    b->busy = true;
}

void
ShowBlack(WaylandSurface* s)
{
    WaylandBuffer* b = FreeBuffer(s, DeviceSize(s, s->logicalWidth), DeviceSize(s, s->logicalHeight));
    if (b == NULL)
        return;
    if (b->stale)
        memset(b->pixels, 0, b->bytes);
    b->stale = false;
    Attach(s, b);
    Damage(s, 0, 0, b->width, b->height);
    wl_surface_commit(s->surface);
}

int
OutputRefreshHz(const WaylandOutput* o)
{
    return o != NULL ? (o->refreshMilliHz + 500) / 1000 : 0;
}

WaylandOutput*
OutputOf(const WaylandSurface* s)
{
    for (int i = 0; i < wayland.outputCount; i++)
        if (wayland.outputs[i].surface == s)
            return &wayland.outputs[i];
    return NULL;
}

// The picture afresh at the surface's size; with --ticks, its still at once.
void
StartPictureOn(WaylandSurface* s)
{
    WaylandClient& w = wayland;
    const PictureOptions& p = w.options.picture;
    int width = DeviceSize(s, s->logicalWidth), height = DeviceSize(s, s->logicalHeight);
    FrameFeedPace(&w.feed, kNanoseconds, OutputRefreshHz(OutputOf(s)), MonotonicNow());
    if (!FrameFeedStart(&w.feed, p.hasSeed ? p.seed : (uint32_t)time(NULL), width, height, kPictureSizePalette,
                        kPictureNumReserved, true)) {
        w.failure = "the picture cannot start at " + std::to_string(width) + "x" + std::to_string(height);
        w.ending = true;
        return;
    }
    if (p.hasTicks)
        for (uint32_t i = 0; i < p.ticks; i++)
            FrameFeedTick(&w.feed);
    w.ticks.next = MonotonicNow();
    for (WaylandBuffer& b : s->buffers)
        b.stale = true;
}

// Shown again at its present size and scale: the picture starts afresh only
// when its size in device pixels changed.
void
Refresh(WaylandSurface* s)
{
    if (!s->configured)
        return;
    if (s != wayland.picture) {
        ShowBlack(s);
        return;
    }
    const Framebuffer* frame = PictureFrame();
    if (!wayland.feed.running || frame == NULL || frame->width != DeviceSize(s, s->logicalWidth) ||
        frame->height != DeviceSize(s, s->logicalHeight))
        StartPictureOn(s);
    else
        FrameFeedShowAgain(&wayland.feed, FrameArea{0, 0, frame->width, frame->height});
}

void
Configured(WaylandSurface* s, int width, int height)
{
    s->logicalWidth = width > 0 ? width : kDefaultWidth;
    s->logicalHeight = height > 0 ? height : kDefaultHeight;
    s->configured = true;
    Refresh(s);
}

void
DestroySurface(WaylandSurface* s)
{
    if (s->frame != NULL)
        wl_callback_destroy(s->frame);
    for (WaylandBuffer& b : s->buffers)
        DropBuffer(&b);
    if (s->fractional != NULL)
        wp_fractional_scale_v1_destroy(s->fractional);
    if (s->viewport != NULL)
        wp_viewport_destroy(s->viewport);
    if (s->layer != NULL)
        zwlr_layer_surface_v1_destroy(s->layer);
    if (s->toplevel != NULL)
        xdg_toplevel_destroy(s->toplevel);
    if (s->xdg != NULL)
        xdg_surface_destroy(s->xdg);
    wl_surface_destroy(s->surface);
    delete s;
}

void
TakeKeyboard(WaylandSurface* s)
{
    if (s->layer != NULL && wayland.options.mode == kWaylandLayer)
        zwlr_layer_surface_v1_set_keyboard_interactivity(s->layer,
                                                         ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_EXCLUSIVE);
}

// The picture moves to the first output still covered when its own goes.
void
MovePicture()
{
    WaylandClient& w = wayland;
    w.picture = NULL;
    FrameFeedStop(&w.feed);
    for (int i = 0; i < w.outputCount && w.picture == NULL; i++) {
        if (w.outputs[i].surface != NULL) {
            w.picture = w.outputs[i].surface;
            TakeKeyboard(w.picture);
            wl_surface_commit(w.picture->surface);
            Refresh(w.picture);
        }
    }
}

void
Lose(WaylandSurface* s)
{
    WaylandClient& w = wayland;
    WaylandOutput* o = OutputOf(s);
    if (o != NULL)
        o->surface = NULL;
    bool picture = s == w.picture;
    DestroySurface(s);
    if (picture)
        MovePicture();
    // Every surface closed: a locker that unlocks, or the compositor done with it.
    if (w.picture == NULL) {
        w.ending = true;
        w.quietEnd = true;
    }
}

void
FrameDone(void* data, wl_callback* callback, uint32_t)
{
    wl_callback_destroy(callback);
    ((WaylandSurface*)data)->frame = NULL;
}

const wl_callback_listener kFrameListener = {FrameDone};

void
LayerConfigure(void* data, zwlr_layer_surface_v1* layer, uint32_t serial, uint32_t width, uint32_t height)
{
    zwlr_layer_surface_v1_ack_configure(layer, serial);
    Configured((WaylandSurface*)data, (int)width, (int)height);
}

void
LayerClosed(void* data, zwlr_layer_surface_v1*)
{
    Lose((WaylandSurface*)data);
}

const zwlr_layer_surface_v1_listener kLayerListener = {LayerConfigure, LayerClosed};

void
XdgConfigure(void* data, xdg_surface* xdg, uint32_t serial)
{
    WaylandSurface* s = (WaylandSurface*)data;
    xdg_surface_ack_configure(xdg, serial);
    Configured(s, s->logicalWidth, s->logicalHeight);
}

const xdg_surface_listener kXdgListener = {XdgConfigure};

// The size comes with the surface's configure, which follows.
void
ToplevelConfigure(void* data, xdg_toplevel*, int32_t width, int32_t height, wl_array*)
{
    WaylandSurface* s = (WaylandSurface*)data;
    s->logicalWidth = width;
    s->logicalHeight = height;
}

void
ToplevelClose(void*, xdg_toplevel*)
{
    wayland.ending = true;
}

// xdg_wm_base is bound at version 1, which sends neither of the later events.
const xdg_toplevel_listener kToplevelListener = {ToplevelConfigure, ToplevelClose, NULL, NULL};

void
PreferredScale(void* data, wp_fractional_scale_v1*, uint32_t scale)
{
    WaylandSurface* s = (WaylandSurface*)data;
    s->preferredScale = (int)scale;
    Refresh(s);
}

const wp_fractional_scale_v1_listener kFractionalListener = {PreferredScale};

// A toplevel takes the whole scale of the output it is shown on.
void
Enter(void* data, wl_surface*, wl_output* output)
{
    WaylandSurface* s = (WaylandSurface*)data;
    for (int i = 0; i < wayland.outputCount; i++) {
        if (wayland.outputs[i].output == output && s->toplevel != NULL && s->outputScale != wayland.outputs[i].scale) {
            s->outputScale = wayland.outputs[i].scale;
            Refresh(s);
        }
    }
}

void
Leave(void*, wl_surface*, wl_output*)
{
}

const wl_surface_listener kSurfaceListener = {Enter, Leave};

WaylandSurface*
NewSurface(int outputScale)
{
    WaylandClient& w = wayland;
    WaylandSurface* s = new WaylandSurface();
    s->outputScale = outputScale;
    s->surface = wl_compositor_create_surface(w.compositor);
    wl_surface_add_listener(s->surface, &kSurfaceListener, s);
    if (w.viewporter != NULL && w.fractionalManager != NULL) {
        s->viewport = wp_viewporter_get_viewport(w.viewporter, s->surface);
        s->fractional = wp_fractional_scale_manager_v1_get_fractional_scale(w.fractionalManager, s->surface);
        wp_fractional_scale_v1_add_listener(s->fractional, &kFractionalListener, s);
    }
    return s;
}

// Over the whole output, panels included, on the overlay layer or the background.
void
CoverWithLayer(WaylandOutput* o)
{
    WaylandClient& w = wayland;
    WaylandSurface* s = NewSurface(o->scale);
    o->surface = s;
    bool background = w.options.mode == kWaylandBackground;
    s->layer = zwlr_layer_shell_v1_get_layer_surface(
        w.layerShell, s->surface, o->output,
        background ? ZWLR_LAYER_SHELL_V1_LAYER_BACKGROUND : ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, "tarvelimunde");
    zwlr_layer_surface_v1_add_listener(s->layer, &kLayerListener, s);
    zwlr_layer_surface_v1_set_anchor(s->layer, ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                                                   ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT |
                                                   ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
    zwlr_layer_surface_v1_set_size(s->layer, 0, 0);
    zwlr_layer_surface_v1_set_exclusive_zone(s->layer, -1);
    if (background) {
        wl_region* none = wl_compositor_create_region(w.compositor);
        wl_surface_set_input_region(s->surface, none);
        wl_region_destroy(none);
    }
    if (w.picture == NULL) {
        w.picture = s;
        TakeKeyboard(s);
    }
    wl_surface_commit(s->surface);
}

void
OpenToplevel(WaylandOutput* o)
{
    WaylandClient& w = wayland;
    WaylandSurface* s = NewSurface(o != NULL ? o->scale : 1);
    w.window = w.picture = s;
    s->xdg = xdg_wm_base_get_xdg_surface(w.wmBase, s->surface);
    xdg_surface_add_listener(s->xdg, &kXdgListener, s);
    s->toplevel = xdg_surface_get_toplevel(s->xdg);
    xdg_toplevel_add_listener(s->toplevel, &kToplevelListener, s);
    xdg_toplevel_set_title(s->toplevel, "Tarvelimunde");
    xdg_toplevel_set_app_id(s->toplevel, "tarvelimunde");
    if (w.options.mode == kWaylandFullscreen)
        xdg_toplevel_set_fullscreen(s->toplevel, o != NULL ? o->output : NULL);
    wl_surface_commit(s->surface);
}

bool started;

}

bool
CreateSurfaces(std::string* error)
{
    WaylandClient& w = wayland;
    if (w.compositor == NULL || w.shm == NULL) {
        *error = "the compositor offers no wl_compositor or wl_shm";
        return false;
    }
    if (OnLayers() && w.layerShell == NULL) {
        *error = "the compositor has no layer shell (wlr-layer-shell); try --fullscreen";
        return false;
    }
    if (!OnLayers() && w.wmBase == NULL) {
        *error = "the compositor has no xdg-shell for a window";
        return false;
    }
    WaylandOutput* chosen = w.outputCount > 0 ? &w.outputs[0] : NULL;
    if (!w.options.output.empty()) {
        chosen = NULL;
        std::string names;
        for (int i = 0; i < w.outputCount; i++) {
            if (w.outputs[i].name == w.options.output)
                chosen = &w.outputs[i];
            names += (names.empty() ? "" : ", ") + w.outputs[i].name;
        }
        if (chosen == NULL) {
            *error = "no output named " + w.options.output + " (there are: " + (names.empty() ? "none" : names) + ")";
            return false;
        }
    }
    started = true;
    if (!OnLayers()) {
        OpenToplevel(chosen);
        return true;
    }
    if (chosen == NULL) {
        *error = "the compositor announces no output";
        return false;
    }
    CoverWithLayer(chosen);
    for (int i = 0; i < w.outputCount; i++)
        CoverOutput(&w.outputs[i]);
    return true;
}

// An output announced or changed: covered once on the layers, and shown again at its scale.
void
CoverOutput(WaylandOutput* o)
{
    if (!started || !OnLayers() || !o->done)
        return;
    if (!o->covered) {
        o->covered = true;
        if (o->surface == NULL)
            CoverWithLayer(o);
        HideCursor();
        return;
    }
    WaylandSurface* s = o->surface;
    if (s != NULL && s->outputScale != o->scale) {
        s->outputScale = o->scale;
        Refresh(s);
    }
}

void
ForgetOutput(WaylandOutput* o)
{
    if (o->surface != NULL)
        Lose(o->surface);
}

void
DestroySurfaces()
{
    WaylandClient& w = wayland;
    FrameFeedStop(&w.feed);
    for (int i = 0; i < w.outputCount; i++) {
        if (w.outputs[i].surface != NULL)
            DestroySurface(w.outputs[i].surface);
        w.outputs[i].surface = NULL;
    }
    if (w.window != NULL)
        DestroySurface(w.window);
    w.window = w.picture = NULL;
}

void
PresentPicture(int64_t now)
{
    WaylandClient& w = wayland;
    WaylandSurface* s = w.picture;
    const Framebuffer* frame = PictureFrame();
    if (s == NULL || !s->configured || s->frame != NULL || frame == NULL || !FrameFeedDue(&w.feed, now))
        return;
    WaylandBuffer* b = FreeBuffer(s, frame->width, frame->height);
    if (b == NULL)
        return;
    FeedFrame out = FrameFeedTake(&w.feed, now);
    if (out.erased)
        for (WaylandBuffer& each : s->buffers)
            each.stale = true;
    // A buffer that missed an erase starts black and goes out whole.
    bool whole = b->stale;
    if (whole)
        memset(b->pixels, 0, b->bytes);
    b->stale = false;
    uint32_t table[256];
    FrameFeedColours(kDibColours, table);
    FrameArea run = FrameArea();
    while (FrameFeedNextRun(&w.feed, &run)) {
        FrameFeedRecolour(&w.feed, run, table, b->pixels, (size_t)b->width);
        if (!whole)
            Damage(s, run.left, run.top, run.right - run.left, run.bottom - run.top);
    }
    if (whole)
        Damage(s, 0, 0, b->width, b->height);
    s->frame = wl_surface_frame(s->surface);
    wl_callback_add_listener(s->frame, &kFrameListener, s);
    Attach(s, b);
    wl_surface_commit(s->surface);
}

bool
PictureWaits()
{
    const WaylandSurface* s = wayland.picture;
    return s != NULL && (s->frame != NULL || (s->buffers[0].busy && s->buffers[1].busy));
}

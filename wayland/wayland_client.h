// The client's connection and what it holds: the compositor's globals, the
// outputs, the surfaces and their buffers, and the seat. One record for the
// process, as every part of the client sees it.
#ifndef TARVELIMUNDE_WAYLAND_CLIENT_H
#define TARVELIMUNDE_WAYLAND_CLIENT_H

#include <stdint.h>

#include <string>

#include <wayland-client.h>

#include "fractional-scale-v1-client.h"
#include "frame_feed.h"
#include "front_end_loop.h"
#include "viewporter-client.h"
#include "wayland_options.h"
#include "xdg-shell-client.h"
// The protocol names an argument "namespace", which C++ keeps for itself.
#define namespace layerNamespace
#include "wlr-layer-shell-unstable-v1-client.h"
#undef namespace

const int kMaxOutputs = 16;

// A wl_shm buffer the size of its surface in device pixels, 0x00RRGGBB.
struct WaylandBuffer {
    wl_buffer* buffer;
    uint32_t* pixels;
    size_t bytes;
    int width, height;
    bool busy;   // the compositor holds it until its release
    bool stale;  // not black with every drawn pixel since the last erase
};

struct WaylandSurface {
    wl_surface* surface;
    zwlr_layer_surface_v1* layer;
    xdg_surface* xdg;
    xdg_toplevel* toplevel;
    wp_viewport* viewport;
    wp_fractional_scale_v1* fractional;
    int logicalWidth, logicalHeight;  // as configured
    int preferredScale;               // in 120ths, from fractional-scale; 0 without
    int outputScale;                  // the whole scale of the output it is on
    bool configured;
    WaylandBuffer buffers[2];
    wl_callback* frame;               // the frame callback asked for, not yet done
};

struct WaylandOutput {
    wl_output* output;
    uint32_t globalName;
    std::string name;
    int scale;
    int refreshMilliHz;
    bool done;                // its first description is complete
    bool covered;             // given its surface once; one the compositor closes stays closed
    WaylandSurface* surface;  // on the layers: its own
};

struct WaylandClient {
    WaylandOptions options;
    wl_display* display;
    wl_registry* registry;
    wl_compositor* compositor;
    wl_shm* shm;
    zwlr_layer_shell_v1* layerShell;
    xdg_wm_base* wmBase;
    wp_viewporter* viewporter;
    wp_fractional_scale_manager_v1* fractionalManager;
    wl_seat* seat;
    wl_keyboard* keyboard;
    wl_pointer* pointer;
    WaylandOutput outputs[kMaxOutputs];
    int outputCount;              // in the order announced
    WaylandSurface* window;       // the toplevel in --fullscreen and --window
    WaylandSurface* picture;      // the surface that shows the picture
    FrameFeed feed;
    TickClock ticks;
    bool ending;
    bool quietEnd;                // a lost connection ends it with 0 (under a locker)
    std::string failure;          // why it ended early, for standard error
};

extern WaylandClient wayland;

// The globals the client binds, from the registry; outputs as they come and go.
void ListenToRegistry();
void ListenToSeat();
// No cursor over the picture: on the pointer's enter, and again when a new
// output makes the compositor show its own.
void HideCursor();

// A surface per output on the layers, or the toplevel; each configured one
// is shown, the picture's by frames of the feed.
bool CreateSurfaces(std::string* error);
void CoverOutput(WaylandOutput* output);
void ForgetOutput(WaylandOutput* output);
void DestroySurfaces();
// A frame of the feed, when the picture's surface may take one now.
void PresentPicture(int64_t now);
// Whether the picture waits for the compositor: for its frame callback, or
// for a buffer back.
bool PictureWaits();

// The buffers' memory.
bool MakeBuffer(WaylandBuffer* buffer, int width, int height);
void DropBuffer(WaylandBuffer* buffer);
WaylandBuffer* FreeBuffer(WaylandSurface* surface, int width, int height);

#endif

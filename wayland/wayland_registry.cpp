// The compositor's globals: bound at the versions this client speaks, and
// outputs followed as they come, change and go.
#include <string.h>

#include <algorithm>

#include "wayland_client.h"

namespace {

void
Geometry(void*, wl_output*, int32_t, int32_t, int32_t, int32_t, int32_t, const char*, const char*, int32_t)
{
}

void
Mode(void* data, wl_output*, uint32_t flags, int32_t, int32_t, int32_t refresh)
{
    if (flags & WL_OUTPUT_MODE_CURRENT)
        ((WaylandOutput*)data)->refreshMilliHz = refresh;
}

void
Done(void* data, wl_output*)
{
    WaylandOutput* output = (WaylandOutput*)data;
    output->done = true;
    CoverOutput(output);
}

void
Scale(void* data, wl_output*, int32_t factor)
{
    ((WaylandOutput*)data)->scale = std::max(1, (int)factor);
}

void
Name(void* data, wl_output*, const char* name)
{
    ((WaylandOutput*)data)->name = name;
}

void
Description(void*, wl_output*, const char*)
{
}

const wl_output_listener kOutputListener = {Geometry, Mode, Done, Scale, Name, Description};

void
Ping(void*, xdg_wm_base* base, uint32_t serial)
{
    xdg_wm_base_pong(base, serial);
}

const xdg_wm_base_listener kWmBaseListener = {Ping};

void
AddOutput(uint32_t name, uint32_t version)
{
    WaylandClient& w = wayland;
    if (w.outputCount == kMaxOutputs)
        return;
    WaylandOutput& o = w.outputs[w.outputCount++];
    o = WaylandOutput();
    o.globalName = name;
    o.scale = 1;
    o.output = (wl_output*)wl_registry_bind(w.registry, name, &wl_output_interface, std::min(version, 4u));
    wl_output_add_listener(o.output, &kOutputListener, &o);
}

void
Global(void*, wl_registry* registry, uint32_t name, const char* interface, uint32_t version)
{
    WaylandClient& w = wayland;
    // Buffer scales need wl_compositor 3; damage in buffer pixels, taken where offered, 4.
    if (strcmp(interface, wl_compositor_interface.name) == 0 && version >= 3) {
        w.compositor = (wl_compositor*)wl_registry_bind(registry, name, &wl_compositor_interface, std::min(version, 4u));
    } else if (strcmp(interface, wl_shm_interface.name) == 0) {
        w.shm = (wl_shm*)wl_registry_bind(registry, name, &wl_shm_interface, 1);
    } else if (strcmp(interface, zwlr_layer_shell_v1_interface.name) == 0) {
        w.layerShell = (zwlr_layer_shell_v1*)wl_registry_bind(registry, name, &zwlr_layer_shell_v1_interface,
                                                              std::min(version, 3u));
    } else if (strcmp(interface, xdg_wm_base_interface.name) == 0) {
        w.wmBase = (xdg_wm_base*)wl_registry_bind(registry, name, &xdg_wm_base_interface, 1);
        xdg_wm_base_add_listener(w.wmBase, &kWmBaseListener, NULL);
    } else if (strcmp(interface, wp_viewporter_interface.name) == 0) {
        w.viewporter = (wp_viewporter*)wl_registry_bind(registry, name, &wp_viewporter_interface, 1);
    } else if (strcmp(interface, wp_fractional_scale_manager_v1_interface.name) == 0) {
        w.fractionalManager = (wp_fractional_scale_manager_v1*)wl_registry_bind(
            registry, name, &wp_fractional_scale_manager_v1_interface, 1);
    } else if (strcmp(interface, wl_seat_interface.name) == 0 && w.seat == NULL) {
        w.seat = (wl_seat*)wl_registry_bind(registry, name, &wl_seat_interface, std::min(version, 4u));
        ListenToSeat();
    } else if (strcmp(interface, wl_output_interface.name) == 0 && version >= 2) {
        AddOutput(name, version);
    }
}

void
GlobalRemove(void*, wl_registry*, uint32_t name)
{
    WaylandClient& w = wayland;
    for (int i = 0; i < w.outputCount; i++) {
        if (w.outputs[i].globalName != name)
            continue;
        ForgetOutput(&w.outputs[i]);
        if (wl_output_get_version(w.outputs[i].output) >= WL_OUTPUT_RELEASE_SINCE_VERSION)
            wl_output_release(w.outputs[i].output);
        else
            wl_output_destroy(w.outputs[i].output);
        // The listeners point at the records, so the later ones are told where they went.
        for (int j = i + 1; j < w.outputCount; j++) {
            w.outputs[j - 1] = w.outputs[j];
            wl_proxy_set_user_data((wl_proxy*)w.outputs[j - 1].output, &w.outputs[j - 1]);
        }
        w.outputCount--;
        return;
    }
}

const wl_registry_listener kRegistryListener = {Global, GlobalRemove};

}

void
ListenToRegistry()
{
    wayland.registry = wl_display_get_registry(wayland.display);
    wl_registry_add_listener(wayland.registry, &kRegistryListener, NULL);
}

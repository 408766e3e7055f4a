// Pointer input for the Wayland client's tests: headless sway, which has no
// input devices, takes it only from a virtual pointer. The actions, in order:
// at X Y W H (within W x H), by DX DY, click (the left button), hold.
#include <linux/input-event-codes.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <wayland-client.h>

#include "wlr-virtual-pointer-unstable-v1-client.h"

#define FAIL(message) (fputs("tarvelimunde-test-pointer: " message "\n", stderr), 1)

static struct wl_seat *seat;
static struct zwlr_virtual_pointer_manager_v1 *manager;

static void
Global(void *data, struct wl_registry *registry, uint32_t name, const char *interface, uint32_t version)
{
    if (!seat && !strcmp(interface, wl_seat_interface.name))
        seat = wl_registry_bind(registry, name, &wl_seat_interface, 1);
    else if (!strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name))
        manager = wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1);
}

static void
GlobalRemove(void *data, struct wl_registry *registry, uint32_t name)
{
}

// Whether every action is well formed; with a pointer, also performs them, each followed by a frame and
// a roundtrip, so that the compositor has handled one before the next (or the end).
static int
Perform(int argc, char **argv, struct wl_display *display, struct zwlr_virtual_pointer_v1 *pointer)
{
    for (int i = 1; i < argc; i++) {
        const char *action = argv[i];
        int count = !strcmp(action, "at") ? 4 : !strcmp(action, "by") ? 2 : 0;
        long value[4];
        if ((!count && strcmp(action, "click") && strcmp(action, "hold")) || i + count >= argc)
            return 0;
        for (int k = 0; k < count; k++) {
            char *end;
            value[k] = strtol(argv[++i], &end, 10);
            // Whole pixels within what a wl_fixed_t holds, and none below 0 for motion_absolute.
            if (end == argv[i] || *end || value[k] < (count == 4 ? 0 : -(1 << 23)) || value[k] >= 1 << 23)
                return 0;
        }
        if (!pointer)
            continue;
        struct timespec now;
        clock_gettime(CLOCK_MONOTONIC, &now);
        uint32_t time = (uint32_t)(now.tv_sec * 1000 + now.tv_nsec / 1000000);
        if (count == 4)
            zwlr_virtual_pointer_v1_motion_absolute(pointer, time, value[0], value[1], value[2], value[3]);
        else if (count == 2)
            zwlr_virtual_pointer_v1_motion(pointer, time, wl_fixed_from_int(value[0]), wl_fixed_from_int(value[1]));
        else if (!strcmp(action, "click")) {
            zwlr_virtual_pointer_v1_button(pointer, time, BTN_LEFT, WL_POINTER_BUTTON_STATE_PRESSED);
            zwlr_virtual_pointer_v1_frame(pointer);
            zwlr_virtual_pointer_v1_button(pointer, time, BTN_LEFT, WL_POINTER_BUTTON_STATE_RELEASED);
        }
        zwlr_virtual_pointer_v1_frame(pointer);
        if (wl_display_roundtrip(display) < 0)
            return 0;
        // hold: the seat keeps this pointer until stdin ends, so that it never lacks one (tests/support.py's Sway).
        while (!strcmp(action, "hold") && getchar() != EOF) {
        }
    }
    return 1;
}

int
main(int argc, char **argv)
{
    static const struct wl_registry_listener listener = {Global, GlobalRemove};
    // Checked first, so that no action is half done.
    if (!Perform(argc, argv, NULL, NULL))
        return FAIL("bad arguments; the actions are at X Y W H, by DX DY, click and hold");
    struct wl_display *display = wl_display_connect(NULL);
    if (!display)
        return FAIL("no Wayland compositor to connect to");
    struct wl_registry *registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &listener, NULL);
    if (wl_display_roundtrip(display) < 0 || !manager)
        return FAIL("the compositor offers no zwlr_virtual_pointer_manager_v1");
    struct zwlr_virtual_pointer_v1 *pointer = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(manager, seat);
    if (!Perform(argc, argv, display, pointer))
        return FAIL("the connection to the compositor failed");
    // Freed for LeakSanitizer (the sanitizers' tree), which counts what the connection leaves.
    zwlr_virtual_pointer_v1_destroy(pointer);
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return 0;
}

// What ends the picture: a key pressed, a button, or the pointer moved more
// than a few pixels. Keys already down when the keyboard arrives (the
// shortcut that started it) are not presses.
#include <math.h>
#include <unistd.h>

#include "wayland_client.h"

namespace {

const double kPointerSlack = 4;

struct PointerStart {
    bool known;
    double x, y;
    uint32_t serial;  // of its enter, which hiding the cursor names
};

PointerStart pointerStart;

bool
EndsOnInput()
{
    return wayland.options.mode == kWaylandLayer || wayland.options.mode == kWaylandFullscreen;
}

void
EndByInput()
{
    if (EndsOnInput())
        wayland.ending = true;
}

void
Keymap(void*, wl_keyboard*, uint32_t, int32_t fd, uint32_t)
{
    close(fd);
}

void
KeyboardEnter(void*, wl_keyboard*, uint32_t, wl_surface*, wl_array*)
{
}

void
KeyboardLeave(void*, wl_keyboard*, uint32_t, wl_surface*)
{
}

void
Key(void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t state)
{
    if (state == WL_KEYBOARD_KEY_STATE_PRESSED)
        EndByInput();
}

void
Modifiers(void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t)
{
}

void
RepeatInfo(void*, wl_keyboard*, int32_t, int32_t)
{
}

const wl_keyboard_listener kKeyboardListener = {Keymap, KeyboardEnter, KeyboardLeave, Key, Modifiers, RepeatInfo};

void
PointerEnter(void*, wl_pointer*, uint32_t serial, wl_surface*, wl_fixed_t x, wl_fixed_t y)
{
    pointerStart = PointerStart{true, wl_fixed_to_double(x), wl_fixed_to_double(y), serial};
    HideCursor();
}

void
PointerLeave(void*, wl_pointer*, uint32_t, wl_surface*)
{
    pointerStart.known = false;
}

void
Motion(void*, wl_pointer*, uint32_t, wl_fixed_t x, wl_fixed_t y)
{
    PointerStart& s = pointerStart;
    if (s.known && (fabs(wl_fixed_to_double(x) - s.x) > kPointerSlack ||
                    fabs(wl_fixed_to_double(y) - s.y) > kPointerSlack))
        EndByInput();
}

void
Button(void*, wl_pointer*, uint32_t, uint32_t, uint32_t, uint32_t state)
{
    if (state == WL_POINTER_BUTTON_STATE_PRESSED)
        EndByInput();
}

void
Axis(void*, wl_pointer*, uint32_t, uint32_t, wl_fixed_t)
{
}

// The seat is bound at version 4, which sends none of the later events.
const wl_pointer_listener kPointerListener = {PointerEnter, PointerLeave, Motion, Button, Axis, NULL, NULL, NULL, NULL, NULL};

// Keyboard and pointer come and go with the seat's devices; each change is
// taken afresh.
void
Capabilities(void*, wl_seat* seat, uint32_t capabilities)
{
    WaylandClient& w = wayland;
    bool release = wl_seat_get_version(seat) >= WL_KEYBOARD_RELEASE_SINCE_VERSION;
    if (w.keyboard != NULL)
        release ? wl_keyboard_release(w.keyboard) : wl_keyboard_destroy(w.keyboard);
    if (w.pointer != NULL)
        release ? wl_pointer_release(w.pointer) : wl_pointer_destroy(w.pointer);
    w.keyboard = NULL;
    w.pointer = NULL;
    pointerStart.known = false;
    if (capabilities & WL_SEAT_CAPABILITY_KEYBOARD) {
        w.keyboard = wl_seat_get_keyboard(seat);
        wl_keyboard_add_listener(w.keyboard, &kKeyboardListener, NULL);
    }
    if (capabilities & WL_SEAT_CAPABILITY_POINTER) {
        w.pointer = wl_seat_get_pointer(seat);
        wl_pointer_add_listener(w.pointer, &kPointerListener, NULL);
    }
}

void
SeatName(void*, wl_seat*, const char*)
{
}

const wl_seat_listener kSeatListener = {Capabilities, SeatName};

}

void
HideCursor()
{
    if (wayland.pointer != NULL && pointerStart.known && wayland.options.mode != kWaylandWindow)
        wl_pointer_set_cursor(wayland.pointer, pointerStart.serial, NULL, 0, 0);
}

void
ListenToSeat()
{
    wl_seat_add_listener(wayland.seat, &kSeatListener, NULL);
}

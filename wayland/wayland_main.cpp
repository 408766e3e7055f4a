// The client's life: options, the connection, the surfaces, then ticks on a
// monotonic clock and the feed's frames at the surface's frame callbacks,
// until input, a signal, the surfaces' end or the connection's.
#include <errno.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "argument_text.h"
#include "front_end_loop.h"
#include "picture.h"
#include "wayland_client.h"

WaylandClient wayland;

namespace {

std::string
ConnectionFailure()
{
    WaylandClient& w = wayland;
    int code = wl_display_get_error(w.display);
    const wl_interface* interface = NULL;
    uint32_t id = 0;
    if (code == EPROTO) {
        uint32_t error = wl_display_get_protocol_error(w.display, &interface, &id);
        return "the compositor ended the connection for a protocol error " + std::to_string(error) + " on " +
               (interface != NULL ? interface->name : "an object");
    }
    return std::string("lost the connection to the Wayland display: ") + strerror(code != 0 ? code : EPIPE);
}

// Until the end: events read between frames. While the picture waits for the
// compositor (a frame callback, a buffer back), only the compositor wakes the
// client, and the ticks due meanwhile run then: one wake-up a frame, and none
// while the picture's output is hidden.
void
Loop(int signals)
{
    WaylandClient& w = wayland;
    pollfd waits[2] = {{wl_display_get_fd(w.display), POLLIN, 0}, {signals, POLLIN, 0}};
    while (!w.ending) {
        if (wl_display_dispatch_pending(w.display) < 0)
            return;
        if (w.ending)
            return;
        int64_t now = MonotonicNow();
        if (!PictureWaits() && w.feed.running && !w.options.picture.hasTicks)
            TickClockRun(&w.ticks, &w.feed, now);
        PresentPicture(now);
        bool waiting = PictureWaits();
        while (wl_display_prepare_read(w.display) != 0)
            if (wl_display_dispatch_pending(w.display) < 0)
                return;
        waits[0].events = POLLIN;
        if (wl_display_flush(w.display) < 0) {
            if (errno != EAGAIN) {
                wl_display_cancel_read(w.display);
                return;
            }
            waits[0].events |= POLLOUT;
        }
        timespec timeout = {0, 0};
        timespec* wait = NULL;
        if (!waiting && w.feed.running && !w.options.picture.hasTicks) {
            int64_t wake = w.feed.wanted ? FrameFeedWhen(&w.feed) : w.ticks.next;
            int64_t left = wake > now ? wake - now : 0;
            timeout = timespec{(time_t)(left / kNanoseconds), (long)(left % kNanoseconds)};
            wait = &timeout;
        }
        waits[0].revents = waits[1].revents = 0;
        int ready = ppoll(waits, 2, wait, NULL);
        if (ready > 0 && (waits[0].revents & POLLIN)) {
            if (wl_display_read_events(w.display) < 0)
                return;
        } else {
            wl_display_cancel_read(w.display);
        }
        if (ready > 0 && (waits[0].revents & (POLLERR | POLLHUP)) && !(waits[0].revents & POLLIN)) {
            if (!w.quietEnd && w.options.mode != kWaylandBackground)
                w.failure = "lost the connection to the Wayland display: it hung up";
            return;
        }
        if (ready > 0 && (waits[1].revents & POLLIN))
            w.ending = true;
    }
}

int
Usage(const std::string& message)
{
    fprintf(stderr, "tarvelimunde-wayland: %s\n%s", message.c_str(), WaylandUsage().c_str());
    return 1;
}

}

int
main(int argc, char** argv)
{
    WaylandClient& w = wayland;
    std::string error;
    if (!ParseWaylandOptions(argc, argv, &w.options, &error))
        return Usage(error);
    if (w.options.picture.help) {
        fputs(WaylandUsage().c_str(), stdout);
        return 0;
    }
    int signals = ReadEndingSignals();
    if (signals < 0) {
        fprintf(stderr, "tarvelimunde-wayland: cannot read SIGTERM and SIGINT: %s\n", strerror(errno));
        return 1;
    }
    // A locker hands its connection in WAYLAND_SOCKET, which wl_display_connect takes first.
    w.display = wl_display_connect(NULL);
    if (w.display == NULL) {
        const char* name = getenv("WAYLAND_DISPLAY");
        fprintf(stderr, "tarvelimunde-wayland: cannot connect to the Wayland display %s: %s\n",
                Quoted(name != NULL && *name != '\0' ? name : "wayland-0").c_str(), strerror(errno));
        return 1;
    }
    TickClockStart(&w.ticks, w.options.picture.rate, MonotonicNow());
    ListenToRegistry();
    // The globals, then what the outputs and the seat say of themselves.
    bool ready = wl_display_roundtrip(w.display) >= 0 && wl_display_roundtrip(w.display) >= 0;
    if (ready && !CreateSurfaces(&error)) {
        fprintf(stderr, "tarvelimunde-wayland: %s\n", error.c_str());
        wl_display_disconnect(w.display);
        return 1;
    }
    if (ready)
        Loop(signals);
    bool lost = wl_display_get_error(w.display) != 0;
    if (lost && !w.quietEnd && w.options.mode != kWaylandBackground)
        w.failure = ConnectionFailure();
    if (!w.failure.empty())
        fprintf(stderr, "tarvelimunde-wayland: %s\n", w.failure.c_str());
    if (!lost) {
        DestroySurfaces();
        wl_display_flush(w.display);
    } else {
        FrameFeedStop(&w.feed);
    }
    wl_display_disconnect(w.display);
    return w.failure.empty() ? 0 : 1;
}

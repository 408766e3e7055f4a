// The module's life: options, the window, then ticks on a monotonic clock and
// the feed's frames paced to the display, until a signal, the window's end or
// its close.
#include <errno.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

#include <string>

#include "argument_text.h"
#include "frame_feed.h"
#include "front_end_loop.h"
#include "picture.h"
#include "x11_display.h"
#include "x11_options.h"

namespace {

struct X11Run {
    X11Options options;
    TickClock ticks;
    // Frames follow ticks, so that both share one wake-up; ticks faster than
    // the refresh skip what it cannot show.
    FrameFeed feed;
    bool ending;
    std::string failure;  // why it ended early, for standard error
};

X11Run run;

// The picture afresh at the window's size; with --ticks, its still at once.
bool
Restart()
{
    X11Window& o = x11Window;
    uint32_t seed = run.options.picture.hasSeed ? run.options.picture.seed : (uint32_t)time(NULL);
    if (!FrameFeedStart(&run.feed, seed, o.width, o.height, kPictureSizePalette, kPictureNumReserved,
                        OutputRecolours())) {
        run.failure = "the picture cannot start at " + std::to_string(o.width) + "x" + std::to_string(o.height);
        return false;
    }
    if (run.options.picture.hasTicks)
        for (uint32_t i = 0; i < run.options.picture.ticks; i++)
            FrameFeedTick(&run.feed);
    run.ticks.next = MonotonicNow();
    return true;
}

void
HandleEvent(const XEvent& event)
{
    X11Window& o = x11Window;
    if (HandleOutputEvent(event))
        return;
    switch (event.type) {
    case Expose:
        if (event.xexpose.window == o.window) {
            FrameFeedShowAgain(&run.feed, FrameArea{event.xexpose.x, event.xexpose.y,
                                                    event.xexpose.x + event.xexpose.width,
                                                    event.xexpose.y + event.xexpose.height});
        }
        break;
    case ConfigureNotify:
        if (event.xconfigure.window == o.window &&
            (event.xconfigure.width != o.width || event.xconfigure.height != o.height)) {
            if (!ResizeOutput(event.xconfigure.width, event.xconfigure.height, &run.failure) || !Restart())
                run.ending = true;
        }
        break;
    case DestroyNotify:
        if (event.xdestroywindow.window == o.window) {
            o.windowGone = true;
            run.ending = true;
        }
        break;
    case ClientMessage:
        if (o.ownWindow && event.xclient.message_type == o.protocols && event.xclient.format == 32 &&
            (Atom)event.xclient.data.l[0] == o.deleteWindow)
            run.ending = true;
        break;
    }
}

void
Loop(int signals)
{
    Display* display = x11Window.display;
    pollfd waits[2] = {{ConnectionNumber(display), POLLIN, 0}, {signals, POLLIN, 0}};
    while (!run.ending && !x11Window.windowGone) {
        while (XPending(display) > 0 && !run.ending) {
            XEvent event;
            XNextEvent(display, &event);
            HandleEvent(event);
        }
        if (run.ending || x11Window.windowGone)
            break;
        int64_t now = MonotonicNow();
        if (!run.options.picture.hasTicks)
            TickClockRun(&run.ticks, &run.feed, now);
        if (!OutputBusy() && FrameFeedDue(&run.feed, now))
            PresentFrame(&run.feed, FrameFeedTake(&run.feed, now));
        XFlush(display);
        int64_t wake = run.options.picture.hasTicks ? now + kNanoseconds : run.ticks.next;
        // A frame that is not due yet goes with the next tick, in its wake-up, unless that tick would keep
        // it waiting longer than a refresh (a slow rate, a still).
        int64_t frame = FrameFeedWhen(&run.feed);
        if (run.feed.wanted && !OutputBusy() && frame < wake &&
            (run.options.picture.hasTicks || wake - frame > run.feed.pace.refreshPeriod))
            wake = frame;
        int64_t wait = wake > now ? wake - now : 0;
        timespec timeout = {(time_t)(wait / kNanoseconds), (long)(wait % kNanoseconds)};
        waits[0].revents = waits[1].revents = 0;
        if (ppoll(waits, 2, &timeout, NULL) > 0 && (waits[1].revents & POLLIN))
            run.ending = true;
    }
}

int
Usage(const std::string& message)
{
    fprintf(stderr, "tarvelimunde: %s\n%s", message.c_str(), X11Usage().c_str());
    return 1;
}

}

int
main(int argc, char** argv)
{
    std::string error;
    switch (ParseX11Options(argc, argv, &run.options, &error)) {
    case kOptionsBad:
        return Usage(error);
    case kWindowIdBad:
        fprintf(stderr, "tarvelimunde: %s\n", error.c_str());
        return 1;
    case kOptionsParsed:
        break;
    }
    if (run.options.picture.help) {
        fputs(X11Usage().c_str(), stdout);
        return 0;
    }
    int signals = ReadEndingSignals();
    if (signals < 0) {
        fprintf(stderr, "tarvelimunde: cannot read SIGTERM and SIGINT: %s\n", strerror(errno));
        return 1;
    }

    Display* display = XOpenDisplay(NULL);
    if (display == NULL) {
        fprintf(stderr, "tarvelimunde: cannot open the display %s\n", Quoted(XDisplayName(NULL)).c_str());
        return 1;
    }
    uint32_t target = 0;
    if (run.options.hasWindowId) {
        target = run.options.windowId;
    } else if (run.options.root) {
        const char* named = getenv("XSCREENSAVER_WINDOW");
        if (named != NULL && *named != '\0') {
            if (!ParseWindowId(named, &target)) {
                fprintf(stderr, "tarvelimunde: XSCREENSAVER_WINDOW: %s is not a window id\n",
                        Quoted(named).c_str());
                XCloseDisplay(display);
                return 1;
            }
        } else {
            target = (uint32_t)RootWindow(display, DefaultScreen(display));
        }
    }
    bool ownWindow = !run.options.hasWindowId && !run.options.root;
    if (!OpenOutput(display, ownWindow, (Window)target, run.options.install, &error)) {
        fprintf(stderr, "tarvelimunde: %s\n", error.c_str());
        XCloseDisplay(display);
        return 1;
    }
    TickClockStart(&run.ticks, run.options.picture.rate, MonotonicNow());
    FrameFeedPace(&run.feed, kNanoseconds, RefreshRate(), MonotonicNow());
    if (Restart())
        Loop(signals);
    if (!run.failure.empty())
        fprintf(stderr, "tarvelimunde: %s\n", run.failure.c_str());
    bool clean = x11Window.unexpectedErrors == 0 && run.failure.empty();
    FrameFeedStop(&run.feed);
    CloseOutput();
    XCloseDisplay(display);
    return clean ? 0 : 1;
}

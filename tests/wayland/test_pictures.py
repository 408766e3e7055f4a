"""What the client shows under headless sway: --ticks stills pixel for pixel against the replay tool at
two sizes and at scale 2, on the layers and full screen; the flow live; two outputs of different sizes
covered, the picture on one and the other black, and outputs added or resized while it runs; and the input
that ends it."""

import pytest

import harness

GREEN = (0x3C, 0x8D, 0x2F)  # sway's background, which must be covered everywhere


def await_picture(sway, output, expected, screenshots, name):
    last = []

    def same():
        last[:] = [sway.capture(output)]
        return harness.differing(expected, last[0]) == 0

    try:
        harness.wait_until(same, what=f"the still on {output}", seen=lambda: harness.differing(expected, last[0]))
    finally:
        if last:
            last[0].save(screenshots / f"wayland-{name}.png")


@pytest.mark.parametrize("mode", ["--layer", "--fullscreen"])
@pytest.mark.parametrize("size,scale,seed,ticks", [((1024, 768), 1, 7, 2000), ((800, 600), 1, 42, 5000),
                                                   ((1024, 768), 2, 2024, 3000)])
def test_still_equals_the_replay(sways, clients, tmp_path, screenshots, mode, size, scale, seed, ticks):
    sway = sways(size)
    if scale != 1:
        sway.swaymsg("output", "HEADLESS-1", "scale", scale)
    # In device pixels: at scale 2 the output is still size pixels, and so is the picture.
    expected = harness.replay(tmp_path, seed, size, ticks)
    client = clients(sway, mode, "--seed", seed, "--ticks", ticks)
    await_picture(sway, "HEADLESS-1", expected, screenshots, f"still{mode}-{size[0]}x{size[1]}-scale{scale}")
    assert harness.end(client) == (0, "")


def colours(image):
    return {colour for _, colour in image.getcolors(1 << 24)}


def drawn(image):
    """Where every other pixel of every other row is not black."""
    return {xy for xy in ((x, y) for x in range(0, image.width, 2) for y in range(0, image.height, 2))
            if image.getpixel(xy) != (0, 0, 0)}


def test_drawn_pixels_take_new_colours_as_the_flow_goes_on(sways, clients, screenshots):
    sway = sways((640, 480))
    client = clients(sway, "--seed", 5)
    shots, seen = [], []

    def recoloured():
        """Of two captures in a row, covered, most pixels drawn in the first have new colours in the second
        (an erase between them makes the next pair count)."""
        shots[:] = [*shots[-1:], sway.capture("HEADLESS-1")]
        old = drawn(shots[0]) if len(shots) == 2 and GREEN not in colours(shots[0]) else set()
        seen[:] = [sum(shots[1].getpixel(xy) not in ((0, 0, 0), shots[0].getpixel(xy)) for xy in old), len(old)]
        return len(old) > 200 and seen[0] > len(old) // 2

    harness.wait_until(recoloured, what="most drawn pixels in new colours", seen=lambda: f"{seen[0]} of {seen[1]}")
    for number, shot in enumerate(shots, 1):
        shot.save(screenshots / f"wayland-flow-{number}.png")
    assert harness.end(client) == (0, "")


def covered(sway, picture, black):
    """The picture's output drawn on and every other one black, without a pixel of the background."""
    seen = {name: colours(sway.capture(name)) for name in [picture, *black]}
    return (all(GREEN not in c for c in seen.values()) and len(seen[picture]) > 1 and
            all(seen[name] == {(0, 0, 0)} for name in black))


@pytest.mark.parametrize("end", ["key", "click on 1", "click on 2", "move on 1", "move on 2"])
def test_two_outputs_are_covered_and_input_on_either_ends_it(sways, clients, screenshots, end):
    sway = sways((1024, 768), (800, 600))
    client = clients(sway, "--seed", 11)
    harness.wait_until(lambda: covered(sway, "HEADLESS-1", ["HEADLESS-2"]), what="both outputs covered")
    if end == "key":
        sway.run("grim", screenshots / "wayland-two-outputs.png")
        # A keyboard new to the seat may press before the client has taken it up, and a key already down
        # is no press to it: again until it ends.
        harness.wait_until(lambda: client.poll() is not None or sway.key(), what="the end by a key")
    else:
        # Onto the output first: the pointer's first place there is where it starts from.
        x = 500 if end.endswith("1") else 1400
        sway.pointer("at", x, 300, 1824, 768, *(["click"] if end.startswith("click") else ["by", 10, 0]))
        harness.wait_until(lambda: client.poll() is not None, what=f"the end by a {end}")
    assert harness.end(client) == (0, "")


def test_the_named_output_shows_the_picture_and_outputs_added_or_resized_are_covered(sways, clients, tmp_path):
    sway = sways((1024, 768), (800, 600))
    client = clients(sway, "--output", "HEADLESS-2", "--seed", 3, "--ticks", 1500)

    def shown(size, black):
        """The still at this size on HEADLESS-2, the others black."""
        expected = harness.replay(tmp_path, 3, size, 1500)
        return lambda: covered(sway, "HEADLESS-2", black) and harness.differing(expected, sway.capture("HEADLESS-2")) == 0

    harness.wait_until(shown((800, 600), ["HEADLESS-1"]), what="the picture on HEADLESS-2")
    added = sway.add_output()
    harness.wait_until(shown((800, 600), ["HEADLESS-1", added]), what=f"{added} covered too")
    # Resized, the picture starts afresh at its output's new size.
    for name in ("HEADLESS-1", "HEADLESS-2"):
        sway.swaymsg("output", name, "mode", "640x480")
    harness.wait_until(shown((640, 480), ["HEADLESS-1", added]), what="both resized, covered again")
    assert client.poll() is None
    assert harness.end(client) == (0, "")

"""What the client shows under headless sway: --ticks stills pixel for pixel against the replay tool at
two sizes and at scale 2, on the layers and full screen; the flow live; two outputs of different sizes
covered, the picture on one and the other black, and an output added while it runs; and the input that
ends it."""

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
    # Covered, sway's background gone, with a figure under way.
    first = harness.wait_until(lambda: (lambda i: GREEN not in colours(i) and len(drawn(i)) > 200 and i)(
        sway.capture("HEADLESS-1")), what="a figure under way")
    first.save(screenshots / "wayland-flow-1.png")
    old = drawn(first)

    seen = []

    def recoloured():
        image = sway.capture("HEADLESS-1")
        seen[:] = [sum(image.getpixel(xy) not in ((0, 0, 0), first.getpixel(xy)) for xy in old), len(old)]
        return seen[0] > seen[1] // 2 and image

    harness.wait_until(recoloured, what="most drawn pixels in new colours", seen=lambda: f"{seen[0]} of {seen[1]}"
                       ).save(screenshots / "wayland-flow-2.png")
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
        sway.key()
    else:
        # Onto the output first: the pointer's first place there is where it starts from.
        x = 500 if end.endswith("1") else 1400
        sway.pointer("at", x, 300, 1824, 768, *(["click"] if end.startswith("click") else ["by", 10, 0]))
    harness.wait_until(lambda: client.poll() is not None, what=f"the end by a {end}")
    assert harness.end(client) == (0, "")


def test_the_named_output_shows_the_picture_and_an_output_added_is_covered(sways, clients):
    sway = sways((1024, 768), (800, 600))
    client = clients(sway, "--output", "HEADLESS-2", "--seed", 3)
    harness.wait_until(lambda: covered(sway, "HEADLESS-2", ["HEADLESS-1"]), what="the picture on HEADLESS-2")
    added = sway.add_output()
    harness.wait_until(lambda: covered(sway, "HEADLESS-2", ["HEADLESS-1", added]), what=f"{added} covered too")
    assert client.poll() is None
    assert harness.end(client) == (0, "")

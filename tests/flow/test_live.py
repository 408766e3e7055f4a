"""The flow on a truecolour screen under Wine: what was drawn takes new colours without being drawn
again, in the flow build and not in the exact one."""

import pytest
from PIL import ImageChops

from flow_harness import (EXACT_SCR, FLOW_SCR, await_figure, built, count_drawn, drawn_mask, end_with_a_mouse_move,
                          start_saver, wait_until)


def two_captures(screen):
    """Two captures a moment apart within one figure: the second has more drawn and keeps the first's."""
    for _ in range(5):
        first = await_figure(screen)
        first_drawn = count_drawn(first)
        second = wait_until(lambda: (lambda shot: shot if count_drawn(shot) > first_drawn + 50 else None)(
            screen.capture()[0]), what="more of the figure")
        kept = ImageChops.multiply(drawn_mask(first), drawn_mask(second)).histogram()[255]
        if kept > 0.9 * first_drawn:
            return first, second
    raise AssertionError("every pair of captures straddled a new figure")


@pytest.mark.parametrize("scr, flows", [(EXACT_SCR, False), (FLOW_SCR, True)], ids=["exact-frozen", "flow-flowing"])
def test_drawn_pixels_take_new_colours_in_the_flow_build_only(screens, wines, screenshots, scr, flows):
    built(scr)
    screen = screens(640, 480, root="#000000")
    wine = wines(screen)
    screen.xdotool("mousemove", 10, 10)
    saver, _ = start_saver(wine, scr)
    first, second = two_captures(screen)
    first.save(screenshots / f"{scr.stem}-a.png")
    second.save(screenshots / f"{scr.stem}-b.png")
    first_drawn = drawn_mask(first)
    recoloured = ImageChops.multiply(first_drawn, drawn_mask(ImageChops.difference(first, second))).histogram()[255]
    share = recoloured / first_drawn.histogram()[255]
    assert (share > 0.5) == flows, f"{share:.0%} of the pixels drawn before took a new colour"
    assert end_with_a_mouse_move(screen, wine, saver) == 0

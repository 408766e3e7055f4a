"""The flow, live: what is drawn changes colour without being drawn again."""

import pytest

import harness


def drawn(image, raw):
    """Positions of drawn pixels: raw values not 0 at 8 bits (pixel = index), not black otherwise."""
    if raw is not None:
        return {i for i, v in enumerate(raw) if v}
    return {i for i, p in enumerate(image.getdata()) if p != (0, 0, 0)}


def two_captures(screen):
    """Two captures a moment apart within one figure: the second has more drawn and keeps the first's."""
    for _ in range(5):
        first = harness.wait_until(lambda: (lambda c: c if len(drawn(*c)) > 500 else None)(screen.capture()),
                                   what="a figure under way")
        first_drawn = drawn(*first)
        second = harness.wait_until(lambda: (lambda c: c if len(drawn(*c)) > len(first_drawn) + 50 else None)(
            screen.capture()), what="more of the figure")
        if len(first_drawn & drawn(*second)) > 0.9 * len(first_drawn):
            return first, second, first_drawn
    raise AssertionError("every pair of captures straddled a new figure")


@pytest.mark.parametrize("depth", [24, 8])
def test_drawn_pixels_take_new_colours(screens, modules, depth):
    screen = screens(320, 240, depth)
    module = modules(screen, "--root", *(["--install"] if depth == 8 else []), "--seed", 5)
    (image_a, raw_a), (image_b, raw_b), drawn_a = two_captures(screen)
    colours_a, colours_b = list(image_a.getdata()), list(image_b.getdata())
    recoloured = sum(colours_a[i] != colours_b[i] for i in drawn_a)
    assert recoloured > 0.8 * len(drawn_a)
    if depth == 8:
        # Nothing drawn again: the old pixels keep their values; the cells changed colour.
        kept = [i for i in drawn_a if raw_a[i] == raw_b[i]]
        assert len(kept) > 0.9 * len(drawn_a)
        assert sum(colours_a[i] != colours_b[i] for i in kept) > 0.8 * len(kept)
    assert harness.end(module) == (0, "")


def test_without_writable_cells_it_draws_the_nearest_colours_and_says_so_once(screens, modules):
    # The 8-bit default colormap has too few free cells for the flow.
    screen = screens(320, 240, 8)
    module = modules(screen, "--root", "--seed", 5)
    (image_a, raw_a), (image_b, raw_b), drawn_a = two_captures(screen)
    colours_a, colours_b = list(image_a.getdata()), list(image_b.getdata())
    kept = [i for i in drawn_a if raw_a[i] == raw_b[i]]
    assert len(kept) > 0.9 * len(drawn_a)
    assert all(colours_a[i] == colours_b[i] for i in kept)
    assert len({colours_b[i] for i in drawn(image_b, raw_b)}) > 2
    code, err = harness.end(module)
    assert code == 0
    assert len(err.splitlines()) == 1 and "nearest colours" in err

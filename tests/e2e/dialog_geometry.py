"""Where Windows puts a dialog and its controls, in pixels.

A dialog template gives sizes and places in dialog units; the dialog
manager maps each number on its own with the base units of the dialog's
font: MulDiv(n, base x, 4) across, MulDiv(n, base y, 8) down. The client
area is the template's size mapped so, which gives the base units back: a
live window's controls are checked in pixels without asking for its font.
"""


def mul_div(a, b, c):
    """Windows' MulDiv for non-negative values: a * b / c, rounded."""
    return (a * b + c // 2) // c


def base_units(client, width, height):
    """(x, y) base units that map a template of width x height dialog units
    onto `client` (pixels, {"w": ..., "h": ...} as the UI driver's describe
    answers it); None when no whole base units do."""
    def solve(pixels, units, per):
        return next((base for base in range(1, pixels + 1) if mul_div(units, base, per) == pixels), None)

    x, y = solve(client["w"], width, 4), solve(client["h"], height, 8)
    return (x, y) if x and y else None


def to_pixels(x, y, w, h, base):
    """A template's rectangle in a dialog's client pixels, in the form of the
    UI driver's rect."""
    base_x, base_y = base
    return {"x": mul_div(x, base_x, 4), "y": mul_div(y, base_y, 8),
            "w": mul_div(w, base_x, 4), "h": mul_div(h, base_y, 8)}

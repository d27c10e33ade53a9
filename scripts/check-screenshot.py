#!/usr/bin/env python3
"""check-screenshot.py [--front] SHOT.png: checks a 96-DPI screenshot of Norvell's main window
(as scripts/screenshot.sh takes it). First that Main is in front: its title bar drawn active,
none of its framed controls covered, and Dir1 and File1 each showing lines. Then (not with
--front) against the window's table, pixel by pixel: every framed control's outermost pixels lie
exactly on its rectangle, every label's and check box's ink lies inside its rectangle (centred
labels centred to a pixel), the rule is 3 pixels thick where it belongs, and the client area is
609 x 339 pixels. Each finding is printed as what was seen; exit status 1 on any."""
import subprocess
import sys

# name, left, top, width, height in twips, kind
TABLE = [
    ("Label9", 1080, 240, 6975, 615, "centred"), ("Label1", 360, 960, 495, 375, "centred"),
    ("Label2", 840, 960, 495, 255, "centred"), ("Label3", 1320, 960, 495, 255, "centred"),
    ("Label4", 1800, 960, 495, 375, "centred"), ("Label5", 2280, 960, 375, 255, "centred"),
    ("Label6", 2760, 960, 495, 255, "centred"), ("Label7", 3240, 960, 375, 255, "centred"),
    ("Label8", 4680, 960, 2295, 255, "label"), ("Label10", 7080, 960, 1695, 255, "centred"),
    ("Program", 240, 2040, 1335, 855, "centred"),
] + [(f"Check1({i})", 480 + 480 * i, 1320, 255, 255, "label") for i in range(7)] + [
    ("List2", 4440, 1320, 735, 360, "framed"), ("List3", 5280, 1320, 735, 360, "framed"),
    ("List1", 6120, 1320, 855, 360, "framed"), ("List4", 7320, 1320, 1575, 360, "framed"),
    ("Drive1", 1680, 2040, 975, 315, "framed"), ("Dir1", 3120, 2040, 2655, 1890, "framed"),
    ("File1", 6000, 2040, 2655, 1845, "framed"), ("Command1", 240, 4440, 1455, 495, "framed"),
    ("Command2", 1800, 4440, 1095, 495, "framed"), ("Command3", 3000, 4440, 1215, 495, "framed"),
    ("Command5", 4440, 4440, 1455, 495, "framed"), ("Command4", 6120, 4440, 1335, 495, "framed"),
]
RULE = (1440 // 15, 720 // 15 - 1, (7800 - 1440) // 15, 3)  # left, top, width, height
CLIENT = (9135 // 15, 5085 // 15)


def load(path):
    data = subprocess.run(["convert", path, "ppm:-"], capture_output=True, check=True).stdout
    magic, size, depth, pixels = data.split(b"\n", 3)
    assert magic == b"P6" and depth == b"255"
    width, height = map(int, size.split())
    return width, height, pixels


def corners(lt, tt, wt, ht):
    return lt // 15, tt // 15, (lt + wt) // 15 - 1, (tt + ht) // 15 - 1


def in_front(px, width, height, ox, oy, differs):
    """What shows that Main is not the window in front, or that its pickers are empty."""
    seen = []
    # The title bar lies just inside the frame's top; Wine draws an active one in blue, an
    # inactive one in grey. The window's top is where the desktop, whose colour shows in the
    # screen's bottom right corner, begins above the frame's left edge.
    desktop = px(width - 1, height - 1)
    left = next((x for x in range(ox - 1, -1, -1) if px(x, oy + 100) == desktop), -1) + 1
    top = next((y for y in range(oy - 1, -1, -1) if px(left + 1, y) == desktop), -1) + 1
    r, g, b = px(ox + 30, top + (ox - left) + 4)
    if b < r + 40:
        seen.append(f"Main's title bar is not active (its colour is {(r, g, b)}, not blue): "
                    "another window is in front of it")
    framed = [row for row in TABLE if row[5] == "framed"]
    covered = []
    for name, lt, tt, wt, ht, _ in framed:
        x0, y0, x1, y1 = corners(lt, tt, wt, ht)
        mx, my = (x0 + x1) // 2, (y0 + y1) // 2
        if not all([differs(x0, my), differs(x1, my), differs(mx, y0), differs(mx, y1)]):
            covered.append(name)
    if covered:
        seen.append("something covers Main: the frames of " + ", ".join(covered) +
                    " are not where they belong")
    for name, what in (("Dir1", "no folder"), ("File1", "no file")):
        lt, tt, wt, ht = next(row[1:5] for row in TABLE if row[0] == name)
        x0, y0, x1, y1 = corners(lt, tt, wt, ht)
        # Inside the sunken edge and clear of a scroll bar: the first lines' text.
        inside = [px(ox + x, oy + y) for y in range(y0 + 3, y0 + 40) for x in range(x0 + 3, x1 - 20)]
        blank = max(set(inside), key=inside.count)
        ink = sum(1 for colour in inside if colour != blank)
        if name not in covered and ink < 30:
            seen.append(f"{name} shows {what}: {ink} pixels of ink in its first lines")
    return seen


def main():
    arguments = sys.argv[1:]
    front_only = "--front" in arguments
    arguments = [a for a in arguments if a != "--front"]
    if len(arguments) != 1:
        print(__doc__)
        return 2
    width, height, raw = load(arguments[0])

    def px(x, y):
        i = (y * width + x) * 3
        return tuple(raw[i:i + 3])

    # The rule is the first long run of one dark colour below the title bar and menu.
    origin = None
    for y in range(60, height):
        run, colour = 0, None
        for x in range(width):
            c = px(x, y)
            run = run + 1 if c == colour and sum(c) < 200 else 1
            colour = c
            if run == RULE[2]:
                origin = (x - run + 1 - RULE[0], y - RULE[1])
                break
        if origin:
            break
    if not origin:
        print("Main is not in view: the rule under its title is nowhere on the screen (another "
              "window over it, or no window at all)")
        return 1
    ox, oy = origin
    background = px(ox + 2, oy + 2)

    def differs(x, y):
        return px(ox + x, oy + y) != background

    problems = in_front(px, width, height, ox, oy, differs)
    if front_only or problems:
        for problem in problems:
            print("SEEN:", problem)
        print("Main is in front, its pickers filled" if not problems else
              "Main is not the window in front, or its pickers are empty")
        return 1 if problems else 0

    # The client area: the frame around it is equally thick left, right and below, measured
    # from the desktop, whose colour shows in the bottom right corner of the screen.
    cw, ch = CLIENT
    desktop = px(width - 1, height - 1)
    left = next(x for x in range(width) if px(x, oy + 100) != desktop)
    right = next(x for x in range(ox + 1, width) if px(x, oy + 100) == desktop) - 1
    bottom = next(y for y in range(oy + 1, height) if px(ox + 100, y) == desktop) - 1
    frames = (ox - left, right - (ox + cw - 1), bottom - (oy + ch - 1))
    if len(set(frames)) != 1:
        problems.append(f"client area is not {cw} x {ch}: frame left, right, below {frames}")
    l, t, w, h = RULE
    rule_colour = px(ox + l, oy + t)
    ink = {(x, y) for y in range(t - 2, t + h + 2) for x in range(l - 2, l + w + 2)
           if px(ox + x, oy + y) == rule_colour}
    if ink != {(x, y) for y in range(t, t + h) for x in range(l, l + w)}:
        problems.append("Line1 is not a 3-pixel rule from 96 to 519 on rows 47 to 49")

    for name, lt, tt, wt, ht, kind in TABLE:
        x0, y0, x1, y1 = lt // 15, tt // 15, (lt + wt) // 15 - 1, (tt + ht) // 15 - 1
        if kind == "framed":
            mx, my = (x0 + x1) // 2, (y0 + y1) // 2
            edges = [differs(x0, my), differs(x1, my), differs(mx, y0), differs(mx, y1)]
            beyond = [differs(x0 - 1, my), differs(x1 + 1, my), differs(mx, y0 - 1),
                      differs(mx, y1 + 1)]
            if not all(edges) or any(beyond):
                problems.append(f"{name}: edges {edges}, beyond {beyond}")
            continue
        rule_rows = range(RULE[1], RULE[1] + RULE[3])
        drawn = [(x, y) for y in range(y0, y1 + 1) for x in range(x0, x1 + 1)
                 if differs(x, y) and y not in rule_rows]
        ring = [(x, y) for x in range(x0 - 1, x1 + 2) for y in (y0 - 1, y1 + 1)] + \
               [(x, y) for y in range(y0, y1 + 1) for x in (x0 - 1, x1 + 1)]
        outside = [p for p in ring if differs(*p) and p[1] not in rule_rows]
        if not drawn or outside:
            problems.append(f"{name}: {len(drawn)} pixels inside, {len(outside)} just outside")
            continue
        if kind == "centred":
            left = min(x for x, _ in drawn) - x0
            right = x1 - max(x for x, _ in drawn)
            if abs(left - right) > 1:
                problems.append(f"{name}: not centred, margins {left} and {right}")
    print(f"client area at ({ox}, {oy}) on the screen; {len(TABLE) + 2} checks")
    for problem in problems:
        print("MISMATCH", problem)
    print("matches the table" if not problems else f"{len(problems)} mismatches")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())

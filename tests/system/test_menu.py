"""The menu as a user meets it: the composed picture on every kind of screen
and Windows version, the product boxes and their dialogs, the pointer's
shape, and the buttons under real clicks and keys, with every look."""

import threading
import time

import pytest
from conftest import IDS, QUESTION_MARK, bitmap, folder, part, until
from design import BOX_ART_AT, HOT_SPOTS, PLAY_AT, QUIT_AT, TITLES

EDITIONS = ["Volume 1", "Volume 2", "Volume 3", "Jocko", "Glimmer", "Reelies", "The Whirl", "Nodial"]


def start_disc(world, title, installed=False):
    """The title's disc in D: with its setup program; installed, the game
    on the hard disk F:."""
    row = TITLES[title]
    world.put("D:\\" + row["discMarker"])
    world.put_program("D:\\" + row["setupProgram"], "standin.exe")
    if installed:
        world.put_program("F:\\Quib\\" + row["gameExe"], "standin.exe")
        world.install(row["registryKey"], row["valueName"], "F:\\Quib")
    world.xdotool("mousemove", 0, 0)   # nowhere near a button or a product box
    return world.start(world.put_launcher("D:\\"))


INSTALL = part(PLAY_AT, IDS["IDB_INSTALL_NORMAL"])
QUIT = part(QUIT_AT, IDS["IDB_QUIT_NORMAL"])
BOX_ART = part(BOX_ART_AT, TITLES[0]["boxArtId"])


def open_box(world, menu, box):
    """Clicks a product box; the dialog it opened, checked for its place:
    centred on the screen. Where it does not fit, the window manager may
    fit it into the screen instead (openbox does so under Wine 8; under
    Wine 10 the dialog stays where the launcher put it)."""
    world.click(*world.centre(HOT_SPOTS[box]))
    dialog = world.wait_window("#32770")
    (width, height), left, top = world.size, int((world.size[0] - 570) / 2), int((world.size[1] - 320) / 2)
    fitted = [max(0, left), max(0, top), min(width, max(0, left) + 570), min(height, max(0, top) + 320)]
    assert dialog["owner"] == menu["hwnd"] and dialog["rect"] in ([left, top, left + 570, top + 320], fitted)
    assert any(f"\u00ae {EDITIONS[box]}" in text for text in world.texts(dialog).values())
    blocks = {(c["rect"][0], c["rect"][2] - c["rect"][0]) for c in dialog["children"]
              if c["class"] == "Static" and c["text"]}
    assert len(blocks) == 1 and blocks.pop()[1] == 570, "every text block spans the dialog"
    world.key("Escape", "Return", "alt+F4")   # only its button closes it
    time.sleep(0.3)
    assert world.windows("#32770")
    return dialog


# Each cell: Windows version, screen, depth, title, installed, product box.
CELLS = [("winxp", (640, 480), 16, 0, False, 0), ("winxp", (1920, 1080), 24, 1, True, 1),
         ("win7", (1024, 768), 16, 2, True, 2), ("win7", (640, 480), 24, 3, False, 3),
         ("win10", (1920, 1080), 16, 4, False, 4), ("win10", (1024, 768), 24, 7, True, 7),
         ("win10", (512, 288), 24, 5, False, 5),   # smaller than the picture and the dialog
         ("win10", (800, 600), 24, 8, True, 6)]     # the default world, which the next tests share


@pytest.mark.parametrize("windows, screen, depth, title, installed, box", CELLS,
                         ids=[f"{c[0]}-{c[1][0]}x{c[1][1]}x{c[2]}" for c in CELLS])
def test_menu_dialog_and_button_on_every_system(world_for, windows, screen, depth, title, installed, box):
    world = world_for(windows=windows, screen=screen, depth=depth)
    launcher = start_disc(world, title, installed)
    menu = world.wait_menu()
    until(lambda: world.shows(world.menu_picture(title, installed), tolerance=8 if depth == 16 else 0),
          5, "the composed menu picture")

    open_box(world, menu, box)
    world.key("space")   # the back button has the focus
    until(lambda: not world.windows("#32770"), 5, "the dialog to close")

    row = TITLES[title]
    world.click(*world.centre(INSTALL))
    assert launcher.wait(5) == 0
    started = ("F:\\Quib\\" + row["gameExe"]) if installed else ("D:\\" + row["setupProgram"])
    assert [path for path, _ in world.started()] == [started]


def test_the_pointer_is_a_question_mark_over_the_product_boxes_and_an_arrow_elsewhere(world):
    arrow = world.standard_cursors()["arrow"]
    start_disc(world, 8)
    world.wait_menu()
    spots = [(world.centre(box), QUESTION_MARK) for box in HOT_SPOTS] + \
        [(world.centre(box), arrow) for box in (INSTALL, QUIT, BOX_ART)] + \
        [((5, 5), arrow), (world.on_screen(HOT_SPOTS[0])[:2], arrow)]   # a product box's corner is outside
    for (x, y), shape in spots:
        world.xdotool("mousemove", x, y)
        until(lambda: world.cursor()[:len(shape)] == shape, 3, f"the pointer's shape at {x}, {y}")
    world.key("Escape")


def looks(world, box, frames, act, seconds=1.5):
    """What a box of the screen shows while act() runs and after it: the
    time each of the named frames was seen, in seconds, and their order."""
    samples, done = [], threading.Event()

    def sample():
        while not done.is_set():
            samples.append((time.monotonic(), world.grab(box)))
    sampler = threading.Thread(target=sample)
    sampler.start()
    try:
        act()
        time.sleep(seconds)
    finally:
        done.set()
        sampler.join()
    seen, order = {}, []
    for (when, image), (after, _) in zip(samples, samples[1:]):
        name = next((n for n, frame in frames.items() if frame.tobytes() == image.tobytes()), None)
        seen[name] = seen.get(name, 0) + after - when
        if name and (not order or order[-1] != name):
            order.append(name)
    return seen, order


# How Play/Install or Quit is pressed (at its centre, or the box art's), the
# looks it must show, each for its pause, and what it starts.
PRESSES = [
    ("quick-click-quit", "QUIT", lambda w: w.click(*w.centre(QUIT)), ["activated"], []),
    ("return-after-move", "INSTALL", lambda w: w.xdotool("mousemove", *w.centre(INSTALL), "key", "Return"),
     ["pressed", "activated"], ["D:\\setup.exe"]),
    ("quick-click-box-art", "INSTALL", lambda w: w.click(*w.centre(BOX_ART)), ["activated"], ["D:\\setup.exe"]),
    ("tab-then-space", "QUIT", lambda w: w.key("Tab", "space"), ["pressed", "activated"], []),
    ("escape", "INSTALL", lambda w: w.key("Escape"), [], []),   # closes with no look at all
]
PAUSES = {"pressed": 0.25, "activated": 0.5}


@pytest.mark.parametrize("how, button, press, shown, starts", PRESSES, ids=[p[0] for p in PRESSES])
def test_a_pressed_button_shows_each_look_for_its_pause(world, how, button, press, shown, starts):
    launcher = start_disc(world, 0)
    world.wait_menu()
    frames = {look: bitmap(IDS[f"IDB_{button}_{look.upper()}"]) for look in PAUSES}
    seen, order = looks(world, world.on_screen({"QUIT": QUIT, "INSTALL": INSTALL}[button]), frames, lambda: press(world))
    if "click" in how:   # the pressed look may show while the mouse button is down
        order = [look for look in order if look != "pressed"]
    assert order == shown
    # A look lasts until Wine has drawn what follows it, which a busy machine
    # delays by a few hundred ms; a pause halved or doubled still fails.
    for look in shown:
        assert 0.6 < seen[look] / PAUSES[look] < 1.6, f"the {look} look was seen for {seen[look]:.3f} s"
    assert launcher.wait(5) == 0
    assert [run[0] for run in world.standin_log()] == starts


# A setup program that is missing, and one whose path does not fit 260
# characters (Nodial's on a hard disk, the launcher in a folder of 245): the
# message names it, the button is focused again, and the menu goes on.
FAILURES = [("missing", 0, "D:\\", "Error:2"), ("path-too-long", 7, folder("F", 245), "Error:206")]


@pytest.mark.parametrize("how, title, where, error", FAILURES, ids=[f[0] for f in FAILURES])
def test_a_failed_install_says_why_and_keeps_the_menu(world, how, title, where, error):
    row = TITLES[title]
    world.put(where + (row["discMarker"] if where == "D:\\" else row["hardDiskExe"]))
    world.xdotool("mousemove", 0, 0)
    launcher = world.start(world.put_launcher(where))
    menu = world.wait_menu()
    world.click(*world.centre(INSTALL))
    box = world.wait_window("#32770")
    assert (box["text"], box["owner"]) == ("We have a problem", menu["hwnd"])
    assert world.texts(box)[0xFFFF] == f"{error}  Could not run program.\n\n{where}{row['setupProgram']}"
    assert world.shows_at(PLAY_AT, IDS["IDB_INSTALL_ACTIVATED"]), "activated while the box is open"

    world.key("Return")
    until(lambda: world.shows_at(PLAY_AT, IDS["IDB_INSTALL_FOCUSED"]), 5, "the focused look again")
    assert launcher.running and world.standin_log() == []
    if how == "missing":   # put in place, it starts at the next try
        world.put_program(where + row["setupProgram"], "standin.exe")
        world.click(*world.centre(INSTALL))
        assert [path for path, _ in world.started()] == [where + row["setupProgram"]]
    else:
        world.click(*world.centre(QUIT))
    assert launcher.wait(5) == 0

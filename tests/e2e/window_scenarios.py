"""Scenarios about windows (full screen, the overlay, sizes), told apart from the rest
because they run on every desktop and with every video output. They find what they
check on the screen itself, so that they work where no tool can name a window
(Wayland): the test picture by its colours, subtitles by their white pixels."""

import os
import shutil
import subprocess
import time

STRIP, SPLITTER, STATUS, SEEK = 83, 4, 19, 17
PICTURE_W, PICTURE_H = 640, 272


def wait_until(what, test, timeout=20, pause=0.1):
    """Polls `test` until it answers something true; that answer."""
    end = time.time() + timeout
    while time.time() < end:
        answer = test()
        if answer:
            return answer
        time.sleep(pause)
    raise AssertionError(f"timed out waiting for {what}")


def picture_in_window(desktop, focus=True):
    """A screenshot with the movie playing in the window, and the picture's box. On
    Wayland the window is clicked on its picture, as a user would, so that it has the
    keyboard whatever the compositor did when it appeared."""
    def playing():
        shot = desktop.screenshot()
        box = shot.picture_box()
        # The window has taken the picture's size (Origin Size after opening): the picture
        # fills the panel's height, the picture's own less the tool bar's.
        if box and 450 <= box[2] - box[0] < 700 and box[3] - box[1] + 1 >= PICTURE_H - 29 - 2:
            return shot, box
        return None
    shot, box = wait_until("the picture in the window", playing)
    if focus and desktop.kind == "wayland":
        desktop.click((box[0] + box[2]) // 2, (box[1] + box[3]) // 2)
        time.sleep(0.2)
        shot = desktop.screenshot()  # the window active now
    return shot, box


def assert_no_overlay_outside_the_window(desktop, background, shot, box):
    """Everything that differs from the empty desktop belongs to the window around the
    picture: no overlay anywhere else, not even a small one in a corner."""
    changed = shot.changed_box(background, skip_top=desktop.panel_height)
    assert changed, "the window is on the screen"
    window_top = box[1] - 29 - SEEK - 60  # tool bar, seek bar, menu bar and frame
    window_bottom = box[3] + SPLITTER + STRIP + STATUS + 30
    centre = (box[0] + box[2]) / 2
    assert changed[0] >= centre - PICTURE_W / 2 - 40 and changed[2] <= centre + PICTURE_W / 2 + 40, \
        f"only the window changed the screen, across: {changed} around {box}"
    assert changed[1] >= window_top - 5 and changed[3] <= window_bottom, \
        f"only the window changed the screen, down: {changed} around {box}"


def bars_above(shot, box):
    """The rows of the menu bar and the tool bar above the picture, across the screen:
    the same pixels as long as the window stays where it is. (The picture's own
    colours move, and the seek bar's thumb.)"""
    top = box[1] - SEEK - 29 - 18
    return shot.region(0, top, shot.width, 29 + 18)


def subtitle_under(shot, box, rows):
    """The bright columns of the `rows` rows under the picture's box."""
    return shot.bright_columns(0, box[3] + 1, shot.width, rows)


def dialog_list(shot):
    """The middle of the language dialog's list, or None: white rows wider than anything
    white in the picture."""
    white = bytes([255, 255, 255]) * 180
    rows = []
    for y in range(0, shot.height, 2):
        at = shot.raw.find(white, y * shot.width * 3, (y + 1) * shot.width * 3)
        if at >= 0:
            rows.append((y, at // 3 % shot.width))
    if len(rows) <= 30:
        return None
    y, x = rows[len(rows) // 2]
    return x + 90, y


def enter_full_screen(desktop, name):
    """F4, then the screen once the picture reaches across its width (a compositor and
    a software OpenGL may take a while): centred, with no panel or frame left; the
    picture's box."""
    def spans(box):
        return box and box[0] <= 4 and box[2] >= desktop.width - 5

    desktop.keys(None, "F4")
    end = time.time() + 5
    while True:
        time.sleep(0.5)
        box = desktop.screenshot().picture_box()
        if time.time() > end or spans(box):
            break
    time.sleep(0.3)  # the overlay follows the picture
    shot = desktop.screenshot(keep_as=f"{name}-full-screen.png")
    box = shot.picture_box()
    expected = desktop.width * PICTURE_H // PICTURE_W
    assert box and box[0] <= 4 and box[2] >= desktop.width - 5, f"the picture spans the screen: {box}"
    assert abs(box[3] - box[1] + 1 - expected) <= 6, f"the picture keeps its shape: {box}"
    assert abs(box[1] - (desktop.height - expected) // 2) <= 6, f"and is centred on the screen: {box}"
    return shot, box


def check_pause_and_return(desktop, name, windowed, bars, background):
    """In full screen Space pauses and resumes; Esc returns to the window where it was,
    with the picture moving and no overlay left on the screen."""
    full = desktop.screenshot().picture_box()
    region = (0, full[1], desktop.width, full[3] - full[1])
    desktop.press("space")
    time.sleep(0.4)
    paused = desktop.screenshot().region(*region)
    time.sleep(1.0)
    assert desktop.screenshot().region(*region) == paused, "Space pauses"
    desktop.press("space")
    time.sleep(1.0)
    assert desktop.screenshot().region(*region) != paused, "Space again resumes"

    desktop.press("Escape")
    shot, box = picture_in_window(desktop)
    assert (box[1], box[3]) == (windowed[1], windowed[3]) and bars_above(shot, box) == bars, \
        f"back where it was: the picture at {box}, before {windowed}"
    first = shot.region(box[0], box[1], box[2] - box[0], box[3] - box[1])
    time.sleep(0.8)
    later = desktop.screenshot(keep_as=f"{name}-back.png")
    assert later.region(box[0], box[1], box[2] - box[0], box[3] - box[1]) != first, "the picture moves"
    assert_no_overlay_outside_the_window(desktop, background, later, box)


def write_movie(media, folder, name, srt=None, source="movie-640x272-25-30s.avi"):
    """A 640 x 272 movie at 25 fps (30 seconds long by default) in `folder`, with an SRT
    beside it when given."""
    os.makedirs(folder, exist_ok=True)
    path = os.path.join(folder, name + ".avi")
    shutil.copy(os.path.join(media, source), path)
    if srt:
        with open(os.path.join(folder, name + ".srt"), "w") as f:
            f.write(srt)
    return path


def scenario_full_screen_text(desktop, media, build):
    background = desktop.screenshot()
    srt = "1\n00:00:00,300 --> 00:00:29,500\nFULL SCREEN SUBTITLE\n"
    movie = write_movie(media, os.path.join(desktop.home, "films"), "film", srt)
    desktop.start_program(movie)
    shot, windowed = picture_in_window(desktop)
    bars = bars_above(shot, windowed)
    assert_no_overlay_outside_the_window(desktop, background, shot, windowed)
    if windowed[3] + SPLITTER + STRIP < desktop.height:  # a compositor may place it low
        assert wait_until("the subtitle in the strip",
                          lambda: subtitle_under(desktop.screenshot(), windowed, SPLITTER + STRIP)), \
            "the subtitle shows in the strip"
    full, box = enter_full_screen(desktop, f"{desktop.kind}-{desktop.output}-text")
    text = subtitle_under(full, box, 40)
    assert text, "the subtitle shows under the picture in full screen"
    assert abs((text[0] + text[1]) / 2 - desktop.width / 2) < 8, f"centred on the screen: {text}"
    check_pause_and_return(desktop, f"{desktop.kind}-{desktop.output}-text", windowed, bars, background)


def scenario_full_screen_vobsub(desktop, media, build):
    background = desktop.screenshot()
    folder = os.path.join(desktop.home, "dvd")
    movie = write_movie(media, folder, "film")
    subprocess.run([os.path.join(build, "tests", "support", "make_vobsub_set"), os.path.join(folder, "film"),
                    "whole"], check=True)
    desktop.start_program(movie)
    _, windowed = picture_in_window(desktop, focus=False)
    where = wait_until("the language dialog", lambda: dialog_list(desktop.screenshot()))
    if desktop.kind == "wayland":
        desktop.click(*where)  # the first language, and the dialog has the keyboard
    desktop.keys(None if desktop.kind == "wayland" else desktop.wait_window("^Select Language$"), "Return")  # OK
    wait_until("the language dialog answered", lambda: not dialog_list(desktop.screenshot()), timeout=5)
    # The set shows a 200-pixel box from 0.5 to 29.5 seconds.
    shot, windowed = picture_in_window(desktop)
    bars = bars_above(shot, windowed)
    if windowed[3] + SPLITTER + STRIP < desktop.height:  # a compositor may place it low
        wait_until("the picture in the strip",
                   lambda: subtitle_under(desktop.screenshot(), windowed, SPLITTER + STRIP))
    full, box = enter_full_screen(desktop, f"{desktop.kind}-{desktop.output}-vobsub")
    picture = subtitle_under(full, box, 60)
    assert picture and 195 <= picture[1] - picture[0] + 1 <= 200, f"the 200-pixel picture in full screen: {picture}"
    assert abs((picture[0] + picture[1]) / 2 - desktop.width / 2) < 4, f"centred on the screen: {picture}"
    check_pause_and_return(desktop, f"{desktop.kind}-{desktop.output}-vobsub", windowed, bars, background)


def scenario_frame_resize_keeps_the_height_rule(desktop, media, build):
    """The window manager's own resize of the frame, by its corner grip: when the drag
    ends the height follows the width, and the whole status bar is visible."""
    movie = write_movie(media, os.path.join(desktop.home, "films"), "film")
    desktop.start_program(movie)
    picture_in_window(desktop)
    window = desktop.main_window()

    def client():
        info = subprocess.run(["xwininfo", "-id", window], env=desktop.tool_env(), capture_output=True,
                              text=True).stdout
        value = lambda key: int(info.split(key)[1].split()[0])
        return value("Absolute upper-left X:"), value("Absolute upper-left Y:"), value("Width:"), value("Height:")

    x, y, w, h = client()
    menu = h - (PICTURE_H + STATUS + STRIP + SPLITTER + SEEK)
    grip_x, grip_y = x + w - 3, y + h + 3  # the frame's bottom-right grip
    desktop.xdotool("mousemove", "--sync", str(grip_x), str(grip_y))
    desktop.xdotool("mousedown", "1")
    for step in range(1, 13):
        desktop.xdotool("mousemove", "--sync", str(grip_x + 10 * step), str(grip_y + 3 * step))
        time.sleep(0.05)
    time.sleep(0.5)  # held still before the button is let go
    desktop.xdotool("mouseup", "1")

    def rule_holds():
        width, height = client()[2:]
        expected = round(PICTURE_H * width / PICTURE_W) + STATUS + STRIP + SPLITTER + SEEK + menu
        return width != w and height == expected
    wait_until("the height rule after the drag", rule_holds, timeout=5)
    x, y, w, h = client()
    shot = desktop.screenshot(keep_as=f"{desktop.kind}-frame-resize.png")
    # The status bar's 19 rows are the client area's last ones: light, under the black strip.
    assert max(shot.pixel(x + 3, y + h - STATUS - 1)) < 40, "the strip ends where the status bar starts"
    for row in range(y + h - STATUS + 2, y + h - 2):
        assert min(shot.pixel(x + 60, row)) > 150, f"the status bar is whole (row {row})"


# Every desktop, every video output.
SCENARIOS = {
    "full_screen_text": scenario_full_screen_text,
    "full_screen_vobsub": scenario_full_screen_vobsub,
}
# Where only a window manager's frame shows what is checked.
WINDOW_MANAGER_SCENARIOS = {
    "frame_resize_keeps_the_height_rule": scenario_frame_resize_keeps_the_height_rule,
}

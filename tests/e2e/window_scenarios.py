"""Scenarios about windows (full screen, the overlay, sizes), told apart from the rest
because they run on every desktop and with every video output. They find what they
check on the screen itself, so that they work where no tool can name a window
(Wayland): the test picture by its colours, subtitles by their white pixels."""

import os
import re
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
    seen = []

    def playing():
        shot = desktop.screenshot()
        box = shot.picture_box()
        # The window has taken the picture's size (Origin Size after opening): the picture
        # fills the panel, as high as the picture itself, and stays where it is (a frame
        # drawn halfway, or a window still moving, gives another box).
        fits = box and 450 <= box[2] - box[0] < 700 and PICTURE_H - 3 <= box[3] - box[1] + 1 <= PICTURE_H + 1
        settled = fits and seen and seen[-1] == box
        seen.append(box)
        return (shot, box) if settled else None
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
    # Tool bar, seek bar, menu bar and frame; and the shadow a window manager may cast.
    window_top = box[1] - 29 - SEEK - 60 - desktop.shadow
    window_bottom = box[3] + SPLITTER + STRIP + STATUS + 30 + desktop.shadow
    centre = (box[0] + box[2]) / 2
    across = PICTURE_W / 2 + 40 + desktop.shadow
    assert changed[0] >= centre - across and changed[2] <= centre + across, \
        f"only the window changed the screen, across: {changed} around {box}"
    assert changed[1] >= window_top - 5 and changed[3] <= window_bottom, \
        f"only the window changed the screen, down: {changed} around {box}"


def bars_above(shot, box):
    """The rows of the menu bar and the tool bar above the picture, as wide as the
    picture: the same pixels as long as the window stays where it is. (The picture's own
    colours move, and the seek bar's thumb; a window manager's shadow beside the window
    follows its focus.)"""
    top = box[1] - SEEK - 29 - 18
    return shot.region(box[0], top, box[2] - box[0], 29 + 18)


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


def assert_opaque(shot, box):
    """The picture in the window hides what lies behind it (a see-through one adds the
    desktop's colour): the test picture's red bar, found along the picture's last rows,
    is pure red, and its black columns 40 pixels left of that bar are black."""
    y = box[3] - 4
    red_x = next((x for x in range(box[0], box[2]) if (lambda r, g, b: r > 150 and r - g > 100)(*shot.pixel(x, y))),
                 None)
    assert red_x is not None, f"the red bar in the picture's last rows: {box}"
    red, black = shot.pixel(red_x + 6, y), shot.pixel(red_x - 40, y)
    assert red[0] > 200 and max(red[1:]) < 60, f"the red bar is red: {red}"
    assert max(black) < 40, f"the black columns are black: {black}"


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

    def still():
        """The picture, when it stands still over half a second."""
        first = desktop.screenshot().region(*region)
        time.sleep(0.5)
        return first if desktop.screenshot().region(*region) == first else None
    desktop.press("space")
    paused = wait_until("the picture to stand still", still, timeout=10)
    time.sleep(1.0)
    assert desktop.screenshot().region(*region) == paused, "Space pauses"
    desktop.press("space")
    wait_until("the picture to move again", lambda: desktop.screenshot().region(*region) != paused, timeout=10)

    desktop.press("Escape")
    shot, box = picture_in_window(desktop)
    assert (box[1], box[3]) == (windowed[1], windowed[3]) and bars_above(shot, box) == bars, \
        f"back where it was: the picture at {box}, before {windowed}"
    assert_opaque(shot, box)
    first = shot.region(box[0], box[1], box[2] - box[0], box[3] - box[1])
    time.sleep(0.8)
    later = desktop.screenshot(keep_as=f"{name}-back.png")
    assert later.region(box[0], box[1], box[2] - box[0], box[3] - box[1]) != first, "the picture moves"
    assert_no_overlay_outside_the_window(desktop, background, later, box)


def write_movie(media, folder, name, srt=None, source="movie-640x272-25-30s.avi"):
    """A 640 x 272 movie at 25 fps (30 seconds long by default) in `folder`, with an SRT
    beside it when given; named `name` and the source's extension."""
    os.makedirs(folder, exist_ok=True)
    path = os.path.join(folder, name + os.path.splitext(source)[1])
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


def rows_where(shot, left, top, width, height, close):
    """The rows of a region holding a pixel whose colour `close` accepts."""
    rows = []
    for y in range(max(top, 0), min(top + height, shot.height)):
        row = shot.raw[(y * shot.width + left) * 3:(y * shot.width + left + width) * 3]
        if any(close(row[i], row[i + 1], row[i + 2]) for i in range(0, len(row), 3)):
            rows.append(y)
    return rows


def second_above_first(shot, centre, top, height):
    """Whether the second subtitle's pale yellow lines lie above the first's white lines or
    picture in the rows from `top`, across the middle of what is centred at `centre`; both
    there."""
    left, width = centre - 100, 200
    yellow = rows_where(shot, left, top, width, height,
                        lambda r, g, b: r > 235 and 205 < g < 245 and 80 < b < 140)
    white = rows_where(shot, left, top, width, height, lambda r, g, b: min(r, g, b) > 235)
    return bool(yellow and white and yellow[-1] < white[0])


def scenario_second_subtitle(desktop, media, build):
    """A second subtitle remembered with the movie shows above the first, in its own
    colour, in the strip (grown to hold both) and in the full-screen overlay."""
    folder = os.path.join(desktop.home, "films")
    movie = write_movie(media, folder, "film", "1\n00:00:00,300 --> 00:00:29,500\nFIRST LINE\n")
    remember_with_second(desktop, movie, os.path.join(folder, "film.srt"))
    check_second_above_first(desktop, "second")


def scenario_second_subtitle_over_pictures(desktop, media, build):
    """A second subtitle remembered with the movie shows above the pictures of a VobSub set,
    in the strip and in the full-screen overlay."""
    folder = os.path.join(desktop.home, "dvd")
    movie = write_movie(media, folder, "film")
    subprocess.run([os.path.join(build, "tests", "support", "make_vobsub_set"), os.path.join(folder, "film"),
                    "whole"], check=True)
    remember_with_second(desktop, movie, os.path.join(folder, "film.sub"))
    check_second_above_first(desktop, "second-over-pictures")


def remember_with_second(desktop, movie, first):
    """The movie remembered with `first` (its first language, when a VobSub set) and a
    second subtitle beside it, each line from 0.3 s to 29.5 s."""
    second = os.path.join(os.path.dirname(movie), "film.fr.srt")
    with open(second, "w") as f:
        f.write("1\n00:00:00,300 --> 00:00:29,500\nSECOND LINE\n")
    state = os.path.join(desktop.home, ".local", "state", "captivo")
    os.makedirs(state, exist_ok=True)
    with open(os.path.join(state, "timing"), "w") as f:
        f.write("captivo timing 1\n" + "\t".join([
            movie, str(os.path.getsize(movie)), first, "0", "0", "25", "0",
            "", "", second, "0", "0", "25", ""]) + "\n")
    desktop.start_program(movie)


def check_second_above_first(desktop, name):
    """The second subtitle's lines above the first's, in the strip and in full screen."""
    shot, windowed = picture_in_window(desktop)
    if windowed[3] + SPLITTER + STRIP < desktop.height:  # a compositor may place it low
        wait_until("both subtitles in the strip", lambda: second_above_first(
            desktop.screenshot(keep_as=f"{name}-window.png"), (windowed[0] + windowed[2]) // 2,
            windowed[3] + SPLITTER + 2, STRIP + 40))  # the strip grown, not the status bar
    full, box = enter_full_screen(desktop, f"{desktop.kind}-{desktop.output}-{name}")
    assert second_above_first(full, desktop.width // 2, box[3] + 1, 173), \
        "both subtitles under the picture in full screen"
    desktop.press("Escape")


def make_track_movie(folder):
    """30 s of a plain blue 640 x 272 picture with two sounds and two SubRip tracks, English
    (default) and French, each one line from 0.3 s to 29.5 s: a white line the playback
    engine drew would show in the picture."""
    os.makedirs(folder, exist_ok=True)
    lines = []
    for name, text in (("en.srt", "THE ENGLISH TRACK'S LONG LINE"), ("fr.srt", "FRANCAIS")):
        lines.append(os.path.join(folder, name))
        with open(lines[-1], "w") as f:
            f.write(f"1\n00:00:00,300 --> 00:00:29,500\n{text}\n")
    movie = os.path.join(folder, "tracks.mkv")
    subprocess.run(["ffmpeg", "-nostdin", "-loglevel", "error", "-y",
                    "-f", "lavfi", "-i", "color=c=0x0000c0:size=640x272:rate=25",
                    "-f", "lavfi", "-i", "sine=frequency=440", "-f", "lavfi", "-i", "sine=frequency=660",
                    "-i", lines[0], "-i", lines[1], "-t", "30",
                    "-map", "0", "-map", "1", "-map", "2", "-map", "3", "-map", "4",
                    "-c:v", "libx264", "-preset", "ultrafast", "-c:a", "aac", "-c:s", "srt",
                    "-metadata:s:a:0", "language=eng", "-metadata:s:a:1", "language=fre",
                    "-metadata:s:s:0", "language=eng", "-metadata:s:s:1", "language=fre",
                    "-disposition:a:0", "default", "-disposition:a:1", "0",
                    "-disposition:s:0", "default", "-disposition:s:1", "0", movie], check=True)
    return movie



def scenario_full_screen_track(desktop, media, build):
    """A movie's own default track in the language of the user's locale: its line in the
    strip and never drawn into the picture, and in the full-screen overlay."""
    movie = make_track_movie(os.path.join(desktop.home, "tracks"))
    desktop.start_program(movie, extra_env={"LANG": "en_US.UTF-8"})
    shot, windowed = picture_in_window(desktop)
    # The engine would draw a line in the picture's lowest rows (the pointer, where a click
    # gave the window the keyboard, stays in the middle).
    lowest = windowed[3] - (windowed[3] - windowed[1]) // 3
    assert not shot.bright_columns(windowed[0], lowest, windowed[2] - windowed[0], windowed[3] - lowest), \
        "no line drawn into the picture"
    if windowed[3] + SPLITTER + STRIP < desktop.height:  # a compositor may place it low
        wait_until("the track's line in the strip",
                   lambda: subtitle_under(desktop.screenshot(), windowed, SPLITTER + STRIP))
    full, box = enter_full_screen(desktop, f"{desktop.kind}-{desktop.output}-track")
    assert subtitle_under(full, box, 40), "the track's line in the full-screen overlay"
    desktop.press("Escape")
    picture_in_window(desktop)


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

    def status_bar_whole():
        """The status bar's 19 rows are the client area's last ones: light, under the black
        strip (once the program has drawn itself at the new size)."""
        shot = desktop.screenshot()
        strip_ends = max(shot.pixel(x + 3, y + h - STATUS - 1)) < 40
        return strip_ends and all(min(shot.pixel(x + 60, row)) > 150 for row in range(y + h - STATUS + 2, y + h - 2))
    wait_until("the strip ending where the whole status bar starts", status_bar_whole, timeout=5)
    desktop.screenshot(keep_as=f"{desktop.kind}-frame-resize.png")


def engine_picture(log):
    """The last picture the engine drew, from its log: ((width, height) it filled,
    (horizontal, vertical) scale), or None before the first."""
    text = open(log, errors="replace").read() if os.path.exists(log) else ""
    shown = re.findall(r"Video display: \(0, 0\) \d+x\d+ -> \((\d+), (\d+)\) (\d+)x(\d+)", text)
    scales = re.findall(r"Video scale: ([0-9.]+)/([0-9.]+)", text)
    if not shown or not scales:
        return None
    x, y, width, height = map(int, shown[-1])
    return (x, y, width, height), tuple(map(float, scales[-1]))


def wait_for_picture(desktop, log, width, height, what, timeout=15):
    """Waits until the engine fills exactly a `width` x `height` area at the panel's corner;
    its scale."""
    def drawn():
        picture = engine_picture(log)
        return picture if picture and picture[0] == (0, 0, width, height) else None
    try:
        return wait_until(what, drawn, timeout=timeout)[1]
    except AssertionError:
        raise AssertionError(f"{what}: the engine drew {engine_picture(log)}") from None


def tool_button(desktop, box, origin, left):
    """Where the tool button `left` pixels into the tool bar is now, for the window whose
    picture was at `box` when its client area was at `origin`: from where the window is now
    where that can be asked (a window manager may have moved it to fit the screen), else
    where it was."""
    row = box[1] - SEEK - 29 + 13
    if origin:
        now = desktop.client_origin()
        return now[0] + left + 13, now[1] + row - origin[1]
    return box[0] + left + 13, row


def view_size(desktop, button, keys, log, width, height, what):
    """A View command, until the engine fills `width` x `height`; its scale. Its tool
    button (`button`: a function giving where it is now) is clicked where a pointer reaches
    the window; on sway, which has no pointer here, the menu takes its keys (its first item
    active on opening). A menu opened while the window still draws itself at a new size
    (OpenGL) may lose a key before it has the keyboard: the command goes again then, three
    times at most, so that a command that does nothing still fails."""
    for attempt in range(3):
        if desktop.has_pointer:
            desktop.click(*button())
        else:
            desktop.keys(None, *(("Escape",) if attempt else ()), *keys)  # a menu left open closes first
        try:
            return wait_for_picture(desktop, log, width, height, what, timeout=5)
        except AssertionError:
            if attempt == 2:
                raise


def scenario_picture_at_its_own_size(desktop, media, build):
    """After opening, Origin Size and Double Size, the picture panel is the picture's size
    times the factor: the engine fills it without scaling or black bars."""
    log = os.path.join(desktop.home, "engine.log")
    movie = write_movie(media, os.path.join(desktop.home, "films"), "film")
    desktop.start_program(movie, extra_env={"CAPTIVO_MPV_LOG": log})
    assert wait_for_picture(desktop, log, 640, 272, "the picture at its size after opening") == (1.0, 1.0)
    _, box = picture_in_window(desktop)  # on the screen too, as high as the picture
    origin = desktop.client_origin()
    double, single = (lambda: tool_button(desktop, box, origin, 205)), (lambda: tool_button(desktop, box, origin, 178))
    assert view_size(desktop, double, ("alt+v", "Down", "Return"), log, 1280, 544, "Double Size") == (2.0, 2.0)
    assert view_size(desktop, single, ("alt+v", "Return"), log, 640, 272, "Origin Size") == (1.0, 1.0)
    desktop.stop_program()
    # A bigger picture: its own size, on a screen where the window fits.
    big = write_movie(media, os.path.join(desktop.home, "films"), "big", source="movie-1280x720-23976.mp4")
    os.remove(log)
    desktop.start_program(big, extra_env={"CAPTIVO_MPV_LOG": log})
    assert wait_for_picture(desktop, log, 1280, 720, "the 1280 x 720 picture after opening") == (1.0, 1.0)


scenario_picture_at_its_own_size.screen = (1600, 1200)


def scenario_full_screen_returns_to_its_place(desktop, media, build):
    """Four times F4 and Esc: the window comes back where it was each time, at the
    picture's size. Where the window's place can be asked (X, sway) it is asked; on a
    compositor that tells nobody, the picture's place on the screen says it."""
    log = os.path.join(desktop.home, "engine.log")
    movie = write_movie(media, os.path.join(desktop.home, "films"), "film")
    desktop.start_program(movie, extra_env={"CAPTIVO_MPV_LOG": log})
    wait_for_picture(desktop, log, 640, 272, "the picture at its size after opening")
    _, windowed = picture_in_window(desktop)
    place = desktop.client_origin()
    for cycle in range(1, 5):
        enter_full_screen(desktop, f"{desktop.kind}-{desktop.output}-cycle")
        desktop.press("Escape")
        _, box = picture_in_window(desktop)
        if place:
            assert desktop.client_origin() == place, f"cycle {cycle}: the window at {desktop.client_origin()}, before {place}"
        else:
            assert (box[1], box[3]) == (windowed[1], windowed[3]), f"cycle {cycle}: the picture at {box}, before {windowed}"
        assert wait_for_picture(desktop, log, 640, 272, f"cycle {cycle}: the picture at its size") == (1.0, 1.0)


# Every desktop, every video output.
SCENARIOS = {
    "full_screen_text": scenario_full_screen_text,
    "full_screen_vobsub": scenario_full_screen_vobsub,
    "full_screen_track": scenario_full_screen_track,
    "picture_at_its_own_size": scenario_picture_at_its_own_size,
    "full_screen_returns_to_its_place": scenario_full_screen_returns_to_its_place,
    "second_subtitle": scenario_second_subtitle,
    "second_subtitle_over_pictures": scenario_second_subtitle_over_pictures,
}
# Where only a window manager's frame shows what is checked.
WINDOW_MANAGER_SCENARIOS = {
    "frame_resize_keeps_the_height_rule": scenario_frame_resize_keeps_the_height_rule,
}

#!/usr/bin/env python3
"""Captivo driven as a user drives it, on private desktops: every scenario checks what a
user would see.

    run_e2e.py BUILD_DIR [SCENARIO...]             on a bare X server, software output
    run_e2e.py BUILD_DIR --desktop KIND [SCENARIO...]
                                                   the window scenarios on KIND (xvfb,
                                                   openbox, mutter, wayland, sway), with
                                                   each video output
"""

import configparser
import os
import re
import shutil
import subprocess
import sys
import time
import traceback

import window_scenarios
from desktop import KINDS as X_KINDS, WINDOW_MANAGERS, Desktop
from sway_desktop import SwayDesktop

KINDS = X_KINDS + ("sway",)

BUILD = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
MEDIA = os.path.join(BUILD, "media")
ARTEFACTS = os.path.join(BUILD, "e2e-artefacts")
STATUS, STRIP, SPLITTER, SEEK, TOOLBAR = 19, 83, 4, 17, 29
# The client area (under the menu bar) at Origin Size of a 640 x 272 movie.
CLIENT_HEIGHT = TOOLBAR + SEEK + 272 + SPLITTER + STRIP + STATUS


def read_settings(desktop):
    parser = configparser.ConfigParser()
    parser.read(os.path.join(desktop.program_dir, "set.ini"))
    return parser


def layout(desktop, client_height):
    """Screen rectangles of the picture panel and the strip, from the window's geometry."""
    x, y, w, h = desktop.geometry()
    bottom = y + h
    strip = (x, bottom - STATUS - STRIP, w, STRIP)
    picture_top = y + (h - client_height) + TOOLBAR + SEEK
    picture = (x, picture_top, w, strip[1] - SPLITTER - picture_top)
    return picture, strip


def write_movie(folder, name, srt=None):
    """The 12-second 640 x 272 test movie in `folder`, with an SRT beside it when given."""
    return window_scenarios.write_movie(MEDIA, folder, name, srt, "movie-640x272-25.avi")


def close_through_menu(desktop):
    """Movie > Exit. A slow build on a busy machine may open the menu after the "e" came:
    then the menu stays open, and is closed and chosen from again, given more time."""
    for opening in (0.5, 2.0):
        desktop.keys(None, "alt+m")
        time.sleep(opening)
        desktop.press("e")
        ended = desktop.wait_exit()
        if ended is not None:
            break
        desktop.press("Escape", "Escape")
    assert ended == 0, "the program did not end after Exit"


def scenario_first_start_and_settings(desktop):
    desktop.start_program()
    assert not os.path.exists(os.path.join(desktop.program_dir, "set.ini"))
    pid = desktop.app.pid
    close_through_menu(desktop)
    settings = read_settings(desktop)
    assert settings["Setting"]["OnTop"] == "1", "first start is on top"
    assert settings["LastProcessHandle"]["Handle"] == str(pid)
    # A second start reads the file: switched off there, it stays off.
    with open(os.path.join(desktop.program_dir, "set.ini"), "w") as f:
        f.write("[Setting]\nOnTop=0\n[Window]\nLeft=3\n")
    desktop.start_program()
    close_through_menu(desktop)
    settings = read_settings(desktop)
    assert settings["Setting"]["OnTop"] == "0"
    assert settings["Window"]["Left"] == "3", "other keys are kept"


def scenario_movie_with_companion_srt(desktop):
    srt = ("1\n00:00:01,000 --> 00:00:05,000\nFIRST SUBTITLE\n\n"
           "2\n00:00:07,000 --> 00:00:11,000\nSECOND\n")
    movie = write_movie(os.path.join(desktop.home, "films"), "film", srt)
    desktop.start_program()
    desktop.open_file_dialog("ctrl+o", movie)
    opened = time.time()
    time.sleep(0.5)
    x, y, w, h = desktop.geometry()
    assert w == 640, f"Origin size after opening: width {w}"
    picture, strip = layout(desktop, CLIENT_HEIGHT)

    def at(seconds, name):
        time.sleep(max(0, opened + seconds - time.time()))
        return desktop.screenshot(keep_as=name)

    shot = at(3.0, "movie-first-subtitle.png")
    assert shot.colourful(*picture) > 0.3, "the picture plays in the panel"
    text = shot.bright_columns(*strip)
    assert text, "the first subtitle shows in the strip"
    centre = (text[0] + text[1]) / 2
    assert abs(centre - (strip[0] + strip[2] / 2)) < 6, f"centred: {text} in {strip}"
    shot = at(6.0, "movie-between-subtitles.png")
    assert not shot.bright_columns(*strip), "the strip is black between subtitles"
    shot = at(9.0, "movie-second-subtitle.png")
    second = shot.bright_columns(*strip)
    assert second and second[1] - second[0] < text[1] - text[0], "the shorter second subtitle"


def scenario_bad_files_show_boxes(desktop):
    folder = os.path.join(desktop.home, "bad")
    os.makedirs(folder)
    unknown = os.path.join(folder, "notes.txt")
    with open(unknown, "w") as f:
        f.write("What is this?\n")
    desktop.start_program()
    desktop.open_file_dialog("ctrl+l", unknown)
    box = desktop.wait_window("^Error$")
    desktop.screenshot(keep_as="unknown-format-box.png")
    desktop.keys(box, "Return")
    desktop.open_file_dialog("ctrl+o", os.path.join(MEDIA, "random.avi"))
    box = desktop.wait_window("^Error$")
    desktop.keys(box, "Return")
    time.sleep(0.3)
    assert desktop.app.poll() is None, "the program goes on"
    movie = write_movie(folder, "good")
    desktop.open_file_dialog("ctrl+o", movie)
    time.sleep(1.5)
    picture, _ = layout(desktop, CLIENT_HEIGHT)
    assert desktop.screenshot().colourful(*picture) > 0.3, "a good movie still plays"


def scenario_vobsub_movie_with_language_dialog(desktop):
    folder = os.path.join(desktop.home, "dvd")
    movie = write_movie(folder, "film")
    subprocess.run([os.path.join(BUILD, "tests", "support", "make_vobsub_set"), os.path.join(folder, "film")],
                   check=True)
    desktop.start_program()
    desktop.open_file_dialog("ctrl+o", movie)
    dialog = desktop.wait_window("^Select Language$")
    opened = time.time()
    desktop.screenshot(keep_as="vobsub-language-dialog.png")
    desktop.keys(dialog, "Down", "Return")  # the first language, then OK
    _, strip = layout(desktop, CLIENT_HEIGHT)
    time.sleep(max(0, opened + 3 - time.time()))
    shot = desktop.screenshot(keep_as="vobsub-picture.png")
    box = shot.bright_columns(*strip)
    assert box, "the picture shows in the strip"
    assert 195 <= box[1] - box[0] + 1 <= 200, f"the 200-pixel box: {box}"
    assert abs((box[0] + box[1]) / 2 - (strip[0] + strip[2] / 2)) < 3, "centred in the strip"
    assert min(shot.pixel(box[0] + 50, strip[1] + 10)) > 200, "white inside"
    time.sleep(max(0, opened + 6 - time.time()))
    assert not desktop.screenshot().bright_columns(*strip), "black between the pictures"


def srt_entry(number, start, end, text):
    clock = lambda t: f"{int(t) // 3600:02}:{int(t) // 60 % 60:02}:{int(t) % 60:02},{int(t * 1000) % 1000:03}"
    return f"{number}\n{clock(start)} --> {clock(end)}\n{text}\n\n"


def open_movie(desktop, srt=None, name="film"):
    """Opens a 12-second 640 x 272 movie through the Play File dialog; its start time."""
    movie = write_movie(os.path.join(desktop.home, "films"), name, srt)
    desktop.open_file_dialog("ctrl+o", movie)
    # Playing once the window has taken the picture's width.
    end = time.time() + 5
    while desktop.geometry()[2] != 640 and time.time() < end:
        time.sleep(0.02)
    opened = time.time()
    time.sleep(0.2)
    return opened


def strip_at(desktop, opened, seconds, name=None):
    """Whether the strip shows a subtitle `seconds` into the movie."""
    time.sleep(max(0, opened + seconds - time.time()))
    _, strip = layout(desktop, CLIENT_HEIGHT)
    return bool(desktop.screenshot(keep_as=name).bright_columns(*strip))


def scenario_synchronize_moves_subtitles_while_open(desktop):
    desktop.start_program()
    opened = open_movie(desktop, srt_entry(1, 8, 9, "OFFSET"))
    desktop.keys(None, "alt+s", "Down", "Down", "Down", "Return")  # Synchronize Subtitle
    dialog = desktop.wait_window("^Synchronize$")
    # A second ahead: Page Up steps the milliseconds by ten, a hundred times.
    desktop.xdotool("windowfocus", "--sync", dialog)
    desktop.xdotool("key", "--repeat", "100", "--delay", "5", "Prior")
    assert time.time() - opened < 7, "the offset was set in time"
    assert strip_at(desktop, opened, 7.5, "synchronize-plus-one-second.png"), "a second early"
    assert not strip_at(desktop, opened, 8.5), "and gone a second early"
    desktop.keys(dialog, "Return")


def scenario_frame_rate_menu(desktop):
    desktop.start_program()
    opened = open_movie(desktop, srt_entry(1, 8, 9, "RATE"))
    # Subtitle FrameRate > 30.000: 8 to 9 seconds become frames 240 to 270, 9.6 to 10.8
    # seconds into this 25 fps movie; at the movie's own rate it would be gone by then.
    desktop.keys(None, "alt+s", "Down", "Down", "Right", "Down", "Down", "Down", "Down", "Down", "Return")
    assert strip_at(desktop, opened, 10.2, "frame-rate-30.png"), "shown at the chosen rate"


def scenario_pause_play_stop_and_seek(desktop):
    desktop.start_program()
    opened = open_movie(desktop, srt_entry(1, 8.5, 11, "SEEK"))
    picture, _ = layout(desktop, CLIENT_HEIGHT)
    desktop.keys(None, "ctrl+p")
    time.sleep(0.3)
    paused = desktop.screenshot().region(*picture)
    time.sleep(1.2)
    assert desktop.screenshot().region(*picture) == paused, "Pause stops the picture"
    desktop.keys(None, "ctrl+p")
    time.sleep(1.2)
    assert desktop.screenshot().region(*picture) != paused, "Pause again resumes"
    desktop.keys(None, "ctrl+s")
    time.sleep(0.5)
    stopped = desktop.screenshot().region(*picture)
    time.sleep(1.0)
    assert desktop.screenshot().region(*picture) == stopped, "Stop stops"
    # The thumb, found where the bar's filled part ends, dragged to three quarters; then Play
    # on the tool bar.
    x, y, w, h = desktop.geometry()
    menu = h - CLIENT_HEIGHT
    seek_y = y + menu + TOOLBAR + SEEK // 2
    shot = desktop.screenshot()
    filled = [px for px in range(x, x + w) if (lambda r, g, b: b > r + 60)(*shot.pixel(px, seek_y))]
    thumb = (filled[-1] if filled else x) + 6
    desktop.xdotool("mousemove", "--sync", str(thumb), str(seek_y))
    desktop.xdotool("mousedown", "1")
    desktop.xdotool("mousemove", "--sync", str(x + 300), str(seek_y))
    desktop.xdotool("mousemove", "--sync", str(x + int(w * 0.75)), str(seek_y))
    desktop.xdotool("mouseup", "1")
    desktop.click(x + 27 + 13, y + menu + 13)
    _, strip = layout(desktop, CLIENT_HEIGHT)
    time.sleep(0.6)
    assert desktop.screenshot(keep_as="after-seek.png").bright_columns(*strip), "the movie went to 9 s"


def scenario_origin_and_double_size(desktop):
    desktop.start_program()
    open_movie(desktop)
    x, y, w, h = desktop.geometry()
    menu = h - CLIENT_HEIGHT
    desktop.click(x + 205 + 13, y + menu + 13)  # Double Size
    time.sleep(0.5)
    _, _, w2, h2 = desktop.geometry()
    assert (w2, h2 - menu) == (1280, CLIENT_HEIGHT + 272), f"double size: {w2} x {h2 - menu}"
    desktop.click(x + 178 + 13, y + menu + 13)  # Origin Size
    time.sleep(0.5)
    _, _, w1, h1 = desktop.geometry()
    assert (w1, h1 - menu) == (640, CLIENT_HEIGHT), f"origin size: {w1} x {h1 - menu}"


def scenario_continued_play_over_two_parts(desktop):
    folder = os.path.join(desktop.home, "films")
    srt = srt_entry(1, 1, 3, "PART ONE") + srt_entry(2, 13, 16, "PART TWO")
    with open(os.path.join(desktop.home, "whole.srt"), "w") as f:
        f.write(srt)
    desktop.start_program()
    open_movie(desktop, name="part1")
    desktop.open_file_dialog("ctrl+l", os.path.join(desktop.home, "whole.srt"))
    time.sleep(1.0)
    second = write_movie(folder, "part2")
    desktop.keys(None, "alt+m", "Down", "Return")  # Continued Play File
    dialog = desktop.wait_window("^Play DivX Movie$")
    time.sleep(0.3)
    desktop.type_text(dialog, second)
    desktop.keys(dialog, "Return")
    opened = time.time()
    # The second part's first seconds are the whole movie's 13th and on.
    assert strip_at(desktop, opened, 2.0, "continued-part-two.png"), "the subtitle carries on"


def scenario_open_with(desktop):
    movie = write_movie(os.path.join(desktop.home, "films"), "film", srt_entry(1, 1, 5, "OPENED"))
    desktop.start_program(movie)
    opened = time.time()
    assert strip_at(desktop, opened, 3.0, "open-with.png"), "started with a file, it plays it"


def scenario_two_point_timing(desktop):
    """Subtitles made for 25 fps over a 23.976 movie: two lines marked 72 seconds apart fix
    the rate, and a late line then shows at its moment, where the offset alone misses it."""
    srt = srt_entry(1, 24, 25, "FIRST") + srt_entry(2, 96, 97, "SECOND") + srt_entry(3, 115, 116, "LATE")
    movie = window_scenarios.write_movie(MEDIA, os.path.join(desktop.home, "films"), "drift", srt,
                                         "movie-640x272-23976-120s.mp4")
    desktop.start_program(movie)
    end = time.time() + 5
    while desktop.geometry()[2] != 640 and time.time() < end:
        time.sleep(0.02)

    def step(*keys):
        for key in keys:
            desktop.keys(None, key)
            time.sleep(0.3)

    # Paused at the start, every position below is an exact frame: 5 seconds are 120 frames.
    step("space", "Down")
    step(*["Right"] * 5)  # frame 600, where line 1 (24 s at 25 fps) is spoken
    step("ctrl+shift+p")
    step(*["Right"] * 15)  # frame 2400, line 2 (96 s)
    step("ctrl+shift+p")
    _, strip = layout(desktop, CLIENT_HEIGHT)
    step(*["Right"] * 3)  # frame 2760: between the lines
    assert not desktop.screenshot().bright_columns(*strip), "nothing between the lines"
    step("Right")  # frame 2880: 5 frames into line 3 (115 s: frame 2875)
    assert desktop.screenshot(keep_as="two-point-timing.png").bright_columns(*strip), \
        "the late line shows at its moment"



def scenario_movie_tracks(desktop):
    """The movie's own default track shows in the strip and never in the picture; the
    menus switch the subtitle and the audio track; the choice comes back with the movie."""
    movie = window_scenarios.make_track_movie(os.path.join(desktop.home, "tracks"))
    with open(os.path.join(desktop.program_dir, "set.ini"), "w") as f:
        f.write("[Subtitles]\nLanguages=en\n[Audio]\nLanguages=en\n")
    log = os.path.join(desktop.home, "mpv.log")
    desktop.start_program(movie, extra_env={"CAPTIVO_MPV_LOG": log})

    def strip_text(name=None):
        picture, strip = layout(desktop, CLIENT_HEIGHT)
        shot = desktop.screenshot(keep_as=name)
        return shot.bright_columns(*strip), shot.bright_columns(*picture)

    def settled(what, unlike=None):
        """The line in the strip once two looks agree on one other than `unlike` (the window
        settles its size after the movie opens; what the strip shows meanwhile does not count)."""
        seen = [None]

        def same():
            seen.append(strip_text()[0])
            return seen[-1] if seen[-1] and seen[-1] == seen[-2] and seen[-1] != unlike else None
        return window_scenarios.wait_until(what, same, pause=0.3)

    def line_of(width, what):
        return window_scenarios.wait_until(
            what, lambda: (t := strip_text()[0]) and abs(t[1] - t[0] - width) <= 3 and t)

    english = settled("the English track in the strip")
    _, burnt = strip_text("movie-track-english.png")
    assert not burnt, f"the picture stays blue: no line drawn into it ({burnt})"
    # Subtitle > Movie Subtitles (the menu's last item) > None, English, French.
    desktop.keys(None, "alt+s", "Up", "Right", "Down", "Down", "Return")
    french = settled("the French track in the strip", unlike=english)
    assert french[1] - french[0] < english[1] - english[0] - 50, f"the shorter French line: {french}, {english}"
    full, box = window_scenarios.enter_full_screen(desktop, "movie-track")
    assert window_scenarios.subtitle_under(full, box, 40), "the track's line in the full-screen overlay"
    desktop.press("Escape")
    settled("the window back")
    # Movie > Audio Track (the menu's last item) > English, French.
    desktop.keys(None, "alt+m", "Up", "Right", "Down", "Return")

    def switched():
        played = open(log, errors="replace").read()
        return "Track switched" in played and "(+) Audio --aid=2" in played.split("Track switched")[-1]

    window_scenarios.wait_until("the French sound playing", switched)
    close_through_menu(desktop)
    desktop.start_program(movie)
    line_of(french[1] - french[0], "the French track again")



def scenario_mp4_timed_text_track(desktop):
    """An MP4's timed-text track shows in the strip (English lines from 1 s to 6.5 s)."""
    with open(os.path.join(desktop.program_dir, "set.ini"), "w") as f:
        f.write("[Subtitles]\nLanguages=en\n")
    desktop.start_program(os.path.join(MEDIA, "tracks.mp4"))
    _, strip = layout(desktop, CLIENT_HEIGHT - 272 + 360)
    assert window_scenarios.wait_until(
        "the timed text in the strip",
        lambda: desktop.screenshot(keep_as="mp4-timed-text.png").bright_columns(*strip), timeout=8)

def srt_starts(text):
    """The start of each SubRip entry, in seconds."""
    return [int(h) * 3600 + int(m) * 60 + int(s) + int(ms) / 1000
            for h, m, s, ms in re.findall(r"^(\d+):(\d+):(\d+),(\d+) -->", text, re.M)]


def scenario_synchronize_to_speech(desktop):
    """A subtitle a minute late beside the speech movie: Synchronize to Speech (Ctrl+Shift+A)
    lays its lines on the speech while the movie plays, the strip shows them long before the
    late file would, and Save Subtitle As (Ctrl+Shift+S) writes them at the spoken times."""
    folder = os.path.join(desktop.home, "speech")
    os.makedirs(folder)
    movie = os.path.join(folder, "speech.mp4")
    shutil.copy(os.path.join(MEDIA, "speech-25.mp4"), movie)
    with open(os.path.join(MEDIA, "speech-25.srt")) as f:
        truth = f.read()

    def late(match):
        t = int(match[1]) * 3600 + int(match[2]) * 60 + int(match[3]) + 60
        return f"{t // 3600:02}:{t // 60 % 60:02}:{t % 60:02},{match[4]}"
    with open(os.path.join(folder, "speech.srt"), "w") as f:
        f.write(re.sub(r"(\d\d):(\d\d):(\d\d),(\d\d\d)", late, truth))
    desktop.start_program(movie)
    started = time.time()
    desktop.keys(None, "ctrl+shift+a")
    _, strip = layout(desktop, CLIENT_HEIGHT)
    window_scenarios.wait_until("a line in the strip", lambda: desktop.screenshot(
        keep_as="synchronized-to-speech.png").bright_columns(*strip), timeout=30)
    assert time.time() - started < 50, "shown before the late file's first line (62 s)"

    saved = os.path.join(folder, "fixed.srt")
    desktop.keys(None, "ctrl+shift+s")
    dialog = desktop.wait_window("^Save Subtitle As$")
    time.sleep(0.3)
    desktop.type_text(dialog, saved)
    desktop.keys(dialog, "Return")
    window_scenarios.wait_until("the saved file", lambda: os.path.exists(saved))
    with open(saved) as f:
        errors = [abs(a - b) for a, b in zip(srt_starts(f.read()), srt_starts(truth))]
    assert len(errors) == len(srt_starts(truth)), f"every line saved ({len(errors)})"
    assert max(errors) <= 0.1, f"every line within 100 ms of its speech (worst {max(errors):.3f} s)"


SCENARIOS = {name[len("scenario_"):]: f for name, f in globals().items() if name.startswith("scenario_")}
OUTPUTS = ("software", "opengl")


def runs(args):
    """(name, desktop kind, video output, scenario) for each run asked for."""
    if args[:1] == ["--desktop"]:
        kind, wanted = args[1], args[2:]
        assert kind in KINDS, f"a desktop is one of {KINDS}"
        scenarios = dict(window_scenarios.SCENARIOS)
        if kind in WINDOW_MANAGERS:
            scenarios.update(window_scenarios.WINDOW_MANAGER_SCENARIOS)
        picked = {n: f for n, f in scenarios.items() if not wanted or n in wanted}
        for name, scenario in picked.items():
            outputs = OUTPUTS if name in window_scenarios.SCENARIOS else OUTPUTS[:1]
            for output in outputs:
                yield (f"{name} ({kind}, {output})", kind, output, getattr(scenario, "screen", None),
                       lambda desktop, s=scenario: s(desktop, MEDIA, BUILD))
    else:
        for name in args or list(SCENARIOS):
            yield name, "xvfb", "software", None, SCENARIOS[name]


def open_desktop(kind, output, screen):
    """A desktop of `kind`, 1024 x 768 unless the scenario asks for another screen."""
    width, height = screen or (1024, 768)
    if kind == "sway":
        return SwayDesktop(BUILD, ARTEFACTS, output, width, height)
    return Desktop(BUILD, ARTEFACTS, kind, output, width, height)


def main():
    passed = failed = 0
    for name, kind, output, screen, scenario in runs(sys.argv[2:]):
        started = time.time()
        try:
            with open_desktop(kind, output, screen) as desktop:
                try:
                    scenario(desktop)
                except Exception:
                    desktop.screenshot(keep_as=f"failed-{name.replace(' ', '_')}.png")
                    raise
            print(f"PASS {name} ({time.time() - started:.0f} s)", flush=True)
            passed += 1
        except Exception:
            print(f"FAIL {name}", flush=True)
            traceback.print_exc()
            failed += 1
    print(f"e2e: {passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Captivo driven as a user drives it, on a private X display: every scenario checks what
a user would see. Usage: run_e2e.py BUILD_DIR [SCENARIO...]"""

import configparser
import os
import shutil
import subprocess
import sys
import time
import traceback

from desktop import Desktop

BUILD = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
MEDIA = os.path.join(BUILD, "media")
ARTEFACTS = os.path.join(BUILD, "e2e-artefacts")
STATUS, STRIP, SPLITTER, SEEK, TOOLBAR = 19, 83, 4, 17, 29


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
    os.makedirs(folder, exist_ok=True)
    path = os.path.join(folder, name + ".avi")
    shutil.copy(os.path.join(MEDIA, "movie-640x272-25.avi"), path)
    if srt:
        with open(os.path.join(folder, name + ".srt"), "w") as f:
            f.write(srt)
    return path


def close_through_menu(desktop):
    desktop.keys(None, "alt+m", "e")  # Movie > Exit
    assert desktop.wait_exit() == 0, "the program did not end after Exit"


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
    picture, strip = layout(desktop, 272 + STATUS + STRIP + SPLITTER + SEEK)

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
    picture, _ = layout(desktop, 272 + STATUS + STRIP + SPLITTER + SEEK)
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
    _, strip = layout(desktop, 272 + STATUS + STRIP + SPLITTER + SEEK)
    time.sleep(max(0, opened + 3 - time.time()))
    shot = desktop.screenshot(keep_as="vobsub-picture.png")
    box = shot.bright_columns(*strip)
    assert box, "the picture shows in the strip"
    assert 195 <= box[1] - box[0] + 1 <= 200, f"the 200-pixel box: {box}"
    assert abs((box[0] + box[1]) / 2 - (strip[0] + strip[2] / 2)) < 3, "centred in the strip"
    assert min(shot.pixel(box[0] + 50, strip[1] + 10)) > 200, "white inside"
    time.sleep(max(0, opened + 6 - time.time()))
    assert not desktop.screenshot().bright_columns(*strip), "black between the pictures"


def scenario_full_screen_with_overlay(desktop):
    srt = "1\n00:00:00,500 --> 00:00:30,000\nFULL SCREEN SUBTITLE\n"
    movie = write_movie(os.path.join(desktop.home, "films"), "film", srt)
    desktop.start_program()
    desktop.open_file_dialog("ctrl+o", movie)
    time.sleep(1.0)
    desktop.keys(None, "F4")
    time.sleep(1.0)
    shot = desktop.screenshot(keep_as="full-screen.png")
    width, height = desktop.width, desktop.height
    picture_height = width * 272 // 640
    picture_top = (height - picture_height) // 2
    assert shot.colourful(0, picture_top + 10, width, picture_height - 20) > 0.3, "the picture fills the width"
    overlay_top = (height + picture_height) // 2  # 601 on a 1024 x 768 screen
    text = shot.bright_columns(0, overlay_top, width, height - overlay_top)
    assert text, "the subtitle shows in the overlay under the picture"
    assert abs((text[0] + text[1]) / 2 - width / 2) < 6, f"centred on the screen: {text}"
    # Space pauses: the picture stands still.
    desktop.xdotool("key", "space")
    time.sleep(0.5)
    before = desktop.screenshot().region(0, picture_top, width, picture_height)
    time.sleep(1.5)
    assert desktop.screenshot().region(0, picture_top, width, picture_height) == before, "paused"
    desktop.xdotool("key", "space")
    time.sleep(1.5)
    assert desktop.screenshot().region(0, picture_top, width, picture_height) != before, "resumed"
    # Esc returns to the window, with the movie still running.
    desktop.xdotool("key", "Escape")
    time.sleep(1.0)
    x, y, w, h = desktop.geometry()
    assert w == 640, "back in the window"
    picture, _ = layout(desktop, 272 + STATUS + STRIP + SPLITTER + SEEK)
    first = desktop.screenshot(keep_as="after-full-screen.png").region(*picture)
    time.sleep(1.2)
    assert desktop.screenshot().region(*picture) != first, "the movie goes on"


SCENARIOS = {name[len("scenario_"):]: f for name, f in globals().items() if name.startswith("scenario_")}


def main():
    wanted = sys.argv[2:] or list(SCENARIOS)
    passed = failed = 0
    for name in wanted:
        try:
            with Desktop(BUILD, ARTEFACTS) as desktop:
                try:
                    SCENARIOS[name](desktop)
                except Exception:
                    desktop.screenshot(keep_as=f"failed-{name}.png")
                    raise
            print(f"PASS {name}")
            passed += 1
        except Exception:
            print(f"FAIL {name}")
            traceback.print_exc()
            failed += 1
    print(f"e2e: {passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())

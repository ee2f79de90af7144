#!/usr/bin/env python3
"""Captivo beside the players users would pick instead, paired runs, medians and ratios:
- loading a 100,000-entry subtitle file (SubRip, SubStation Alpha, MicroDVD): captivo-sub
  against ffmpeg reading it and against mpv loading it beside a movie;
- resident memory of the loaded store against the file's size;
- start-up to the window shown, and a movie to its first frame, against mpv with the same
  (software) video output, on a private X display.
Usage: peers.py BUILD_DIR [RUNS]"""

import os
import resource
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
from desktop import Desktop  # noqa: E402

BUILD = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
RUNS = int(sys.argv[2]) if len(sys.argv) > 2 else 5
MEDIA = os.path.join(BUILD, "media")
TOOL = os.path.join(BUILD, "src", "tools", "captivo-sub")
ENTRIES = 100000
LINE1, LINE2 = "Where were you when the lights went out", "I was right here, waiting for you"


def clock(ms, sep, hundredths=False):
    h, m, s, f = ms // 3600000, ms // 60000 % 60, ms // 1000 % 60, ms % 1000
    return f"{h:02}:{m:02}:{s:02}{sep}{f // 10:02}" if hundredths else f"{h:02}:{m:02}:{s:02}{sep}{f:03}"


def make_files(folder):
    files = {}
    srt, ass, sub = [], ["[Script Info]\nScriptType: v4.00+\n\n[V4+ Styles]\n"
                         "Format: Name, Fontname, Fontsize\nStyle: Default,Arial,20\n\n[Events]\n"
                         "Format: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\n"], []
    start = 1000
    for i in range(ENTRIES):
        end = start + 2000 + i * 37 % 1000
        srt.append(f"{i + 1}\n{clock(start, ',')} --> {clock(end, ',')}\n{LINE1} {i}\n{LINE2}\n\n")
        ass.append(f"Dialogue: 0,{clock(start, '.', True)[1:]},{clock(end, '.', True)[1:]},Default,,0,0,0,,"
                   f"{LINE1} {i}\\N{LINE2}\n")
        sub.append(f"{{{start // 40}}}{{{end // 40}}}{LINE1} {i}|{LINE2}\n")
        start = end + 500 + i * 53 % 1000
    for name, lines in (("srt", srt), ("ass", ass), ("sub", sub)):
        path = os.path.join(folder, f"many.{name}")
        with open(path, "w") as f:
            f.write("".join(lines))
        files[name] = path
    return files


def timed(command, env=None):
    started = time.perf_counter()
    subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=env, check=False)
    return time.perf_counter() - started


def peak_rss_kb(command):
    """Peak resident memory of a command, in KiB."""
    out = subprocess.run(["/usr/bin/time", "-f", "%M", *command], capture_output=True, text=True)
    return int(out.stderr.strip().splitlines()[-1])


def subtitle_loading():
    movie = os.path.join(MEDIA, "movie-640x272-25.avi")
    mpv = ["mpv", "--no-config", "--really-quiet", "--vo=null", "--ao=null", "--frames=1", "--sub-auto=no"]
    print(f"\n{'format':7} {'MB':>5} {'captivo s':>10} {'ffmpeg s':>9} {'mpv s':>7} "
          f"{'captivo MB/s':>12} {'vs fastest peer':>15} {'store RSS / size':>16}")
    with tempfile.TemporaryDirectory() as folder:
        for name, path in make_files(folder).items():
            size = os.path.getsize(path)
            ours, ffmpeg, theirs = [], [], []
            for _ in range(RUNS):
                ours.append(timed([TOOL, "find", path, "25", "0"]))
                ffmpeg.append(timed(["ffmpeg", "-nostdin", "-v", "error", "-i", path, "-f", "null", "-"]))
                # mpv: the movie with the subtitle file, less the movie alone.
                theirs.append(timed([*mpv, f"--sub-file={path}", movie]) - timed([*mpv, movie]))
            a, b, c = statistics.median(ours), statistics.median(ffmpeg), statistics.median(theirs)
            store = peak_rss_kb([TOOL, "find", path, "25", "0"]) - peak_rss_kb([TOOL, "find", os.devnull, "25", "0"])
            print(f"{name:7} {size / 1e6:5.1f} {a:10.3f} {b:9.3f} {c:7.3f} {size / 1e6 / a:12.0f} "
                  f"{min(b, c) / a:14.1f}x {store * 1024 / size:16.2f}")


def first_picture_seconds(desktop, command, env, region):
    """Seconds from starting `command` to a coloured picture in `region` of the screen."""
    started = time.perf_counter()
    process = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        while time.perf_counter() - started < 20:
            if desktop.screenshot().colourful(*region) > 0.2:
                return time.perf_counter() - started
    finally:
        process.terminate()
        process.wait()
    return float("nan")


def window_seconds(desktop, command, env, name):
    started = time.perf_counter()
    process = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name", name], env=env,
                       stdout=subprocess.DEVNULL, timeout=20)
        return time.perf_counter() - started
    finally:
        process.terminate()
        process.wait()


def start_up():
    movie = os.path.join(MEDIA, "movie-640x272-25.avi")
    with Desktop(BUILD, os.path.join(BUILD, "bench-artefacts")) as desktop:
        env = dict(desktop.env(), CAPTIVO_VIDEO_OUTPUT="software")
        captivo = os.path.join(desktop.program_dir, "captivo")
        mpv = ["mpv", "--no-config", "--vo=x11", "--ao=null", "--keep-open=yes"]
        shown = [(window_seconds(desktop, [captivo], env, "^Captivo$"),
                  window_seconds(desktop, [*mpv, "--idle=yes", "--force-window=immediate", "--title=Peer"],
                                 env, "^Peer$")) for _ in range(RUNS)]
        picture = (300, 280, 400, 200)  # inside both players' picture
        first = [(first_picture_seconds(desktop, [captivo, movie], env, picture),
                  first_picture_seconds(desktop, [*mpv, "--geometry=+237+264", movie], env,
                                        picture)) for _ in range(RUNS)]
    print(f"\n{'measure':28} {'captivo s':>10} {'mpv s':>8} {'ratio':>6}")
    for label, pairs in (("start-up to window shown", shown), ("start to first frame", first)):
        a, b = statistics.median(p[0] for p in pairs), statistics.median(p[1] for p in pairs)
        print(f"{label:28} {a:10.3f} {b:8.3f} {a / b:6.2f}")


if __name__ == "__main__":
    subtitle_loading()
    start_up()

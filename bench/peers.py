#!/usr/bin/env python3
"""Captivo beside the players users would pick instead, paired runs, medians and ratios:
- loading a 100,000-entry subtitle file (SubRip, SubStation Alpha, MicroDVD): captivo-sub
  against FFmpeg decoding every entry (ffprobe -show_frames) and against mpv loading it
  beside a movie;
- decoding every picture of a VobSub set (captivo-sub dump) against FFmpeg decoding every
  picture (the sets captivo_vobsub_load_bench makes in BUILD_DIR/vobsub-bench-sets);
- resident memory of the loaded store against the file's size;
- start-up to the window shown, and a movie to its first frame, against mpv with the same
  (software) video output, on a private X display.
Usage: peers.py BUILD_DIR [RUNS] [--start-up-only]"""

import os
import resource
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
from desktop import Desktop  # noqa: E402
from x_watch import XWatch  # noqa: E402

ARGS = [a for a in sys.argv[1:] if not a.startswith("--")]
BUILD = os.path.abspath(ARGS[0] if ARGS else "build")
RUNS = int(ARGS[1]) if len(ARGS) > 1 else 7
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


# FFmpeg decoding every entry or picture of a subtitle file: ffmpeg's null output takes no
# subtitle stream (it would stop having decoded nothing), ffprobe decodes each frame it shows.
def ffmpeg_decoding(path):
    return ["ffprobe", "-v", "error", "-show_entries", "frame=pts", "-of", "csv=p=0", path]


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
                ffmpeg.append(timed(ffmpeg_decoding(path)))
                # mpv: the movie with the subtitle file, less the movie alone.
                theirs.append(timed([*mpv, f"--sub-file={path}", movie]) - timed([*mpv, movie]))
            a, b, c = statistics.median(ours), statistics.median(ffmpeg), statistics.median(theirs)
            store = peak_rss_kb([TOOL, "find", path, "25", "0"]) - peak_rss_kb([TOOL, "find", os.devnull, "25", "0"])
            print(f"{name:7} {size / 1e6:5.1f} {a:10.3f} {b:9.3f} {c:7.3f} {size / 1e6 / a:12.0f} "
                  f"{min(b, c) / a:14.1f}x {store * 1024 / size:16.2f}")


def vobsub_decoding():
    folder = os.path.join(BUILD, "vobsub-bench-sets")
    print(f"\n{'VobSub set':10} {'MB':>6} {'pictures':>8} {'captivo s':>10} {'ffmpeg s':>9} {'ratio':>6}")
    for name in ("pictures", "streams"):
        path = os.path.join(folder, name + ".idx")
        if not os.path.exists(path):
            print(f"{name:10} missing: run captivo_vobsub_load_bench {folder} first")
            continue
        size = os.path.getsize(path) + os.path.getsize(os.path.join(folder, name + ".sub"))
        dump = subprocess.run([TOOL, "dump", path], capture_output=True, text=True).stdout
        pictures = dump.count("\npicture\t")
        pairs = [(timed([TOOL, "dump", path]), timed(ffmpeg_decoding(path))) for _ in range(RUNS)]
        a, b = statistics.median(p[0] for p in pairs), statistics.median(p[1] for p in pairs)
        ratio = statistics.median(p[0] / p[1] for p in pairs)
        print(f"{name:10} {size / 1e6:6.1f} {pictures:8} {a:10.3f} {b:9.3f} {ratio:6.2f}")


def seconds_until(watch, command, env, seen):
    """Seconds from starting `command` to what `seen(watch)` waits for."""
    watch.forget_events()
    started = time.perf_counter()
    process = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        moment = seen(watch)
        return moment - started if moment else float("nan")
    finally:
        process.terminate()
        process.wait()
        time.sleep(0.3)  # the screen black again


def start_up():
    """Pairs of runs on one private display, in alternating order: the moment the window
    is mapped, and the moment each movie's picture is on the screen, watched through
    libX11 every millisecond."""
    movies = ["movie-640x272-25.avi", "movie-1280x720-23976.mp4"]
    with Desktop(BUILD, os.path.join(BUILD, "bench-artefacts"), width=1920, height=1080) as desktop:
        env = dict(desktop.env(), CAPTIVO_VIDEO_OUTPUT="software")
        captivo = [os.path.join(desktop.program_dir, "captivo")]
        # mpv's picture where Captivo's lies, give or take its tool bar: the region watched
        # is inside both pictures of both movies.
        mpv = ["mpv", "--no-config", "--vo=x11", "--ao=null", "--keep-open=yes", "--geometry=+685+385"]
        window = lambda watch: watch.wait_map()
        picture = lambda watch: watch.wait_colourful((700, 440, 600, 200))
        runs = {"start-up to window shown": ([*captivo], [*mpv, "--idle=yes", "--force-window=immediate"], window)}
        for movie in movies:
            path = os.path.join(MEDIA, movie)
            runs[f"first frame, {movie.split('-')[1]}"] = ([*captivo, path], [*mpv, path], picture)
        watch = XWatch(desktop.display)
        results = {}
        for label, (ours, theirs, seen) in runs.items():
            pairs = []
            for run in range(RUNS):
                ordered = [(0, ours), (1, theirs)] if run % 2 == 0 else [(1, theirs), (0, ours)]
                pair = [0.0, 0.0]
                for side, command in ordered:
                    pair[side] = seconds_until(watch, command, env, seen)
                pairs.append(pair)
            results[label] = pairs
        watch.close()
    print(f"\n{'measure (median of ' + str(RUNS) + ' pairs)':34} {'captivo s':>10} {'mpv s':>8} {'ratio':>6}")
    for label, pairs in results.items():
        a, b = statistics.median(p[0] for p in pairs), statistics.median(p[1] for p in pairs)
        ratio = statistics.median(p[0] / p[1] for p in pairs)
        print(f"{label:34} {a:10.3f} {b:8.3f} {ratio:6.2f}")


if __name__ == "__main__":
    if "--start-up-only" not in sys.argv:
        subtitle_loading()
        vobsub_decoding()
    start_up()

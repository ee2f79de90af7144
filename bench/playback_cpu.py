#!/usr/bin/env python3
"""CPU time of playing a movie in Captivo against bare mpv with the same video output,
in paired runs on a private X display. Usage: playback_cpu.py BUILD_DIR [SECONDS] [PAIRS]"""

import os
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
from desktop import Desktop  # noqa: E402

BUILD = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
SECONDS = float(sys.argv[2]) if len(sys.argv) > 2 else 20
PAIRS = int(sys.argv[3]) if len(sys.argv) > 3 else 3
MEDIA = os.path.join(BUILD, "media")
TICKS = os.sysconf("SC_CLK_TCK")


def cpu_seconds(pid):
    fields = open(f"/proc/{pid}/stat").read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS  # utime + stime


def measure(desktop, command, env):
    """CPU seconds a command spends in its first SECONDS of playing."""
    process = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(SECONDS)
    used = cpu_seconds(process.pid)
    process.terminate()
    process.wait()
    return used


def srt(entries):
    blocks = []
    for i in range(entries):
        start = i * 3
        blocks.append(f"{i + 1}\n{start // 3600:02}:{start // 60 % 60:02}:{start % 60:02},000 --> "
                      f"{start // 3600:02}:{start // 60 % 60:02}:{start % 60 + 2:02},000\nLine {i}\n")
    return "\n".join(blocks)


def main():
    # The pairing that is fair on a machine without a graphics processor: mpv's software
    # renderer on both sides (Captivo's "software" output, mpv's x11 output).
    outputs = [("software", ["--vo=x11"])]
    movies = ["movie-640x272-25.avi", "movie-1280x720-23976.mp4", "movie-1920x1080-25.mp4"]
    print(f"{'movie':28} {'output':9} {'captivo s':>10} {'mpv s':>8} {'ratio':>6}")
    # A screen that holds the 1080p picture with the window's bars: both show every movie at
    # its own size, neither scales.
    with Desktop(BUILD, os.path.join(BUILD, "bench-artefacts"), width=2560, height=1600) as desktop:
        env = desktop.env()
        for movie in movies:
            folder = os.path.join(desktop.home, "films")
            os.makedirs(folder, exist_ok=True)
            path = os.path.join(folder, movie)
            if not os.path.exists(path):
                os.symlink(os.path.join(MEDIA, movie), path)
                with open(os.path.splitext(path)[0] + ".srt", "w") as f:
                    f.write(srt(2000))
            for name, mpv_options in outputs:
                ours, theirs = [], []
                for _ in range(PAIRS):
                    ours.append(measure(desktop, [os.path.join(desktop.program_dir, "captivo"), path],
                                        dict(env, CAPTIVO_VIDEO_OUTPUT=name)))
                    theirs.append(measure(desktop, ["mpv", "--really-quiet", "--keep-open=yes", *mpv_options, path],
                                          env))
                a, b = statistics.median(ours), statistics.median(theirs)
                print(f"{movie:28} {name:9} {a:10.2f} {b:8.2f} {a / b if b else float('nan'):6.2f}")


if __name__ == "__main__":
    main()

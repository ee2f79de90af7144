#!/usr/bin/env python3
"""Where the memory of playing goes: Captivo and bare mpv (the same software output, the
same movie) after SECONDS of playing on a private X display, their resident memory
summed by mapping from /proc/PID/smaps: the heap and other anonymous memory, the
toolkit's libraries, mpv's and FFmpeg's, the rest. Usage: memory_breakdown.py BUILD_DIR
[SECONDS]"""

import collections
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
from desktop import Desktop  # noqa: E402

BUILD = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
SECONDS = float(sys.argv[2]) if len(sys.argv) > 2 else 60
MOVIE = os.path.join(BUILD, "media", "movie-640x272-23976-120s.mp4")
GROUPS = [("Qt", ("libQt6",)), ("mpv", ("libmpv", "/usr/bin/mpv")),
          ("FFmpeg", ("libavcodec", "libavformat", "libavutil", "libavfilter", "libswscale",
                      "libswresample", "libpostproc", "libavdevice")),
          ("our libraries", ("libmovix", "libvobsub", "libhook", "libtracks", "libspeech", "/captivo")),
          ("fonts", (".ttf", ".otf", ".pcf", "fontconfig"))]


def group_of(name):
    if name in ("[heap]", "") or name.startswith("[anon"):
        return "heap and anonymous"
    if name == "[stack]" or name.startswith("[stack"):
        return "stacks"
    for group, marks in GROUPS:
        if any(mark in name for mark in marks):
            return group
    return "other libraries and files" if name.startswith("/") else "other"


def breakdown(pid):
    sizes = collections.Counter()
    name = ""
    for line in open(f"/proc/{pid}/smaps"):
        fields = line.split()
        if not fields[0].endswith(":") and "-" in fields[0]:
            name = fields[5] if len(fields) > 5 else ""
        elif fields[0] == "Rss:":
            sizes[group_of(name)] += int(fields[1])
    return sizes


def resident_after(command, env):
    process = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(SECONDS)
    sizes = breakdown(process.pid)
    process.terminate()
    process.wait()
    return sizes


def main():
    with Desktop(BUILD, os.path.join(BUILD, "bench-artefacts")) as desktop:
        env = dict(desktop.env(), CAPTIVO_VIDEO_OUTPUT="software")
        ours = resident_after([os.path.join(desktop.program_dir, "captivo"), MOVIE], env)
        theirs = resident_after(["mpv", "--no-config", "--vo=x11", "--ao=null", "--keep-open=yes", MOVIE], env)
    print(f"resident MB after {SECONDS:.0f} s of playing {os.path.basename(MOVIE)}")
    print(f"{'':28} {'captivo':>8} {'mpv':>8} {'difference':>10}")
    for group in sorted(set(ours) | set(theirs), key=lambda g: -(ours[g] - theirs[g])):
        print(f"{group:28} {ours[group] / 1024:8.1f} {theirs[group] / 1024:8.1f} {(ours[group] - theirs[group]) / 1024:10.1f}")
    a, b = sum(ours.values()), sum(theirs.values())
    print(f"{'total':28} {a / 1024:8.1f} {b / 1024:8.1f} {(a - b) / 1024:10.1f}  ({a / b:.2f}x)")


if __name__ == "__main__":
    main()

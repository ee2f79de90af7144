#!/usr/bin/env python3
"""How long the window's thread waits while Synchronize to Speech runs: the program plays a
two-hour movie with speech (the test media's spoken lines, looped; made once into
BUILD_DIR/bench-sync-stall) on a private X display with the software output, Ctrl+Shift+A
starts the synchronisation, and the program's trace (CAPTIVO_TRACE) tells the time it took
and the event loop's longest stall meanwhile: how far its 250 ms progress timer fired late.
Each run in a fresh program; the medians and the worst.
Usage: sync_stall.py BUILD_DIR [RUNS]"""

import os
import re
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
from desktop import Desktop  # noqa: E402

BUILD = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
RUNS = int(sys.argv[2]) if len(sys.argv) > 2 else 5
FOLDER = os.path.join(BUILD, "bench-sync-stall")
MEDIA = os.path.join(BUILD, "media")
LOOPS = 30  # of the four-minute speech movie: two hours
LATE_MS = 3000  # the subtitle's lines come this late


def srt_time(ms):
    return f"{ms // 3600000:02}:{ms // 60000 % 60:02}:{ms // 1000 % 60:02},{ms % 1000:03}"


def make_movie():
    """The speech movie looped to two hours, and its lines looped alike, a little late."""
    movie = os.path.join(FOLDER, "two-hours.mp4")
    if os.path.exists(movie):
        return movie
    os.makedirs(FOLDER, exist_ok=True)
    source = os.path.join(MEDIA, "speech-25.mp4")
    length = float(subprocess.run(["ffprobe", "-v", "error", "-show_entries", "format=duration", "-of",
                                   "csv=p=0", source], capture_output=True, text=True, check=True).stdout)
    subprocess.run(["ffmpeg", "-nostdin", "-v", "error", "-y", "-stream_loop", str(LOOPS - 1), "-i", source,
                    "-map", "0", "-c", "copy", movie + ".part.mp4"], check=True)
    lines = re.findall(r"(\d+):(\d+):(\d+),(\d+) --> (\d+):(\d+):(\d+),(\d+)\n(.*)\n",
                       open(os.path.join(MEDIA, "speech-25.srt")).read())
    entries = []
    for loop in range(LOOPS):
        for line in lines:
            start, end = (((int(h) * 60 + int(m)) * 60 + int(s)) * 1000 + int(f)
                          for h, m, s, f in (line[0:4], line[4:8]))
            shift = round(loop * length * 1000) + LATE_MS
            entries.append(f"{len(entries) + 1}\n{srt_time(start + shift)} --> {srt_time(end + shift)}\n{line[8]}\n")
    with open(os.path.join(FOLDER, "two-hours.srt"), "w") as f:
        f.write("\n".join(entries))
    os.rename(movie + ".part.mp4", movie)
    return movie


def run_once(movie):
    """(milliseconds the synchronisation took, the longest stall) in a fresh program."""
    with Desktop(BUILD, os.path.join(BUILD, "bench-artefacts"), "xvfb", "software") as desktop:
        desktop.start_program(movie, extra_env={"CAPTIVO_TRACE": "1"})
        time.sleep(1.0)  # playing
        desktop.keys(None, "ctrl+shift+a")
        end = time.time() + 120
        while time.time() < end:
            found = re.search(r"synchronized in (\d+) ms; the window's longest stall meanwhile (-?\d+) ms",
                              desktop.program_output())
            if found:
                return int(found[1]), max(0, int(found[2]))
            time.sleep(0.2)
        raise AssertionError("no synchronisation within two minutes:\n" + desktop.program_output())


def main():
    movie = make_movie()
    results = [run_once(movie) for _ in range(RUNS)]
    took = [r[0] for r in results]
    stalls = [r[1] for r in results]
    print(f"Synchronize to Speech on a two-hour movie, {RUNS} runs (bench/sync_stall.py):")
    print(f"  took {statistics.median(took)} ms (median; {min(took)}-{max(took)})")
    print(f"  the window's longest stall: {statistics.median(stalls)} ms median, {max(stalls)} ms worst")


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Reading a movie's own subtitle track on a two-hour movie of more than 2 GB, made here
once (BUILD_DIR/bench-tracks, not kept in the repository):
  - the time to read the whole track, against ffmpeg copying the same track out of the
    same file, both at the priority the program's reader takes (paired runs, medians);
  - how soon the line due at a time is there once the track is chosen there, and after a
    seek ahead of what was read; the memory the track's entries take (captivo_track_bench);
  - playback (mpv with its X11 output on a private X display, from minute 30) with and
    without the track being read beside it, chosen there as the window would choose it:
    processor time and dropped frames.
Usage: track_reading.py BUILD_DIR [PAIRS] [SECONDS] [--playback-only]"""

import json
import os
import socket
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
from desktop import Desktop  # noqa: E402

BUILD = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
PAIRS = int(sys.argv[2]) if len(sys.argv) > 2 else 5
SECONDS = float(sys.argv[3]) if len(sys.argv) > 3 else 20
FOLDER = os.path.join(BUILD, "bench-tracks")
MOVIE = os.path.join(FOLDER, "two-hours.mkv")
TRACK = 2  # the subtitle track: after the picture and the sound
TICKS = os.sysconf("SC_CLK_TCK")
# The reader's priorities (below playback's), for ffmpeg too: the same work at the same terms.
LOW = ["nice", "-n", "10", "ionice", "-c2", "-n7"]


def ff(*args):
    subprocess.run(["ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error", "-y", *args], check=True)


def clock(ms):
    return f"{ms // 3600000:02}:{ms // 60000 % 60:02}:{ms // 1000 % 60:02},{ms % 1000:03}"


def subtitles():
    """A line every 3.5 s for two hours, each shown 2.5 s, one in three on two lines."""
    blocks = []
    for i in range(7200 * 1000 // 3500):
        start = i * 3500 + 500
        text = f"Line {i + 1}: what is said here runs on a while"
        if i % 3 == 0:
            text += "\n<i>and then a second line</i>"
        blocks.append(f"{i + 1}\n{clock(start)} --> {clock(start + 2500)}\n{text}\n")
    return "\n".join(blocks)


def make_movie():
    """A minute of noisy pictures (320 x 180, 25 fps) with sound, that no encoder can make
    small, 120 times over: real packets for two hours, more than 2 GB of them."""
    if os.path.exists(MOVIE):
        return
    os.makedirs(FOLDER, exist_ok=True)
    minute = os.path.join(FOLDER, "minute.mkv")
    ff("-f", "lavfi", "-i", "testsrc2=size=320x180:rate=25,noise=alls=20:allf=t",
       "-f", "lavfi", "-i", "sine=frequency=440:sample_rate=48000", "-t", "60",
       "-c:v", "mpeg4", "-q:v", "6", "-g", "50", "-c:a", "aac", "-b:a", "128k", "-ac", "2", minute)
    listing = os.path.join(FOLDER, "minutes.txt")
    with open(listing, "w") as f:
        f.write("file 'minute.mkv'\n" * 120)
    srt = os.path.join(FOLDER, "two-hours.srt")
    with open(srt, "w") as f:
        f.write(subtitles())
    ff("-f", "concat", "-safe", "0", "-i", listing, "-i", srt, "-map", "0:v", "-map", "0:a", "-map", "1",
       "-c", "copy", "-metadata:s:s:0", "language=eng", "-f", "matroska", MOVIE + ".part")
    os.rename(MOVIE + ".part", MOVIE)
    os.remove(minute)


def wall(command):
    start = time.monotonic()
    subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
    return time.monotonic() - start


def whole_track():
    copy = os.path.join(FOLDER, "track.mks")
    ours = [LOW + [os.path.join(BUILD, "src", "tools", "captivo-sub"), "dump", "--track", str(TRACK), MOVIE]]
    theirs = [LOW + ["ffmpeg", "-nostdin", "-loglevel", "error", "-y", "-i", MOVIE, "-map", "0:s:0",
                     "-c", "copy", "-f", "matroska", copy]]
    wall(ours[0])  # both read the file from the page cache from here on
    pairs = [(wall(ours[0]), wall(theirs[0])) for _ in range(PAIRS)]
    a, b = statistics.median(p[0] for p in pairs), statistics.median(p[1] for p in pairs)
    ratio = statistics.median(p[0] / p[1] for p in pairs)
    print(f"\n{'whole track (median of ' + str(PAIRS) + ' pairs)':40} {'captivo-sub s':>13} {'ffmpeg s':>9} {'ratio':>6}")
    print(f"{'dump --track against -c copy':40} {a:13.2f} {b:9.2f} {ratio:6.2f}")


def cpu_seconds(pid):
    fields = open(f"/proc/{pid}/stat").read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS


def ask(sock_path, name):
    with socket.socket(socket.AF_UNIX) as s:
        s.connect(sock_path)
        s.sendall(json.dumps({"command": ["get_property", name]}).encode() + b"\n")
        reply = json.loads(s.makefile().readline())
        return reply.get("data", 0) or 0


def play(desktop, with_reader):
    """mpv's processor seconds and dropped frames over SECONDS of playing from minute 30."""
    sock_path = os.path.join(desktop.home, "mpv.sock")
    mpv = subprocess.Popen(["mpv", "--really-quiet", "--vo=x11", "--ao=null", "--start=1800",
                            f"--input-ipc-server={sock_path}", MOVIE],
                           env=desktop.env(), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    reader = None
    try:
        while not os.path.exists(sock_path):
            time.sleep(0.05)
        time.sleep(1)  # past the opening
        before = cpu_seconds(mpv.pid)
        dropped_before = ask(sock_path, "frame-drop-count")
        if with_reader:
            reader = subprocess.Popen([os.path.join(BUILD, "bench", "captivo_track_bench"), "--chosen-at",
                                       "1800000", MOVIE, str(TRACK)], stdout=subprocess.PIPE)
        time.sleep(SECONDS)
        used = cpu_seconds(mpv.pid) - before
        dropped = ask(sock_path, "frame-drop-count") - dropped_before
        read_seconds = float(reader.communicate()[0]) if reader else 0
        return used, dropped, read_seconds
    finally:
        mpv.terminate()
        mpv.wait()
        if os.path.exists(sock_path):
            os.remove(sock_path)


def playback():
    rows = {False: [], True: []}
    with Desktop(BUILD, os.path.join(BUILD, "bench-artefacts")) as desktop:
        for _ in range(PAIRS):
            for with_reader in (False, True):
                rows[with_reader].append(play(desktop, with_reader))
    print(f"\n{'playback, ' + str(int(SECONDS)) + ' s from minute 30 (median of ' + str(PAIRS) + ')':40} "
          f"{'cpu s':>8} {'dropped':>8} {'read s':>7}")
    for with_reader, label in ((False, "mpv alone"), (True, "mpv, the track read whole beside it")):
        r = rows[with_reader]
        print(f"{label:40} {statistics.median(x[0] for x in r):8.2f} {statistics.median(x[1] for x in r):8.0f} "
              f"{statistics.median(x[2] for x in r):7.2f}")


def main():
    if "--playback-only" in sys.argv:
        return playback()
    make_movie()
    duration = float(subprocess.run(["ffprobe", "-v", "error", "-show_entries", "format=duration", "-of",
                                     "csv=p=0", MOVIE], capture_output=True, text=True, check=True).stdout)
    size = os.path.getsize(MOVIE)
    print(f"movie: {duration / 3600:.2f} hours, {size / 1e9:.2f} GB ({MOVIE})")
    if duration < 7200 - 1 or size < 2e9:
        sys.exit("the bench movie is too short or too small")
    whole_track()
    print()
    subprocess.run([os.path.join(BUILD, "bench", "captivo_track_bench"), MOVIE, str(TRACK)], check=True)
    playback()


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Resident memory of Captivo playing a movie with a subtitle file for MINUTES minutes of real
time on a private X display, sampled every 30 seconds. Usage: playback_memory.py BUILD_DIR
[MINUTES]"""

import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
from desktop import Desktop  # noqa: E402

BUILD = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
MINUTES = float(sys.argv[2]) if len(sys.argv) > 2 else 10


def resident_kb(pid):
    for line in open(f"/proc/{pid}/status"):
        if line.startswith("VmRSS:"):
            return int(line.split()[1])
    return 0


def main():
    with Desktop(BUILD, os.path.join(BUILD, "bench-artefacts")) as desktop:
        movie = os.path.join(desktop.home, "long.avi")
        seconds = int(MINUTES * 60) + 30
        subprocess.run(["ffmpeg", "-nostdin", "-v", "error", "-f", "lavfi", "-i",
                        "testsrc=size=640x272:rate=25", "-t", str(seconds), "-c:v", "mpeg4", "-q:v", "8",
                        movie], check=True)
        with open(os.path.join(desktop.home, "long.srt"), "w") as f:
            for i in range(seconds // 3):
                s = i * 3
                f.write(f"{i + 1}\n{s // 3600:02}:{s // 60 % 60:02}:{s % 60:02},000 --> "
                        f"{s // 3600:02}:{s // 60 % 60:02}:{s % 60:02},900\nLine {i}\n\n")
        env = dict(desktop.env(), CAPTIVO_VIDEO_OUTPUT="software")
        process = subprocess.Popen([os.path.join(desktop.program_dir, "captivo"), movie], env=env,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        samples = []
        started = time.time()
        while time.time() - started < MINUTES * 60:
            time.sleep(30)
            samples.append(resident_kb(process.pid))
            print(f"{(time.time() - started) / 60:5.1f} min  {samples[-1] / 1024:7.1f} MB", flush=True)
        process.terminate()
        process.wait()
        print(f"resident memory: first sample {samples[0] / 1024:.1f} MB, last {samples[-1] / 1024:.1f} MB, "
              f"largest {max(samples) / 1024:.1f} MB")


if __name__ == "__main__":
    main()

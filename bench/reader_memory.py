#!/usr/bin/env python3
"""Peak resident memory of `captivo-sub dump FILE` against the file's size, for every text
format (and UTF-16 SubRip) in the shapes that once cost many times their size:
- short lines (100 MB): one valid entry, then one-character lines (LF ends);
- three-byte lines (21 MB): the same with CR LF ends;
- valid (200 MB): a film-like file, an entry every few seconds with two lines of text;
- long line (20 MB): one entry whose text is a single line of the whole size;
- dense (20 MB): the smallest valid entries back to back, the most entries a size holds.
Usage: reader_memory.py BUILD_DIR [SCALE] (the sizes above times SCALE, 0.2 unless given)."""

import os
import subprocess
import sys
import tempfile

BUILD = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
SCALE = float(sys.argv[2]) if len(sys.argv) > 2 else 0.2
SIZES_MB = {"short lines": 100, "three-byte lines": 21, "valid": 200, "long line": 20, "dense": 20}
TOOL = os.path.join(BUILD, "src", "tools", "captivo-sub")
LINE1, LINE2 = "Where were you when the lights went out", "I was right here, waiting for you"
SSA_BREAK, LF = "\\N", "\n"


def hms(ms, sep, digits):
    h, m, s, f = ms // 3600000, ms // 60000 % 60, ms // 1000 % 60, ms % 1000
    return f"{h:02}:{m:02}:{s:02}" + (f"{sep}{f:03}" if digits == 3 else f"{sep}{f // 10:02}" if digits else "")


# Per format: the header, one entry from start to end ms with a text ("|" between lines),
# and the smallest entry there is at second n.
FORMATS = {
    "frame": ("", lambda a, b, t: f"{{{a // 40}}}{{{b // 40}}}{t}\n", lambda n: f"{{{n}}}{{{n}}}x\n"),
    "srt": ("", lambda a, b, t: f"1\n{hms(a, ',', 3)} --> {hms(b, ',', 3)}\n{t.replace('|', LF)}\n\n",
            lambda n: f"1\n0:0:{n},-->0:0:{n},\nx\n"),
    "ssa": ("[Script Info]\n[Events]\n",
            lambda a, b, t: f"Dialogue: 0,{hms(a, '.', 2)},{hms(b, '.', 2)},Default,,0,0,0,,{t.replace('|', SSA_BREAK)}\n",
            lambda n: f"Dialogue:,0:0:{n},0:0:{n},,,,,,,x\n"),
    "subviewer": ("[INFORMATION]\n",
                  lambda a, b, t: f"{hms(a, '.', 2)},{hms(b, '.', 2)}\n{t.replace('|', '[br]')}\n\n",
                  lambda n: f"0:0:{n},0:0:{n}\nx\n"),
    "timecode": ("00:00:00:\n", lambda a, b, t: f"{hms(a, '', 0)}:{t}\n", lambda n: f"0:0:{n}:x\n"),
    "webvtt": ("WEBVTT\n\n", lambda a, b, t: f"{hms(a, '.', 3)} --> {hms(b, '.', 3)}\n{t.replace('|', LF)}\n\n",
               lambda n: f"00:{n % 60:02}.000-->00:{n % 60:02}.000\nx\n\n"),
}


def shapes(header, entry, smallest):
    """(name, text) for each shape."""
    size = {name: int(mb * SCALE * 1e6) for name, mb in SIZES_MB.items()}
    first = header + entry(1000, 2000, "a")
    yield "short lines", first + "x\n" * ((size["short lines"] - len(first)) // 2)
    yield "three-byte lines", first + "x\r\n" * ((size["three-byte lines"] - len(first)) // 3)
    entries, start = [header], 1000
    written = len(header)
    i = 0
    while written < size["valid"]:
        end = start + 2000 + i * 37 % 1000
        entries.append(entry(start, end, f"{LINE1} {i}|{LINE2}"))
        written += len(entries[-1])
        start, i = end + 500 + i * 53 % 1000, i + 1
    yield "valid", "".join(entries)
    yield "long line", header + entry(1000, 2000, "y" * size["long line"])
    entries, written, n = [header], len(header), 0
    while written < size["dense"]:
        entries.append(smallest(n))
        written += len(entries[-1])
        n += 1
    yield "dense", "".join(entries)


def peak_rss_kb(path):
    with open(os.devnull, "w") as null:
        run = subprocess.run(["/usr/bin/time", "-f", "%M", TOOL, "dump", path], stdout=null,
                             stderr=subprocess.PIPE, text=True)
    return int(run.stderr.strip().splitlines()[-1])


def main():
    with tempfile.TemporaryDirectory() as folder:
        empty = os.path.join(folder, "empty")
        open(empty, "w").close()
        base = peak_rss_kb(empty)
        print(f"captivo-sub dump of an empty file: {base / 1024:.1f} MB resident\n")
        print(f"{'format':10} {'shape':17} {'file MB':>8} {'peak MB':>8} {'peak / file':>11} "
              f"{'(peak - empty) / file':>21}")
        runs = [(name, False, spec) for name, spec in FORMATS.items()] + [("srt utf-16", True, FORMATS["srt"])]
        for name, utf16, spec in runs:
            for shape, text in shapes(*spec):
                path = os.path.join(folder, "file")
                with open(path, "wb") as f:
                    f.write(b"\xff\xfe" + text.encode("utf-16-le") if utf16 else text.encode())
                del text
                file_mb = os.path.getsize(path) / 2**20
                peak_mb = peak_rss_kb(path) / 1024
                print(f"{name:10} {shape:17} {file_mb:8.1f} {peak_mb:8.1f} {peak_mb / file_mb:11.2f} "
                      f"{(peak_mb - base / 1024) / file_mb:21.2f}")
                os.remove(path)


if __name__ == "__main__":
    main()

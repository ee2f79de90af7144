#!/usr/bin/env python3
"""How often the encoding a legacy text is detected with shows it right: each file of a
public charset-detection test suite (chardet's tests/, fetched apart: its files are web
pages and feeds in the encoding their folder names) is read by `captivo-sub dump`, and
its text decoded with the encoding printed is compared with its text decoded with the
true one. A file counts as shown right when both give the same characters.
Usage: encoding_detection.py BUILD_DIR SUITE_TESTS_DIR [FILES_PER_FOLDER]"""

import os
import subprocess
import sys

BUILD, SUITE = sys.argv[1], sys.argv[2]
PER_FOLDER = int(sys.argv[3]) if len(sys.argv) > 3 else 5
# Folder name -> the codec the files are written in (Python's name).
FOLDERS = {
    "windows-1250-polish": "cp1250", "windows-1250-czech": "cp1250", "windows-1250-croatian": "cp1250",
    "windows-1250-hungarian": "cp1250", "windows-1251-russian": "cp1251", "windows-1251-bulgarian": "cp1251",
    "windows-1252": "cp1252", "iso-8859-1": "latin_1", "iso-8859-7-greek": "iso8859_7", "windows-1254-turkish": "cp1254",
    "windows-1255-hebrew": "cp1255", "windows-1256-arabic": "cp1256", "KOI8-R": "koi8_r",
    "Big5": "cp950", "GB2312": "gb18030", "SHIFT_JIS": "cp932", "CP932": "cp932",
    "CP949": "cp949", "EUC-KR": "cp949",
}
# The names the program prints -> Python's codecs.
CODECS = {"windows-949": "cp949", "Shift_JIS": "cp932", "Big5": "cp950", "GB18030": "gb18030",
          "KOI8-R": "koi8_r", "windows-1252": "cp1252"}


def codec(name):
    if name in CODECS:
        return CODECS[name]
    if name.startswith("windows-"):
        return "cp" + name[len("windows-"):]
    return name.lower().replace("-", "_")


def main():
    tool = os.path.join(BUILD, "src", "tools", "captivo-sub")
    right = total = 0
    for folder, truth in FOLDERS.items():
        path = os.path.join(SUITE, folder)
        if not os.path.isdir(path):
            continue
        names = sorted(os.listdir(path))[:PER_FOLDER]
        shown = []
        for name in names:
            data = open(os.path.join(path, name), "rb").read()
            out = subprocess.run([tool, "dump", os.path.join(path, name)], capture_output=True).stdout
            told = next(line.split(b"\t")[1].decode() for line in out.splitlines() if line.startswith(b"encoding\t"))
            try:
                ok = data.decode(codec(told), "replace") == data.decode(truth, "replace")
            except LookupError:
                ok = False
            shown.append((name, told, ok))
        right += sum(ok for _, _, ok in shown)
        total += len(shown)
        print(f"{folder:24} {sum(ok for _, _, ok in shown)}/{len(shown)}  " +
              ", ".join(f"{told}{'' if ok else ' (wrong: ' + name + ')'}" for name, told, ok in shown))
    print(f"shown right: {right} of {total}")


main()

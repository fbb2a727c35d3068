#!/usr/bin/env python3
"""Checks every translation of the player: each message is translated, keeps
every placeholder (%1..%9) of its English, and a help text keeps its lines'
option names, so that no reader meets English in the middle of their language
or a report that lost the file name it was about.

With --lupdate LUPDATE --sources SRC it also gathers every string marked in the
sources (tr() and VORN_TR) into a scratch file with lupdate, and fails for each
one that a translation does not have: a string added to the code and never
brought into the .ts files would otherwise show in English."""
import argparse
import re
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
from pathlib import Path

arguments = argparse.ArgumentParser()
arguments.add_argument("folder", type=Path)
arguments.add_argument("--lupdate")
arguments.add_argument("--sources", type=Path)
arguments = arguments.parse_args()
folder = arguments.folder
problems = []
files = sorted(folder.glob("vorn_*.ts"))
if not files:
    problems.append(f"no vorn_*.ts in {folder}")
for ts in files:
    current_file = ""  # a relative location names its file only when it changes
    for context in ET.parse(ts).getroot().iter("context"):
        name = context.findtext("name")
        for message in context.iter("message"):
            source = message.findtext("source") or ""
            translation = message.find("translation")
            text = translation.text or "" if translation is not None else ""
            where = f"{ts.name}: {source[:60]!r}"
            for location in message.iter("location"):
                current_file = location.get("filename") or current_file
            if translation is None or translation.get("type") in ("unfinished", "vanished", "obsolete") or not text:
                problems.append(f"{where}: not translated")
                continue
            placeholders = lambda s: sorted(set(re.findall(r"%[1-9]", s)))
            if placeholders(source) != placeholders(text):
                problems.append(f"{where}: placeholders {placeholders(source)} became {placeholders(text)}")
            options = lambda s: sorted(re.findall(r"--[a-z-]+", s))
            if options(source) != options(text):
                problems.append(f"{where}: options {options(source)} became {options(text)}")
            if source.endswith("\n") != text.endswith("\n"):
                problems.append(f"{where}: the final line end differs")
            # Words marked outside the Qt front ends (the core's reports, the
            # shell's) are looked up in the one context "vorn".
            for location in message.iter("location"):
                current_file = location.get("filename") or current_file
                if "src/presentation/" not in current_file and name != "vorn":
                    problems.append(f"{where}: marked in {current_file} under context {name!r}, not 'vorn'")


def finished_messages(ts):
    """The (context, source) pairs that the file translates."""
    found = set()
    for context in ET.parse(ts).getroot().iter("context"):
        for message in context.iter("message"):
            translation = message.find("translation")
            if translation is not None and translation.text and translation.get("type") is None:
                found.add((context.findtext("name"), message.findtext("source") or ""))
    return found


if arguments.lupdate:
    with tempfile.TemporaryDirectory() as scratch:
        gathered = Path(scratch) / "gathered.ts"
        # The options the build's update_translations target uses.
        run = subprocess.run([arguments.lupdate, "-no-obsolete", "-locations", "none", "-tr-function-alias",
                              "QT_TR_NOOP+=VORN_TR", "-extensions", "cpp,h", str(arguments.sources), "-ts",
                              str(gathered)], capture_output=True, text=True)
        if run.returncode != 0 or not gathered.exists():
            problems.append(f"lupdate failed: {run.stderr.strip()}")
        else:
            marked = set()
            for context in ET.parse(gathered).getroot().iter("context"):
                for message in context.iter("message"):
                    marked.add((context.findtext("name"), message.findtext("source") or ""))
            if not marked:
                problems.append(f"lupdate found no marked strings in {arguments.sources}")
            for ts in files:
                for context, source in sorted(marked - finished_messages(ts)):
                    problems.append(f"{ts.name}: {source[:60]!r} (context {context}) is marked in the sources but not "
                                    "translated: run the update_translations target and translate it")
for p in problems:
    print(p)
print(f"{len(files)} translation file(s), {len(problems)} problem(s)")
sys.exit(1 if problems else 0)

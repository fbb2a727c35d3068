#!/usr/bin/env python3
"""Checks every translation of the player: each message is translated, keeps
every placeholder (%1..%9) of its English, and a help text keeps its lines'
option names, so that no reader meets English in the middle of their language
or a report that lost the file name it was about."""
import re
import sys
import xml.etree.ElementTree as ET
from pathlib import Path

folder = Path(sys.argv[1])
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
for p in problems:
    print(p)
print(f"{len(files)} translation file(s), {len(problems)} problem(s)")
sys.exit(1 if problems else 0)

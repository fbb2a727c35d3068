#!/usr/bin/env python3
"""Writes the fuzzers' seed corpora. OUT_DIR/script: every script-like string
literal of the tests and each example game's code.vrn, each once alone and
once followed by the events of a few play paths (the input layout of
script_fuzzer.cpp). OUT_DIR/midi: the example games' MIDI files.
OUT_DIR/archive: the checked-in test archives and zips of the example games.

Usage: seed_corpus.py REPO_DIR OUT_DIR
"""
import hashlib
import io
import pathlib
import re
import sys
import zipfile

EVENT_CODES = {"click text": 0, "click option 1": 1, "click option 2": 2, "click option 3": 3,
               "click option 4": 4, "menu new": 5, "music done": 6, "menu about": 7}
PATHS = [
    ["click text"] * 6,
    ["click text", "click option 1", "click text", "click text", "menu new", "click text", "click option 2",
     "click text", "music done", "click text"],
    ["click option 3", "click text", "click option 4", "click text", "click option 2", "menu about", "click text"],
]
COMMAND_CHARS = set('"<>([~-=!{}*')
ESCAPES = {"n": b"\n", "r": b"\r", "t": b"\t", "\\": b"\\", '"': b'"', "'": b"'", "0": b"\0", "a": b"\a"}


def literals(source):
    """The plain (not raw) string literals of a C++ file, as bytes; adjacent ones joined."""
    out, i, n = [], 0, len(source)
    pending, last_end = None, -1
    while i < n:
        c = source[i]
        if source.startswith("//", i):
            i = source.find("\n", i)
            i = n if i < 0 else i
            continue
        if c == "'":  # a character literal
            m = re.match(r"'(\\.|[^'\\])+'", source[i:])
            i += len(m.group(0)) if m else 1
            continue
        if c == '"' and (i == 0 or source[i - 1] not in "R8uUL"):
            value, j = bytearray(), i + 1
            while j < n and source[j] != '"':
                if source[j] == "\\":
                    e = source[j + 1]
                    if e == "x":
                        m = re.match(r"[0-9A-Fa-f]{1,2}", source[j + 2:])
                        value.append(int(m.group(0), 16))
                        j += 2 + len(m.group(0))
                        continue
                    value += ESCAPES.get(e, e.encode())
                    j += 2
                else:
                    value += source[j].encode("utf-8")
                    j += 1
            if pending is not None and source[last_end:i].strip() == "":
                pending += value
            else:
                if pending is not None:
                    out.append(bytes(pending))
                pending = value
            last_end = i = j + 1
            continue
        i += 1
    if pending is not None:
        out.append(bytes(pending))
    return out


def script_like(b):
    text = b.decode("latin-1")
    if len(b) < 3 or text.startswith('{"') or text.rstrip("\n") in EVENT_CODES:
        return False
    return any(ch in COMMAND_CHARS for ch in text)


def encode(script, path):
    events = bytes(EVENT_CODES[e] for e in path)
    return script + events + bytes([len(events)])


def main():
    repo, out = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2]) / "script"
    midi = pathlib.Path(sys.argv[2]) / "midi"
    out.mkdir(parents=True, exist_ok=True)
    midi.mkdir(parents=True, exist_ok=True)
    pieces = sorted(repo.glob("examples/*/*.mid"))
    for piece in pieces:
        (midi / hashlib.sha1(piece.read_bytes()).hexdigest()).write_bytes(piece.read_bytes())
    scripts = set()
    for source in sorted((repo / "tests").rglob("*.cpp")):
        scripts.update(b for b in literals(source.read_text(encoding="utf-8", errors="replace")) if script_like(b))
    for game in sorted((repo / "examples").glob("*/code.vrn")):
        scripts.add(game.read_bytes())
    count = 0
    for script in sorted(scripts):
        for path in [[]] + PATHS:
            data = encode(script, path)
            (out / hashlib.sha1(data).hexdigest()).write_bytes(data)
            count += 1
    archives = pathlib.Path(sys.argv[2]) / "archive"
    archives.mkdir(parents=True, exist_ok=True)
    seeds = [fixture.read_bytes() for fixture in sorted(repo.glob("tests/shell/fixtures/*.lzh"))]
    for game in sorted((repo / "examples").glob("*/code.vrn")):
        for method in (zipfile.ZIP_STORED, zipfile.ZIP_DEFLATED):
            packed = io.BytesIO()
            with zipfile.ZipFile(packed, "w", method) as archive:
                # The script and the small files: large pictures only slow the fuzzer down.
                for path in sorted(game.parent.rglob("*")):
                    if path.is_file() and path.stat().st_size <= 4096:
                        archive.write(path, "game/" + path.relative_to(game.parent).as_posix())
            seeds.append(packed.getvalue())
    for seed in seeds:
        (archives / hashlib.sha1(seed).hexdigest()).write_bytes(seed)
    print(f"{count} seeds from {len(scripts)} scripts in {out}; {len(pieces)} MIDI files in {midi}; "
          f"{len(seeds)} archives in {archives}")


if __name__ == "__main__":
    main()

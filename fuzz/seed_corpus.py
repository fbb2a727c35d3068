#!/usr/bin/env python3
"""Writes the fuzzers' seed corpora. OUT_DIR/script: every script-like string
literal of the tests and each example game's code.vrn, each once alone and
once followed by the events of a few play paths (the input layout of
script_fuzzer.cpp). OUT_DIR/midi: the example games' MIDI files.
OUT_DIR/archive: the checked-in test archives and zips of the example games.
OUT_DIR/save: the checked-in saved games and documents made here of the save
fuzzer's game at each kind of place: a page, a menu, a branch, pictures.

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


# Places in the save fuzzer's game (fuzz/save_fuzzer.cpp): its script is
# <a.bmp>[one.mid]"one" (3 x,y,z){"X"}{<pictures\b.bmp>"Y"}{~A1"Z"} "end".
SAVE_PLACES = [
    dict(position=21, wait=-1, num=0, selected=None, text="one", image1="a.bmp"),
    dict(position=32, wait=-1, num=3, selected=None, waiting=True, captions=["x", "y", "z", ""], image2="text.bmp"),
    dict(position=57, wait=-1, num=3, selected=2, text="Y", image1="pictures\\b.bmp", image2=""),
    dict(position=73, wait=0, num=0, selected=0, text="end", flags=[128, 0, 0, 0, 0, 0, 0, 0], music=None),
]


def save_document(position, wait, num, selected, text="", image1=None, image2=None, waiting=False,
                  captions=("", "", "", ""), flags=(0,) * 8, music="one.mid"):
    """A document as the player writes it (see encodeSave), for a place in the save fuzzer's game."""
    import json
    dump = lambda v: json.dumps(v, ensure_ascii=False, separators=(",", ":"))
    picture = lambda name: dump({"file": name, "sizeOf": name or None})
    lines = [
        '{"format":"VORN saved game"', '"version":1',
        '"game":{"name":"game","script":"' + "0" * 64 + '"}', '"saved":"2026-12-07T12:34:56Z"', '"picture":null',
        f'"script":{{"position":{position},"menu":23}}',
        f'"state":{{"WaitCmd":{wait},"NumCmds":{dump(num)},"Cmd_Selected":{dump(selected)},"musfile":{dump(music)},'
        f'"flags":{dump(list(flags))},"menuWaiting":{dump(waiting)}}}',
        f'"screen":{{"Form1":{picture("back.bmp")},\n  "Image1":{picture(image1)},\n  "Image2":{picture(image2)},'
        f'\n  "captions":{dump(list(captions))},\n  "text":{dump(text)}}}',
        f'"music":{dump(music)}',
        '"backlog":[\n  {"page":"one"},\n  {"choice":"y"}\n]}',
    ]
    return (",\n".join(lines) + "\n").encode("utf-8")


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
    seeds = [fixture.read_bytes() for fixture in sorted(repo.glob("tests/game_files/fixtures/*.lzh"))]
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
    saves = pathlib.Path(sys.argv[2]) / "save"
    saves.mkdir(parents=True, exist_ok=True)
    documents = [fixture.read_bytes() for fixture in sorted(repo.glob("tests/saves/fixtures/*.json"))]
    documents += [save_document(**place) for place in SAVE_PLACES]
    for document in documents:
        (saves / hashlib.sha1(document).hexdigest()).write_bytes(document)
    print(f"{count} seeds from {len(scripts)} scripts in {out}; {len(pieces)} MIDI files in {midi}; "
          f"{len(seeds)} archives in {archives}; {len(documents)} saves in {saves}")


if __name__ == "__main__":
    main()

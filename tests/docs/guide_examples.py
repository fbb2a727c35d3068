#!/usr/bin/env python3
"""Plays every example script of the script-language guide, so the guide cannot
drift from the player.

An example is a fenced block whose info string starts with `vrn`. Words after it:
  mistake  the script shows a mistake on purpose: `vorn check` must report it
  lf       save the script with line feeds alone (otherwise CR LF, as the guide
           tells authors to)
An HTML comment right behind the block, starting `<!-- play`, says what must
happen, one item per line:
  click text, click option 2, menu new, ...   an event for `vorn --headless`
  {"text":"..."}      a record that must follow, in order; keys not named are not
                      compared, and a "fatal" text need only be contained
  not {...}           a record that must not follow anywhere
  exit N              the headless exit status (default 0)
  check error TEXT    `vorn check` reports an error containing TEXT (mistakes only)
  check warning TEXT  the same for a warning
A script without mistake must pass `vorn check` without findings and
`vorn explore` without an error path.

Each script is saved both ways the guide allows (UTF-8 with the byte-order mark,
and code page 932) in a game folder made from the demo's pictures and music;
both must play the same.

The example of a manual page (its .EX block), given as MANPAGE, is played
the same way.

Usage: guide_examples.py VORN GUIDE.md DEMO_DIR [MANPAGE]
"""

import json
import re
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

FENCE = re.compile(r"^```(\S*)(.*)$")
EVENT = re.compile(r"^(click text|click option [1-4]|menu (new|quit|about)|music done|close)$")
KNOWN_WORDS = {"mistake", "lf"}


class Example:
    def __init__(self, source, line, words, script):
        self.source = source
        self.line = line
        self.words = words
        self.script = script
        self.events = []
        self.steps = []  # ("event", text) | ("expect", record) | ("not", record)
        self.exit = 0
        self.findings = []  # (severity, text)

    @property
    def name(self):
        return f"{self.source}:{self.line}: example"


def parse_guide(path):
    lines = path.read_text(encoding="utf-8").split("\n")
    examples, errors = [], []
    i = 0
    while i < len(lines):
        m = FENCE.match(lines[i])
        if not m or not m.group(1):
            i += 1
            continue
        lang, words = m.group(1), m.group(2).split()
        start = i
        i += 1
        body = []
        while i < len(lines) and not lines[i].startswith("```"):
            body.append(lines[i])
            i += 1
        i += 1
        if lang != "vrn":
            continue
        ex = Example(path, start + 1, words, "\n".join(body) + "\n")
        for w in words:
            if w not in KNOWN_WORDS:
                errors.append(f"{ex.name}: unknown word {w!r} after ```vrn")
        if i < len(lines) and lines[i].startswith("<!-- play"):
            i += 1
            while i < len(lines) and lines[i].strip() != "-->":
                read_play_line(ex, lines[i].strip(), errors)
                i += 1
            i += 1
        examples.append(ex)
    comments = sum(1 for line in lines if line.startswith("<!-- play"))
    stray = comments - sum(1 for ex in examples if ex.steps or ex.findings or ex.exit)
    if stray:
        errors.append(f"{path}: {stray} play comments follow no ```vrn block")
    return examples, errors


def parse_manual_page(path):
    examples, block, start = [], None, 0
    for number, line in enumerate(path.read_text(encoding="utf-8").split("\n"), 1):
        if line == ".EX":
            block, start = [], number
        elif line == ".EE" and block is not None:
            script = "\n".join(block).replace("\\-", "-").replace("\\e", "\\") + "\n"
            examples.append(Example(path, start, [], script))
            block = None
        elif block is not None:
            block.append(line)
    return examples


def read_play_line(ex, item, errors):
    if not item:
        return
    if EVENT.match(item):
        ex.events.append(item)
        ex.steps.append(("event", item))
    elif item.startswith("{"):
        ex.steps.append(("expect", json.loads(item)))
    elif item.startswith("not {"):
        ex.steps.append(("not", json.loads(item[4:])))
    elif item.startswith("exit "):
        ex.exit = int(item[5:])
    elif item.startswith("check error") or item.startswith("check warning"):
        severity, _, text = item[len("check "):].partition(" ")
        ex.findings.append((severity, text.strip()))
    else:
        errors.append(f"{ex.name}: cannot read the play line {item!r}")


def matches(expected, actual):
    if isinstance(expected, dict):
        if not isinstance(actual, dict):
            return False
        for key, value in expected.items():
            if key not in actual:
                return False
            if key == "fatal" and isinstance(value, str):
                if value not in actual[key]:
                    return False
            elif not matches(value, actual[key]):
                return False
        return True
    return expected == actual


def encodings(ex):
    text = ex.script if "lf" in ex.words else ex.script.replace("\n", "\r\n")
    yield "UTF-8 with the byte-order mark", b"\xef\xbb\xbf" + text.encode("utf-8")
    yield "code page 932", text.encode("cp932")


def play(vorn, folder, ex):
    stdin = "".join(e + "\n" for e in ex.events)
    run = subprocess.run([vorn, "--headless", str(folder)], input=stdin.encode(), capture_output=True, timeout=60)
    records = [json.loads(line) for line in run.stdout.decode("utf-8").splitlines() if line]
    return run.returncode, records


def verify_play(status, records, ex):
    problems = []
    if status != ex.exit:
        problems.append(f"vorn --headless exits with {status}, not {ex.exit}")
    at = 0
    for kind, want in ex.steps:
        if kind == "event":
            want = {"event": want}
        if kind == "not":
            hit = next((r for r in records[at:] if matches(want, r)), None)
            if hit is not None:
                problems.append(f"{json.dumps(want, ensure_ascii=False)} appears, but must not")
            continue
        while at < len(records) and not matches(want, records[at]):
            at += 1
        if at == len(records):
            problems.append(f"{json.dumps(want, ensure_ascii=False)} does not follow where expected")
            break
        at += 1
    return problems


def verify_check(vorn, folder, ex):
    run = subprocess.run([vorn, "check", str(folder)], capture_output=True, timeout=60)
    out = run.stdout.decode("utf-8")
    findings = [(m.group(1), m.group(2)) for m in re.finditer(r"^code\.vrn[:\d]*: (error|warning): (.*)$", out, re.M)]
    problems = []
    if "mistake" not in ex.words:
        if findings or run.returncode != 0:
            problems.append(f"vorn check reports findings (exit {run.returncode}):\n{out}")
        return problems
    if not ex.findings:
        problems.append("a mistake needs a 'check error' or 'check warning' line")
    for severity, text in ex.findings:
        if not any(s == severity and text in t for s, t in findings):
            problems.append(f"vorn check reports no {severity} containing {text!r}:\n{out}")
    has_errors = any(s == "error" for s, _ in findings)
    if run.returncode != (1 if has_errors else 0):
        problems.append(f"vorn check exits with {run.returncode}")
    return problems


def verify_explore(vorn, folder):
    run = subprocess.run([vorn, "explore", "--max-paths", "500", str(folder)], capture_output=True, timeout=120)
    if run.returncode != 0:
        return [f"vorn explore finds an error path:\n{run.stdout.decode('utf-8')}"]
    return []


def main():
    vorn, guide, demo = sys.argv[1], Path(sys.argv[2]), Path(sys.argv[3])
    examples, problems = parse_guide(guide)
    if len(examples) < 10:
        problems.append(f"only {len(examples)} examples found in {guide}: is the ```vrn marking still used?")
    if len(sys.argv) > 4:
        manual = parse_manual_page(Path(sys.argv[4]))
        if not manual:
            problems.append(f"no example found in {sys.argv[4]}")
        examples += manual
    with tempfile.TemporaryDirectory() as tmp:
        folder = Path(tmp) / "game"
        shutil.copytree(demo, folder, ignore=shutil.ignore_patterns("code.vrn", "README.md"))
        for ex in examples:
            transcripts = []
            for how, data in encodings(ex):
                (folder / "code.vrn").write_bytes(data)
                status, records = play(vorn, folder, ex)
                transcripts.append(records)
                found = verify_play(status, records, ex) + verify_check(vorn, folder, ex)
                if "mistake" not in ex.words and how.startswith("UTF-8"):
                    found += verify_explore(vorn, folder)
                problems += [f"{ex.name} ({how}): {p}" for p in found]
            if transcripts[0] != transcripts[1]:
                problems.append(f"{ex.name}: plays differently saved in UTF-8 and in code page 932")
    for p in problems:
        print(p)
    print(f"{len(examples)} examples, {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())

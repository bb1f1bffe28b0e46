#!/usr/bin/env python3
"""Reads the fault list and plants one fault into a source tree.

A fault is a block: a header line `ID | layer | file | what the fault is`, then the old text as
lines starting with "-" and the new text as lines starting with "+" (the rest of each line, taken
exactly). Lines starting with "#" and blank lines separate blocks.

  apply.py LIST list             prints ID<TAB>layer<TAB>file<TAB>what, one fault a line
  apply.py LIST check TREE       checks that every old text occurs exactly once in TREE
  apply.py LIST plant ID TREE    replaces the old text of fault ID in TREE with its new text
"""
import sys


def read_faults(path):
    faults, cur = [], None
    for line in open(path, encoding="utf-8").read().split("\n"):
        if not line.strip() or line.startswith("#"):
            cur = None
        elif line[0] in "-+" and cur is not None:
            cur["old" if line[0] == "-" else "new"].append(line[1:])
        else:
            parts = [p.strip() for p in line.split("|", 3)]
            if len(parts) != 4:
                sys.exit(f"bad header line: {line}")
            cur = dict(zip(("id", "layer", "file", "what"), parts), old=[], new=[])
            faults.append(cur)
    for f in faults:
        if not f["old"] or f["old"] == f["new"]:
            sys.exit(f"{f['id']}: no old text, or new text equal to it")
    if len({f["id"] for f in faults}) != len(faults):
        sys.exit("duplicate fault ids")
    return faults


def count(fault, tree):
    text = open(f"{tree}/{fault['file']}", encoding="utf-8").read()
    return text, "\n".join(fault["old"])


def main():
    faults = read_faults(sys.argv[1])
    cmd = sys.argv[2]
    if cmd == "list":
        for f in faults:
            print("\t".join((f["id"], f["layer"], f["file"], f["what"])))
    elif cmd == "check":
        bad = 0
        for f in faults:
            text, old = count(f, sys.argv[3])
            if text.count(old) != 1:
                print(f"{f['id']}: old text occurs {text.count(old)} times in {f['file']}")
                bad += 1
        sys.exit(1 if bad else 0)
    elif cmd == "plant":
        f = next(f for f in faults if f["id"] == sys.argv[3])
        text, old = count(f, sys.argv[4])
        if text.count(old) != 1:
            sys.exit(f"{f['id']}: old text occurs {text.count(old)} times in {f['file']}")
        with open(f"{sys.argv[4]}/{f['file']}", "w", encoding="utf-8") as out:
            out.write(text.replace(old, "\n".join(f["new"])))
    else:
        sys.exit(__doc__)


main()

#!/usr/bin/python3
"""Fails when two string-table entries of the resource library share an id (the later one silently wins),
or when a string-table entry names an id that resource.h does not define."""
import glob
import os
import re
import sys

root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
header = open(os.path.join(root, "resources", "resource.h"), encoding="utf-8").read()
values = {name: int(value) for name, value in re.findall(r"^#define\s+(\w+)\s+(\d+)\b", header, re.M)}
seen = {}
problems = []
for path in sorted(glob.glob(os.path.join(root, "resources", "**", "*.rc"), recursive=True)):
    text = open(path, encoding="utf-8").read()
    for table in re.findall(r"STRINGTABLE\b.*?\bBEGIN\b(.*?)^END\b", text, re.S | re.M):
        for name in re.findall(r"^\s*(\w+)\s*,?\s*\"", table, re.M):
            if name.isdigit():
                problems.append(f"{os.path.relpath(path, root)}: bare number {name} in a string table")
                continue
            if name not in values:
                problems.append(f"{os.path.relpath(path, root)}: {name} is not defined in resource.h")
                continue
            where = f"{os.path.relpath(path, root)} ({name})"
            number = values[name]
            if number in seen:
                problems.append(f"string id {number} is defined twice: {seen[number]} and {where}")
            else:
                seen[number] = where
for line in problems:
    print(line)
print(f"{len(seen)} string ids, {len(problems)} problems")
sys.exit(1 if problems else 0)

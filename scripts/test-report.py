#!/usr/bin/python3
"""Printed after ctest's summary: the tests that were skipped and the programs that needed a second run."""
import glob
import os
import sys
import xml.etree.ElementTree as ET

results = sys.argv[1]
skipped = []
for path in sorted(glob.glob(os.path.join(results, "*.xml"))):
    try:
        root = ET.parse(path).getroot()
    except ET.ParseError as error:
        print(f"Unreadable test result {os.path.basename(path)}: {error}")
        continue
    for case in root.iter("testcase"):
        skip = case.find("skipped")
        if skip is not None or case.get("result") == "skipped":
            message = (skip.get("message") if skip is not None else "") or ""
            skipped.append(f"{case.get('classname')}.{case.get('name')}: {message.strip()}")

print(f"Skipped tests: {len(skipped)}")
for line in skipped:
    print(f"  {line}")
retried_path = os.path.join(results, "retried.txt")
retried = open(retried_path).read().split("\n") if os.path.exists(retried_path) else []
retried = [line for line in retried if line.strip()]
print(f"Passed only on a second run (display driver abort): {len(retried) or 'none'}")
for line in retried:
    print(f"  {line}")

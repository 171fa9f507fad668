#!/usr/bin/env python3
"""Checks the timeline pictures that report_fixture writes: each parses as XML,
is a standalone SVG (no script, no event handler, nothing loaded from outside)
and carries its title, both axes with ticks, one line per series and a legend
naming the series as the log wrote them.

    python3 timeline_svg_check.py PATH_TO_REPORT_FIXTURE
"""

import os
import re
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

SVG = "{http://www.w3.org/2000/svg}"
FORBIDDEN = {"script", "foreignObject", "image", "use", "a", "style", "iframe", "object"}


def fail(message):
    print(f"timeline_svg: FAILED: {message}", file=sys.stderr)
    sys.exit(1)


def texts(root, group):
    found = root.find(f".//{SVG}g[@class='{group}']")
    if found is None:
        fail(f"no group {group}")
    return [t.text for t in found.iter(f"{SVG}text")]


def check(path, title, legend, x_ticks, y_ticks, tooltips=None):
    try:
        root = ET.parse(path).getroot()
    except ET.ParseError as error:
        fail(f"{path} is not well-formed XML: {error}")
    if root.tag != f"{SVG}svg":
        fail(f"{path}: root is {root.tag}")
    for element in root.iter():
        tag = element.tag.removeprefix(SVG)
        if tag in FORBIDDEN:
            fail(f"{path}: holds <{tag}>")
        for name, value in element.attrib.items():
            if "href" in name or name.lower().startswith("on") or "url(" in value:
                fail(f"{path}: attribute {name}={value!r}")

    if root.findtext(f"{SVG}title") != title:
        fail(f"{path}: title {root.findtext(f'{SVG}title')!r}, expected {title!r}")
    shown = [t.text for t in root.findall(f"{SVG}text")]
    if title.removeprefix("Damage per second: ") not in shown:
        fail(f"{path}: the title is not drawn: {shown}")
    if {"Seconds from the start", "Damage per second"} - set(shown):
        fail(f"{path}: axis titles missing from {shown}")
    # Both ends of each axis carry a tick.
    for group, expected in (("x-labels", x_ticks), ("y-labels", y_ticks)):
        if texts(root, group) != expected:
            fail(f"{path}: ticks of {group}: {texts(root, group)}, expected {expected}")

    if texts(root, "legend") != legend:
        fail(f"{path}: legend {texts(root, 'legend')}, expected {legend}")
    lines = root.find(f".//{SVG}g[@class='series']").findall(f"{SVG}polyline")
    if [line.findtext(f"{SVG}title") for line in lines][-1] != legend[-1]:
        fail(f"{path}: the last line is not the opponent's")
    if len(lines) != len(legend):
        fail(f"{path}: {len(lines)} lines for {len(legend)} legend entries")
    # The tooltips name the series whole, up to 200 characters.
    if [line.findtext(f"{SVG}title") for line in lines] != (tooltips or legend):
        fail(f"{path}: tooltips {[line.findtext(f'{SVG}title') for line in lines]}")
    for line in lines:
        points = line.get("points").split(" ")
        if len(points) < 2 or not all(re.fullmatch(r"-?[\d.]+,-?[\d.]+", p) for p in points):
            fail(f"{path}: bad points {points[:4]}")


def main():
    if len(sys.argv) != 2:
        fail("usage: timeline_svg_check.py PATH_TO_REPORT_FIXTURE")
    with tempfile.TemporaryDirectory() as work:
        subprocess.run([sys.argv[1], work], check=True)
        check(os.path.join(work, "timeline.svg"),
              "Damage per second: a goblin, 03/14/2024 21:05:00",
              ['Al<i> & "Bo"', "D\u00e9sir\u00e9", "a goblin"],
              ["0", "2", "4", "6", "8", "10"], ["0.00", "0.50", "1.00", "1.50", "2.00", "2.50"])
        # Ranked by damage dealt (the last name deals the most); control characters
        # become U+FFFD, the unassigned Windows-1252 bytes their control characters.
        check(os.path.join(work, "timeline-odd-names.svg"),
              'Damage per second: a <goblin> & "co", 03/14/2024 21:05:00',
              ["Bell\ufffd\ufffd", "Eve\u0081\u009d", "Dee", "Cy,Q",
               "Al<i> & 'Bo'", "W" * 15 + "...", "Ann + pet", "]]> <!-- x -->", "Others",
               'a <goblin> & "co"'],
              ["0", "10", "20", "30", "40"], ["0", "50", "100", "150", "200"],
              ["Bell\ufffd\ufffd", "Eve\u0081\u009d", "Dee", "Cy,Q", "Al<i> & 'Bo'",
               "W" * 197 + "...", "Ann + pet", "]]> <!-- x -->", "Others", 'a <goblin> & "co"'])
    print("timeline_svg: both pictures are standalone, well-formed SVG")


main()

#!/usr/bin/env python3
"""Reads or sets one key of an INI file in place, keeping every other line as it is.

    ini-value.py get FILE SECTION KEY DEFAULT
    ini-value.py set FILE SECTION KEY VALUE
"""
import os
import sys


def as_integer(text, default):
    """The program's reading: decimal with a sign, or 0x hexadecimal; anything else is missing."""
    try:
        if text[:2].lower() == "0x":
            return str(int(text[2:], 16))
        return str(int(text, 10))
    except ValueError:
        return default


def main(argv):
    if len(argv) != 6 or argv[1] not in ("get", "set"):
        print(__doc__, file=sys.stderr)
        return 2
    mode, path, section, key, value = argv[1:]
    lines = []
    if os.path.exists(path):
        with open(path, encoding="utf-8", errors="surrogateescape") as f:
            lines = f.read().splitlines()
    current = None
    found = None
    section_end = None
    for i, line in enumerate(lines):
        s = line.strip()
        if s.startswith("[") and s.endswith("]"):
            current = s[1:-1].strip().lower()
            continue
        if current == section.lower():
            section_end = i + 1
            name, sep, rest = line.partition("=")
            if sep and name.strip().lower() == key.lower() and found is None:
                found = i
                if mode == "get":
                    print(as_integer(rest.strip(), value))
                    return 0
    if mode == "get":
        print(value)
        return 0
    entry = f"{key}={value}"
    if found is not None:
        lines[found] = entry
    elif section_end is not None:
        lines.insert(section_end, entry)
    elif any(l.strip().lower() == f"[{section.lower()}]" for l in lines):
        idx = next(i for i, l in enumerate(lines) if l.strip().lower() == f"[{section.lower()}]")
        lines.insert(idx + 1, entry)
    else:
        if lines and lines[-1].strip():
            lines.append("")
        lines += [f"[{section}]", entry]
    with open(path, "w", encoding="utf-8", errors="surrogateescape") as f:
        f.write("\n".join(lines) + "\n")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

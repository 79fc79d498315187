"""The check mode: every committed description against avrdude's part data and the rules.

Needs only /etc/avrdude.conf (package avrdude), not the compiler, so it runs as a test.
"""

import os

import agreement
import description as desc


def run(parts, folder):
    """Checks every description in folder; prints one line per file; 0 when all pass."""
    names = description_names(folder)
    if not names:
        print(f"no {desc.EXTENSION} files in {folder}")
        return 1
    by_desc = _parts_by_desc(parts)
    failed = 0
    for name in names:
        found = check_file(os.path.join(folder, name + desc.EXTENSION), by_desc.get(name.lower()))
        if found:
            failed += 1
            print(f"FAIL {name}: " + "; ".join(found))
    print(f"{len(names) - failed} passed, {failed} failed")
    return 1 if failed else 0


def check_file(path, part):
    """The problems of one file; part is avrdude's part of the same name, or None."""
    if part is None:
        return ["avrdude has no part of this name"]
    try:
        with open(path, "rb") as file:
            parsed = desc.parse(file.read())
    except OSError as error:
        return [f"cannot read: {error}"]
    except desc.LayoutError as error:
        return [f"layout: {error}"]
    try:
        return agreement.problems(parsed, part)
    except ValueError as error:
        return [f"avrdude data: {error}"]


def description_names(folder):
    try:
        entries = os.listdir(folder)
    except OSError:
        return []
    return sorted(entry[:-len(desc.EXTENSION)] for entry in entries
                  if entry.endswith(desc.EXTENSION))


def _parts_by_desc(parts):
    by_desc = {}
    for part in parts.values():
        by_desc.setdefault(part.desc.lower(), part)
    return by_desc

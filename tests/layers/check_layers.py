#!/usr/bin/env python3
"""Checks that every #include "folder/..." in src/ names the file's own folder or a layer its
folder links (directly or through the layers below), as the folder's CMakeLists.txt declares
with tolmeo_layer(NAME DEPENDS ...). Prints each fault and exits 1 when there is one."""
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"/]+)/[^"]+"', re.M)
LAYER = re.compile(r'tolmeo_layer\(\s*(\w+)([^)]*)\)', re.S)


def declared_layers(src):
    """{layer: set of layers named after DEPENDS} from each folder's CMakeLists.txt."""
    layers = {}
    for folder in sorted(os.listdir(src)):
        cmake = os.path.join(src, folder, "CMakeLists.txt")
        if not os.path.isfile(cmake):
            continue
        match = LAYER.search(open(cmake, encoding="utf-8").read())
        if not match:
            continue
        words = match.group(2).split()
        deps, taking = set(), False
        for word in words:
            if word in ("DEPENDS", "PRIVATE", "EXECUTABLE"):
                taking = word == "DEPENDS"
            elif taking:
                deps.add(word)
        layers[match.group(1)] = deps
    return layers


def reachable(layers, name, seen=None):
    seen = set() if seen is None else seen
    for dep in layers.get(name, ()):
        if dep not in seen:
            seen.add(dep)
            reachable(layers, dep, seen)
    return seen


def faults(src):
    layers = declared_layers(src)
    found = []
    for layer in layers:
        allowed = reachable(layers, layer) | {layer}
        if layer in reachable(layers, layer):
            found.append(f"src/{layer} depends on itself through its layers")
        for root, _, names in os.walk(os.path.join(src, layer)):
            for name in sorted(names):
                if not name.endswith((".h", ".cpp")):
                    continue
                path = os.path.join(root, name)
                for target in INCLUDE.findall(open(path, encoding="utf-8", errors="replace").read()):
                    if target in layers and target not in allowed:
                        found.append(f"{os.path.relpath(path, os.path.dirname(src))} includes {target}/, "
                                     f"which src/{layer} does not link")
    for folder in sorted(os.listdir(src)):
        if os.path.isdir(os.path.join(src, folder)) and folder not in layers:
            found.append(f"src/{folder} is not a layer (no tolmeo_layer in its CMakeLists.txt)")
    return found


def main():
    src = sys.argv[1] if len(sys.argv) > 1 else "src"
    found = faults(src)
    for fault in found:
        print(fault)
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())

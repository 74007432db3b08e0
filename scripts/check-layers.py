#!/usr/bin/env python3
# Run as `bash scripts/check-layers.py` like the other scripts here, the shell
# reads the next line as `exec python3 ...`; Python reads it as a string.
''''exec python3 -- "$0" "$@" # '''
"""Checks the include graph of src/ against the layer order of the libraries.

A file may include headers of its own library, of any lower layer, and of the
libraries of its own layer that are declared below. Anything else is an
upward (or sideways, undeclared) include and fails the check.

Usage: scripts/check-layers.py [src-folder]   (default: the src/ beside this script)
"""
import os
import re
import sys

# Bottom to top. A lower layer reaches a higher one only through an interface
# or a callback the higher one installs at start-up.
LAYERS = ["platform", "core", "shaders", "media", "effect", "edit", "render", "plugin",
          ("effects", "filters"), "script", "ui", "app"]

# Libraries of one layer that may include each other, as declared here.
SAME_LAYER = {
    "platform/os": set(),
    "platform/math": set(),
    "platform/window": {"platform/os"},
    "platform/audio": {"platform/os"},
    "platform/gpu": {"platform/os"},
    "platform/draw2d": {"platform/os", "platform/gpu", "platform/window"},
    "platform/imaging": {"platform/os"},
    "platform/mediareader": {"platform/os"},
    # The codecs share the audio layer's wave format header.
    "platform/codecs": {"platform/os", "platform/audio"},
    "platform/shell": {"platform/os"},
    "platform/notify": {"platform/os"},
    "media/image": set(),
    "media/audio": set(),
    "media/decode": {"media/image", "media/audio"},
    "media/gpu": {"media/image"},
    "media/figure": {"media/image", "media/gpu"},
    "media/text": {"media/image", "media/gpu"},
    "media/resource": {"media/image", "media/gpu", "media/figure"},
    # The umbrella header of media/ names every room.
    "media": {"media/image", "media/audio", "media/decode", "media/gpu"},
    # The filters draw with the resources and option lists of the built-in effects.
    "filters": {"effects"},
    "ui/framework": set(),
    "ui/controls": {"ui/framework"},
    "ui/dialogs": {"ui/framework", "ui/controls"},
    "ui/panels": {"ui/framework", "ui/controls", "ui/dialogs"},
    "ui/menus": {"ui/framework", "ui/controls", "ui/dialogs"},
    "ui/settings": {"ui/framework", "ui/controls", "ui/dialogs"},
}

# Folders whose libraries are one per subfolder.
ROOMED = {"platform", "media", "ui"}

INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')


def rank(top):
    for i, layer in enumerate(LAYERS):
        if top == layer or (isinstance(layer, tuple) and top in layer):
            return i
    return None


def library(path):
    """The library a path relative to src/ belongs to ("platform/os", "core", ...)."""
    parts = path.split("/")
    if parts[0] in ROOMED and len(parts) > 2:
        return parts[0] + "/" + parts[1]
    return parts[0]


def check(src):
    problems = []
    for folder, _, files in os.walk(src):
        for name in sorted(files):
            if not name.endswith((".h", ".cpp", ".hpp", ".cc")):
                continue
            full = os.path.join(folder, name)
            rel = os.path.relpath(full, src).replace(os.sep, "/")
            own = library(rel)
            own_rank = rank(own.split("/")[0])
            if own_rank is None:
                problems.append(f"{rel}: folder {own} has no place in the layer order")
                continue
            with open(full, encoding="utf-8", errors="replace") as f:
                for number, line in enumerate(f, 1):
                    m = INCLUDE.match(line)
                    if not m or "/" not in m.group(1):
                        continue
                    target = m.group(1)
                    if not os.path.exists(os.path.join(src, target)):
                        continue  # not one of ours (a system header with a folder)
                    other = library(target)
                    if other == own:
                        continue
                    other_rank = rank(other.split("/")[0])
                    if other_rank is None:
                        problems.append(f"{rel}:{number}: includes {target} of {other}, which has no layer")
                    elif other_rank > own_rank:
                        problems.append(f"{rel}:{number}: {own} includes {target} of the higher layer {other}")
                    elif other_rank == own_rank and other not in SAME_LAYER.get(own, set()):
                        problems.append(f"{rel}:{number}: {own} includes {target} of {other}, "
                                        f"not declared below it")
    return problems


def main():
    src = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "src")
    problems = check(os.path.normpath(src))
    for p in problems:
        print(p, file=sys.stderr)
    if problems:
        print(f"check-layers: {len(problems)} include(s) against the layer order", file=sys.stderr)
        return 1
    print("check-layers: the include graph follows the layer order")
    return 0


if __name__ == "__main__":
    sys.exit(main())

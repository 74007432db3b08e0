#!/usr/bin/env python3
"""Tests scripts/check-layers.py: the program's own src/ passes, and a small
tree fails exactly when one of its files includes against the layer order."""
import os
import subprocess
import sys
import tempfile

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
SCRIPT = os.path.join(ROOT, "scripts", "check-layers.py")

# The headers of the small tree, one per library that the cases reach.
HEADERS = ["platform/os/Os.h", "platform/window/Window.h", "platform/gpu/Gpu.h", "core/Core.h",
           "media/image/Image.h", "media/gpu/Gpu.h", "media/decode/Decode.h", "effect/Effect.h",
           "edit/Edit.h", "render/Render.h", "ui/dialogs/Dialogs.h", "app/App.h"]

# (the including file, what it includes, whether the check must fail)
CASES = [
    ("core/Text.cpp", "platform/os/Os.h", False),          # downward
    ("app/Main.cpp", "ui/dialogs/Dialogs.h", False),
    ("effect/Item.cpp", "effect/Effect.h", False),          # its own library
    ("platform/window/Queue.cpp", "platform/os/Os.h", False),  # declared within the platform layer
    ("media/gpu/Frame.cpp", "media/image/Image.h", False),  # declared within media
    ("media/decode/Reader.cpp", "media/image/Image.h", False),
    ("core/Ini.h", "system/header.h", False),               # not one of ours
    ("core/Event.cpp", "ui/dialogs/Dialogs.h", True),       # upward
    ("platform/os/File.cpp", "core/Core.h", True),
    ("effect/Number.cpp", "render/Render.h", True),
    ("media/gpu/Access.cpp", "effect/Effect.h", True),
    ("edit/Project.cpp", "app/App.h", True),
    ("platform/os/Thread.cpp", "platform/window/Window.h", True),  # sideways, not declared
    ("platform/gpu/Device.cpp", "platform/window/Window.h", True),
    ("media/image/Image.cpp", "media/gpu/Gpu.h", True),
    ("media/image/Raw.cpp", "media/decode/Decode.h", True),
]


# Every way the script is started: by Python, as the other scripts here are
# (through bash), and as a program. Each must give the same answer.
STARTERS = [[sys.executable, SCRIPT], ["bash", SCRIPT], [SCRIPT]]


def run(starter, src):
    return subprocess.run(starter + [src], capture_output=True, text=True)


def main():
    failures = []
    for starter in STARTERS:
        failures += check(starter)
    for f in failures:
        print(f, file=sys.stderr)
    total = (len(CASES) + 1) * len(STARTERS)
    print(f"{total - len(failures)} of {total} cases pass")
    return 1 if failures else 0


def check(starter):
    failures = []
    how = " ".join(os.path.basename(part) for part in starter)
    real = run(starter, os.path.join(ROOT, "src"))
    if real.returncode != 0:
        failures.append(f"{how}: the program's src/ fails the check:\n" + real.stderr)
    for source, target, must_fail in CASES:
        with tempfile.TemporaryDirectory() as src:
            for header in HEADERS:
                os.makedirs(os.path.dirname(os.path.join(src, header)), exist_ok=True)
                open(os.path.join(src, header), "w").write("#pragma once\n")
            path = os.path.join(src, source)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            open(path, "w").write(f'#include <vector>\n\n#include "{target}"\n')
            result = run(starter, src)
            failed = result.returncode != 0
            if failed != must_fail:
                failures.append(f"{how}: {source} including {target}: expected {'failure' if must_fail else 'success'}, "
                                f"got exit {result.returncode}\n{result.stderr}")
            elif must_fail and f"{source}:3:" not in result.stderr:
                failures.append(f"{how}: {source} including {target}: the report does not name the line\n{result.stderr}")
    return failures


if __name__ == "__main__":
    sys.exit(main())

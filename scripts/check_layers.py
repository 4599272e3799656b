#!/usr/bin/env python3
"""Keeps the source folders layered.

A file may include only from its own folder and the folders its layer is
allowed to see (the table below); logic folders never include Qt Widgets;
a bundled plug-in sees no project header but the public plug-in header.
Prints each offending file and include and exits 1; exits 0 when clean.

    scripts/check_layers.py [ROOT]      check the tree at ROOT (default: the repo)
    scripts/check_layers.py --self-test check that the checker catches faults
"""
import os
import re
import sys
import tempfile

# Which folders each folder may include from, besides itself. Extend it when a
# folder arrives; never to excuse an upward include.
LOGIC = ["core", "engine", "tags", "playlist", "media", "eq", "vis", "playback", "skin", "services"]
ALLOWED = {
    "imagelib": [],
    "core": ["imagelib"],
    # The engine implements playback/sound_engine.h, its contract (see CONTRACTS).
    "engine": ["core"],
    "engine/sources": ["core", "engine"],
    "tags": ["core"],
    "playlist": ["core", "tags"],
    "media": ["core", "tags", "playlist"],
    "vis": ["core"],
    "eq": ["core", "engine", "vis"],
    "playback": ["core", "engine", "tags", "playlist", "eq", "vis"],
    "skin": ["core", "imagelib", "tags"],
    "services": ["core", "imagelib", "tags"],
    "plugins": ["core", "engine", "tags", "playlist", "eq", "vis", "playback"],
    "ui": ["core", "imagelib", "ui/skin"] + LOGIC + ["plugins"],
    "ui/skin": ["core", "imagelib", "ui"] + LOGIC + ["plugins"],
    "app": ["core", "imagelib", "ui", "ui/skin"] + LOGIC + ["plugins"],
    "tools/skins": ["core", "imagelib", "ui", "ui/skin"] + LOGIC,
    "tools/samples": ["core"] + LOGIC,
    "tools/playlist": ["core", "imagelib", "ui"] + LOGIC,
    "tools/presets": ["core"] + LOGIC,
    "tools/screenshots": ["core", "imagelib", "ui", "ui/skin", "plugins", "app"] + LOGIC,
    "tools/art": ["core", "tools/skins", "services"],
    "tools/screens": ["core", "imagelib", "ui", "ui/skin", "plugins"] + LOGIC,
}
# Headers that belong to the layer below the folder they sit in: a contract
# owned by its user and implemented underneath.
CONTRACTS = {"playback/sound_engine.h": "engine"}
# Folders that are not checked: tests, benchmarks and fuzz harnesses may
# reach any layer.
UNCHECKED = ("tests", "bench", "fuzz", "build")
# Folders whose code must not use Qt Widgets.
NO_WIDGETS = set(LOGIC) | {"engine/sources", "plugins"}
BUNDLED = "plugins/bundled"
PUBLIC_HEADER = "plugins/qmb_plugin.h"
# Extra include roots of the build besides the repository root.
INCLUDE_ROOTS = ["plugins"]

QUOTED = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
ANGLED = re.compile(r"^\s*#\s*include\s+<([^>]+)>")
SOURCE_SUFFIXES = (".h", ".hpp", ".c", ".cc", ".cpp")


def widget_headers():
    """The class headers of Qt Widgets, read from the installed headers."""
    names = set()
    for base in ("/usr/include/x86_64-linux-gnu/qt6", "/usr/include/qt6", "/usr/include/aarch64-linux-gnu/qt6"):
        folder = os.path.join(base, "QtWidgets")
        if os.path.isdir(folder):
            names.update(n for n in os.listdir(folder) if n.startswith("Q") and "." not in n)
    # Enough to catch the usual ones where Qt is not installed.
    names.update({"QWidget", "QApplication", "QDialog", "QMessageBox", "QMainWindow", "QMenu"})
    return names


def folder_of(root, path):
    rel = os.path.relpath(path, root)
    return os.path.dirname(rel).replace(os.sep, "/")


def owner(folder):
    """The table row a folder belongs to: the longest matching row."""
    best = None
    for name in ALLOWED:
        if folder == name or folder.startswith(name + "/"):
            if best is None or len(name) > len(best):
                best = name
    return best


def resolve(root, including_dir, target):
    for base in [including_dir, root] + [os.path.join(root, r) for r in INCLUDE_ROOTS]:
        candidate = os.path.normpath(os.path.join(base, target))
        if os.path.isfile(candidate):
            return os.path.relpath(candidate, root).replace(os.sep, "/")
    return None


def check(root):
    faults = []
    widgets = widget_headers()
    for dirpath, dirnames, filenames in os.walk(root):
        rel_dir = os.path.relpath(dirpath, root).replace(os.sep, "/")
        top = rel_dir.split("/")[0]
        if rel_dir != "." and (top.startswith(".") or top in UNCHECKED or top.startswith("build")):
            dirnames[:] = []
            continue
        for name in sorted(filenames):
            if not name.endswith(SOURCE_SUFFIXES):
                continue
            path = os.path.join(dirpath, name)
            folder = "" if rel_dir == "." else rel_dir
            rel = f"{folder}/{name}" if folder else name
            row = owner(folder)
            bundled = folder == BUNDLED or folder.startswith(BUNDLED + "/")
            with open(path, encoding="utf-8", errors="replace") as source:
                for number, line in enumerate(source, 1):
                    quoted = QUOTED.match(line)
                    angled = ANGLED.match(line)
                    if angled and not bundled and row and (row in NO_WIDGETS or owner(row) in NO_WIDGETS):
                        header = angled.group(1)
                        if header.startswith("QtWidgets/") or header in widgets:
                            faults.append(f"{rel}:{number}: logic includes Qt Widgets <{header}>")
                    if not quoted:
                        continue
                    target = resolve(root, dirpath, quoted.group(1))
                    if target is None:
                        continue  # a system or generated header
                    target_folder = os.path.dirname(target)
                    if bundled:
                        if target != PUBLIC_HEADER and target_folder != folder:
                            faults.append(
                                f'{rel}:{number}: a bundled plug-in includes "{quoted.group(1)}"; '
                                f"it may see only {PUBLIC_HEADER}")
                        continue
                    if row is None:
                        continue  # a folder outside the table (top-level files)
                    target_row = CONTRACTS.get(target) or owner(target_folder) or target_folder
                    if target_row == row or target_folder == folder:
                        continue
                    if target_row not in ALLOWED[row]:
                        faults.append(
                            f'{rel}:{number}: {row}/ may not include "{quoted.group(1)}" '
                            f"({target_row}/ is not below it)")
    return faults


def self_test():
    """Builds small trees with one fault each and checks that each is caught."""
    cases = {
        "upward include": {"playlist/a.cpp": '#include "app/startup.h"\n', "app/startup.h": ""},
        "logic uses Qt Widgets": {"playback/a.cpp": "#include <QWidget>\n"},
        "bundled plug-in sees a project header": {
            "plugins/bundled/p.cpp": '#include "core/status_codes.h"\n',
            "core/status_codes.h": ""},
        "core reaches up": {"core/a.cpp": '#include "playlist/b.h"\n', "playlist/b.h": ""},
    }
    clean = {
        "engine/a.cpp": '#include "playback/sound_engine.h"\n',
        "playback/sound_engine.h": "",
        "plugins/bundled/p.cpp": '#include "qmb_plugin.h"\n#include <QDialog>\n',
        "plugins/qmb_plugin.h": "",
        "app/main.cpp": '#include "ui/menus.h"\n#include <QApplication>\n',
        "ui/menus.h": "",
    }
    ok = True
    for label, files in list(cases.items()) + [("clean tree", clean)]:
        with tempfile.TemporaryDirectory() as root:
            for rel, text in files.items():
                os.makedirs(os.path.join(root, os.path.dirname(rel)), exist_ok=True)
                with open(os.path.join(root, rel), "w") as out:
                    out.write(text)
            faults = check(root)
        expected = label != "clean tree"
        if bool(faults) != expected:
            ok = False
            print(f"self-test: {label}: {'missed' if expected else 'false alarm'} {faults}")
    print("self-test: " + ("passed" if ok else "FAILED"))
    return 0 if ok else 1


def main():
    if len(sys.argv) > 1 and sys.argv[1] == "--self-test":
        return self_test()
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
    faults = check(os.path.abspath(root))
    for fault in faults:
        print(fault)
    if faults:
        print(f"check_layers: {len(faults)} include(s) break the layering")
        return 1
    print("check_layers: every include keeps the layering")
    return 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Fails when an #include points up the layers, or when includes form a cycle.

The player's layers, top to bottom (a file may include its own layer and those below it):
  app > startup > show > slides > effects > settings > package > platform interfaces > libraries
  > common
slides holds where the show's slides come from: the Package's extracted files, a folder.
The libraries use no operating system: gdi (the drawing library) and media (the picture and
sound header checks, the memory bounds, the byte sources). Each includes common and its own
folder only, and everything above common may include them.
The platform implementations (platform/linux, platform/win32, platform/fake) sit beside the
system, not in it: they include the platform interfaces, the libraries, common and their own
folder only; app, which builds the platform, includes them too.
The authoring side (tools/slidepack, demo) builds on package and what lies below it, and may
render through show, effects and the fake platform; slidepack renders with the Linux player's
picture loader, file system and soundfont too, and finds pictures with slides. photos (the
picture preparation slidepack and the Linux player's folder share, with libvips) builds on slides
and below; slidepack and app include it.
idle (the idle watcher's rules) builds on the platform interfaces alone; app includes it.
tests, bench and fuzz may include anything.
The system's code talks to the operating system through the platform only: POSIX and libvips
headers are included in platform/, photos/ and tools/ (and tests, bench, fuzz) alone.

Usage: check_layers.py [source root]
"""
import os
import re
import sys

LIBRARIES = ("gdi", "media")
LAYERS = ["common", "platform", "package", "settings", "effects", "slides", "show", "startup",
          "app"]
SYSTEM = {name: rank for rank, name in enumerate(LAYERS)}
IMPLEMENTATIONS = ("platform/linux", "platform/win32", "platform/fake")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.MULTILINE)
SYSTEM_INCLUDE = re.compile(r'^\s*#\s*include\s*<([^>]+)>', re.MULTILINE)
# The operating system's and libvips' headers, which only these groups include.
OS_HEADERS = re.compile(r'^(unistd|fcntl|poll|dirent|dlfcn|pthread|signal|termios|pwd|grp|'
                        r'spawn|mqueue|semaphore)\.h$|^(sys|vips|linux)/')
OS_GROUPS = IMPLEMENTATIONS + ("photos", "tools/slidepack", "tests", "bench", "fuzz")

# Known upward includes, each on its way out. One that no longer occurs fails the check, so
# that it is struck from this list.
EXCEPTIONS: set = set()


def inside(path, folder):
    return path == folder or path.startswith(folder + "/")


def group_of(path):
    """The group a source file belongs to: a system layer, an implementation or a side."""
    for folder in IMPLEMENTATIONS:
        if inside(path, folder):
            return folder
    if inside(path, "tools/slidepack"):
        return "tools/slidepack"
    if inside(path, "photos"):
        return "photos"
    if inside(path, "idle"):
        return "idle"
    top = path.split("/", 1)[0]
    if top in SYSTEM or top in LIBRARIES or top in ("demo", "tests", "bench", "fuzz"):
        return top
    return None


def allowed(source_group, target_group):
    if source_group in ("tests", "bench", "fuzz") or source_group == target_group:
        return True
    if source_group in LIBRARIES:
        return target_group == "common"
    if target_group in LIBRARIES:
        return source_group != "common"
    if source_group == "app" and target_group in IMPLEMENTATIONS + ("photos", "idle"):
        return True
    if source_group == "idle":
        return target_group in ("platform", "common")
    if source_group == "photos":
        return target_group in ("slides", "effects", "package", "platform", "common")
    if source_group == "tools/slidepack" and target_group == "photos":
        return True
    if source_group in SYSTEM:
        return target_group in SYSTEM and SYSTEM[target_group] <= SYSTEM[source_group]
    if source_group in IMPLEMENTATIONS:
        return target_group in ("platform", "common")
    if source_group == "tools/slidepack" and target_group == "platform/linux":
        return True
    if source_group == "tools/slidepack" and target_group == "slides":
        return True
    if source_group in ("tools/slidepack", "demo"):
        return target_group in ("package", "platform", "common", "show", "effects",
                                "settings", "platform/fake")
    return False


def resolve(root, including, name):
    """The repository path of a quoted include: beside the including file, else from the root."""
    for candidate in (os.path.join(os.path.dirname(including), name), name):
        candidate = os.path.normpath(candidate)
        if os.path.isfile(os.path.join(root, candidate)):
            return candidate.replace(os.sep, "/")
    return None


def sources(root):
    """Every .h and .cpp of the tree, build folders and hidden folders left out."""
    for folder, folders, files in os.walk(root):
        folders[:] = sorted(f for f in folders if not f.startswith(".") and
                            not (folder == root and f == "build"))
        for name in sorted(files):
            if name.endswith((".h", ".cpp")):
                yield os.path.relpath(os.path.join(folder, name), root).replace(os.sep, "/")


def find_cycle(graph):
    """One include cycle as a list of files, or None."""
    state = {}  # 1: on the current path, 2: done
    stack = []

    def visit(node):
        state[node] = 1
        stack.append(node)
        for target in graph.get(node, ()):
            if state.get(target) == 1:
                return stack[stack.index(target):] + [target]
            if target not in state:
                cycle = visit(target)
                if cycle:
                    return cycle
        stack.pop()
        state[node] = 2
        return None

    for node in sorted(graph):
        if node not in state:
            cycle = visit(node)
            if cycle:
                return cycle
    return None


def main():
    root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else
                           os.path.join(os.path.dirname(__file__), ".."))
    problems = []
    graph = {}
    excepted = set()
    checked = 0
    for path in sources(root):
        checked += 1
        group = group_of(path)
        if group is None:
            problems.append(f"{path}: in no layer; add its folder to tools/check_layers.py")
            continue
        with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
            text = f.read()
        if group not in OS_GROUPS and group != "platform":
            for name in SYSTEM_INCLUDE.findall(text):
                if OS_HEADERS.search(name):
                    problems.append(f"{path}: includes <{name}>, which only platform/, photos/ "
                                    "and tools/ may")
        for name in INCLUDE.findall(text):
            target = resolve(root, path, name)
            if target is None:
                continue  # generated, or not ours
            graph.setdefault(path, []).append(target)
            target_group = group_of(target)
            if (path, target) in EXCEPTIONS:
                excepted.add((path, target))
            elif target_group is None or not allowed(group, target_group):
                problems.append(f"{path}: includes {target} ({group} may not include "
                                f"{target_group})")
    for path, target in sorted(EXCEPTIONS - excepted):
        problems.append(f"{path} no longer includes {target}: strike it from EXCEPTIONS")
    cycle = find_cycle(graph)
    if cycle:
        problems.append("include cycle: " + " -> ".join(cycle))
    for problem in problems:
        print(problem)
    if problems:
        return 1
    print(f"{checked} files checked: every include points down the layers")
    return 0


if __name__ == "__main__":
    sys.exit(main())

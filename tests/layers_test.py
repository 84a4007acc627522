#!/usr/bin/env python3
"""Checks src/ against the README's table of layers: every library links only the libraries its
row allows, and every source file includes headers only from its own folder and the folders of
those libraries. Prints each breach as `FILE: WHAT` and exits 1 when there is one.

Usage: layers_test.py ROOT"""
import os
import re
import sys

SUBSYSTEMS = ("support", "toolkit", "bench", "results", "storage", "ui", "share", "app")


def read_table(readme):
    """The README's '## Layers' block: library -> libraries it may link."""
    text = open(readme, encoding="utf-8").read()
    section = re.search(r"^## Layers\n(.*?)(?=^## |\Z)", text, re.S | re.M)
    if not section:
        sys.exit(f"{readme}: no '## Layers' section")
    block = re.search(r"^```\n(.*?)^```", section.group(1), re.S | re.M)
    if not block:
        sys.exit(f"{readme}: the Layers section has no table")
    table = {}
    for line in block.group(1).splitlines()[1:]:
        words = line.split()
        if words:
            table[words[0]] = set(w for w in words[1:] if w != "-")
    for name, deps in table.items():
        for dep in deps:
            if dep not in table:
                sys.exit(f"{readme}: {name} may link {dep}, which has no row")
    return table


def commands(cmake_text):
    """(command, arguments) of a CMakeLists.txt, comments dropped, ${var} kept as written."""
    text = re.sub(r"#[^\n]*", "", cmake_text)
    for m in re.finditer(r"(\w+)\s*\(([^()]*(?:\([^()]*\)[^()]*)*)\)", text):
        yield m.group(1).lower(), re.findall(r'"[^"]*"|[^\s"]+', m.group(2))


def read_targets(folder):
    """Targets of one src/ folder: name -> (kind, own source files, linked folvi_ libraries)."""
    variables, globbed, targets = {}, set(), {}
    for name, args in commands(open(os.path.join(folder, "CMakeLists.txt")).read()):
        if name == "set" and args:
            variables[args[0]] = args[1:]
        elif name == "file" and args[:1] == ["GLOB"]:
            globbed.add(args[1])
        elif name in ("add_library", "add_executable") and args:
            sources, glob = set(), False
            for arg in args[1:]:
                var = re.fullmatch(r"\$\{(\w+)\}", arg)
                words = [arg] if not var else variables.get(var.group(1), [])
                glob |= bool(var) and var.group(1) in globbed
                sources |= {os.path.basename(w) for w in words if w.endswith(".cpp")}
            targets[args[0]] = [name, sources, set(), glob]
        elif name == "target_link_libraries" and args and args[0] in targets:
            targets[args[0]][2] |= {a for a in args[1:] if a.startswith("folvi_")}
    # A globbing library owns the folder's .cpp files that no other target lists.
    listed = set().union(*(t[1] for t in targets.values())) if targets else set()
    every = {f for f in os.listdir(folder) if f.endswith(".cpp")}
    for target in targets.values():
        if target[3]:
            target[1] = every - (listed - target[1])
    return {n: (t[0], t[1], t[2]) for n, t in targets.items()}


def included_folders(path):
    with open(path, encoding="utf-8", errors="replace") as f:
        for number, line in enumerate(f, 1):
            m = re.match(r'\s*#\s*include\s+"(\w+)/', line)
            if m and m.group(1) in SUBSYSTEMS:
                yield number, m.group(1)


def main(root):
    table = read_table(os.path.join(root, "README.md"))
    home, targets = {}, {}
    for sub in SUBSYSTEMS:
        for name, target in read_targets(os.path.join(root, "src", sub)).items():
            home[name], targets[name] = sub, target
    breaches = []

    def closure(names):
        seen, todo = set(), list(names)
        while todo:
            name = todo.pop()
            if name not in seen:
                seen.add(name)
                todo += table.get(name, ())
        return seen

    for name, (kind, _, links) in sorted(targets.items()):
        if kind == "add_executable":
            continue
        if name not in table:
            breaches.append(f"src/{home[name]}/CMakeLists.txt: {name} has no row in the README's Layers table")
            continue
        for dep in sorted(links - table[name]):
            breaches.append(f"src/{home[name]}/CMakeLists.txt: {name} links {dep}, which its row does not allow")

    def reach(name):
        """The folders a target's files may include: those of every library it may link, at any depth."""
        kind, _, links = targets[name]
        start = table.get(name, set()) if kind == "add_library" else links
        return {home[n] for n in closure(start) if n in home} | {home[name]}

    for sub in SUBSYSTEMS:
        folder = os.path.join(root, "src", sub)
        owned = {n: t for n, t in targets.items() if home[n] == sub}
        for file in sorted(os.listdir(folder)):
            if not file.endswith((".cpp", ".h")):
                continue
            owners = [n for n, t in owned.items() if file in t[1]]
            if file.endswith(".cpp") and not owners:
                breaches.append(f"src/{sub}/{file}: belongs to no target")
                continue
            if owners:
                allowed = set.intersection(*(reach(n) for n in owners)) | {sub}
            else:  # a header: whatever one of the folder's targets may use
                allowed = set().union({sub}, *(reach(n) for n in owned))
            for number, dep in included_folders(os.path.join(folder, file)):
                if dep not in allowed:
                    breaches.append(f"src/{sub}/{file}:{number}: includes {dep}/, which its library may not use")
    for b in breaches:
        print(b)
    return 1 if breaches else 0


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    sys.exit(main(sys.argv[1]))

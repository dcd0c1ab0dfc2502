#!/usr/bin/env python3
"""Fails when an include under src/ runs from a lower layer to a higher one.

The layers are those of the layout table in README.md: each row of a folder
under src/ names its layer, 1 at the top.  A file may include the files of its
own layer and of the layers below it (larger numbers), never those above.
Every source file under src/ must lie in a folder of the table.

Usage: scripts/check-layers.py [REPOSITORY]      (default: the one above this script)
"""
import pathlib
import re
import sys

ROW = re.compile(r"^\|\s*(\d+)\s*\|\s*`(src/[^`]*)`\s*\|")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)


def layers(readme):
    """The folders of the layout table with their layers, longest first."""
    table = {}
    in_layout = False
    for line in readme.read_text(encoding="utf-8").splitlines():
        if line.startswith("## "):
            in_layout = line.strip() == "## Layout"
        elif in_layout and (m := ROW.match(line)):
            table[m.group(2).rstrip("/") + "/"] = int(m.group(1))
    return dict(sorted(table.items(), key=lambda item: -len(item[0])))


def layer_of(path, table):
    for folder, layer in table.items():
        if path.startswith(folder):
            return folder, layer
    return None, None


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parent.parent)
    table = layers(root / "README.md")
    if not table:
        print("README.md has no layout table with layers", file=sys.stderr)
        return 1
    faults = []
    sources = sorted(p for p in (root / "src").rglob("*") if p.suffix in (".h", ".cpp"))
    for source in sources:
        name = source.relative_to(root).as_posix()
        folder, layer = layer_of(name, table)
        if folder is None:
            faults.append(f"{name}: its folder is not in the layout table of README.md")
            continue
        for included in INCLUDE.findall(source.read_text(encoding="utf-8")):
            target = "src/" + included
            if not (root / target).is_file():
                continue  # a header of its own folder's build, or none of ours
            to_folder, to_layer = layer_of(target, table)
            if to_folder is not None and to_layer < layer:
                faults.append(f"{name} (layer {layer}, {folder}) includes {target} "
                              f"(layer {to_layer}, {to_folder}), which lies above it")
    for fault in faults:
        print(fault)
    print(f"{len(sources)} files checked against {len(set(table.values()))} layers: "
          f"{len(faults)} includes run upwards" if faults else
          f"{len(sources)} files checked against {len(set(table.values()))} layers: every include runs downwards")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())

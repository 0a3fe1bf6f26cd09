#!/usr/bin/env python3
"""Writes a resource table with every id name replaced by its number.

The id headers are the one place an id's number is written; the resource
tables under resources/ name ids as strings ("IDC_KEYLENGTH"). At build time
each table is copied with those names resolved: a name used as an object key
becomes the number as a key ("32771": ...), anywhere else the bare number.

    resolve_resource_ids.py --out OUT.json IN.json HEADER.h...

A string that looks like an id (IDD_, IDC_, IDR_, ID_, AFX_IDS_, AFX_IDW_ or
IDOK/IDCANCEL) but is in none of the headers is an error, so a typo never
reaches a program as a dialog that cannot be found.
"""
import argparse
import json
import os
import re
import sys
import tempfile

DEFINITION = re.compile(r"constexpr\s+(?:unsigned|int|UINT)\s+([A-Z_][A-Z0-9_]*)\s*=\s*(0[xX][0-9A-Fa-f]+|\d+)\s*;")
ID_LIKE = re.compile(r"^(?:IDD_|IDC_|IDR_|ID_|AFX_IDS_|AFX_IDW_)[A-Z0-9_]+$|^ID(?:OK|CANCEL)$")
STRING = re.compile(r'"((?:[^"\\]|\\.)*)"(\s*:)?')


def read_ids(headers):
    ids = {}
    for header in headers:
        with open(header, encoding="utf-8") as f:
            for name, number in DEFINITION.findall(f.read()):
                value = int(number, 0)
                if name in ids and ids[name] != value:
                    sys.exit(f"resolve_resource_ids: {name} is {ids[name]} and {value} in the headers given")
                ids[name] = value
    return ids


def resolve(text, ids, source):
    unknown = []

    def replace(match):
        name, colon = match.group(1), match.group(2)
        if name in ids:
            return f'"{ids[name]}"{colon}' if colon else str(ids[name])
        if ID_LIKE.match(name):
            unknown.append(name)
        return match.group(0)

    resolved = STRING.sub(replace, text)
    if unknown:
        sys.exit(f"resolve_resource_ids: {source} names ids no header defines: {', '.join(sorted(set(unknown)))}")
    json.loads(resolved)  # what the programs read must stay JSON
    return resolved


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", required=True)
    parser.add_argument("table")
    parser.add_argument("headers", nargs="+")
    args = parser.parse_args()
    with open(args.table, encoding="utf-8") as f:
        text = f.read()
    resolved = resolve(text, read_ids(args.headers), args.table)
    # Make does not create an output's folder as Ninja does; and the shared
    # tables are resolved for both programs, perhaps at once: write whole
    # files under a name of their own and rename them into place.
    folder = os.path.dirname(os.path.abspath(args.out))
    os.makedirs(folder, exist_ok=True)
    with tempfile.NamedTemporaryFile("w", encoding="utf-8", dir=folder, delete=False) as f:
        f.write(resolved)
    os.chmod(f.name, 0o644)
    os.replace(f.name, args.out)


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Checks every #include in the tree against the layer table: a folder may
include its own headers, those of the folders its row names and, through
them, of the folders below; platform headers only where a row names
"platform". Prints each offending line and exits 1; exits 2 when the table
itself is wrong (unknown folder, cycle)."""

import argparse
import os
import re
import sys
import tempfile

SOURCE_EXT = ('.h', '.hpp', '.c', '.cc', '.cpp', '.m', '.mm', '.metal', '.inc')
SKIP_DIRS = {'.git', '.ci', 'scripts', 'cmake', 'resources'}
INCLUDE = re.compile(r'^\s*#\s*(?:include|import)\s*([<"])([^>"]+)[>"]')
PLATFORM = 'platform'
ANY = '*'


def read_table(path):
    rows = {}
    with open(path, encoding='utf-8') as f:
        for n, line in enumerate(f, 1):
            line = line.split('#', 1)[0].strip()
            if not line:
                continue
            if ':' not in line:
                raise ValueError(f'{path}:{n}: expected "<folder>: <folders>"')
            folder, deps = line.split(':', 1)
            folder = folder.strip().rstrip('/')
            if folder in rows:
                raise ValueError(f'{path}:{n}: {folder} has two rows')
            rows[folder] = deps.split()
    for folder, deps in rows.items():
        for d in deps:
            if d not in (PLATFORM, ANY) and d not in rows:
                raise ValueError(f'{folder}: names {d}, which has no row')
    return rows


def closure(rows):
    """Folders each folder may include (itself included); raises on a cycle."""
    done, active, result = set(), [], {}

    def visit(folder):
        if folder in done:
            return result[folder]
        if folder in active:
            cycle = active[active.index(folder):] + [folder]
            raise ValueError('cycle in the layer table: ' + ' -> '.join(cycle))
        active.append(folder)
        allowed = {folder}
        for d in rows[folder]:
            if d == ANY:
                allowed.add(ANY)
            elif d != PLATFORM:
                allowed |= visit(d)
        active.pop()
        done.add(folder)
        result[folder] = allowed
        return allowed

    for folder in rows:
        visit(folder)
    return result


def folder_of(rel, rows):
    parts = rel.split('/')[:-1]
    while parts:
        cand = '/'.join(parts)
        if cand in rows:
            return cand
        parts.pop()
    return None


def source_files(root):
    for dirpath, dirnames, filenames in os.walk(root):
        rel_dir = os.path.relpath(dirpath, root)
        dirnames[:] = sorted(d for d in dirnames
                             if d not in SKIP_DIRS and not d.startswith('build')
                             and not (rel_dir == '.' and d.startswith('.')))
        for name in sorted(filenames):
            if name.endswith(SOURCE_EXT):
                yield os.path.normpath(os.path.join(rel_dir, name)).replace(os.sep, '/')


def check(root, rows):
    allowed = closure(rows)
    files = list(source_files(root))
    platform_dir = os.path.join(root, 'standin', 'include')
    platform_roots = set(os.listdir(platform_dir)) if os.path.isdir(platform_dir) else set()
    by_suffix = {}
    for rel in files:
        by_suffix.setdefault(os.path.basename(rel), []).append(rel)

    problems = []
    for rel in files:
        folder = folder_of(rel, rows)
        if folder is None:
            problems.append(f'{rel}: its folder has no row in the layer table')
            continue
        may = allowed[folder]
        with open(os.path.join(root, rel), encoding='utf-8', errors='replace') as f:
            for n, line in enumerate(f, 1):
                m = INCLUDE.match(line)
                if not m:
                    continue
                quote, name = m.groups()
                where = f'{rel}:{n}: {folder} may not include {name}'
                if quote == '<':
                    if name.split('/', 1)[0] in platform_roots and PLATFORM not in rows[folder] \
                            and ANY not in may:
                        problems.append(where + ' (a platform header)')
                    continue
                if ANY in may:
                    continue
                local = os.path.normpath(os.path.join(os.path.dirname(rel), name)).replace(os.sep, '/')
                if local in files:
                    targets = [local]
                else:
                    targets = [t for t in by_suffix.get(os.path.basename(name), [])
                               if t == name or t.endswith('/' + name)]
                if not targets:
                    continue  # a system or generated header
                owners = {folder_of(t, rows) for t in targets}
                if not owners & may:
                    problems.append(where + f' (from {", ".join(sorted(o or "?" for o in owners))})')
    return problems


def self_test():
    """The check must see an upward include, a platform header in a core
    folder, a platform header inherited from below, and a cycle."""
    table = 'low:\nmid: low platform\ntop: mid\n'
    tree = {
        'low/A.h': '#pragma once\n',
        'mid/B.h': '#include "A.h"\n#include <CoreFoundation/CoreFoundation.h>\n',
        'top/C.cpp': '#include "B.h"\n#include "A.h"\n',
        'standin/include/CoreFoundation/CoreFoundation.h': '',
    }
    bad = {
        'low/Up.cpp': '#include "B.h"\n',
        'top/Platform.cpp': '#include <CoreFoundation/CoreFoundation.h>\n',
        'low/Support.cpp': '#include "../mid/B.h"\n',
    }
    with tempfile.TemporaryDirectory() as root:
        def write(files):
            for rel, text in files.items():
                path = os.path.join(root, rel)
                os.makedirs(os.path.dirname(path), exist_ok=True)
                with open(path, 'w') as f:
                    f.write(text)
        write(tree)
        rows = read_table_text(table + 'standin: platform\n')
        assert check(root, rows) == [], check(root, rows)
        write(bad)
        found = check(root, rows)
        for rel in bad:
            assert any(p.startswith(rel + ':') for p in found), (rel, found)
        assert len(found) == len(bad), found
    try:
        closure(read_table_text('a: b\nb: a\n'))
    except ValueError:
        pass
    else:
        raise AssertionError('a cycle went unnoticed')
    print('self-test passed')


def read_table_text(text):
    with tempfile.NamedTemporaryFile('w', suffix='.txt', delete=False) as f:
        f.write(text)
    try:
        return read_table(f.name)
    finally:
        os.unlink(f.name)


def main():
    ap = argparse.ArgumentParser(description=__doc__)
    ap.add_argument('--root', default='.')
    ap.add_argument('--table', default=None)
    ap.add_argument('--self-test', action='store_true')
    args = ap.parse_args()
    if args.self_test:
        self_test()
        return 0
    table = args.table or os.path.join(args.root, 'cmake', 'layers.txt')
    try:
        rows = read_table(table)
        problems = check(args.root, rows)
    except ValueError as e:
        print(e, file=sys.stderr)
        return 2
    for p in problems:
        print(p)
    if problems:
        print(f'{len(problems)} include(s) break the layers in {table}')
        return 1
    print('every include points down the layers')
    return 0


if __name__ == '__main__':
    sys.exit(main())

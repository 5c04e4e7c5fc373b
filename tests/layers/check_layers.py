#!/usr/bin/env python3
"""Checks every #include in the tree against the layer table: a folder may
include its own headers, those of the folders its row names and, through
them, of the folders below; platform headers only where a row names
"platform". The libraries each folder's CMakeLists links must follow the
same table (a link-only use carries no headers and is not counted). Prints
each offending line and exits 1; exits 2 when the table itself is wrong
(unknown folder, cycle)."""

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


CMAKE_CALL = re.compile(r'\b(vorelle_library|add_library|target_link_libraries)\s*\(([^)]*)\)', re.S)
LINK_ONLY = re.compile(r'\$<LINK_ONLY:[^>]*>')
CMAKE_WORDS = {'PUBLIC', 'PRIVATE', 'INTERFACE', 'DEPS', 'PUBLIC_DEPS', 'SUBDIRS', 'INCLUDES',
               'STATIC', 'SHARED', 'MODULE', 'OBJECT'}


def check_links(root, rows):
    """Library links between folders, read from each folder's CMakeLists."""
    allowed = closure(rows)
    calls, owner = [], {}
    for dirpath, dirnames, filenames in os.walk(root):
        rel_dir = os.path.relpath(dirpath, root).replace(os.sep, '/')
        dirnames[:] = sorted(d for d in dirnames if d not in SKIP_DIRS and not d.startswith('build')
                             and not (rel_dir == '.' and d.startswith('.')))
        if 'CMakeLists.txt' not in filenames or rel_dir == '.':
            continue
        rel = rel_dir + '/CMakeLists.txt'
        with open(os.path.join(dirpath, 'CMakeLists.txt'), encoding='utf-8') as f:
            text = '\n'.join(line.split('#', 1)[0] for line in f)
        folder = folder_of(rel, rows)
        for m in CMAKE_CALL.finditer(text):
            words = LINK_ONLY.sub('', m.group(2)).split()
            if not words:
                continue
            if m.group(1) in ('vorelle_library', 'add_library'):
                owner[words[0]] = folder
            calls.append((rel, folder, m.group(1), words))
    problems = []
    for rel, folder, kind, words in calls:
        if kind == 'add_library' or folder is None:
            continue
        may = allowed[folder]
        if ANY in may:
            continue
        for dep in words[1:]:
            if dep in CMAKE_WORDS or dep not in owner or owner[dep] in (None, folder):
                continue
            target_folder = owner[dep]
            if target_folder == 'standin':
                ok = PLATFORM in rows[folder]
            else:
                ok = target_folder in may
            if not ok:
                problems.append(f'{rel}: {folder} may not link {dep} ({target_folder})')
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
        'standin/CMakeLists.txt': 'add_library(standin SHARED x.cpp)\n',
        'low/CMakeLists.txt': 'vorelle_library(low DEPS $<LINK_ONLY:standin>)\n',
        'mid/CMakeLists.txt': 'vorelle_library(mid PUBLIC_DEPS low standin)\n',
        'top/CMakeLists.txt': 'vorelle_library(top DEPS mid) # not low\n',
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
        assert check_links(root, rows) == [], check_links(root, rows)
        write({'low/CMakeLists.txt': 'vorelle_library(low DEPS top)\n',
               'top/CMakeLists.txt': 'vorelle_library(top DEPS mid standin)\n'})
        found = check_links(root, rows)
        assert len(found) == 2 and 'low may not link top' in found[0] and 'standin' in found[1], found
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
        problems = check(args.root, rows) + check_links(args.root, rows)
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

#!/usr/bin/env python3
"""Checks every #include in the tree against the layer table: a folder may
include its own headers, those of the folders its row names and, through
them, of the folders below; platform headers only where a row names
"platform". The libraries each folder's CMakeLists links must follow the
same table (a link-only use carries no headers and is not counted).
Given a built Ninja tree (--build), it also checks what the compiler really
read for each object (its dependency list: every header, however deep) and
what each library, module and program really packs and links. Prints each
offending line and exits 1; exits 2 when the table itself is wrong
(unknown folder, cycle)."""

import argparse
import os
import re
import subprocess
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


NINJA_BUILD = re.compile(r'^build (\S+): (\w+?)_(COMPILER|STATIC_LIBRARY_LINKER|SHARED_LIBRARY_LINKER|'
                         r'MODULE_LIBRARY_LINKER|EXECUTABLE_LINKER)__(\S+)(.*)')
NINJA_VAR = re.compile(r'^  (\w+) = (.*)$')


def read_ninja(build):
    """Compile and link statements of a CMake Ninja tree: objects to their
    sources, and each link to its objects, libraries and defining folder."""
    objects, links = {}, []
    current = None
    with open(os.path.join(build, 'build.ninja'), encoding='utf-8') as f:
        for line in f:
            m = NINJA_BUILD.match(line)
            if m:
                out, _, kind, _, inputs = m.groups()
                inputs = inputs.split('|', 1)[0].replace('$ ', '\0').split()
                inputs = [i.replace('\0', ' ') for i in inputs]
                if kind == 'COMPILER':
                    objects[out] = inputs[0] if inputs else None
                    current = None
                else:
                    current = {'out': out, 'kind': kind, 'inputs': inputs, 'libs': [], 'dir': None}
                    links.append(current)
                continue
            v = NINJA_VAR.match(line)
            if v and current is not None:
                if v.group(1) == 'LINK_LIBRARIES':
                    current['libs'] = v.group(2).split()
                elif v.group(1) == 'OBJECT_DIR':
                    current['dir'] = v.group(2).split('/CMakeFiles/', 1)[0]
            elif not line.startswith('  '):
                current = None
    return objects, links


def rel_to_root(path, build, root):
    """The path relative to the source root, or None outside it or in the tree."""
    full = os.path.normpath(os.path.join(build, path))
    if full == build or full.startswith(build + os.sep):
        return None
    rel = os.path.relpath(full, root)
    if rel.startswith('..'):
        return None
    return rel.replace(os.sep, '/')


def check_build(root, build, rows, ninja='ninja'):
    """What each object read and each target packs or links, in a built tree."""
    allowed = closure(rows)
    root, build = os.path.realpath(root), os.path.realpath(build)
    objects, links = read_ninja(build)
    source_folder = {}
    for obj, src in objects.items():
        rel = rel_to_root(src, build, root) if src else None
        source_folder[obj] = folder_of(rel, rows) if rel else None

    def may_use(folder, used):
        if folder is None or ANY in allowed[folder]:
            return True
        if used == PLATFORM:
            return PLATFORM in rows[folder]
        return used is None or used in allowed[folder]

    problems = []
    out = subprocess.run([ninja, '-C', build, '-t', 'deps'], capture_output=True, text=True, check=True).stdout
    obj, folder, seen = None, None, set()
    for line in out.splitlines():
        if line and not line.startswith(' '):
            obj = line.split(': #deps', 1)[0]
            folder = source_folder.get(obj)
            continue
        if obj not in source_folder or folder is None or not line.strip():
            continue
        dep = line.strip()
        rel = rel_to_root(dep, build, root)
        if rel is None or not os.path.exists(os.path.join(root, rel)):
            continue
        used = PLATFORM if rel.startswith('standin/include/') else folder_of(rel, rows)
        # One line per folder and what it may not see is enough to act on.
        if not may_use(folder, used) and (folder, used) not in seen:
            seen.add((folder, used))
            problems.append(f'{obj}: {folder} sees {rel} ({used}), through its includes')

    # Which folder made each library: links to it are uses of that folder.
    made_by = {}
    for link in links:
        if link['dir'] is not None:
            made_by[link['out']] = PLATFORM if link['dir'] == 'standin' else folder_of(link['dir'] + '/x', rows)
    for link in links:
        if link['dir'] is None:
            continue
        folder = folder_of(link['dir'] + '/x', rows)
        for item in link['inputs']:
            if item in source_folder and not may_use(folder, source_folder[item]):
                problems.append(f'{link["out"]}: {folder} packs {item} ({source_folder[item]})')
        for item in link['libs']:
            if item in made_by and not may_use(folder, made_by[item]):
                problems.append(f'{link["out"]}: {folder} links {item} ({made_by[item]})')
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
    self_test_build()
    try:
        closure(read_table_text('a: b\nb: a\n'))
    except ValueError:
        pass
    else:
        raise AssertionError('a cycle went unnoticed')
    print('self-test passed')


def self_test_build():
    """In a Ninja tree shaped like CMake's, the check must see a header that a
    folder reaches only through another header, a platform header reached the
    same way, an object packed into a library below it and a library linked
    from below."""
    rows = read_table_text('low:\nmid: low\nplat: low platform\ntop: mid\nstandin: platform\n')
    # Each object lists as read the headers named after its '@' in the
    # source's one line: a stand-in for the compiler's dependency list.
    ninja = r"""
rule CXX_COMPILER__t_Debug
  command = sh -c 'printf "%s: %s" $out $in > $out.d; sed -n "s/^@//p" $in | tr "\n" " " >> $out.d; : > $out'
  depfile = $out.d
  deps = gcc
rule CXX_STATIC_LIBRARY_LINKER__t_Debug
  command = : > $out
rule CXX_MODULE_LIBRARY_LINKER__t_Debug
  command = : > $out
build low/CMakeFiles/low.dir/L.cpp.o: CXX_COMPILER__t_Debug SRC/low/L.cpp
build mid/CMakeFiles/mid.dir/M.cpp.o: CXX_COMPILER__t_Debug SRC/mid/M.cpp
build plat/CMakeFiles/plat.dir/P.cpp.o: CXX_COMPILER__t_Debug SRC/plat/P.cpp
build top/CMakeFiles/top.dir/T.cpp.o: CXX_COMPILER__t_Debug SRC/top/T.cpp
build low/liblow.a: CXX_STATIC_LIBRARY_LINKER__t_Debug low/CMakeFiles/low.dir/L.cpp.o PACKED
  OBJECT_DIR = low/CMakeFiles/low.dir
build plat/libplat.a: CXX_STATIC_LIBRARY_LINKER__t_Debug plat/CMakeFiles/plat.dir/P.cpp.o
  OBJECT_DIR = plat/CMakeFiles/plat.dir
build mid/libmid.a: CXX_STATIC_LIBRARY_LINKER__t_Debug mid/CMakeFiles/mid.dir/M.cpp.o
  OBJECT_DIR = mid/CMakeFiles/mid.dir
build standin/libstandin.so: CXX_MODULE_LIBRARY_LINKER__t_Debug
  OBJECT_DIR = standin/CMakeFiles/standin.dir
build top/top.so: CXX_MODULE_LIBRARY_LINKER__t_Debug top/CMakeFiles/top.dir/T.cpp.o | mid/libmid.a
  LINK_LIBRARIES = mid/libmid.a low/liblow.a LIBS
  OBJECT_DIR = top/CMakeFiles/top.dir
"""
    with tempfile.TemporaryDirectory() as tmp:
        src, build = os.path.join(tmp, 'src'), os.path.join(tmp, 'build')

        def run(packed, libs, top_reads, plat_reads=''):
            files = {
                'low/A.h': '', 'low/L.cpp': '@low/A.h\n', 'plat/P.h': '@standin/include/CF/CF.h\n',
                'plat/P.cpp': '@plat/P.h\n@standin/include/CF/CF.h\n' + plat_reads,
                'mid/B.h': '', 'mid/M.cpp': '@mid/B.h\n@low/A.h\n', 'top/T.cpp': '@mid/B.h\n' + top_reads,
                'standin/include/CF/CF.h': '', 'top/T.h': '',
            }
            for rel, text in files.items():
                path = os.path.join(src, rel)
                os.makedirs(os.path.dirname(path), exist_ok=True)
                with open(path, 'w') as f:
                    f.write(text.replace('@', '@' + src + '/'))
            os.makedirs(build, exist_ok=True)
            with open(os.path.join(build, 'build.ninja'), 'w') as f:
                f.write(ninja.replace('SRC', src).replace('PACKED', packed).replace('LIBS', libs))
            subprocess.run(['ninja', '-C', build], check=True, capture_output=True)
            return check_build(src, build, rows)

        assert run('', '', '') == [], run('', '', '')
        found = run('mid/CMakeFiles/mid.dir/M.cpp.o', 'plat/libplat.a standin/libstandin.so',
                    '@plat/P.h\n@standin/include/CF/CF.h\n', '@top/T.h\n')
        expected = ['plat sees top/T.h (top)', 'top sees plat/P.h (plat)', 'top sees standin/include/CF/CF.h (platform)',
                    'low packs mid/CMakeFiles/mid.dir/M.cpp.o (mid)', 'top links plat/libplat.a (plat)',
                    'top links standin/libstandin.so (platform)']
        for e in expected:
            assert any(e in p for p in found), (e, found)
        assert len(found) == len(expected), found


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
    ap.add_argument('--build', default=None, help='a built CMake Ninja tree to check too')
    ap.add_argument('--ninja', default='ninja')
    ap.add_argument('--self-test', action='store_true')
    args = ap.parse_args()
    if args.self_test:
        self_test()
        return 0
    table = args.table or os.path.join(args.root, 'cmake', 'layers.txt')
    try:
        rows = read_table(table)
        problems = check(args.root, rows) + check_links(args.root, rows)
        if args.build:
            problems += check_build(args.root, args.build, rows, args.ninja)
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

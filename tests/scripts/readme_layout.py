#!/usr/bin/env python3
"""The README's layout names only folders that hold something besides their
build file, and no file in the tree is named like a pattern (a "*.cpp" left
by a glob that matched nothing)."""

import os
import re
import sys

root = sys.argv[1]
problems = []

with open(os.path.join(root, 'README.md'), encoding='utf-8') as f:
    text = f.read()
layout = text.split('\n## Layout', 1)[1].split('\n## ', 1)[0]
for row in layout.splitlines():
    if not row.startswith('| `'):
        continue
    for folder in re.findall(r'`([^`<>]+)/`', row.split('|')[1]):
        path = os.path.join(root, folder)
        if not os.path.isdir(path):
            problems.append(f'README layout: {folder}/ does not exist')
            continue
        held = [n for _, _, names in os.walk(path) for n in names if n != 'CMakeLists.txt']
        if not held:
            problems.append(f'README layout: {folder}/ holds nothing yet')

for dirpath, dirnames, filenames in os.walk(root):
    dirnames[:] = [d for d in dirnames if d != '.git' and not d.startswith('build')]
    for name in filenames + dirnames:
        if re.search(r'[*?\[\]]', name):
            problems.append(f'{os.path.relpath(os.path.join(dirpath, name), root)}: named like a pattern')

for p in problems:
    print(p)
sys.exit(1 if problems else 0)

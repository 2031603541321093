#!/usr/bin/env python3
"""Keeps the layers of the build apart.

Reads the manifest that CMake writes (build/layers.json) and the sources, and
fails when
  - a file includes a header of a project target that its own target does not
    link (directly or through the targets it links),
  - a target that does not link Qt Widgets (a core target) includes a Qt
    Widgets header,
  - code outside platform/ names a Qt dialog or message box class, or runs
    anything but a QEventLoop with exec(): every modal interaction goes through
    the prompts in platform/ (tests may run dialogs themselves).

Usage: check-layers.py BUILD_DIR
"""
import json
import os
import re
import sys

INCLUDE_RE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.MULTILINE)
# Classes whose use means a modal box or common dialog shown past the prompts.
DIALOG_RE = re.compile(
    r'\b(QMessageBox|QFileDialog|QFontDialog|QColorDialog|QPrintDialog|'
    r'QPageSetupDialog|QInputDialog|QErrorMessage|QProgressDialog)\b')
EXEC_RE = re.compile(r'\b(\w+)\s*(?:\.|->)\s*exec\s*\(')
SOURCE_EXT = ('.cpp', '.h', '.hpp', '.cc')


def strip_comments(text):
    text = re.sub(r'/\*.*?\*/', '', text, flags=re.DOTALL)
    return re.sub(r'//[^\n]*', '', text)


def main():
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    with open(os.path.join(sys.argv[1], 'layers.json'), encoding='utf-8') as f:
        manifest = json.load(f)
    root = manifest['root']
    targets = manifest['targets']
    widgets_dirs = [d for d in manifest['qt_widgets_includes'] if d.rstrip('/').endswith('QtWidgets')]

    libraries = {name for name, t in targets.items() if t['type'].endswith('LIBRARY')}

    closure_cache = {}

    def closure(name):
        if name in closure_cache:
            return closure_cache[name]
        closure_cache[name] = set()
        result = set()
        for link in targets.get(name, {}).get('links', []):
            result.add(link)
            if link in targets:
                result |= closure(link)
        closure_cache[name] = result
        return result

    # Which targets list each file, and which library owns each folder's headers.
    file_targets = {}
    for name, t in targets.items():
        for source in t['sources']:
            file_targets.setdefault(os.path.normpath(source), set()).add(name)
    dir_library = {}
    for name in sorted(libraries):
        t = targets[name]
        if t['sources'] or t['type'] == 'INTERFACE_LIBRARY':
            dir_library.setdefault(os.path.normpath(t['dir']), name)

    def header_owner(path):
        listed = [n for n in file_targets.get(path, ()) if n in libraries]
        if not listed:
            # A header belongs to the library that compiles its .cpp; else to
            # the library of its folder.
            stem = os.path.splitext(path)[0]
            listed = [n for ext in ('.cpp', '.cc')
                      for n in file_targets.get(stem + ext, ()) if n in libraries]
        if listed:
            return sorted(listed)[0]
        return dir_library.get(os.path.dirname(path))

    def owners(path):
        listed = file_targets.get(path)
        if listed:
            return listed
        lib = header_owner(path)
        return {lib} if lib else set()

    def is_widgets_header(header):
        return any(os.path.exists(os.path.join(d, header)) for d in widgets_dirs) or \
            header.startswith('QtWidgets/')

    problems = []
    checked = 0
    for folder in ('platform', 'orlo', 'voltaro', 'tools', 'bench', 'fuzz'):
        for dirpath, _, files in os.walk(os.path.join(root, folder)):
            for fname in sorted(files):
                if not fname.endswith(SOURCE_EXT):
                    continue
                path = os.path.normpath(os.path.join(dirpath, fname))
                rel = os.path.relpath(path, root)
                with open(path, encoding='utf-8', errors='replace') as f:
                    text = f.read()
                checked += 1
                mine = owners(path)
                code = strip_comments(text)
                for kind, header in INCLUDE_RE.findall(code):
                    if kind == '"':
                        target_path = os.path.normpath(os.path.join(root, header))
                        if not os.path.exists(target_path):
                            target_path = os.path.normpath(os.path.join(dirpath, header))
                        owner = header_owner(target_path)
                        if owner is None:
                            continue
                        for t in mine:
                            if owner != t and owner not in closure(t):
                                problems.append(f'{rel}: includes "{header}" of {owner}, '
                                                f'which {t} does not link')
                    elif is_widgets_header(header):
                        for t in mine:
                            if 'Qt6::Widgets' not in closure(t) and t != 'Qt6::Widgets':
                                problems.append(f'{rel}: core target {t} includes <{header}>')
                if not rel.startswith('platform' + os.sep):
                    for match in sorted(set(DIALOG_RE.findall(code))):
                        problems.append(f'{rel}: uses {match} directly; go through platform::Prompts')
                    in_tests = os.sep + 'tests' + os.sep in rel
                    for receiver in sorted(set(EXEC_RE.findall(code))):
                        is_loop = re.search(r'QEventLoop\s+' + re.escape(receiver) + r'\b', code)
                        if not in_tests and not is_loop:
                            problems.append(f'{rel}: runs {receiver}.exec(); modal dialogs go '
                                            f'through platform::DialogPrompts::runModal')

    for p in problems:
        print(p)
    print(f'check-layers: {checked} files, {len(problems)} problems')
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main())

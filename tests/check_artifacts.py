#!/usr/bin/env python3
"""Checks the built installers of both targets: PE kind and machine, GUI subsystem,
imports of system DLLs only, and the resources (version strings, texts with their
non-ASCII characters, manifest). Usage: check_artifacts.py DIST_FOLDER"""
import struct
import sys
from pathlib import Path

SYSTEM_DLLS = {'advapi32.dll', 'comctl32.dll', 'kernel32.dll', 'msvcrt.dll', 'shlwapi.dll', 'user32.dll',
               'version.dll', 'gdi32.dll', 'ole32.dll', 'shell32.dll', 'bcrypt.dll', 'oleaut32.dll', 'uuid.dll'}
EXPECTED = {'x86': (0x10B, 0x14C), 'x64': (0x20B, 0x8664)}   # optional-header magic, machine
TEXTS = ['ApplicationId', 'Tavrelle7', 'Install', '2.04a', '2.4.1.1', 'Installer', 'Weiter', 'Beenden',
         'Die Installation ist fertig.', 'Installeur', "\u00c0 propos de '%1'", 'Mise \u00e0 jour de DirectX...',
         'DirectX ellen\u0151rz\u00e9se...', 'Enter no more than %1 characters.', 'Initialization Error']


def imports(data, pe, magic):
    sections = []
    count = struct.unpack_from('<H', data, pe + 6)[0]
    opt_size = struct.unpack_from('<H', data, pe + 20)[0]
    opt = pe + 24
    dirs = opt + (96 if magic == 0x10B else 112)
    import_rva = struct.unpack_from('<I', data, dirs + 8)[0]
    table = opt + opt_size
    for i in range(count):
        va, size, raw = struct.unpack_from('<III', data, table + 40 * i + 12)
        sections.append((va, size, raw))

    def offset(rva):
        for va, size, raw in sections:
            if va <= rva < va + max(size, 1):
                return raw + rva - va
        raise ValueError(hex(rva))

    names, at = [], offset(import_rva)
    while True:
        name_rva = struct.unpack_from('<I', data, at + 12)[0]
        if name_rva == 0:
            return names
        o = offset(name_rva)
        names.append(data[o:data.index(b'\0', o)].decode().lower())
        at += 20


def check(path, target):
    problems = []
    data = path.read_bytes()
    pe = struct.unpack_from('<I', data, 0x3C)[0]
    machine = struct.unpack_from('<H', data, pe + 4)[0]
    magic = struct.unpack_from('<H', data, pe + 24)[0]
    subsystem = struct.unpack_from('<H', data, pe + 24 + 68)[0]
    if (magic, machine) != EXPECTED[target]:
        problems.append(f'PE magic/machine {magic:#x}/{machine:#x}, expected {EXPECTED[target]}')
    if subsystem != 2:
        problems.append(f'subsystem {subsystem}, expected 2 (Windows GUI)')
    foreign = [n for n in imports(data, pe, magic) if n not in SYSTEM_DLLS]
    if foreign:
        problems.append(f'imports outside the system: {foreign}')
    for text in TEXTS:
        if text.encode('utf-16-le') not in data:
            problems.append(f'resource text missing: {text!r}')
    if b'requireAdministrator' not in data or b'Microsoft.Windows.Common-Controls' not in data:
        problems.append('manifest missing')
    return problems


def main():
    dist = Path(sys.argv[1])
    failed = 0
    for target in ('x86', 'x64'):
        path = dist / target / 'TavrelleSetup.exe'
        problems = check(path, target) if path.exists() else [f'{path} does not exist']
        for p in problems:
            print(f'{path}: {p}')
        print(f'{path}: {"ok" if not problems else "FAILED"}')
        failed += bool(problems)
    sys.exit(1 if failed else 0)


if __name__ == '__main__':
    main()

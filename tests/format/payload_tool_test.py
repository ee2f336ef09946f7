#!/usr/bin/env python3
"""Drives the payload tool: build, list and verify a small payload, then a table of damaged
payloads and manifests that must each fail with a message naming the fault."""
import bz2
import struct
import subprocess
import sys
import tempfile
import zlib
from pathlib import Path

tool = sys.argv[1]
failures = []


def run(*args):
    return subprocess.run([tool, *map(str, args)], capture_output=True, text=True)


def check(name, result, ok, message=''):
    good = (result.returncode == 0) == ok and message in (result.stdout + result.stderr)
    print(f"{'ok  ' if good else 'FAIL'} {name}: {(result.stdout + result.stderr).strip()}")
    if not good:
        failures.append(name)


def archive(entries, data=None, directory_size=None):
    """Raw archive bytes: entries are (source, destination, kind, payload bytes)."""
    body = b''
    for source, destination, kind, content in entries:
        s, d = source.encode('utf-16-le'), destination.encode('utf-16-le')
        body += struct.pack('<I', len(source)) + s + struct.pack('<I', len(destination)) + d
        body += struct.pack('<IQI', kind, len(content), zlib.crc32(content))
    size = 12 + len(body) if directory_size is None else directory_size
    raw = struct.pack('<QI', size, len(entries)) + body
    return raw + (b''.join(e[3] for e in entries) if data is None else data)


with tempfile.TemporaryDirectory() as tmp:
    tmp = Path(tmp)
    (tmp / 'files').mkdir()
    (tmp / 'files' / 'Tavrelle.exe').write_bytes(b'MZ' + bytes(range(256)) * 40)
    (tmp / 'files' / 'empty.txt').write_bytes(b'')
    (tmp / 'files' / 'Mat\u00e9riau.mat-varnholt').write_bytes(b'material ' * 1000)
    manifest = tmp / 'manifest.txt'
    manifest.write_text('# demo\n'
                        'files/Tavrelle.exe\t<InstallPath>\t1\n'
                        '\n'
                        'files/empty.txt\t<InstallPath>\\Lang\t0\n'
                        'files/Mat\u00e9riau.mat-varnholt\t<CommonData>\\Varnholt\\Materials\t3\n', encoding='utf-8')
    out = tmp / 'payload.bin'
    check('build', run('build', manifest, out), True, '3 entries')
    assert out.read_bytes()[:4] == b'BZh9', 'block size 9'
    listing = run('list', out)
    check('list', listing, True, 'Mat\u00e9riau.mat-varnholt')
    check('list names the destination', listing, True, '<CommonData>\\Varnholt\\Materials')
    check('verify', run('verify', out), True, 'ok, 3 entries')

    good = out.read_bytes()
    cases = [
        ('bit flip', good[:200] + bytes([good[200] ^ 0x10]) + good[201:], 'bzip2 data error'),
        ('truncated stream', good[:-10], 'truncated'),
        ('byte appended', good + b'\0', 'bytes after the end of the bzip2 stream'),
        ('data beyond the last entry',
         bz2.compress(archive([('a', '<InstallPath>', 0, b'xyz')]) + b'!'), 'data beyond the last entry'),
        ('data missing at the end',
         bz2.compress(archive([('a', '<InstallPath>', 0, b'xyz')], data=b'xy')), 'data missing'),
        ('CRC mismatch', bz2.compress(archive([('a', '<InstallPath>', 0, b'xyz')], data=b'xyZ')), 'CRC-32 mismatch'),
        ('directory size below 12', bz2.compress(archive([], directory_size=8)), 'out of range'),
        ('directory size above 4 GiB', bz2.compress(archive([], directory_size=1 << 32)), 'out of range'),
        ('directory larger than the archive', bz2.compress(archive([], directory_size=64)), 'inside the directory'),
        ('not a payload', b'hello', 'bzip2 data error'),
    ]
    for name, data, message in cases:
        path = tmp / 'damaged.bin'
        path.write_bytes(data)
        check(name, run('verify', path), False, message)
    zero = tmp / 'zero.bin'
    zero.write_bytes(bz2.compress(archive([])))
    check('zero entries, directory size 12', run('verify', zero), True, 'ok, 0 entries, 12 bytes')

    bad_manifests = [
        ('missing kind', 'files/empty.txt\t<InstallPath>\n', ':1: expected source'),
        ('kind not a number', 'files/empty.txt\t<InstallPath>\tseven\n', ":1: kind 'seven'"),
        ('missing source', '# x\nfiles/none.txt\t<InstallPath>\t0\n', ':2: source file'),
    ]
    for name, text, message in bad_manifests:
        manifest.write_text(text, encoding='utf-8')
        check(name, run('build', manifest, tmp / 'x.bin'), False, message)

    # A damaged copy of a built installer: one bit flipped inside its payload resource.
    if len(sys.argv) > 2:
        installer = Path(sys.argv[2]).read_bytes()
        check('installer', run('verify', sys.argv[2]), True, 'ok, 73 entries')
        at = installer.find(b'BZh91AY&SY')
        assert at > 0, 'no bzip2 stream in the installer'
        damaged = tmp / 'damaged-installer.exe'
        damaged.write_bytes(installer[:at + 5000] + bytes([installer[at + 5000] ^ 1]) + installer[at + 5001:])
        # bzip2 hands out a block's bytes before checking its CRC, so the damage may show
        # as a broken directory first: any failure naming the file will do.
        check('installer with a damaged payload', run('verify', damaged), False, 'damaged-installer.exe')
        stripped = tmp / 'no-payload.exe'
        stripped.write_bytes(installer.replace(b'BZh91AY&SY', b'XXXXXXXXXX'))
        check('installer without a bzip2 payload', run('verify', stripped), False, 'bzip2 data error')

print(f"{len(failures)} failed" if failures else 'all payload tool cases passed')
sys.exit(1 if failures else 0)

#!/usr/bin/env python3
"""Writes the files and the manifest of the demo payload: the 73 entries of the shipped
payload's shape (kinds, counts, destination folders, file names) with synthetic content of
realistic compressibility, the same bytes on every run.
Usage: make_demo_payload.py small|full|full4 OUTPUT_FOLDER [STANDIN_FOLDER]
Stand-in programs found in STANDIN_FOLDER replace the generated placeholders."""
import random
import sys
from pathlib import Path

VOCABULARY = ('vertex edge face mesh material texture layer sketch grid snap axis plane beam wall roof '
              'door window stair column slab render light shadow camera scene export import').split()


def content(rng, size, random_share):
    """Text-like data with a share of incompressible bytes, in 4 KiB blocks."""
    out = bytearray()
    while len(out) < size:
        if rng.random() < random_share:
            out += rng.randbytes(4096)
        else:
            block = bytearray()
            while len(block) < 4096:
                words = ' '.join(rng.choice(VOCABULARY) for _ in range(10))
                block += f'{words} {rng.randrange(10**4)}\r\n'.encode()
            out += block[:4096]
    return bytes(out[:size])


def entries():
    temporary = ['DSETUP.dll', 'dsetup32.dll', 'dxdllreg_x86.cab', 'dxupdate.cab',
                 'Jun2010_D3DCompiler_43_x86.cab', 'Jun2010_d3dx9_43_x86.cab']
    samples = [f'Sample{i:02}.tv-cab' for i in range(1, 9)] + [f'Project{i:02}.tv-proj' for i in range(1, 9)]
    textures = [f'Texture{i:02}.jpg' for i in range(1, 13)]
    libraries = [f'Library{i:02}.tv-lib' for i in range(1, 11)]
    materials = [f'Material{i:02}.mat-varnholt' for i in range(1, 12)]
    languages = 'cs de el en es he hu it nl pl pt ro sr tk vi'.split()
    rows = [(f'Redist\\{n}', '<Temporary>', 5, 'redist') for n in temporary]
    shared = ([(f'Samples\\{n}', '<SamplePath>', 4, 'sample') for n in samples] +
              [(f'Textures\\{n}', '<CommonData>\\Varnholt\\Textures\\Tavrelle 7', 4, 'texture') for n in textures] +
              [(f'Libraries\\{n}', '<CommonData>\\Varnholt\\Tavrelle 7', 3, 'library') for n in libraries] +
              [(f'Materials\\{n}', '<CommonData>\\Varnholt\\Materials', 3, 'material') for n in materials] +
              [('User\\UserImages.bmp', '<UserData>\\Varnholt\\Tavrelle 7', 3, 'image')])
    # Samples, textures, libraries and materials interleaved, as a sort by name gives.
    rows += sorted(shared, key=lambda r: r[0].split('\\')[1].lower())
    rows.append(('Program\\Uninstall.exe', '<InstallPath>', 2, 'program'))
    rows += [(f'Lang\\Tavrelle.{c}.dll', '<InstallPath>\\Lang', 0, 'module') for c in languages]
    rows.append(('Program\\Tavrelle.exe', '<InstallPath>', 1, 'program'))
    assert len(rows) == 73
    return rows


# Bytes per kind of content (full size) and the share of incompressible blocks.
SIZES = {'redist': (1_900_000, 0.26), 'sample': (520_000, 0.12), 'texture': (560_000, 0.38),
         'library': (400_000, 0.08), 'material': (150_000, 0.1), 'image': (1_000_000, 0.05),
         'program': (2_400_000, 0.2), 'module': (190_000, 0.15)}


def main():
    size, out = sys.argv[1], Path(sys.argv[2])
    standins = Path(sys.argv[3]) if len(sys.argv) > 3 else None
    scale = {'small': 0.005, 'full': 0.97, 'full4': 3.88}[size]
    rng = random.Random(20261211)
    lines = []
    for source, destination, kind, what in entries():
        path = out / 'files' / source.replace('\\', '/')
        path.parent.mkdir(parents=True, exist_ok=True)
        name = source.split('\\')[-1]
        standin = standins / name if standins else None
        base, share = SIZES[what]
        n = max(64, int(base * scale * (0.6 + 0.8 * rng.random())))
        data = standin.read_bytes() if standin and standin.is_file() else content(rng, n, share)
        if what in ('program', 'module', 'redist') and not (standin and standin.is_file()) and name.endswith(('.exe', '.dll')):
            data = b'MZ' + data[2:]   # placeholder until the stand-in programs exist
        if not path.exists() or path.read_bytes() != data:
            path.write_bytes(data)
        lines.append(f'files/{source.replace(chr(92), "/")}\t{destination}\t{kind}')
    manifest = out / 'manifest.txt'
    text = '# Demo payload (' + size + '): source, destination, kind\n' + '\n'.join(lines) + '\n'
    if not manifest.exists() or manifest.read_text() != text:
        manifest.write_text(text)


if __name__ == '__main__':
    main()

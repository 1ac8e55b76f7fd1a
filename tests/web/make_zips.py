#!/usr/bin/env python3
"""The zips the reader page's test opens, written with Python's own zipfile (a second, separate
reading of the format), into OUT_DIR/zips and OUT_DIR/shared:

  demo.zip           the demo inside a folder, names in mixed case (the folder spelled two ways),
                     qvl.mag stored and every other file deflated
  wrapped/demo.zip   a zip whose only entry is demo.zip
  two.zip            the demo twice at the same depth, in folders named in code page 437 (no
                     UTF-8 flag) and in UTF-8 (the flag set)
  other.zip          the demo opening on chapter one with the second song
  damaged.zip        the demo with the font licence's data spoilt (the viewer does not read it)
  no-font.zip        the demo with the font's data spoilt (the viewer needs it)
  none.zip           the demo's art without its script
  not-a-zip.zip      text
  many.zip           20,001 empty files
  huge.zip           a file of 257 MiB (of zeros, a few hundred KB deflated)
  bomb.zip           the demo and a file that claims 1 KB and inflates to 300 MiB
  escape.zip         the demo and a file named ../escape.txt
  clash.zip          the demo with a file named as its art folder
  shared/demo.zip    demo.zip again, which the test's server lets other sites read

usage: make_zips.py DEMO_DIR OUT_DIR
"""
import io
import pathlib
import struct
import sys
import zipfile

MIB = 1024 * 1024


def demo_files(demo, script_edit=None):
    """(path, bytes) for every file of the demo, the script edited by script_edit."""
    files = []
    for path in sorted(p for p in demo.rglob('*') if p.is_file()):
        data = path.read_bytes()
        if script_edit and path.name == 'qvl.mag':
            data = script_edit(data)
        files.append((path.relative_to(demo).as_posix(), data))
    return files


def zipped(files, stored=('qvl.mag',)):
    out = io.BytesIO()
    with zipfile.ZipFile(out, 'w') as archive:
        for name, data in files:
            kind = zipfile.ZIP_STORED if name.lower().endswith(stored) else zipfile.ZIP_DEFLATED
            archive.writestr(zipfile.ZipInfo(name, (2020, 1, 1, 0, 0, 0)), data, kind)
    return out.getvalue()


def mixed_case(files, top):
    """The files inside the folder top, spelled as given for every other file and in capitals
    for the rest; the art folder and the script's name in capitals."""
    out = []
    for k, (name, data) in enumerate(files):
        parts = name.split('/')
        if parts[0] == 'art':
            parts[0] = 'ART'
        if parts[-1] == 'qvl.mag':
            parts[-1] = 'QVL.MAG'
        out.append(('/'.join([top if k % 2 == 0 else top.upper()] + parts), data))
    return out


def in_folder(files, folder):
    return [(f'{folder}/{name}', data) for name, data in files]


def spoilt(archive, name):
    """The archive with the middle of the named entry's compressed data inverted."""
    info = zipfile.ZipFile(io.BytesIO(archive)).getinfo(name)
    header = info.header_offset
    name_length, extra_length = struct.unpack_from('<HH', archive, header + 26)
    start = header + 30 + name_length + extra_length + info.compress_size // 2
    data = bytearray(archive)
    for k in range(start, start + 16):
        data[k] ^= 0xff
    return bytes(data)


def central_record(archive, name):
    """Where the named entry's record in the central directory starts."""
    end = archive.rindex(b'PK\x05\x06')
    count, _, at = struct.unpack_from('<HII', archive, end + 10)
    for _ in range(count):
        name_length, extra_length, comment_length = struct.unpack_from('<HHH', archive, at + 28)
        if archive[at + 46:at + 46 + name_length] == name.encode():
            return at
        at += 46 + name_length + extra_length + comment_length
    raise KeyError(name)


def claiming(archive, name, size):
    """The archive with the named entry's size, in both its headers, set to size."""
    info = zipfile.ZipFile(io.BytesIO(archive)).getinfo(name)
    data = bytearray(archive)
    struct.pack_into('<I', data, info.header_offset + 22, size)
    struct.pack_into('<I', data, central_record(archive, name) + 24, size)
    return bytes(data)


def zipped_with_zeros(files, name, size):
    """The files deflated, and an entry of size zero bytes, deflated a MiB at a time."""
    out = io.BytesIO()
    with zipfile.ZipFile(out, 'w', zipfile.ZIP_DEFLATED) as archive:
        for file, data in files:
            archive.writestr(file, data)
        with archive.open(name, 'w') as entry:
            block = bytes(MIB)
            for _ in range(size // MIB):
                entry.write(block)
    return out.getvalue()


def with_names_in(archive, placeholder, real):
    """The archive with a placeholder folder name (bytes) written as real (bytes, same length)
    wherever it stands: the names carry no check sum, and the UTF-8 flag stays as it was."""
    assert len(placeholder) == len(real)
    return archive.replace(placeholder + b'/', real + b'/')


def main():
    demo, out = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    for folder in ('zips/wrapped', 'shared'):
        (out / folder).mkdir(parents=True, exist_ok=True)
    files = demo_files(demo)
    write = lambda name, data: (out / name).write_bytes(data)

    mixed = mixed_case(files, 'Quorvel Demo')
    demo_zip = zipped(mixed)
    write('zips/demo.zip', demo_zip)
    write('shared/demo.zip', demo_zip)
    write('zips/wrapped/demo.zip', zipped([('demo.zip', demo_zip)], stored=()))
    # "Ärger" in code page 437 (0x8e) goes in as "Xrger" and is put back byte for byte
    two = zipped(in_folder(files, 'Xrger') + in_folder(files, 'Ωmega'))
    write('zips/two.zip', with_names_in(two, b'Xrger', b'\x8erger'))
    start_elsewhere = lambda script: script.replace(b'#homepage 0', b'#homepage 1').replace(
        b'#definestartmusic 0', b'#definestartmusic 1')
    write('zips/other.zip', zipped(in_folder(demo_files(demo, start_elsewhere), 'other')))
    write('zips/damaged.zip', spoilt(demo_zip, 'QUORVEL DEMO/data/system/FONT-LICENSE'))
    write('zips/no-font.zip', spoilt(demo_zip, 'Quorvel Demo/data/system/font.bmp'))
    write('zips/none.zip', zipped([f for f in mixed if '/ART/' in f[0]]))
    write('zips/not-a-zip.zip', b'This is a text, not a zip.\n' * 40)
    write('zips/many.zip', zipped([(f'f/{k}', b'') for k in range(20001)]))
    write('zips/huge.zip', zipped_with_zeros([], 'zeros.bin', 257 * MIB))
    bomb = zipped_with_zeros(files, 'bomb.bin', 300 * MIB)
    write('zips/bomb.zip', claiming(bomb, 'bomb.bin', 1024))
    write('zips/escape.zip', zipped(files + [('../escape.txt', b'out')]))
    write('zips/clash.zip', zipped([('art', b'a file')] + files))


if __name__ == '__main__':
    main()

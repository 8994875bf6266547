#!/usr/bin/env python3
"""Checks that the Windows exe carries its resources: every image of the icon, the version
information (product name, version, description) and the application manifest.

resources.py starlane.exe res/starlane.ico res/starlane.manifest shell/resource.h
"""
import re
import struct
import sys


def utf16(text):
    return text.encode('utf-16-le')


def main():
    exe = open(sys.argv[1], 'rb').read()
    ico = open(sys.argv[2], 'rb').read()
    manifest = open(sys.argv[3], 'rb').read()
    version = re.search(r'#define STARLANE_VERSION_TEXT "([^"]+)"', open(sys.argv[4]).read()).group(1)
    problems = []

    # Resources are kept as they are in the file: each icon image appears whole in the exe.
    _, kind, count = struct.unpack_from('<HHH', ico, 0)
    sizes = []
    for i in range(count):
        width, _, _, _, _, _, size, offset = struct.unpack_from('<BBBBHHII', ico, 6 + 16 * i)
        sizes.append(width or 256)
        if ico[offset:offset + size] not in exe:
            problems.append(f'the {width} px icon image is not in the exe')
    if kind != 1 or sorted(sizes) != [16, 32, 48]:
        problems.append(f'the icon file holds {sizes}, not 16, 32 and 48 px')

    if manifest not in exe:
        problems.append('the manifest is not in the exe')
    for needed in (b'asInvoker', b'dpiAware', b'supportedOS'):
        if needed not in manifest:
            problems.append(f'the manifest says nothing of {needed.decode()}')

    for key, value in (('ProductName', 'Starlane'), ('ProductVersion', version),
                       ('FileVersion', version), ('FileDescription', 'Starlane')):
        at = exe.find(utf16(key + '\0'))
        # The value follows its key, both zero-terminated UTF-16 padded to 4 bytes.
        if at < 0 or utf16(value) not in exe[at:at + 200]:
            problems.append(f'no version information {key} = {value}')

    for p in problems:
        print(p)
    print(f'resources: icon {sizes} px, manifest {len(manifest)} bytes, version {version}: '
          + ('all there' if not problems else f'{len(problems)} problems'))
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main())

#!/usr/bin/env python3
"""Reads what the Windows build carries besides code, for tests/windows/binaries.sh.

  pe_resources.py exe FILE        the icon groups and the version resource of a PE file
  pe_resources.py ico FILE.ico    the images of an icon file, in the same form as an icon group
  pe_resources.py wm-icon ICO     compares the 32x32 _NET_WM_ICON given on standard input
                                  (xprop -f _NET_WM_ICON 32c " = $0+") with the 32x32 image of ICO

Output lines (exe):
  group-icon ID: WxHxBITS SHA1, ...     one line per RT_GROUP_ICON, its images in order
  fixed-version FILE PRODUCT            from VS_FIXEDFILEINFO, as a.b.c.d
  version-string KEY=VALUE              every string of the StringFileInfo tables
  string ID=TEXT                        every string of the string tables (RT_STRING)
Every read is bounds-checked: a damaged file ends with a message and exit 2, never a traceback
from an out-of-range slice that would look like a test result.
"""
import hashlib
import re
import struct
import sys

RT_ICON = 3
RT_STRING = 6
RT_GROUP_ICON = 14
RT_VERSION = 16


class Damaged(Exception):
    pass


def unpack(fmt, data, offset):
    size = struct.calcsize(fmt)
    if offset < 0 or offset + size > len(data):
        raise Damaged(f"read of {size} bytes at {offset} past the end ({len(data)})")
    return struct.unpack_from(fmt, data, offset)


def take(data, offset, size):
    if offset < 0 or size < 0 or offset + size > len(data):
        raise Damaged(f"block of {size} bytes at {offset} past the end ({len(data)})")
    return data[offset:offset + size]


class PeImage:
    def __init__(self, data):
        self.data = data
        if take(data, 0, 2) != b"MZ":
            raise Damaged("no MZ header")
        (pe,) = unpack("<I", data, 0x3C)
        if take(data, pe, 4) != b"PE\0\0":
            raise Damaged("no PE signature")
        _, sections, _, _, _, optional_size, _ = unpack("<HHIIIHH", data, pe + 4)
        optional = pe + 24
        (magic,) = unpack("<H", data, optional)
        # PE32 (0x10b) keeps its data directories at 96, PE32+ (0x20b) at 112.
        directories = optional + (96 if magic == 0x10B else 112)
        self.resource_rva, self.resource_size = unpack("<II", data, directories + 2 * 8)
        self.sections = []
        table = optional + optional_size
        for i in range(sections):
            vsize, rva, raw_size, raw = unpack("<IIII", data, table + 40 * i + 8)
            self.sections.append((rva, max(vsize, raw_size), raw))

    def file_offset(self, rva):
        for start, size, raw in self.sections:
            if start <= rva < start + size:
                return raw + rva - start
        raise Damaged(f"RVA {rva:#x} lies in no section")

    def resources(self):
        """{type: {id: bytes}} for numbered types and names, first language of each."""
        if self.resource_rva == 0:
            return {}
        base = self.file_offset(self.resource_rva)
        found = {}
        for rtype, type_dir in self._entries(base, base):
            for rid, lang_dir in self._entries(base, type_dir):
                langs = self._entries(base, lang_dir)
                if not langs:
                    continue
                entry = langs[0][1]
                rva, size = unpack("<II", self.data, entry)
                found.setdefault(rtype, {})[rid] = take(self.data, self.file_offset(rva), size)
        return found

    def _entries(self, base, directory):
        named, numbered = unpack("<HH", self.data, directory + 12)
        result = []
        for i in range(named + numbered):
            name, target = unpack("<II", self.data, directory + 16 + 8 * i)
            key = name if not name & 0x80000000 else self._name(base + (name & 0x7FFFFFFF))
            result.append((key, base + (target & 0x7FFFFFFF)))
        return result

    def _name(self, offset):
        (length,) = unpack("<H", self.data, offset)
        return take(self.data, offset + 2, 2 * length).decode("utf-16-le")


def image_line(width, height, bits, image):
    return f"{width or 256}x{height or 256}x{bits} {hashlib.sha1(image).hexdigest()}"


def group_icons(res):
    icons = res.get(RT_ICON, {})
    lines = []
    for gid, group in sorted(res.get(RT_GROUP_ICON, {}).items(), key=lambda kv: str(kv[0])):
        _, kind, count = unpack("<HHH", group, 0)
        if kind != 1:
            raise Damaged(f"icon group {gid} has type {kind}")
        parts = []
        for i in range(count):
            w, h, _, _, _, bits, _, iid = unpack("<BBBBHHIH", group, 6 + 14 * i)
            if iid not in icons:
                raise Damaged(f"icon group {gid} names missing icon {iid}")
            parts.append(image_line(w, h, bits, icons[iid]))
        lines.append(f"group-icon {gid}: " + ", ".join(parts))
    return lines


def ico_images(data):
    _, kind, count = unpack("<HHH", data, 0)
    if kind != 1:
        raise Damaged("not an icon file")
    images = []
    for i in range(count):
        w, h, _, _, _, bits, size, offset = unpack("<BBBBHHII", data, 6 + 16 * i)
        images.append((w or 256, h or 256, bits, take(data, offset, size)))
    return images


def version_node(block, offset):
    """One VS_VERSIONINFO-style node: (key, value bytes or text, children, end)."""
    length, value_length, kind = unpack("<HHH", block, offset)
    end = offset + length
    if length < 6 or end > len(block):
        raise Damaged(f"version node at {offset} of length {length}")
    cursor = offset + 6
    key_end = cursor
    while unpack("<H", block, key_end)[0] != 0:
        key_end += 2
    key = take(block, cursor, key_end - cursor).decode("utf-16-le")
    cursor = (key_end + 2 + 3) & ~3
    if kind == 1:  # text: the length counts WCHARs, terminator included
        raw = take(block, cursor, 2 * value_length)
        value = raw.decode("utf-16-le").split("\0", 1)[0]
        cursor += 2 * value_length
    else:
        value = take(block, cursor, value_length)
        cursor += value_length
    cursor = (cursor + 3) & ~3
    children = []
    while cursor < end:
        child = version_node(block, cursor)
        children.append(child)
        cursor = (child[3] + 3) & ~3
    return key, value, children, end


def version_lines(res):
    lines = []
    for _, block in sorted(res.get(RT_VERSION, {}).items(), key=lambda kv: str(kv[0])):
        key, fixed, children, _ = version_node(block, 0)
        if key != "VS_VERSION_INFO":
            raise Damaged(f"version resource keyed {key!r}")
        signature, _, fms, fls, pms, pls = unpack("<IIIIII", fixed, 0)
        if signature != 0xFEEF04BD:
            raise Damaged(f"fixed file info signature {signature:#x}")
        quad = lambda ms, ls: f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}"
        lines.append(f"fixed-version {quad(fms, fls)} {quad(pms, pls)}")
        for child_key, _, tables, _ in children:
            if child_key != "StringFileInfo":
                continue
            for _, _, strings, _ in tables:
                for name, text, _, _ in strings:
                    lines.append(f"version-string {name}={text}")
    return lines


def string_lines(res):
    """String table blocks: block B holds strings 16 (B - 1) .. 16 B - 1, each a 16-bit length
    in WCHARs followed by that many UTF-16 characters; empty slots have length 0."""
    lines = []
    for block_id, block in sorted(res.get(RT_STRING, {}).items(), key=lambda kv: str(kv[0])):
        if not isinstance(block_id, int) or block_id < 1:
            raise Damaged(f"string table block named {block_id!r}")
        offset = 0
        for slot in range(16):
            (length,) = unpack("<H", block, offset)
            text = take(block, offset + 2, 2 * length).decode("utf-16-le")
            offset += 2 + 2 * length
            if length:
                lines.append(f"string {16 * (block_id - 1) + slot}={text}")
    return lines


def wm_icon_compare(ico_data, xprop_text):
    """Pixels of the window's 32x32 icon that differ from the opaque pixels of the .ico's
    32x32 image (its 32-bit BMP: BGRA rows bottom-up after a 40-byte header)."""
    numbers = [int(v, 0) for v in re.findall(r"0x[0-9a-fA-F]+|\b\d+\b", xprop_text.split("=", 1)[-1])]
    window = None
    i = 0
    while i + 2 <= len(numbers):
        w, h = numbers[i], numbers[i + 1]
        if w == 32 and h == 32 and i + 2 + 1024 <= len(numbers):
            window = numbers[i + 2:i + 2 + 1024]
            break
        i += 2 + w * h
    if window is None:
        raise Damaged("the window carries no 32x32 icon")
    for w, h, bits, image in ico_images(ico_data):
        if (w, h, bits) == (32, 32, 32):
            break
    else:
        raise Damaged("the icon file has no 32x32 32-bit image")
    compared = differing = 0
    for y in range(32):
        for x in range(32):
            b, g, r, a = unpack("<BBBB", image, 40 + 4 * ((31 - y) * 32 + x))
            if a != 255:
                continue  # edges: how a desktop blends partial alpha is its own affair
            compared += 1
            argb = window[y * 32 + x]
            if ((argb >> 16) & 255, (argb >> 8) & 255, argb & 255) != (r, g, b):
                differing += 1
    return compared, differing


def main(argv):
    if len(argv) != 3 or argv[1] not in ("exe", "ico", "wm-icon"):
        print(__doc__, file=sys.stderr)
        return 2
    try:
        with open(argv[2], "rb") as f:
            data = f.read()
        if argv[1] == "exe":
            res = PeImage(data).resources()
            print("\n".join(group_icons(res) + version_lines(res) + string_lines(res)))
        elif argv[1] == "ico":
            print(", ".join(image_line(w, h, b, img) for w, h, b, img in ico_images(data)))
        else:
            compared, differing = wm_icon_compare(data, sys.stdin.read())
            print(f"compared {compared} differing {differing}")
    except (Damaged, OSError, UnicodeDecodeError) as error:
        print(f"pe_resources: {argv[2]}: {error}", file=sys.stderr)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

# pe_resources.py: reads the resources of a Windows executable (PE32+), and
# the icon and version information among them, without any Windows tool.
import struct

RT_ICON = 3
RT_GROUP_ICON = 14
RT_VERSION = 16
RESOURCE_DIRECTORY = 2
FIXED_INFO_SIGNATURE = 0xFEEF04BD


class PeError(Exception):
    pass


def _sections(data):
    if data[:2] != b"MZ":
        raise PeError("not an executable (no MZ header)")
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise PeError("not a PE executable")
    count, = struct.unpack_from("<H", data, pe + 6)
    optional_size, = struct.unpack_from("<H", data, pe + 20)
    optional = pe + 24
    if struct.unpack_from("<H", data, optional)[0] != 0x20B:
        raise PeError("not a 64-bit (PE32+) executable")
    rva, size = struct.unpack_from("<II", data, optional + 112 + 8 * RESOURCE_DIRECTORY)
    table = optional + optional_size
    sections = []
    for i in range(count):
        virtual_size, virtual_address, raw_size, raw_pointer = struct.unpack_from("<IIII", data, table + 40 * i + 8)
        sections.append((virtual_address, max(virtual_size, raw_size), raw_pointer))
    return rva, size, sections


def _offset(sections, rva):
    for address, size, pointer in sections:
        if address <= rva < address + size:
            return pointer + rva - address
    raise PeError(f"address {rva:#x} lies in no section")


def resources(path):
    """{(type, id): bytes} of every resource with a numeric type and id (first language of each)."""
    with open(path, "rb") as f:
        data = f.read()
    rva, size, sections = _sections(data)
    if rva == 0 or size == 0:
        return {}
    base = _offset(sections, rva)

    def entries(directory):
        named, numbered = struct.unpack_from("<HH", data, base + directory + 12)
        for i in range(named + numbered):
            name, target = struct.unpack_from("<II", data, base + directory + 16 + 8 * i)
            if not name & 0x80000000:
                yield name, target

    def leaf(target):
        while target & 0x80000000:
            target = next(iter(entries(target & 0x7FFFFFFF)), (None, None))[1]
            if target is None:
                raise PeError("an empty resource directory")
        data_rva, data_size = struct.unpack_from("<II", data, base + target)
        start = _offset(sections, data_rva)
        return data[start:start + data_size]

    found = {}
    for kind, kinds in entries(0):
        if kinds & 0x80000000:
            for ident, target in entries(kinds & 0x7FFFFFFF):
                found[(kind, ident)] = leaf(target)
    return found


def icon_group(found, ident):
    """[(width, height, bits, icon id)] of a group icon; 0 stands for 256."""
    data = found[(RT_GROUP_ICON, ident)]
    _, kind, count = struct.unpack_from("<HHH", data, 0)
    if kind != 1:
        raise PeError("a group icon that is not an icon")
    members = []
    for i in range(count):
        width, height, _, _, _, bits, _, icon = struct.unpack_from("<BBBBHHIH", data, 6 + 14 * i)
        members.append((width or 256, height or 256, bits, icon))
    return members


def ico_images(path):
    """{side: image bytes} of an .ico file."""
    with open(path, "rb") as f:
        data = f.read()
    _, kind, count = struct.unpack_from("<HHH", data, 0)
    if kind != 1:
        raise PeError(f"{path} is not an icon")
    images = {}
    for i in range(count):
        width, _, _, _, _, _, size, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        images[width or 256] = data[offset:offset + size]
    return images


def _align(n):
    return (n + 3) & ~3


def _block(data, pos):
    """One node of a version resource: (key, value bytes, is text, children), and where it ends."""
    length, value_length, text = struct.unpack_from("<HHH", data, pos)
    end = pos + length
    key_end = pos + 6
    while data[key_end:key_end + 2] != b"\0\0":
        key_end += 2
    key = data[pos + 6:key_end].decode("utf-16-le")
    value_start = _align(key_end + 2)
    value_end = value_start + (value_length * 2 if text else value_length)
    value = data[value_start:min(value_end, end)]
    children = []
    child = _align(value_end)
    while child < end:
        node, child_end = _block(data, child)
        children.append(node)
        child = _align(child_end)
    return (key, value, text, children), end


def version_info(found):
    """(file version, product version, {string name: value}) of the first version resource."""
    blobs = [data for (kind, _), data in found.items() if kind == RT_VERSION]
    if not blobs:
        raise PeError("no version information")
    (key, fixed, _, children), _ = _block(blobs[0], 0)
    if key != "VS_VERSION_INFO" or struct.unpack_from("<I", fixed, 0)[0] != FIXED_INFO_SIGNATURE:
        raise PeError("malformed version information")
    file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<IIII", fixed, 8)

    def dotted(ms, ls):
        return f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}"

    strings = {}
    for name, _, _, tables in children:
        if name == "StringFileInfo":
            for _, _, _, values in tables:
                for value_name, value, _, _ in values:
                    strings[value_name] = value.decode("utf-16-le").split("\0")[0]
    return dotted(file_ms, file_ls), dotted(product_ms, product_ls), strings

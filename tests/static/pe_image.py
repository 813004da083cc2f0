"""Reads what the static checks need from a Windows executable (a PE image)
without running it: the file header, the optional header's kind and
subsystem, the imported DLLs, the resources and the version block."""

import struct

MACHINE_I386 = 0x014C
MACHINE_AMD64 = 0x8664
MAGIC_PE32 = 0x10B
MAGIC_PE32_PLUS = 0x20B
SUBSYSTEM_GUI = 2
SUBSYSTEM_CONSOLE = 3

RT_ICON, RT_DIALOG, RT_STRING, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 5, 6, 14, 16, 24


class PeImage:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise ValueError("not an MZ executable")
        (offset,) = struct.unpack_from("<I", data, 0x3C)
        if data[offset:offset + 4] != b"PE\0\0":
            raise ValueError("not a PE image")
        names = ("machine", "sections", "time_date_stamp", "symbol_table", "symbols", "optional_size", "flags")
        self.header = dict(zip(names, struct.unpack_from("<HHIIIHH", data, offset + 4)))
        optional = offset + 24
        (self.magic,) = struct.unpack_from("<H", data, optional)
        if self.magic not in (MAGIC_PE32, MAGIC_PE32_PLUS):
            raise ValueError("unknown optional header 0x%x" % self.magic)
        (self.subsystem,) = struct.unpack_from("<H", data, optional + 68)
        directories = optional + (96 if self.magic == MAGIC_PE32 else 112)
        (count,) = struct.unpack_from("<I", data, directories - 4)
        self.directories = [struct.unpack_from("<II", data, directories + 8 * i) for i in range(count)]
        self.section_table = []
        table = optional + self.header["optional_size"]
        for i in range(self.header["sections"]):
            name, virtual_size, rva, raw_size, raw_offset = struct.unpack_from("<8sIIII", data, table + 40 * i)
            self.section_table.append((name.rstrip(b"\0").decode("latin-1"), rva, max(virtual_size, raw_size),
                                       raw_offset))

    def offset_of(self, rva):
        for _, start, size, raw in self.section_table:
            if start <= rva < start + size:
                return raw + rva - start
        raise ValueError("address 0x%x is in no section" % rva)

    def c_string(self, rva):
        at = self.offset_of(rva)
        return self.data[at:self.data.index(b"\0", at)].decode("latin-1")

    def imported_dlls(self):
        """The names of the DLLs the image imports, as written in it."""
        rva, size = self.directories[1]
        if not size:
            return []
        names = []
        at = self.offset_of(rva)
        while True:
            lookup, _, _, name, thunks = struct.unpack_from("<IIIII", self.data, at)
            if not (lookup or name or thunks):
                return names
            names.append(self.c_string(name))
            at += 20

    def resources(self):
        """Every resource as {(type, name, language): bytes}; ids are numbers,
        named entries texts."""
        rva, size = self.directories[2]
        if not size:
            return {}
        base = self.offset_of(rva)
        found = {}

        def entry_id(value):
            if value & 0x80000000:
                at = base + (value & 0x7FFFFFFF)
                (length,) = struct.unpack_from("<H", self.data, at)
                return self.data[at + 2:at + 2 + 2 * length].decode("utf-16-le")
            return value

        def walk(at, path):
            named, numbered = struct.unpack_from("<HH", self.data, at + 12)
            for i in range(named + numbered):
                name, target = struct.unpack_from("<II", self.data, at + 16 + 8 * i)
                key = path + (entry_id(name),)
                if target & 0x80000000:
                    walk(base + (target & 0x7FFFFFFF), key)
                else:
                    data_rva, data_size = struct.unpack_from("<II", self.data, base + target)
                    start = self.offset_of(data_rva)
                    found[key] = self.data[start:start + data_size]

        walk(base, ())
        return found


def resources_of(image, kind, name=None):
    """The data of every resource of that type (and, given, that id)."""
    return [data for (k, n, _), data in image.resources().items() if k == kind and name in (None, n)]


def version_block(block):
    """A VS_VERSIONINFO resource: its fixed file and product versions as
    dotted texts, and its StringFileInfo values by name."""

    def node(at):
        length, value_length, kind = struct.unpack_from("<HHH", block, at)
        end = block.index(b"\0\0", at + 6)
        while (end - at) % 2:
            end = block.index(b"\0\0", end + 1)
        key = block[at + 6:end].decode("utf-16-le")
        value_at = (end + 2 + 3) & ~3
        value_size = value_length * 2 if kind == 1 else value_length
        children_at = (value_at + value_size + 3) & ~3
        return key, block[value_at:value_at + value_size], children_at, at + length

    def children(start, end):
        at = start
        while at < end:
            key, value, first_child, next_at = node(at)
            yield key, value, first_child, next_at
            at = (next_at + 3) & ~3

    key, fixed, first_child, end = node(0)
    if key != "VS_VERSION_INFO" or struct.unpack_from("<I", fixed, 0)[0] != 0xFEEF04BD:
        raise ValueError("not a version block")
    file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<IIII", fixed, 8)

    def dotted(ms, ls):
        return "%d.%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)

    strings = {}
    for name, _, child_at, child_end in children(first_child, end):
        if name != "StringFileInfo":
            continue
        for _, _, table_at, table_end in children(child_at, child_end):
            for text_key, text, _, _ in children(table_at, table_end):
                strings[text_key] = text.decode("utf-16-le").rstrip("\0")
    return dotted(file_ms, file_ls), dotted(product_ms, product_ls), strings

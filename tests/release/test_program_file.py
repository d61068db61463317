"""Checks of the shipped program file itself: a 32-bit Windows GUI program, one file
that imports only DLLs every Windows has, with one manifest, within its size.
The program is named by VELKARN_PROGRAM."""
import os
import struct
import unittest

ALLOWED_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll", "comctl32.dll",
                "msvcrt.dll"}
SIZE_CEILING = 320 * 1024
RT_MANIFEST = 24


class PortableExecutable:
    """Just enough of the PE format to read the headers, imports and resources."""

    def __init__(self, data):
        self.data = data
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("not a PE file")
        (self.machine, sections, self.timestamp, _, _, optional_size,
         self.characteristics) = struct.unpack_from("<HHIIIHH", data, pe + 4)
        optional = pe + 24
        self.magic = struct.unpack_from("<H", data, optional)[0]
        self.subsystem = struct.unpack_from("<H", data, optional + 68)[0]
        directories = optional + (96 if self.magic == 0x10B else 112)
        self.directories = [struct.unpack_from("<II", data, directories + 8 * i) for i in range(16)]
        self.sections = []
        for i in range(sections):
            _, virtual_size, address, raw_size, raw_offset = struct.unpack_from("<8sIIII", data,
                                                                                optional + optional_size + 40 * i)
            self.sections.append((address, max(virtual_size, raw_size), raw_offset))

    def offset(self, rva):
        for address, size, raw in self.sections:
            if address <= rva < address + size:
                return rva - address + raw
        raise ValueError(f"RVA {rva:#x} is in no section")

    def string(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("ascii")

    def imported_dlls(self):
        rva, _ = self.directories[1]
        names, at = [], self.offset(rva)
        while True:
            descriptor = struct.unpack_from("<IIIII", self.data, at)
            if not any(descriptor):
                return names
            names.append(self.string(descriptor[3]))
            at += 20

    def resources_of_type(self, type_id):
        """How many resources (names times languages) there are of one type."""
        rva, _ = self.directories[2]
        if not rva:
            return 0
        base = self.offset(rva)

        def entries(directory):
            named, numbered = struct.unpack_from("<HH", self.data, base + directory + 12)
            for i in range(named + numbered):
                yield struct.unpack_from("<II", self.data, base + directory + 16 + 8 * i)

        def leaves(directory):
            return sum(leaves(target & 0x7FFFFFFF) if target & 0x80000000 else 1
                       for _, target in entries(directory))

        return sum(leaves(target & 0x7FFFFFFF) for name, target in entries(0) if name == type_id)


class ProgramFileTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.path = os.environ["VELKARN_PROGRAM"]
        with open(cls.path, "rb") as file:
            cls.pe = PortableExecutable(file.read())

    def test_is_a_32_bit_windows_gui_program(self):
        self.assertEqual(self.pe.machine, 0x14C, "i386")
        self.assertEqual(self.pe.magic, 0x10B, "PE32")
        self.assertEqual(self.pe.subsystem, 2, "Windows GUI")

    def test_imports_only_dlls_that_every_windows_has(self):
        imported = {name.lower() for name in self.pe.imported_dlls()}
        self.assertTrue(imported)
        self.assertEqual(imported - ALLOWED_DLLS, set())

    def test_has_exactly_one_manifest(self):
        self.assertEqual(self.pe.resources_of_type(RT_MANIFEST), 1)

    def test_size_is_within_the_ceiling(self):
        self.assertLessEqual(os.path.getsize(self.path), SIZE_CEILING)

    def test_carries_no_time_stamp(self):
        self.assertEqual(self.pe.timestamp, 0)


if __name__ == "__main__":
    unittest.main()

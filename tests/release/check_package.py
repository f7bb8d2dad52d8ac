#!/usr/bin/env python3
"""Checks a release package, the ZIP that a Windows user downloads:

    check_package.py --platform win32 --version 1.0 dist/Veruvo-1.0-win32.zip

- it holds exactly Veruvo.exe and README.txt, at the top, and the read-me is
  plain ASCII text with Windows line ends;
- the executable is a Windows GUI program for the package's processor (PE
  machine 0x14c for win32, 0x8664 for win64), with DEP and ASLR;
- it imports no DLL but Windows' own (a fixed list), so it runs from the ZIP
  alone;
- its version record says the version, both as numbers and as text;
- the 32-bit executable, the product, stays within its size budget;
- with --tested RECORD: the executable is byte for byte the one whose
  end-to-end tests passed (RECORD's first word is its SHA-256, as
  scripts/test.sh writes it after the 32-bit program's tests in the guest).

Reports every problem it finds and exits 1 if there is any. Standard library
only: it reads the PE headers and the version resource itself.
"""

import argparse
import hashlib
import struct
import sys
import zipfile

EXPECTED_NAMES = {"Veruvo.exe", "README.txt"}

# Platform: PE machine, optional header magic (PE32 or PE32+), size budget.
PLATFORMS = {
    "win32": (0x014C, 0x10B, 450 * 1024),
    "win64": (0x8664, 0x20B, None),
}

# DLLs that every Windows since 7 has, compared without case. The C runtime
# is the system's own msvcrt.dll, or the Universal CRT's api sets.
WINDOWS_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "comctl32.dll", "shell32.dll",
    "winmm.dll", "uxtheme.dll", "advapi32.dll", "imm32.dll", "msvcrt.dll",
    "oleacc.dll", "ole32.dll", "oleaut32.dll",
}
WINDOWS_DLL_PREFIXES = ("api-ms-win-crt-",)

IMAGE_SUBSYSTEM_WINDOWS_GUI = 2
IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE = 0x0040
IMAGE_DLLCHARACTERISTICS_NX_COMPAT = 0x0100
RT_VERSION = 16
VS_FIXEDFILEINFO_SIGNATURE = 0xFEEF04BD


class PackageError(Exception):
    pass


class PeImage:
    """The parts of a PE file that the checks read."""

    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise PackageError("Veruvo.exe is not an executable (no MZ header)")
        pe = self.u32(0x3C)
        if data[pe:pe + 4] != b"PE\0\0":
            raise PackageError("Veruvo.exe has no PE header")
        coff = pe + 4
        self.machine = self.u16(coff)
        sections = self.u16(coff + 2)
        optional_size = self.u16(coff + 16)
        optional = coff + 20
        self.magic = self.u16(optional)
        self.subsystem = self.u16(optional + 68)
        self.dll_characteristics = self.u16(optional + 70)
        # The data directories follow the fields whose width differs.
        directories = optional + (96 if self.magic == 0x10B else 112)
        count = self.u32(directories - 4)
        self.directories = [
            (self.u32(directories + 8 * i), self.u32(directories + 8 * i + 4))
            for i in range(count)
        ]
        first = optional + optional_size
        self.sections = []
        for i in range(sections):
            s = first + 40 * i
            virtual_size, rva, raw_size, raw_offset = struct.unpack_from("<IIII", data, s + 8)
            self.sections.append((rva, max(virtual_size, raw_size), raw_offset, raw_size))

    def u16(self, offset):
        return struct.unpack_from("<H", self.data, offset)[0]

    def u32(self, offset):
        return struct.unpack_from("<I", self.data, offset)[0]

    def offset(self, rva):
        for start, size, raw_offset, raw_size in self.sections:
            if start <= rva < start + size and rva - start < raw_size:
                return raw_offset + rva - start
        raise PackageError(f"Veruvo.exe: address 0x{rva:x} lies in no section")

    def directory(self, index):
        return self.directories[index] if index < len(self.directories) else (0, 0)

    def c_string(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("ascii")

    def imported_dlls(self):
        """Names of the DLLs in the import and delay-import tables."""
        names = []
        rva, _ = self.directory(1)
        while rva:
            # IMAGE_IMPORT_DESCRIPTOR: five dwords, the name's address fourth;
            # a descriptor of zeros ends the table.
            fields = struct.unpack_from("<5I", self.data, self.offset(rva))
            if not any(fields):
                break
            names.append(self.c_string(fields[3]))
            rva += 20
        rva, _ = self.directory(13)
        while rva:
            # ImgDelayDescr: eight dwords, the name's address second.
            fields = struct.unpack_from("<8I", self.data, self.offset(rva))
            if not any(fields):
                break
            names.append(self.c_string(fields[1]))
            rva += 32
        return names

    def version_resource(self):
        """The bytes of the first RT_VERSION resource, or None."""
        root, _ = self.directory(2)
        if not root:
            return None
        base = self.offset(root)

        def entries(table):
            named, numbered = struct.unpack_from("<HH", self.data, base + table + 12)
            for i in range(named + numbered):
                ident, target = struct.unpack_from("<II", self.data, base + table + 16 + 8 * i)
                yield ident, target

        for ident, target in entries(0):
            if ident != RT_VERSION:
                continue
            # Type -> name -> language -> data entry; take the first of each.
            for _, name in entries(target & 0x7FFFFFFF):
                for _, language in entries(name & 0x7FFFFFFF):
                    rva, size = struct.unpack_from("<II", self.data, base + language)
                    start = self.offset(rva)
                    return self.data[start:start + size]
        return None


def align4(n):
    return (n + 3) & ~3


def version_block(data, offset):
    """One block of a version resource: its key, value bytes, children and end."""
    length, value_length, value_type = struct.unpack_from("<HHH", data, offset)
    if length < 6:
        raise PackageError("version record: a block of impossible length")
    key_start = offset + 6
    key_end = key_start
    while data[key_end:key_end + 2] != b"\0\0":
        key_end += 2
    key = data[key_start:key_end].decode("utf-16-le")
    value_start = align4(key_end + 2)
    # A text value's length counts UTF-16 characters, a binary one's bytes.
    value_bytes = value_length * 2 if value_type == 1 else value_length
    value = data[value_start:value_start + value_bytes]
    end = offset + length
    children = []
    child = align4(value_start + value_bytes)
    while child < end:
        block = version_block(data, child)
        children.append(block)
        child = align4(block[3])
    return key, value, children, end


def read_version(data):
    """File and product versions: the fixed numbers and the texts."""
    key, value, children, _ = version_block(data, 0)
    if key != "VS_VERSION_INFO":
        raise PackageError(f"version record: root block is {key!r}")
    signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<6I", value)
    if signature != VS_FIXEDFILEINFO_SIGNATURE:
        raise PackageError("version record: no VS_FIXEDFILEINFO")

    def dotted(ms, ls):
        return f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}"

    texts = {}
    for child_key, _, tables, _ in children:
        if child_key != "StringFileInfo":
            continue
        for _, _, strings, _ in tables:
            for name, text, _, _ in strings:
                texts[name] = text.decode("utf-16-le").rstrip("\0")
    return dotted(file_ms, file_ls), dotted(product_ms, product_ls), texts


def check_names(names, problems):
    if sorted(names) != sorted(EXPECTED_NAMES):
        problems.append(f"the package holds {sorted(names)}, expected {sorted(EXPECTED_NAMES)}")


def check_readme(text, problems):
    if not text.strip():
        problems.append("README.txt is empty")
    try:
        text.decode("ascii")
    except UnicodeDecodeError:
        problems.append("README.txt is not plain ASCII")
    if text.count(b"\n") != text.count(b"\r\n") or text.count(b"\r") != text.count(b"\r\n"):
        problems.append("README.txt has line ends other than CR LF")


def check_executable(exe, platform, version, problems):
    machine, magic, budget = PLATFORMS[platform]
    try:
        image = PeImage(exe)
    except PackageError as e:
        problems.append(str(e))
        return
    except (struct.error, IndexError) as e:
        problems.append(f"Veruvo.exe: unreadable PE headers ({e})")
        return
    print(f"  Veruvo.exe: {len(exe)} bytes, machine 0x{image.machine:x}")
    if image.machine != machine:
        problems.append(f"Veruvo.exe is for machine 0x{image.machine:x}, expected 0x{machine:x}")
    if image.magic != magic:
        problems.append(f"Veruvo.exe has optional header magic 0x{image.magic:x}, expected 0x{magic:x}")
    if image.subsystem != IMAGE_SUBSYSTEM_WINDOWS_GUI:
        problems.append(f"Veruvo.exe is not a GUI program (subsystem {image.subsystem})")
    for flag, name in ((IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE, "ASLR (dynamic base)"),
                       (IMAGE_DLLCHARACTERISTICS_NX_COMPAT, "DEP (NX compatible)")):
        if not image.dll_characteristics & flag:
            problems.append(f"Veruvo.exe is built without {name}")
    if budget is not None and len(exe) >= budget:
        problems.append(f"Veruvo.exe is {len(exe)} bytes, over its budget of {budget} "
                        f"({budget // 1024} KB)")

    try:
        dlls = image.imported_dlls()
    except (PackageError, struct.error, ValueError) as e:
        problems.append(f"Veruvo.exe: unreadable import table ({e})")
        dlls = []
    print(f"  imports: {', '.join(dlls)}")
    foreign = [d for d in dlls
               if d.lower() not in WINDOWS_DLLS and not d.lower().startswith(WINDOWS_DLL_PREFIXES)]
    if foreign:
        problems.append(f"Veruvo.exe imports DLLs that Windows does not have: {', '.join(foreign)}")

    try:
        record = image.version_resource()
        if record is None:
            problems.append("Veruvo.exe has no version record")
            return
        file_version, product_version, texts = read_version(record)
    except (PackageError, struct.error, ValueError, UnicodeDecodeError) as e:
        problems.append(f"Veruvo.exe: unreadable version record ({e})")
        return
    print(f"  version record: file {file_version}, product {product_version}, "
          f"texts {texts.get('FileVersion')!r} / {texts.get('ProductVersion')!r}")
    numbers = ".".join((version.split(".") + ["0"] * 4)[:4])
    for what, found in (("file version", file_version), ("product version", product_version)):
        if found != numbers:
            problems.append(f"version record: {what} {found}, expected {numbers}")
    for name in ("FileVersion", "ProductVersion"):
        if texts.get(name) != version:
            problems.append(f"version record: {name} is {texts.get(name)!r}, expected {version!r}")


def check_tested(exe, record_path, problems):
    """The packed executable is the tested one."""
    packed = hashlib.sha256(exe).hexdigest()
    try:
        with open(record_path, encoding="ascii") as record:
            tested = (record.read().split() or [""])[0]
    except OSError as e:
        problems.append(f"no record of a tested executable ({e}): run scripts/test.sh, whose "
                        f"32-bit end-to-end stage writes it when its tests pass")
        return
    print(f"  tested executable: {tested}; packed: {packed}")
    if packed != tested:
        problems.append("Veruvo.exe is not the executable whose end-to-end tests passed "
                        f"(SHA-256 {packed}, tested {tested}): run scripts/test.sh again")


def check_package(path, platform, version, tested=None):
    problems = []
    print(f"{path} ({platform}, version {version}):")
    try:
        with zipfile.ZipFile(path) as package:
            bad = package.testzip()
            if bad is not None:
                problems.append(f"damaged member {bad}")
            names = package.namelist()
            check_names(names, problems)
            if "README.txt" in names:
                check_readme(package.read("README.txt"), problems)
            if "Veruvo.exe" in names:
                check_executable(package.read("Veruvo.exe"), platform, version, problems)
                if tested:
                    check_tested(package.read("Veruvo.exe"), tested, problems)
    except (OSError, zipfile.BadZipFile) as e:
        problems.append(f"cannot read the package: {e}")
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--platform", required=True, choices=sorted(PLATFORMS))
    parser.add_argument("--version", required=True)
    parser.add_argument("--tested", metavar="RECORD",
                        help="the record of the executable whose end-to-end tests passed")
    parser.add_argument("package")
    args = parser.parse_args()
    problems = check_package(args.package, args.platform, args.version, args.tested)
    for problem in problems:
        print(f"  PROBLEM: {problem}", file=sys.stderr)
    if problems:
        print(f"FAILED: {args.package}: {len(problems)} problem(s)", file=sys.stderr)
        return 1
    print("  ok")
    return 0


if __name__ == "__main__":
    sys.exit(main())

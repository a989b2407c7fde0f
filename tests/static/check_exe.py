#!/usr/bin/env python3
"""Static checks of a built Tavu.exe: PE headers, imports and the embedded resources.

Reads the executable itself (Python 3 standard library only) and checks, each as a named check:

  pe_header  PE32 for i386 (--arch x86) or PE32+ for AMD64 (--arch amd64), an executable, not a DLL
  subsystem  the Windows GUI subsystem
  imports    only Windows system DLLs; the MinGW runtime DLLs are called out by name
  manifest   RT_MANIFEST 1: own identity, common controls 6.0.0.0 for the same architecture,
             no execution level, no DPI awareness
  version    VERSIONINFO: fixed file info 1.2.0.0 and its flags, the German string table, the
             translation
  icon       icon group 1 with eight images of the expected sizes and depths, in the group
             directory and in the images' own headers
  size       the file is at most --max-size bytes (only run when that option is given)
  icoutils   wrestool and icotool from icoutils see the same icon (only with --icoutils)

Usage: check_exe.py --arch {x86,amd64} [--max-size BYTES] [--icoutils] [--only CHECK]... EXE
Exit status 0 when every selected check passes, 1 when any fails, 2 for bad usage.
"""

import argparse
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree

RT_ICON = 3
RT_GROUP_ICON = 14
RT_VERSION = 16
RT_MANIFEST = 24

ARCHES = {
    # --arch: (COFF machine, optional-header magic, name in the manifest, description)
    "x86": (0x014C, 0x010B, "x86", "PE32 for i386"),
    "amd64": (0x8664, 0x020B, "amd64", "PE32+ for AMD64"),
}
MACHINE_NAMES = {0x014C: "i386", 0x8664: "AMD64", 0x01C4: "ARMv7", 0xAA64: "ARM64"}
MAGIC_NAMES = {0x010B: "PE32", 0x020B: "PE32+"}

IMAGE_SUBSYSTEM_WINDOWS_GUI = 2
SUBSYSTEM_NAMES = {1: "native", 2: "Windows GUI", 3: "Windows console"}

ALLOWED_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "comctl32.dll", "ole32.dll", "oleaut32.dll",
    "advapi32.dll", "shell32.dll", "msvcrt.dll", "ucrtbase.dll",
}
ALLOWED_DLL_PREFIXES = ("api-ms-win-",)
# Runtime DLLs that a MinGW build pulls in when it is not linked statically; none exists on a
# user's machine.
MINGW_RUNTIME_PREFIXES = ("libstdc++", "libgcc", "libwinpthread")

COMMON_CONTROLS = "Microsoft.Windows.Common-Controls"
COMMON_CONTROLS_TOKEN = "6595b64144ccf1df"
MANIFEST_NAMESPACE = "urn:schemas-microsoft-com:asm.v1"
FORBIDDEN_MANIFEST_ELEMENTS = ("trustInfo", "requestedExecutionLevel", "dpiAware", "dpiAwareness")

VS_FFI_SIGNATURE = 0xFEEF04BD
VS_FFI_FILEFLAGSMASK = 0x3F
VOS__WINDOWS32 = 0x4
VFT_APP = 0x1
EXPECTED_VERSION = (1, 2, 0, 0)
EXPECTED_STRING_TABLE = "040704B0"
EXPECTED_STRINGS = {
    "FileDescription": "Brindle 1.2",
    "ProductName": "Brindle",
    "InternalName": "Tavu",
    "OriginalFilename": "Tavu.exe",
    "FileVersion": "1.2",
    "ProductVersion": "1.2",
}
EXPECTED_TRANSLATIONS = [(0x0407, 1200)]

ICON_GROUP_ID = 1
# (width = height, bits per pixel) of the application icon's images.
EXPECTED_ICON_IMAGES = sorted([(16, 32), (24, 8), (24, 24), (24, 32), (32, 8), (32, 24), (32, 32), (48, 32)])
PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"


class Malformed(Exception):
    """The file does not have the structure a PE image must have."""


# --- reading the PE image ----------------------------------------------------------------------


class PeImage:
    def __init__(self, data):
        self.data = data
        if len(data) < 0x40 or data[:2] != b"MZ":
            raise Malformed("no MZ header: not a Windows executable")
        self.pe_offset = self.u32(0x3C)
        if data[self.pe_offset:self.pe_offset + 4] != b"PE\0\0":
            raise Malformed(f"no PE signature at offset {self.pe_offset:#x}")
        coff = self.pe_offset + 4
        self.machine, self.section_count = struct.unpack_from("<HH", data, coff)
        self.optional_size, self.characteristics = struct.unpack_from("<HH", data, coff + 16)
        self.optional = coff + 20
        self.magic = self.u16(self.optional)
        if self.magic not in MAGIC_NAMES:
            raise Malformed(f"unknown optional-header magic {self.magic:#06x}")
        pe32_plus = self.magic == 0x020B
        self.image_base = self.u64(self.optional + 24) if pe32_plus else self.u32(self.optional + 28)
        self.subsystem = self.u16(self.optional + 68)
        directories = self.optional + (112 if pe32_plus else 96)
        count = self.u32(directories - 4)
        self.directories = [struct.unpack_from("<II", data, directories + 8 * i)
                            for i in range(min(count, 16))]
        self.sections = []
        table = self.optional + self.optional_size
        for i in range(self.section_count):
            entry = table + 40 * i
            name = data[entry:entry + 8].rstrip(b"\0").decode("ascii", "replace")
            virtual_size, virtual_address, raw_size, raw_offset = struct.unpack_from("<IIII", data, entry + 8)
            self.sections.append((name, virtual_address, max(virtual_size, raw_size), raw_offset, raw_size))

    def u16(self, offset):
        return self.unpack("<H", offset)

    def u32(self, offset):
        return self.unpack("<I", offset)

    def u64(self, offset):
        return self.unpack("<Q", offset)

    def unpack(self, fmt, offset):
        try:
            return struct.unpack_from(fmt, self.data, offset)[0]
        except struct.error:
            raise Malformed(f"file ends before offset {offset:#x}") from None

    def offset_of(self, rva):
        for _, address, size, raw_offset, raw_size in self.sections:
            if address <= rva < address + size:
                if rva - address >= raw_size:
                    raise Malformed(f"RVA {rva:#x} lies in uninitialised data")
                return raw_offset + rva - address
        raise Malformed(f"RVA {rva:#x} lies in no section")

    def bytes_at(self, rva, size):
        start = self.offset_of(rva)
        if start + size > len(self.data):
            raise Malformed(f"{size} bytes at RVA {rva:#x} run past the end of the file")
        return self.data[start:start + size]

    def c_string(self, rva):
        start = self.offset_of(rva)
        end = self.data.find(b"\0", start)
        if end < 0:
            raise Malformed(f"unterminated string at RVA {rva:#x}")
        return self.data[start:end].decode("ascii", "replace")

    def directory(self, index):
        return self.directories[index] if index < len(self.directories) else (0, 0)

    def imported_dlls(self):
        """Names of the DLLs in the import table and the delay-load table, in file order."""
        names = []
        rva, size = self.directory(1)
        if rva:
            entry = self.offset_of(rva)
            while True:
                fields = struct.unpack_from("<IIIII", self.data, entry)
                if not any(fields):
                    break
                names.append(self.c_string(fields[3]))
                entry += 20
        rva, size = self.directory(13)
        if rva:
            entry = self.offset_of(rva)
            while True:
                attributes, name = struct.unpack_from("<II", self.data, entry)
                if not attributes and not name:
                    break
                # Old-style descriptors (attribute bit 0 clear) hold virtual addresses, not RVAs.
                names.append(self.c_string(name if attributes & 1 else name - self.image_base))
                entry += 32
        return names

    def resources(self):
        """{(type, name, language): (rva, size)}; ids are ints, named entries strings."""
        root_rva, _ = self.directory(2)
        if not root_rva:
            return {}
        root = self.offset_of(root_rva)
        found = {}

        def walk(directory_offset, path, depth):
            named, numbered = struct.unpack_from("<HH", self.data, root + directory_offset + 12)
            for i in range(named + numbered):
                entry = root + directory_offset + 16 + 8 * i
                name_field, target = struct.unpack_from("<II", self.data, entry)
                if name_field & 0x80000000:
                    at = root + (name_field & 0x7FFFFFFF)
                    length = self.u16(at)
                    key = self.data[at + 2:at + 2 + 2 * length].decode("utf-16-le")
                else:
                    key = name_field & 0xFFFF
                if target & 0x80000000:
                    if depth == 2:
                        raise Malformed("resource directory deeper than type/name/language")
                    walk(target & 0x7FFFFFFF, path + (key,), depth + 1)
                else:
                    data_rva, size = struct.unpack_from("<II", self.data, root + target)
                    found[path + (key,)] = (data_rva, size)

        walk(0, (), 0)
        return found

    def resource(self, kind, name):
        """The bytes of resource kind/name in whichever language it has, or None."""
        for (k, n, _), (rva, size) in self.resources().items():
            if k == kind and n == name:
                return self.bytes_at(rva, size)
        return None

    def resource_names(self, kind):
        return sorted({n for k, n, _ in self.resources() if k == kind}, key=str)


# --- the checks: each returns (list of failures, one-line summary) --------------------------------


def check_pe_header(pe, args):
    machine, magic, _, description = ARCHES[args.arch]
    failures = []
    if pe.machine != machine:
        failures.append(f"machine is {MACHINE_NAMES.get(pe.machine, hex(pe.machine))}, "
                        f"expected {MACHINE_NAMES[machine]}")
    if pe.magic != magic:
        failures.append(f"optional header is {MAGIC_NAMES[pe.magic]}, expected {MAGIC_NAMES[magic]}")
    if not pe.characteristics & 0x0002:
        failures.append("IMAGE_FILE_EXECUTABLE_IMAGE is not set")
    if pe.characteristics & 0x2000:
        failures.append("the file is a DLL, not an executable")
    return failures, description


def check_subsystem(pe, args):
    if pe.subsystem != IMAGE_SUBSYSTEM_WINDOWS_GUI:
        name = SUBSYSTEM_NAMES.get(pe.subsystem, str(pe.subsystem))
        return [f"subsystem is {name} ({pe.subsystem}), expected Windows GUI (2)"], ""
    return [], "Windows GUI"


def check_imports(pe, args):
    dlls = pe.imported_dlls()
    failures = []
    for dll in dlls:
        lower = dll.lower()
        if lower.startswith(MINGW_RUNTIME_PREFIXES):
            failures.append(f"imports the MinGW runtime DLL {dll}; it must be linked statically")
        elif lower not in ALLOWED_DLLS and not lower.startswith(ALLOWED_DLL_PREFIXES):
            failures.append(f"imports {dll}, which is not one of the allowed Windows system DLLs")
    if "kernel32.dll" not in (dll.lower() for dll in dlls):
        failures.append(f"no import of KERNEL32.dll found (imports: {dlls or 'none'}); the import table "
                        "cannot have been read right")
    return failures, ", ".join(dlls)


def local_name(tag):
    return tag.rsplit("}", 1)[-1]


# Side-by-side loading reads these without regard to letter case ("X86" and "x86" are the same).
CASELESS_ATTRIBUTES = ("processorArchitecture", "publicKeyToken")


def check_identity(failures, where, element, expected):
    for attribute, value in expected.items():
        actual = element.get(attribute)
        if attribute in CASELESS_ATTRIBUTES:
            same = actual is not None and actual.lower() == value.lower()
        else:
            same = actual == value
        if not same:
            failures.append(f"{where}: {attribute} is {actual!r}, expected {value!r}")


def check_manifest(pe, args):
    names = pe.resource_names(RT_MANIFEST)
    if names != [1]:
        return [f"expected exactly one RT_MANIFEST resource with id 1, found ids {names}"], ""
    raw = pe.resource(RT_MANIFEST, 1)
    try:
        text = raw.decode("utf-8-sig")
        root = ElementTree.fromstring(text)
    except (UnicodeDecodeError, ElementTree.ParseError) as error:
        return [f"the manifest is not well-formed UTF-8 XML: {error}"], ""
    failures = []
    if root.tag != f"{{{MANIFEST_NAMESPACE}}}assembly" or root.get("manifestVersion") != "1.0":
        failures.append(f"root element is {root.tag!r} with manifestVersion {root.get('manifestVersion')!r}, "
                        f"expected assembly in {MANIFEST_NAMESPACE} with manifestVersion '1.0'")
    arch = ARCHES[args.arch][2]
    own = [child for child in root if local_name(child.tag) == "assemblyIdentity"]
    if len(own) != 1:
        failures.append(f"expected one assemblyIdentity of the program itself, found {len(own)}")
    else:
        check_identity(failures, "own assemblyIdentity", own[0],
                       {"type": "win32", "version": "1.0.0.0", "processorArchitecture": arch})
        if not own[0].get("name"):
            failures.append("own assemblyIdentity has no name")
    dependencies = [element for element in root.iter() if local_name(element.tag) == "dependentAssembly"]
    controls = [identity for dependency in dependencies for identity in dependency
                if local_name(identity.tag) == "assemblyIdentity" and identity.get("name") == COMMON_CONTROLS]
    if len(controls) != 1:
        failures.append(f"expected one dependency on {COMMON_CONTROLS}, found {len(controls)}")
    else:
        check_identity(failures, COMMON_CONTROLS, controls[0], {
            "type": "win32", "version": "6.0.0.0", "processorArchitecture": arch,
            "publicKeyToken": COMMON_CONTROLS_TOKEN, "language": "*"})
    for element in root.iter():
        if local_name(element.tag) in FORBIDDEN_MANIFEST_ELEMENTS:
            failures.append(f"the manifest declares {local_name(element.tag)}, which Tavu.exe must not")
    return failures, f"{arch}, {COMMON_CONTROLS} 6.0.0.0"


def parse_version_node(data, offset):
    """One VS_VERSIONINFO-style node: (key, value bytes or text, children, end offset)."""
    length, value_length, value_type = struct.unpack_from("<HHH", data, offset)
    if length < 6 or offset + length > len(data):
        raise Malformed(f"version node at {offset:#x} has impossible length {length}")
    end = offset + length
    key_end = offset + 6
    while data[key_end:key_end + 2] != b"\0\0":
        key_end += 2
        if key_end >= end:
            raise Malformed(f"unterminated key in version node at {offset:#x}")
    key = data[offset + 6:key_end].decode("utf-16-le")
    value_start = (key_end + 2 + 3) & ~3
    if value_type == 1:
        # Text: compilers disagree whether the length counts characters or bytes, so read to the NUL.
        text_end = value_start
        while text_end + 1 < end and data[text_end:text_end + 2] != b"\0\0":
            text_end += 2
        value = data[value_start:text_end].decode("utf-16-le")
        value_end = text_end + 2 if value_length else value_start
    else:
        value = data[value_start:value_start + value_length]
        value_end = value_start + value_length
    children = []
    child = (value_end + 3) & ~3
    while child < end:
        node = parse_version_node(data, child)
        children.append(node)
        child = (node[3] + 3) & ~3
    return key, value, children, end


def version_text(words):
    return ".".join(str(w) for w in words)


def check_fixed_info(failures, fixed):
    if len(fixed) < 52:
        failures.append(f"VS_FIXEDFILEINFO is {len(fixed)} bytes, expected 52")
        return
    (signature, _, file_ms, file_ls, product_ms, product_ls, mask, flags, os_kind, file_type,
     _subtype) = struct.unpack_from("<11I", fixed)
    if signature != VS_FFI_SIGNATURE:
        failures.append(f"VS_FIXEDFILEINFO signature is {signature:#x}, expected {VS_FFI_SIGNATURE:#x}")
    for name, ms, ls in (("file", file_ms, file_ls), ("product", product_ms, product_ls)):
        words = (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
        if words != EXPECTED_VERSION:
            failures.append(f"fixed {name} version is {version_text(words)}, expected "
                            f"{version_text(EXPECTED_VERSION)}")
    if mask != VS_FFI_FILEFLAGSMASK:
        failures.append(f"FILEFLAGSMASK is {mask:#x}, expected {VS_FFI_FILEFLAGSMASK:#x}")
    if flags != 0:
        failures.append(f"FILEFLAGS is {flags:#x}, expected 0 (no debug, pre-release or private flags)")
    if os_kind != VOS__WINDOWS32:
        failures.append(f"FILEOS is {os_kind:#x}, expected VOS__WINDOWS32 ({VOS__WINDOWS32:#x})")
    if file_type != VFT_APP:
        failures.append(f"FILETYPE is {file_type:#x}, expected VFT_APP ({VFT_APP:#x})")


def check_string_tables(failures, string_info):
    tables = string_info[2]
    if [table[0].upper() for table in tables] != [EXPECTED_STRING_TABLE]:
        failures.append(f"string tables are {[table[0] for table in tables]}, expected only "
                        f"{EXPECTED_STRING_TABLE!r}")
        return
    strings = {}
    for key, value, _, _ in tables[0][2]:
        if key in strings:
            failures.append(f"string {key!r} appears twice")
        strings[key] = value
    for key, expected in EXPECTED_STRINGS.items():
        if strings.get(key) != expected:
            failures.append(f"{key} is {strings.get(key)!r}, expected {expected!r}")
    extra = sorted(set(strings) - set(EXPECTED_STRINGS))
    if extra:
        failures.append(f"unexpected string fields {extra}; the block holds exactly "
                        f"{sorted(EXPECTED_STRINGS)}")


def check_translations(failures, var_info):
    found = [child for child in var_info[2] if child[0] == "Translation"]
    if len(found) != 1:
        failures.append(f"expected one Translation value, found {len(found)}")
        return
    raw = found[0][1]
    if not isinstance(raw, bytes) or len(raw) % 4:
        failures.append("the Translation value is not a list of language/code-page pairs")
        return
    pairs = [struct.unpack_from("<HH", raw, i) for i in range(0, len(raw), 4)]
    if pairs != EXPECTED_TRANSLATIONS:
        failures.append(f"Translation is {[f'{l:04X}/{c:04X}' for l, c in pairs]}, expected "
                        f"{[f'{l:04X}/{c:04X}' for l, c in EXPECTED_TRANSLATIONS]}")


def check_version(pe, args):
    names = pe.resource_names(RT_VERSION)
    if names != [1]:
        return [f"expected exactly one RT_VERSION resource with id 1, found ids {names}"], ""
    key, fixed, children, _ = parse_version_node(pe.resource(RT_VERSION, 1), 0)
    if key != "VS_VERSION_INFO":
        return [f"version resource starts with key {key!r}, expected 'VS_VERSION_INFO'"], ""
    failures = []
    check_fixed_info(failures, fixed)
    blocks = {child[0]: child for child in children}
    if sorted(blocks) != ["StringFileInfo", "VarFileInfo"] or len(children) != 2:
        failures.append(f"version blocks are {[child[0] for child in children]}, expected StringFileInfo "
                        "and VarFileInfo")
    if "StringFileInfo" in blocks:
        check_string_tables(failures, blocks["StringFileInfo"])
    if "VarFileInfo" in blocks:
        check_translations(failures, blocks["VarFileInfo"])
    return failures, f"{version_text(EXPECTED_VERSION)}, {EXPECTED_STRING_TABLE}"


def image_header(image):
    """(width, height, bits per pixel) from an icon image's own header; raises Malformed."""
    if image.startswith(PNG_SIGNATURE):
        width, height, depth, colour_type = struct.unpack_from(">IIBB", image, 16)
        channels = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}.get(colour_type, 0)
        return width, height, depth * channels
    if len(image) < 40:
        raise Malformed(f"icon image of {len(image)} bytes is too short for a BITMAPINFOHEADER")
    size, width, height, planes, bpp, compression = struct.unpack_from("<IiiHHI", image)
    if size != 40 or planes != 1 or compression != 0:
        raise Malformed(f"icon image header has size {size}, planes {planes}, compression {compression}; "
                        "expected a plain 40-byte BITMAPINFOHEADER")
    if height != 2 * width:
        raise Malformed(f"icon image header says {width}x{height}; an icon bitmap is twice as high as wide "
                        "(colour bits and AND mask)")
    colours = struct.unpack_from("<I", image, 32)[0] or (1 << bpp if bpp <= 8 else 0)
    def row_bytes(bits):
        return (width * bits + 31) // 32 * 4

    needed = 40 + 4 * colours + width * (row_bytes(bpp) + row_bytes(1))
    if len(image) < needed:
        raise Malformed(f"{width}x{width} {bpp} bpp icon image has {len(image)} bytes, needs {needed}")
    return width, height // 2, bpp


def check_icon(pe, args):
    groups = pe.resource_names(RT_GROUP_ICON)
    if groups != [ICON_GROUP_ID]:
        return [f"expected exactly one icon group with id {ICON_GROUP_ID}, found ids {groups}"], ""
    group = pe.resource(RT_GROUP_ICON, ICON_GROUP_ID)
    reserved, kind, count = struct.unpack_from("<HHH", group)
    if reserved != 0 or kind != 1 or len(group) < 6 + 14 * count:
        return [f"icon group header is reserved={reserved}, type={kind}, count={count} "
                f"in {len(group)} bytes"], ""
    failures = []
    in_group = []
    for i in range(count):
        width, height, _, _, _, bpp, size, icon_id = struct.unpack_from("<BBBBHHIH", group, 6 + 14 * i)
        width, height = width or 256, height or 256
        in_group.append((width, bpp))
        if width != height:
            failures.append(f"group entry {i + 1} is {width}x{height}, not square")
        image = pe.resource(RT_ICON, icon_id)
        if image is None:
            failures.append(f"group entry {i + 1} ({width}x{height}, {bpp} bpp) names icon {icon_id}, "
                            "which does not exist")
            continue
        if len(image) != size:
            failures.append(f"icon {icon_id}: group says {size} bytes, the resource has {len(image)}")
        try:
            actual = image_header(image)
        except (Malformed, struct.error) as error:
            failures.append(f"icon {icon_id}: {error}")
            continue
        if actual != (width, height, bpp):
            failures.append(f"icon {icon_id}: group says {width}x{height} at {bpp} bpp, its own header says "
                            f"{actual[0]}x{actual[1]} at {actual[2]} bpp")
    if sorted(in_group) != EXPECTED_ICON_IMAGES:
        failures.append(f"icon group holds {describe_images(in_group)}; "
                        f"expected {describe_images(EXPECTED_ICON_IMAGES)}")
    icons = pe.resource_names(RT_ICON)
    if len(icons) != len(EXPECTED_ICON_IMAGES):
        failures.append(f"the file holds {len(icons)} RT_ICON images, expected {len(EXPECTED_ICON_IMAGES)}")
    return failures, describe_images(in_group)


def describe_images(images):
    return ", ".join(f"{size}x{size}@{bpp}" for size, bpp in sorted(images))


def check_size(pe, args):
    size = len(pe.data)
    if size > args.max_size:
        return [f"the file is {size} bytes ({size / 1024:.1f} KiB), more than the {args.max_size} bytes "
                f"({args.max_size / 1024:.0f} KiB) allowed"], ""
    return [], f"{size} bytes (limit {args.max_size})"


def check_icoutils(pe, args):
    """The same icon, seen through wrestool and icotool rather than through this script's own parser."""
    tools = {name: shutil.which(name) for name in ("wrestool", "icotool")}
    missing = [name for name, path in tools.items() if not path]
    if missing:
        return [f"{', '.join(missing)} not found; install icoutils"], ""
    listing = subprocess.run([tools["wrestool"], "-l", args.exe], capture_output=True, text=True)
    if listing.returncode:
        return [f"wrestool -l failed: {listing.stderr.strip()}"], ""
    kinds = re.findall(r"--type=(\d+)", listing.stdout)
    failures = []
    if kinds.count(str(RT_ICON)) != len(EXPECTED_ICON_IMAGES):
        failures.append(f"wrestool lists {kinds.count(str(RT_ICON))} icon images, "
                        f"expected {len(EXPECTED_ICON_IMAGES)}")
    if kinds.count(str(RT_GROUP_ICON)) != 1:
        failures.append(f"wrestool lists {kinds.count(str(RT_GROUP_ICON))} icon groups, expected 1")
    with tempfile.TemporaryDirectory() as folder:
        # wrestool rebuilds an .ico file from the group and its images.
        extracted = subprocess.run(
            [tools["wrestool"], "-x", f"--type={RT_GROUP_ICON}", "-o", folder, args.exe],
            capture_output=True, text=True)
        files = [os.path.join(folder, name) for name in os.listdir(folder)]
        if extracted.returncode or len(files) != 1:
            return failures + [f"wrestool -x could not extract the icon: {extracted.stderr.strip()}"], ""
        listed = subprocess.run([tools["icotool"], "-l", files[0]], capture_output=True, text=True)
    images = [(int(w), int(b)) for w, h, b in re.findall(r"--width=(\d+) --height=(\d+) --bit-depth=(\d+)",
                                                          listed.stdout) if w == h]
    if sorted(images) != EXPECTED_ICON_IMAGES:
        failures.append(f"icotool sees {describe_images(images)}; "
                        f"expected {describe_images(EXPECTED_ICON_IMAGES)}")
    return failures, f"wrestool and icotool agree: {describe_images(images)}"


CHECKS = {
    "pe_header": check_pe_header,
    "subsystem": check_subsystem,
    "imports": check_imports,
    "manifest": check_manifest,
    "version": check_version,
    "icon": check_icon,
    "size": check_size,
    "icoutils": check_icoutils,
}


def run_check(name, pe, args):
    """(failures, summary) of one check; a structural fault in the file counts as a failure."""
    try:
        return CHECKS[name](pe, args)
    except (Malformed, struct.error, IndexError, UnicodeDecodeError) as error:
        return [f"the file is malformed here: {error}"], ""


def selected_checks(args):
    if args.only:
        return args.only
    names = ["pe_header", "subsystem", "imports", "manifest", "version", "icon"]
    if args.max_size is not None:
        names.append("size")
    if args.icoutils:
        names.append("icoutils")
    return names


def parse_arguments(argv=None):
    parser = argparse.ArgumentParser(description="Static checks of a built Tavu.exe.")
    parser.add_argument("--arch", required=True, choices=sorted(ARCHES),
                        help="the architecture the build targets")
    parser.add_argument("--max-size", type=int, metavar="BYTES",
                        help="also check the file size against BYTES")
    parser.add_argument("--icoutils", action="store_true", help="also cross-check the icon with icoutils")
    parser.add_argument("--only", action="append", choices=sorted(CHECKS), metavar="CHECK",
                        help=f"run only this check (repeatable): {', '.join(CHECKS)}")
    parser.add_argument("exe", help="the executable to check")
    args = parser.parse_args(argv)
    if "size" in (args.only or []) and args.max_size is None:
        parser.error("the size check needs --max-size")
    return args


def main(argv=None):
    args = parse_arguments(argv)
    try:
        with open(args.exe, "rb") as file:
            data = file.read()
    except OSError as error:
        print(f"FAIL {args.exe}: cannot read: {error}")
        return 1
    try:
        pe = PeImage(data)
    except (Malformed, struct.error) as error:
        print(f"FAIL {args.exe}: not a PE image: {error}")
        return 1
    failed = 0
    for name in selected_checks(args):
        failures, summary = run_check(name, pe, args)
        if failures:
            failed += 1
            for failure in failures:
                print(f"FAIL {name}: {failure}")
        else:
            print(f"PASS {name}: {summary}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/python3
"""Static checks of Tavu.exe, read with pefile: a hardened GUI program that imports only Windows' own DLLs,
with its icon, manifest and version information; for the x86_64 twin, what a 64-bit executable has instead.
Prints each failed check. Usage: check_exe.py EXE VERSION MAX_BYTES [i686|x86_64]"""
import sys
import xml.etree.ElementTree as ElementTree

import pefile

SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "comctl32.dll", "ole32.dll", "oleaut32.dll",
               "advapi32.dll", "shell32.dll", "msvcrt.dll"}
ICON_IMAGES = [(16, 32), (24, 8), (24, 24), (24, 32), (32, 8), (32, 24), (32, 32), (48, 32)]  # size, bits
# Machine and optional-header magic, DllCharacteristics (x86_64: no SEH flag, its handlers are in tables),
# the manifests' architecture.
ARCHITECTURES = {
    "i686": ((0x14C, 0x10B), ["DYNAMIC_BASE", "NX_COMPAT", "NO_SEH", "TERMINAL_SERVER_AWARE"], "X86"),
    "x86_64": ((0x8664, 0x20B), ["DYNAMIC_BASE", "HIGH_ENTROPY_VA", "NX_COMPAT", "TERMINAL_SERVER_AWARE"], "amd64"),
}
ASM = "{urn:schemas-microsoft-com:asm.v1}"
DEPENDENCIES = f"{ASM}dependency/{ASM}dependentAssembly/{ASM}assemblyIdentity"
COMMON_CONTROLS = {"type": "win32", "name": "Microsoft.Windows.Common-Controls", "version": "6.0.0.0",
                   "publicKeyToken": "6595b64144ccf1df", "language": "*"}
OWN_IDENTITY = {"version": "1.0.0.0", "type": "win32"}
# No execution level (Windows then redirects writes under Program Files to the VirtualStore) and no DPI
# setting (Windows scales the window as a whole).
LEFT_OUT = {"trustInfo", "requestedExecutionLevel", "dpiAware", "dpiAwareness"}


def resource(pe, kind):  # the first resource of that kind; empty if there is none
    for entry in (e for e in pe.DIRECTORY_ENTRY_RESOURCE.entries if e.id == pefile.RESOURCE_TYPE[kind]):
        data = entry.directory.entries[0].directory.entries[0].data.struct
        return pe.get_data(data.OffsetToData, data.Size)
    return b""


def dotted(most, least):
    return f"{most >> 16}.{most & 0xFFFF}.{least >> 16}.{least & 0xFFFF}"


def checks(path, version, max_bytes, arch="i686"):  # (what, expected, found) for each check
    machine, dll_characteristics, manifest_arch = ARCHITECTURES[arch]
    own_identity = {**OWN_IDENTITY, "processorArchitecture": manifest_arch}
    pe = pefile.PE(path)
    header, fixed, data = pe.OPTIONAL_HEADER, pe.VS_FIXEDFILEINFO[0], pe.__data__[:]
    imports = {e.dll.decode().lower(): [i.name for i in e.imports] for e in pe.DIRECTORY_ENTRY_IMPORT}
    manifest = ElementTree.fromstring(resource(pe, "RT_MANIFEST") or "<none/>")
    group = resource(pe, "RT_GROUP_ICON") or bytes(6)  # a header for no images
    tables = [table for info in pe.FileInfo[0] for table in getattr(info, "StringTable", [])]
    short = ".".join(version.split(".")[:2])  # 1.2.0 -> 1.2
    return [
        ("machine, PE magic", machine, (pe.FILE_HEADER.Machine, header.Magic)),
        ("subsystem (2: GUI)", 2, header.Subsystem),
        ("DllCharacteristics missing", [],
         [flag for flag in dll_characteristics if not getattr(header, "IMAGE_DLLCHARACTERISTICS_" + flag)]),
        ("RELOCS_STRIPPED, base relocations", (False, True),
         (pe.FILE_HEADER.IMAGE_FILE_RELOCS_STRIPPED, bool(getattr(pe, "DIRECTORY_ENTRY_BASERELOC", [])))),
        ("sections writable and executable", [],
         [s.Name.rstrip(b"\0").decode() for s in pe.sections
          if s.IMAGE_SCN_MEM_WRITE and s.IMAGE_SCN_MEM_EXECUTE]),
        ("stack protection: guard seeded by RtlGenRandom, Crypt* imports, libssp's message", (True, [], False),
         (b"SystemFunction036" in imports.get("advapi32.dll", []),
          sorted(n.decode() for names in imports.values() for n in names if n and n.startswith(b"Crypt")),
          b"*** stack smashing detected ***" in data)),
        ("DLL search: SetDllDirectoryW imported, SetDefaultDllDirectories named", (True, True),
         (b"SetDllDirectoryW" in imports.get("kernel32.dll", []), b"SetDefaultDllDirectories\0" in data)),
        ("imported DLLs not Windows' own", [], sorted(set(imports) - SYSTEM_DLLS)),
        ("common controls imported by name, so loaded at every start (they come with the window)", False,
         "comctl32.dll" in imports),
        (f"bytes over {max_bytes}", 0, max(0, len(data) - int(max_bytes))),
        ("icon images (size, bits)", ICON_IMAGES,
         sorted((group[6 + 14 * i], group[12 + 14 * i]) for i in range(group[4]))),
        ("manifest identity", own_identity,
         {k: e.get(k) for e in manifest.iterfind(ASM + "assemblyIdentity") for k in own_identity}),
        ("manifest dependencies", [{**COMMON_CONTROLS, "processorArchitecture": manifest_arch}],
         [e.attrib for e in manifest.iterfind(DEPENDENCIES)]),
        ("manifest execution level or DPI setting", [],
         sorted({e.tag.rpartition("}")[2] for e in manifest.iter()} & LEFT_OUT)),
        ("file and product version", [version + ".0"] * 2, [dotted(fixed.FileVersionMS, fixed.FileVersionLS),
                                                            dotted(fixed.ProductVersionMS, fixed.ProductVersionLS)]),
        ("FileFlags, FileOS (4: VOS__WINDOWS32), FileType (1: VFT_APP), FileSubtype", (0, 4, 1, 0),
         (fixed.FileFlags, fixed.FileOS, fixed.FileType, fixed.FileSubtype)),
        ("translations (language, code page)", [(0x0407, 1200)],
         [tuple(int(n, 16) for n in var.entry[b"Translation"].split())
          for info in pe.FileInfo[0] for var in getattr(info, "Var", [])]),
        ("string tables", ["040704B0"], [table.LangID.decode().upper() for table in tables]),
        ("strings", {"FileDescription": "Brindle " + short, "ProductName": "Brindle", "InternalName": "Tavu",
                     "OriginalFilename": "Tavu.exe", "FileVersion": short, "ProductVersion": short},
         {k.decode(): v.decode() for table in tables for k, v in table.entries.items()}),
    ]


if __name__ == "__main__":
    problems = [f"{what}: expected {want!r}, found {have!r}" for what, want, have in checks(*sys.argv[1:5])
                if want != have]
    print("\n".join(problems) or "all static checks pass")
    sys.exit(1 if problems else 0)

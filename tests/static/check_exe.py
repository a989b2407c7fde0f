#!/usr/bin/python3
"""Static checks of the release Tavu.exe, read with pefile: a 32-bit GUI program that imports only
Windows' own DLLs, with its icon, manifest and version information. Prints every problem found.
Usage: check_exe.py EXE VERSION MAX_BYTES"""
import glob
import subprocess
import sys
import tempfile

import pefile

SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "comctl32.dll", "ole32.dll", "oleaut32.dll",
               "advapi32.dll", "shell32.dll", "msvcrt.dll"}
ICON_IMAGES = [(16, 32), (24, 8), (24, 24), (24, 32), (32, 8), (32, 24), (32, 32), (48, 32)]  # size, bits


def resource(pe, kind):
    entry = next(e for e in pe.DIRECTORY_ENTRY_RESOURCE.entries if e.id == pefile.RESOURCE_TYPE[kind])
    data = entry.directory.entries[0].directory.entries[0].data.struct
    return pe.get_data(data.OffsetToData, data.Size)


def problems(path, version, max_bytes):
    pe = pefile.PE(path)
    fixed = pe.VS_FIXEDFILEINFO[0]
    manifest = resource(pe, "RT_MANIFEST").decode()
    group = resource(pe, "RT_GROUP_ICON")
    icons = sorted((group[6 + 14 * i], group[12 + 14 * i]) for i in range(group[4]))
    with tempfile.TemporaryDirectory() as folder:  # a second opinion on the icon
        subprocess.run(["wrestool", "-x", "-t", "14", "-o", folder, path], check=True)
        listed = subprocess.run(["icotool", "-l", *glob.glob(folder + "/*")], capture_output=True, text=True).stdout
    checks = {
        "not PE32 for i386": pe.FILE_HEADER.Machine == 0x14C and pe.OPTIONAL_HEADER.Magic == 0x10B,
        "not a GUI program": pe.OPTIONAL_HEADER.Subsystem == 2,
        "imports other DLLs": all(e.dll.decode().lower() in SYSTEM_DLLS for e in pe.DIRECTORY_ENTRY_IMPORT),
        "manifest": 'Common-Controls" version="6.0.0.0" processorArchitecture="X86"' in manifest
        and 'version="1.0.0.0" processorArchitecture="X86"' in manifest
        and "requestedExecutionLevel" not in manifest and "dpiAware" not in manifest,
        "file version": [fixed.FileVersionMS >> 16, fixed.FileVersionMS & 0xFFFF, fixed.FileVersionLS >> 16,
                         fixed.FileVersionLS & 0xFFFF] == [int(n) for n in (version + ".0").split(".")],
        "version flags or type": fixed.FileFlags == 0 and fixed.FileType == 1,
        "version strings": [t.LangID.decode().lower() for i in pe.FileInfo[0] if i.Key == b"StringFileInfo"
                            for t in i.StringTable] == ["040704b0"],
        f"icon images {icons}": icons == ICON_IMAGES and len(listed.splitlines()) == len(ICON_IMAGES),
        f"more than {max_bytes} bytes": len(pe.__data__) <= int(max_bytes),
    }
    return [problem for problem, ok in checks.items() if not ok]


if __name__ == "__main__":
    found = problems(*sys.argv[1:4])
    print("\n".join(found) or "all static checks pass")
    sys.exit(1 if found else 0)

#!/usr/bin/env python3
"""Shows that check_exe.py catches faults: damages copies of a good Tavu.exe in memory, one fault
at a time, and expects the check that covers each fault to fail with a message that names it.

Usage: check_exe_selftest.py --arch {x86,amd64} EXE
The good file must pass first; otherwise the damaged copies would prove nothing.
"""

import argparse
import contextlib
import io
import os
import re
import struct
import sys
import tempfile

# Imported from the source tree, which must not collect __pycache__ folders.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_exe  # noqa: E402

CORE_CHECKS = ["pe_header", "subsystem", "imports", "manifest", "version", "icon"]
OTHER_ARCH = {"x86": "amd64", "amd64": "x86"}


class MutantError(Exception):
    """A damaged copy could not be made as intended (the good file looks different than assumed)."""


def resource_span(pe, kind, name):
    for (k, n, _), (rva, size) in pe.resources().items():
        if k == kind and n == name:
            start = pe.offset_of(rva)
            return start, start + size
    raise MutantError(f"no resource {kind}/{name}")


def replace_in(data, span, old, new):
    """Replaces the one occurrence of old inside data[span] by new, of the same length."""
    assert len(old) == len(new)
    start, end = span
    at = data.find(old, start, end)
    if at < 0 or data.find(old, at + 1, end) >= 0:
        raise MutantError(f"{old!r} is not found exactly once where expected")
    data[at:at + len(old)] = new


def rewrite_manifest(pe, data, edit):
    """Applies edit to the manifest text; the result is packed into the resource's old size."""
    start, end = resource_span(pe, check_exe.RT_MANIFEST, 1)
    text = re.sub(r">\s+<", "><", bytes(data[start:end]).decode("utf-8"))
    new = edit(text)
    if new == text:
        raise MutantError("the manifest edit changed nothing")
    raw = new.encode("utf-8")
    if len(raw) > end - start:
        raise MutantError("the edited manifest does not fit")
    data[start:end] = raw + b" " * (end - start - len(raw))


def patch_u16(data, offset, value):
    struct.pack_into("<H", data, offset, value)


def icon_group_entry(pe, size, bpp):
    """File offset of the icon group entry for size/bpp, and its icon id."""
    start, _ = resource_span(pe, check_exe.RT_GROUP_ICON, check_exe.ICON_GROUP_ID)
    count = struct.unpack_from("<H", pe.data, start + 4)[0]
    for i in range(count):
        entry = start + 6 + 14 * i
        width, _, _, _, _, bits, _, icon_id = struct.unpack_from("<BBBBHHIH", pe.data, entry)
        if (width, bits) == (size, bpp):
            return entry, icon_id
    raise MutantError(f"no {size}x{size}@{bpp} entry in the icon group")


def rename_import(pe, data, pick, new_name):
    """Overwrites, in place, the name of the imported DLL that pick chooses."""
    old = pick(pe.imported_dlls()).encode("ascii") + b"\0"
    new = new_name.encode("ascii") + b"\0"
    if len(new) > len(old):
        raise MutantError(f"{new_name} does not fit in place of {old!r}")
    at = pe.data.find(old)
    if at < 0:
        raise MutantError(f"import name {old!r} not found")
    data[at:at + len(old)] = new + b"\0" * (len(old) - len(new))


# Each fault: (name, check that must fail, words its message must contain, damage(pe, data, arch)).
def fault_console(pe, data, arch):
    patch_u16(data, pe.optional + 68, 3)


def fault_machine(pe, data, arch):
    patch_u16(data, pe.pe_offset + 4, check_exe.ARCHES[OTHER_ARCH[arch]][0])


def fault_libgcc(pe, data, arch):
    rename_import(pe, data, lambda dlls: next(d for d in dlls if d.lower() == "kernel32.dll"), "libgcc.dll")


def fault_foreign_dll(pe, data, arch):
    rename_import(pe, data, lambda dlls: next(d for d in dlls if d.lower() == "user32.dll"), "vcrt42.dll")


def fault_controls_version(pe, data, arch):
    rewrite_manifest(pe, data, lambda text: text.replace('version="6.0.0.0"', 'version="5.8.0.0"'))


def fault_own_arch(pe, data, arch):
    wrong = "ia64"
    rewrite_manifest(pe, data, lambda text: re.sub(r'processorArchitecture="[^"]*"',
                                                   f'processorArchitecture="{wrong}"', text, count=1))


def fault_token(pe, data, arch):
    rewrite_manifest(pe, data, lambda text: text.replace("6595b64144ccf1df", "6595b64144ccf1de"))


def replace_dependency(pe, data, xml):
    """Puts xml where the dependency block was: the fixed resource size leaves no room to add it."""
    rewrite_manifest(pe, data, lambda text: re.sub(r"<dependency>.*</dependency>", xml, text, flags=re.S))


def fault_execution_level(pe, data, arch):
    replace_dependency(pe, data, '<trustInfo xmlns="urn:schemas-microsoft-com:asm.v3"><security>'
                       '<requestedPrivileges><requestedExecutionLevel level="asInvoker"/>'
                       "</requestedPrivileges></security></trustInfo>")


def fault_dpi_aware(pe, data, arch):
    replace_dependency(pe, data, '<application xmlns="urn:schemas-microsoft-com:asm.v3"><windowsSettings>'
                       "<dpiAware>true</dpiAware></windowsSettings></application>")


def fault_description(pe, data, arch):
    replace_in(data, resource_span(pe, check_exe.RT_VERSION, 1),
               "Brindle 1.2".encode("utf-16-le"), "Brindle 1.3".encode("utf-16-le"))


def fault_debug_flag(pe, data, arch):
    start, end = resource_span(pe, check_exe.RT_VERSION, 1)
    signature = data.find(struct.pack("<I", check_exe.VS_FFI_SIGNATURE), start, end)
    struct.pack_into("<I", data, signature + 28, 1)  # dwFileFlags := VS_FF_DEBUG


def fault_translation(pe, data, arch):
    replace_in(data, resource_span(pe, check_exe.RT_VERSION, 1),
               struct.pack("<HH", 0x0407, 1200), struct.pack("<HH", 0x0409, 1200))


def fault_image_depth(pe, data, arch):
    _, icon_id = icon_group_entry(pe, 48, 32)
    start, _ = resource_span(pe, check_exe.RT_ICON, icon_id)
    patch_u16(data, start + 14, 24)  # biBitCount


def fault_group_depth(pe, data, arch):
    entry, _ = icon_group_entry(pe, 24, 8)
    patch_u16(data, entry + 6, 4)  # wBitCount


def fault_missing_image(pe, data, arch):
    entry, _ = icon_group_entry(pe, 16, 32)
    patch_u16(data, entry + 12, 999)  # nId


def fault_oversized(pe, data, arch):
    data += b"\0" * (128 * 1024)


def fault_truncated(pe, data, arch):
    del data[len(data) * 3 // 4:]


FAULTS = [
    ("console subsystem", "subsystem", "Windows console", fault_console),
    ("machine of the other architecture", "pe_header", "machine is", fault_machine),
    ("MinGW runtime DLL imported", "imports", "MinGW runtime DLL libgcc.dll", fault_libgcc),
    ("unknown DLL imported", "imports", "vcrt42.dll, which is not", fault_foreign_dll),
    ("common controls 5.8", "manifest", "version is '5.8.0.0'", fault_controls_version),
    ("own identity for another architecture", "manifest", "own assemblyIdentity: processorArchitecture",
     fault_own_arch),
    ("wrong public key token", "manifest", "publicKeyToken", fault_token),
    ("execution level requested", "manifest", "requestedExecutionLevel", fault_execution_level),
    ("DPI awareness declared", "manifest", "dpiAware", fault_dpi_aware),
    ("FileDescription 1.3", "version", "FileDescription is 'Brindle 1.3'", fault_description),
    ("debug flag set", "version", "FILEFLAGS is 0x1", fault_debug_flag),
    ("English translation", "version", "Translation is ['0409/04B0']", fault_translation),
    ("48 px image header says 24 bpp", "icon", "its own header says 48x48 at 24 bpp", fault_image_depth),
    ("group entry says 4 bpp", "icon", "icon group holds", fault_group_depth),
    ("group names a missing image", "icon", "which does not exist", fault_missing_image),
    ("release file too big", "size", "more than the 131072 bytes", fault_oversized),
]


def run_checks(data, argv):
    args = check_exe.parse_arguments(argv + ["(in memory)"])
    pe = check_exe.PeImage(bytes(data))
    return {name: check_exe.run_check(name, pe, args)[0] for name in check_exe.selected_checks(args)}


def exit_code_of(data, argv):
    """check_exe.main on a file holding data: its exit status and output."""
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "Tavu.exe")
        with open(path, "wb") as file:
            file.write(data)
        output = io.StringIO()
        with contextlib.redirect_stdout(output):
            code = check_exe.main(argv + [path])
    return code, output.getvalue()


def main():
    parser = argparse.ArgumentParser(description="Shows that check_exe.py catches faults.")
    parser.add_argument("--arch", required=True, choices=sorted(check_exe.ARCHES))
    parser.add_argument("exe")
    args = parser.parse_args()
    with open(args.exe, "rb") as file:
        good = file.read()
    base = ["--arch", args.arch]
    problems = []

    failures = run_checks(good, base)
    bad = {name: messages for name, messages in failures.items() if messages}
    if bad:
        print(f"the good file already fails {sorted(bad)}; fix that first: {bad}")
        return 1

    # Checked for the other architecture, a good file must fail both architecture checks.
    wrong_arch = run_checks(good, ["--arch", OTHER_ARCH[args.arch]])
    for check in ("pe_header", "manifest"):
        if not wrong_arch[check]:
            problems.append(f"checked as {OTHER_ARCH[args.arch]}, {check} passed")
        else:
            print(f"caught  checked as {OTHER_ARCH[args.arch]}: {check}: {wrong_arch[check][0]}")

    pe = check_exe.PeImage(good)
    for description, check, words, damage in FAULTS:
        data = bytearray(good)
        try:
            damage(pe, data, args.arch)
        except MutantError as error:
            problems.append(f"{description}: could not make the damaged copy: {error}")
            continue
        argv = base + (["--max-size", str(128 * 1024)] if check == "size" else [])
        messages = run_checks(data, argv)[check]
        if not any(words in message for message in messages):
            problems.append(f"{description}: {check} did not report {words!r}; "
                            f"it said {messages or 'nothing'}")
        else:
            print(f"caught  {description}: {check}: {next(m for m in messages if words in m)}")

    # A cut-off file must give failures, not a traceback.
    truncated = bytearray(good)
    fault_truncated(pe, truncated, args.arch)
    code, output = exit_code_of(bytes(truncated), base)
    if code != 1 or "FAIL" not in output:
        problems.append(f"a truncated file gave exit status {code} and output {output!r}")
    else:
        print(f"caught  truncated file: exit status 1, {output.count('FAIL')} failures reported")
    code, output = exit_code_of(b"ZM" + good[2:], base)
    if code != 1 or "not a PE image" not in output:
        problems.append(f"a file without MZ header gave exit status {code} and output {output!r}")
    else:
        print("caught  no MZ header: exit status 1")
    code, output = exit_code_of(good, base)
    if code != 0:
        problems.append(f"the good file gave exit status {code}: {output}")

    for problem in problems:
        print(f"MISSED  {problem}")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())

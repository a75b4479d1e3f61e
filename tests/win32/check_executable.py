#!/usr/bin/env python3
"""Checks the built Windows programs as files, without running them.

  check_executable.py imports OBJDUMP EXE...
      Each program imports only DLLs that every Windows has, so that it
      runs alone from any folder: no libstdc++, libgcc or winpthread DLLs.
  check_executable.py functions OBJDUMP LIST EXE...
      Each program imports only functions that LIST (ui/win32/imports.txt)
      names, each with a Windows no newer than 7 SP1: the program starts
      on Windows 7 SP1.
  check_executable.py gui EXE
      The program starts in the GUI subsystem, not in a console.
  check_executable.py hardened EXE...
      Windows may load each program at a random address (with 64-bit
      entropy, for a 64-bit program) and never runs code from its data
      pages.
  check_executable.py resources EXE ICON VERSION
      The program carries the icon file's images, a manifest asking for
      Common Controls 6 and per-monitor DPI awareness, Windows 7 to 11 as supported,
      and VERSIONINFO with the given version.
"""

import re
import struct
import subprocess
import sys
import xml.etree.ElementTree as ET

# DLLs of Windows itself. api-ms-win-* are the API sets of the Universal CRT
# and of the system.
SYSTEM_DLLS = {
    "advapi32.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll", "kernel32.dll",
    "msvcrt.dll", "ole32.dll", "oleacc.dll", "oleaut32.dll", "shell32.dll",
    "shlwapi.dll", "ucrtbase.dll", "user32.dll", "uxtheme.dll", "version.dll",
    "winmm.dll", "ws2_32.dll", "bcrypt.dll", "ntdll.dll",
}

# The program uses no network, so none of these may be imported.
NETWORK_DLLS = {
    "ws2_32.dll", "wsock32.dll", "mswsock.dll", "wininet.dll", "winhttp.dll", "iphlpapi.dll",
    "dnsapi.dll", "urlmon.dll", "netapi32.dll",
}

# The supportedOS identifiers of the systems the program runs on.
SUPPORTED_OS = {
    "Windows 7": "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
    "Windows 8": "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
    "Windows 8.1": "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
    "Windows 10 and 11": "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",
}

RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24
IDI_MERVALIN = 1


def fail(message):
    print(message)
    sys.exit(1)


# The Windows versions a list may name, oldest first.
WINDOWS_VERSIONS = ["2000", "XP", "Vista", "7", "7 SP1", "8", "8.1", "10"]
OLDEST_SUPPORTED = "7 SP1"


def import_table(objdump, program):
    """{DLL: [function, ...]} of a program's import table, as objdump -p shows it."""
    dump = subprocess.run([objdump, "-p", program], capture_output=True, text=True,
                          check=True).stdout
    table, functions = {}, None
    for line in dump.splitlines():
        if line.startswith("\tDLL Name: "):
            functions = table.setdefault(line.split(": ", 1)[1].strip(), [])
        elif functions is not None and (entry := re.match(r"^\t[0-9a-f]+\s+\d+\s+(\S+)$", line)):
            functions.append(entry.group(1))
        elif not line.strip():  # the end of a DLL's functions
            functions = None
    return table


def imports(objdump, programs):
    for program in programs:
        names = list(import_table(objdump, program))
        if not names:
            fail(f"{program}: no import table found")
        print(f"{program}: imports {', '.join(names)}")
        foreign = [n for n in names
                   if n.lower() not in SYSTEM_DLLS and not n.lower().startswith("api-ms-win-")]
        if foreign:
            fail(f"{program}: imports DLLs that are not part of Windows: {', '.join(foreign)}")
        network = [n for n in names if n.lower() in NETWORK_DLLS]
        if network:
            fail(f"{program}: imports network DLLs: {', '.join(network)}")


def functions(objdump, list_path, programs):
    allowed = {}  # (DLL in lower case, function): the oldest Windows that has it, as an index
    with open(list_path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            if not line.strip() or line.startswith("#"):
                continue
            fields = re.split(r"\s{2,}", line.strip())
            if len(fields) != 4 or fields[2] not in WINDOWS_VERSIONS:
                fail(f"{list_path}:{number}: not DLL, function, Windows and page: {line.strip()}")
            allowed[(fields[0].lower(), fields[1])] = WINDOWS_VERSIONS.index(fields[2])
    too_new = sorted(f"{d} {f} (Windows {WINDOWS_VERSIONS[v]})" for (d, f), v in allowed.items()
                     if v > WINDOWS_VERSIONS.index(OLDEST_SUPPORTED))
    if too_new:
        fail(f"{list_path} allows functions newer than Windows {OLDEST_SUPPORTED}: "
             + ", ".join(too_new))
    used = set()
    for program in programs:
        table = import_table(objdump, program)
        imported = {(dll.lower(), function) for dll in table for function in table[dll]}
        if not imported:
            fail(f"{program}: no imported functions found")
        unlisted = sorted(f"{d} {f}" for d, f in imported - allowed.keys())
        if unlisted:
            fail(f"{program}: imports functions that {list_path} does not name (look them up "
                 "at run time, or list them with the oldest Windows that has them): "
                 + ", ".join(unlisted))
        print(f"{program}: {len(imported)} functions, all of Windows "
              f"{WINDOWS_VERSIONS[max(allowed[key] for key in imported)]} or older")
        used |= imported
    unused = sorted(f"{d} {f}" for d, f in allowed.keys() - used)
    if unused:
        print(f"listed but imported by none of these: {', '.join(unused)}")


class PortableExecutable:
    """Just enough of the PE format to read an image's resources."""

    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        pe = struct.unpack_from("<I", self.data, 0x3C)[0]
        if self.data[pe:pe + 4] != b"PE\0\0":
            fail(f"{path}: not a PE image")
        sections, optional_size = struct.unpack_from("<H12xH", self.data, pe + 6)
        optional = pe + 24
        magic = struct.unpack_from("<H", self.data, optional)[0]
        self.is_64_bit = magic == 0x20B
        directories = optional + (112 if magic == 0x20B else 96)
        self.subsystem, self.dll_characteristics = struct.unpack_from("<HH", self.data,
                                                                       optional + 68)
        self.resource_rva = struct.unpack_from("<I", self.data, directories + 2 * 8)[0]
        self.sections = []
        table = optional + optional_size
        for i in range(sections):
            size, rva, raw_size, raw = struct.unpack_from("<8xIIII", self.data, table + 40 * i)
            self.sections.append((rva, max(size, raw_size), raw))

    def offset(self, rva):
        for start, size, raw in self.sections:
            if start <= rva < start + size:
                return raw + rva - start
        fail(f"address {rva:#x} is in no section")

    def resources(self):
        """{(type, name): bytes} for resources with numeric type and name."""
        if not self.resource_rva:
            return {}
        base = self.offset(self.resource_rva)
        found = {}

        def entries(directory):
            named, numbered = struct.unpack_from("<12xHH", self.data, base + directory)
            for i in range(named + numbered):
                ident, target = struct.unpack_from("<II", self.data, base + directory + 16 + 8 * i)
                yield ident, target

        for type_id, type_dir in entries(0):
            for name_id, name_dir in entries(type_dir & 0x7FFFFFFF):
                for _, leaf in entries(name_dir & 0x7FFFFFFF):
                    rva, size = struct.unpack_from("<II", self.data, base + leaf)
                    start = self.offset(rva)
                    if not (type_id & 0x80000000 or name_id & 0x80000000):
                        found[(type_id, name_id)] = self.data[start:start + size]
        return found


def icon_file_images(path):
    """(width, height, colours, bit count, image bytes) of each image of an .ico."""
    with open(path, "rb") as f:
        data = f.read()
    _, kind, count = struct.unpack_from("<HHH", data, 0)
    if kind != 1:
        fail(f"{path}: not an icon file")
    images = []
    for i in range(count):
        w, h, colours, _, _, bits, size, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        images.append((w or 256, h or 256, colours, bits, data[offset:offset + size]))
    return images


def check_icon(resources, icon_path):
    group = resources.get((RT_GROUP_ICON, IDI_MERVALIN))
    if group is None:
        fail("no icon group IDI_MERVALIN")
    _, _, count = struct.unpack_from("<HHH", group, 0)
    carried = []
    for i in range(count):
        w, h, colours, _, _, bits, _, ident = struct.unpack_from("<BBBBHHIH", group, 6 + 14 * i)
        image = resources.get((RT_ICON, ident))
        if image is None:
            fail(f"icon image {ident} of the group is missing")
        carried.append((w or 256, h or 256, colours, bits, image))
    expected = icon_file_images(icon_path)
    if sorted(carried) != sorted(expected):
        fail(f"the icon differs from {icon_path}: carries "
             f"{[(w, h, b) for w, h, _, b, _ in carried]}, the file has "
             f"{[(w, h, b) for w, h, _, b, _ in expected]}")
    sizes = {(w, h, b) for w, h, _, b, _ in carried}
    print(f"icon: {sorted(sizes)}")
    # The classic 32 x 32 in 256 colours, for old shells and remote sessions,
    # and something sharper for today's.
    if (32, 32, 8) not in sizes:
        fail("the icon has no 32 x 32 image in 256 colours")
    if not any(w > 32 for w, _, _ in sizes):
        fail("the icon has no image larger than 32 x 32")


def check_manifest(resources):
    text = resources.get((RT_MANIFEST, 1))
    if text is None:
        fail("no application manifest (RT_MANIFEST 1)")
    root = ET.fromstring(text)
    ns = {
        "asm1": "urn:schemas-microsoft-com:asm.v1",
        "asm3": "urn:schemas-microsoft-com:asm.v3",
        "compat": "urn:schemas-microsoft-com:compatibility.v1",
        "ws2016": "http://schemas.microsoft.com/SMI/2016/WindowsSettings",
    }
    controls = [a for a in root.iterfind(".//asm1:dependentAssembly/asm1:assemblyIdentity", ns)
                if a.get("name") == "Microsoft.Windows.Common-Controls"]
    if not controls or controls[0].get("version") != "6.0.0.0":
        fail("the manifest does not ask for Common Controls 6.0.0.0")
    awareness = root.find(".//asm3:windowsSettings/ws2016:dpiAwareness", ns)
    if awareness is None or "PerMonitorV2" not in awareness.text:
        fail("the manifest does not declare per-monitor-v2 DPI awareness")
    systems = {s.get("Id") for s in root.iterfind(".//compat:supportedOS", ns)}
    missing = [name for name, ident in SUPPORTED_OS.items() if ident not in systems]
    if missing:
        fail(f"the manifest does not name {', '.join(missing)} as supported")
    print(f"manifest: Common Controls 6, PerMonitorV2, {', '.join(SUPPORTED_OS)}")


def version_string(block, key):
    """A value of the StringFileInfo table, found by its key."""
    marker = (key + "\0").encode("utf-16-le")
    at = block.find(marker)
    if at < 0:
        return None
    at += len(marker)
    at += (-at) % 4  # values start on a 32-bit boundary
    end = at
    while block[end:end + 2] != b"\0\0":
        end += 2
    return block[at:end].decode("utf-16-le")


def check_version(resources, version):
    block = resources.get((RT_VERSION, 1))
    if block is None:
        fail("no VERSIONINFO")
    at = block.find(struct.pack("<I", 0xFEEF04BD))
    if at < 0:
        fail("VERSIONINFO without VS_FIXEDFILEINFO")
    file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<8xIIII", block, at)
    major, minor, patch = (int(p) for p in version.split("."))
    want = ((major << 16) | minor, patch << 16)
    if (file_ms, file_ls) != want or (product_ms, product_ls) != want:
        fail(f"fixed version {file_ms >> 16}.{file_ms & 0xFFFF}.{file_ls >> 16}."
             f"{file_ls & 0xFFFF}, expected {version}.0")
    for key in ("FileVersion", "ProductVersion"):
        if version_string(block, key) != version:
            fail(f"{key} is {version_string(block, key)!r}, expected {version!r}")
    # What Explorer's Details tab and an inventory show of the maker.
    for key in ("CompanyName", "LegalCopyright", "FileDescription", "ProductName"):
        if not version_string(block, key):
            fail(f"VERSIONINFO has no {key}")
    if version not in version_string(block, "FileDescription"):
        fail(f"the FileDescription {version_string(block, 'FileDescription')!r} has no version")
    print(f"version: {version}, {version_string(block, 'CompanyName')}, "
          f"{version_string(block, 'LegalCopyright')}")


def main():
    command, arguments = sys.argv[1], sys.argv[2:]
    if command == "imports":
        imports(arguments[0], arguments[1:])
    elif command == "functions":
        functions(arguments[0], arguments[1], arguments[2:])
    elif command == "gui":
        subsystem = PortableExecutable(arguments[0]).subsystem
        if subsystem != 2:
            fail(f"{arguments[0]}: subsystem {subsystem}, expected 2 (Windows GUI)")
    elif command == "hardened":
        for program in arguments:
            image = PortableExecutable(program)
            flags = image.dll_characteristics
            wanted = {0x40: "DYNAMIC_BASE", 0x100: "NX_COMPAT"}
            if image.is_64_bit:  # 32-bit programs have no high-entropy addresses
                wanted[0x20] = "HIGH_ENTROPY_VA"
            missing = [name for bit, name in wanted.items() if not flags & bit]
            if missing:
                fail(f"{program}: without {', '.join(missing)}")
            print(f"{program}: {', '.join(wanted.values())}")
    elif command == "resources":
        program, icon, version = arguments
        resources = PortableExecutable(program).resources()
        check_icon(resources, icon)
        check_manifest(resources)
        check_version(resources, version)
    else:
        fail(f"unknown command {command}")


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Rewrites a ZIP or .deb that CPack made so that it holds nothing of the
moment it was made: CPack's archives record each file's access and change
times (which no one can set, and reading a file moves) and the .deb's ar
members the current time. The files, their order, names, permissions and
contents stay; every time becomes the given one.

Usage: normalize_package.py SECONDS PACKAGE...
"""

import gzip
import io
import os
import sys
import tarfile
import time
import zipfile


def normalize_zip(path, seconds):
    # A ZIP holds local times from 1980 on; the time is read as UTC.
    stamp = time.gmtime(max(seconds, 315532800))[:6]
    with zipfile.ZipFile(path) as source:
        entries = [(info, source.read(info)) for info in source.infolist()]
    output = io.BytesIO()
    with zipfile.ZipFile(output, "w") as target:
        for info, data in sorted(entries, key=lambda entry: entry[0].filename):
            copy = zipfile.ZipInfo(info.filename, date_time=stamp)
            copy.create_system = 3  # Unix, for the permissions
            copy.external_attr = info.external_attr
            copy.compress_type = zipfile.ZIP_STORED if info.is_dir() else zipfile.ZIP_DEFLATED
            target.writestr(copy, data, compresslevel=9)
    with open(path, "wb") as f:
        f.write(output.getvalue())


def normalize_tar(data, seconds):
    """A gzipped tar again, with the same members at the given time."""
    compressed = data[:2] == b"\x1f\x8b"
    with tarfile.open(fileobj=io.BytesIO(data), mode="r:*") as source:
        members = [(m, source.extractfile(m).read() if m.isfile() else None)
                   for m in source.getmembers()]
    output = io.BytesIO()
    with tarfile.open(fileobj=output, mode="w", format=tarfile.GNU_FORMAT) as target:
        for member, content in members:
            member.mtime = seconds
            member.uid = member.gid = 0
            member.uname = member.gname = "root"
            member.pax_headers = {}
            target.addfile(member, io.BytesIO(content) if content is not None else None)
    tar = output.getvalue()
    return gzip.compress(tar, compresslevel=9, mtime=seconds) if compressed else tar


def normalize_deb(path, seconds):
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"!<arch>\n":
        raise SystemExit(f"{path}: not an ar archive")
    members, at = [], 8
    while at < len(data):
        header = data[at:at + 60]
        name = header[:16].decode().strip()
        size = int(header[48:58].decode().strip())
        content = data[at + 60:at + 60 + size]
        at += 60 + size + (size % 2)
        if name.rstrip("/").endswith((".tar.gz", ".tar")):
            content = normalize_tar(content, seconds)
        members.append((name, content))
    output = bytearray(b"!<arch>\n")
    for name, content in members:
        output += f"{name:<16}{seconds:<12}{0:<6}{0:<6}{'100644':<8}{len(content):<10}`\n".encode()
        output += content + (b"\n" if len(content) % 2 else b"")
    with open(path, "wb") as f:
        f.write(bytes(output))


def main():
    seconds = int(sys.argv[1])
    for path in sys.argv[2:]:
        if path.endswith(".zip"):
            normalize_zip(path, seconds)
        elif path.endswith(".deb"):
            normalize_deb(path, seconds)
        else:
            raise SystemExit(f"{path}: neither a ZIP nor a .deb")
        print(f"{os.path.basename(path)}: every time set to {seconds}")


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Checks that every place that states Mervalin's version states the same one.

Usage: check_versions.py --version X.Y.Z [--metainfo FILE] [--changelog FILE]
                         [--readme FILE] [--exe FILE]... [--deb FILE]
                         [--msi FILE] [--winget FOLDER]

  --version    the version of project() in CMakeLists.txt
  --metainfo   AppStream metainfo: its newest release must be X.Y.Z
  --changelog  CHANGELOG.md: its first "## " heading must be X.Y.Z, with the
               same date as the metainfo's release when both are given
  --readme     a text file whose every version number must be X.Y.Z
  --exe        a Windows program or installer: the file and product version
               of its VERSIONINFO must be X.Y.Z.0
  --deb        a Debian package: its Version field must be X.Y.Z
  --msi        a Windows Installer package: its ProductVersion must be X.Y.Z
               (read with msiinfo, of msitools)
  --winget     the folder of the winget manifests: the PackageVersion of
               each must be X.Y.Z, each InstallerUrl must name the installer
               of X.Y.Z, and the ReleaseDate must be the changelog's date
               when both are given

Prints one line per check; exits 1 when any fails.
"""

import argparse
import glob
import os
import re
import struct
import subprocess
import sys
import xml.etree.ElementTree as ElementTree

failures = 0


def report(ok, what):
    global failures
    print(("ok   " if ok else "FAIL ") + what)
    if not ok:
        failures += 1


def metainfo_release(path):
    root = ElementTree.parse(path).getroot()
    releases = root.findall("./releases/release")
    if not releases:
        return None, None
    # AppStream lists releases newest first.
    return releases[0].get("version"), releases[0].get("date")


def changelog_release(path):
    with open(path, encoding="utf-8") as f:
        for line in f:
            found = re.match(r"## (\S+) — (\d{4}-\d\d-\d\d)\s*$", line)
            if found:
                return found.group(1), found.group(2)
            if line.startswith("## "):
                return line[3:].strip(), None
    return None, None


def versioninfo(path):
    """The file and product versions of VS_FIXEDFILEINFO, as "a.b.c.d"."""
    data = open(path, "rb").read()
    at = data.find(struct.pack("<I", 0xFEEF04BD))
    if at < 0:
        return None, None
    (_, _, file_ms, file_ls, product_ms, product_ls) = struct.unpack_from("<6I", data, at)

    def text(ms, ls):
        return f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}"

    return text(file_ms, file_ls), text(product_ms, product_ls)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--version", required=True)
    parser.add_argument("--metainfo")
    parser.add_argument("--changelog")
    parser.add_argument("--readme", action="append", default=[])
    parser.add_argument("--exe", action="append", default=[])
    parser.add_argument("--deb")
    parser.add_argument("--msi")
    parser.add_argument("--winget")
    args = parser.parse_args()
    version = args.version

    metainfo_date = None
    changelog_date = None
    if args.metainfo:
        found, metainfo_date = metainfo_release(args.metainfo)
        report(found == version, f"metainfo newest release {found} (date {metainfo_date})")
    if args.changelog:
        found, date = changelog_release(args.changelog)
        changelog_date = date
        report(found == version, f"changelog newest entry {found} (date {date})")
        if args.metainfo:
            report(date == metainfo_date, f"changelog date {date} = metainfo date {metainfo_date}")
    for readme in args.readme:
        with open(readme, encoding="utf-8-sig") as f:
            numbers = set(re.findall(r"(?<![\d.])\d+\.\d+\.\d+(?![\d.])", f.read()))
        report(numbers == {version}, f"{readme} names versions {sorted(numbers)}")
    for exe in args.exe:
        file_version, product_version = versioninfo(exe)
        expected = version + ".0"
        report(file_version == expected and product_version == expected,
               f"{exe} VERSIONINFO file {file_version}, product {product_version}")
    if args.deb:
        found = subprocess.run(["dpkg-deb", "--field", args.deb, "Version"], check=True,
                               capture_output=True, text=True).stdout.strip()
        report(found == version, f"{args.deb} Version {found}")

    if args.msi:
        table = subprocess.run(["msiinfo", "export", args.msi, "Property"], check=True,
                               capture_output=True, text=True).stdout
        found = re.search(r"^ProductVersion\t(.*?)\r?$", table, re.M)
        found = found.group(1) if found else None
        report(found == version, f"{args.msi} ProductVersion {found}")
    if args.winget:
        manifests = sorted(glob.glob(os.path.join(args.winget, "*.yaml")))
        report(len(manifests) > 0, f"{args.winget} holds {len(manifests)} manifests")
        installer = f"mervalin-{version}-setup.exe"
        for manifest in manifests:
            with open(manifest, encoding="utf-8") as f:
                text = f.read()
            found = re.findall(r"^PackageVersion: *(\S+)", text, re.M)
            report(found == [version], f"{manifest} PackageVersion {found}")
            for url in re.findall(r"InstallerUrl: *(\S+)", text):
                report(url.endswith("/" + installer), f"{manifest} InstallerUrl {url}")
            for date in re.findall(r"^ReleaseDate: *(\S+)", text, re.M):
                report(changelog_date is None or date == changelog_date,
                       f"{manifest} ReleaseDate {date} (changelog {changelog_date})")

    print(f"project version {version}: " + ("all agree" if failures == 0 else f"{failures} disagree"))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

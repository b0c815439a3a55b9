#!/usr/bin/env python3
"""Checks the resources of slidesaver.scr: cross-builds it, reads its resources back with windres
and fails unless it has the icon (16 to 256 pixels, 32 bits), the version information of the
project's version without a FileDescription, and the application manifest (common controls 6,
asInvoker, system DPI aware, the supported Windows versions), and has no string table: Windows
would list every show under string resource 1 instead of its own file name.

    check-resources.py --version X.Y.Z [--build-dir DIR]     (default build/release/windows-i686)
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import xml.etree.ElementTree as ElementTree

HERE = os.path.dirname(os.path.abspath(__file__))
ASM_V1 = "{urn:schemas-microsoft-com:asm.v1}"
ASM_V3 = "{urn:schemas-microsoft-com:asm.v3}"
COMPATIBILITY = "{urn:schemas-microsoft-com:compatibility.v1}"
DPI_SETTINGS = "{http://schemas.microsoft.com/SMI/2005/WindowsSettings}"
SUPPORTED_OS = {  # Windows Vista, 7, 8, 8.1, 10 and 11
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}


def rc_block(rc, header):
    """The lines after the line `header` of windres's RC output, up to its closing END."""
    match = re.search("^" + re.escape(header) + r"[^\n]*\n(.*?)^END$", rc, re.S | re.M)
    return match.group(1) if match else None


def manifest_text(block):
    """The manifest from its RC string lines: "...""...\\n" pieces."""
    pieces = []
    for line in block.splitlines():
        if not line.strip().startswith('"'):
            continue  # BEGIN
        piece = line.strip()[1:-1].replace('""', '"')
        pieces.append(piece.encode("latin-1").decode("unicode_escape"))
    return "".join(pieces)


def check_manifest(text, version, fail):
    try:
        root = ElementTree.fromstring(text)
    except ElementTree.ParseError as error:
        fail(f"the manifest is not well-formed XML: {error}")
        return
    identity = root.find(ASM_V1 + "assemblyIdentity")
    if identity is None or identity.get("version") != version + ".0":
        fail(f"the manifest's own version is not {version}.0")
    controls = [e for e in root.iter(ASM_V1 + "assemblyIdentity")
                if e.get("name") == "Microsoft.Windows.Common-Controls"]
    if [e.get("version") for e in controls] != ["6.0.0.0"]:
        fail("the manifest does not ask for common controls 6.0.0.0")
    levels = [e.get("level") for e in root.iter(ASM_V3 + "requestedExecutionLevel")]
    if levels != ["asInvoker"]:
        fail(f"requested execution level {levels}, not asInvoker")
    aware = [e.text for e in root.iter(DPI_SETTINGS + "dpiAware")]
    if aware != ["true"]:
        fail(f"dpiAware {aware}, not true (system aware, as the settings window is laid out)")
    supported = {e.get("Id") for e in root.iter(COMPATIBILITY + "supportedOS")}
    if supported != SUPPORTED_OS:
        fail(f"supportedOS {sorted(supported)}")


def check_version_info(block, version, fail):
    major, minor, patch = version.split(".")
    for field in ("FILEVERSION", "PRODUCTVERSION"):
        if not re.search(rf"^ {field} {major}, {minor}, {patch}, 0$", block or "", re.M):
            fail(f"{field} is not {major}, {minor}, {patch}, 0")
    values = dict(re.findall(r'VALUE "(\w+)", "([^"]*)"', block or ""))
    for name, wanted in (("ProductName", "slidesaver"), ("ProductVersion", version),
                         ("FileVersion", version)):
        if values.get(name) != wanted:
            fail(f"{name} is {values.get(name)!r}, not {wanted!r}")
    if "FileDescription" in values:
        fail("the version information has a FileDescription")


def check_icon(block, fail):
    """The group icon's images: "width height colors pad", planes, bits, ... (0 is 256)."""
    images = re.findall(r'"\\(\d{3})\\(\d{3})\\000\\000", 1, (\d+),', block or "")
    sizes = sorted((int(w, 8) or 256, int(h, 8) or 256, int(bits)) for w, h, bits in images)
    wanted = [(s, s, 32) for s in (16, 24, 32, 48, 256)]
    if sizes != wanted:
        fail(f"the icon's images are {sizes}, not {wanted}")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--version", required=True)
    parser.add_argument("--build-dir", default=os.path.join(HERE, "..", "..", "build", "release",
                                                            "windows-i686"))
    args = parser.parse_args()
    subprocess.run([os.path.join(HERE, "..", "..", "cmake", "cross-build-windows.sh"),
                    args.build_dir, "slidesaver"],
                   check=True)
    windres = shutil.which("i686-w64-mingw32-windres") or "windres"
    rc = subprocess.run([windres, "-i", os.path.join(args.build_dir, "slidesaver.scr"), "-O",
                         "rc"], check=True, capture_output=True, text=True).stdout

    failures = []
    fail = failures.append
    if re.search(r"^STRINGTABLE", rc, re.M):
        fail("slidesaver.scr has a string table")
    check_icon(rc_block(rc, "100 14 /* RT_GROUP_ICON */"), fail)
    check_version_info(rc_block(rc, "1 VERSIONINFO"), args.version, fail)
    manifest = rc_block(rc, "1 24 /* RT_MANIFEST */")
    if manifest is None:
        fail("slidesaver.scr has no manifest (RT_MANIFEST 1)")
    else:
        check_manifest(manifest_text(manifest), args.version, fail)
    for failure in failures:
        print("  FAIL", failure)
    if not failures:
        print(f"  ok   slidesaver.scr has its icon, version {args.version} and manifest, and no "
              "string table")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""pe-resources.py: lists the top two levels of a PE file's resource directory, one "TYPE NAME" a line
(types by their usual names, names as text or number), and checks that the version resource says
1.0.0.0 and names nxl.exe, and that the manifest asks for no elevation and declares per-monitor DPI
awareness in the namespaces Windows reads them from."""
import struct
import sys
from xml.etree import ElementTree

TYPES = {3: "ICON", 14: "GROUP_ICON", 16: "VERSION", 24: "MANIFEST"}
# The manifest's elements by namespace, as Windows' side-by-side loader reads them, and their values.
NS = {"v1": "urn:schemas-microsoft-com:asm.v1", "v3": "urn:schemas-microsoft-com:asm.v3",
      "ws2005": "http://schemas.microsoft.com/SMI/2005/WindowsSettings",
      "ws2016": "http://schemas.microsoft.com/SMI/2016/WindowsSettings"}
LEVEL = "v3:trustInfo/v3:security/v3:requestedPrivileges/v3:requestedExecutionLevel"
SETTINGS = "v3:application/v3:windowsSettings/"
MANIFEST = ((SETTINGS + "ws2005:dpiAware", "true/pm"),
            (SETTINGS + "ws2016:dpiAwareness", "PerMonitorV2, PerMonitor"))


def check_manifest(text):
    # Windows refuses to start a program whose manifest is not well-formed (a side-by-side error);
    # Wine starts it all the same, so only this check sees it.
    try:
        root = ElementTree.fromstring(text)
    except ElementTree.ParseError as error:
        sys.exit("manifest is not well-formed: %s" % error)
    if root.tag != "{%s}assembly" % NS["v1"] or root.get("manifestVersion") != "1.0":
        sys.exit("manifest is not an assembly of version 1.0")
    level = root.find(LEVEL, NS)
    if level is None or (level.get("level"), level.get("uiAccess")) != ("asInvoker", "false"):
        sys.exit("manifest lacks the execution level asInvoker without uiAccess")
    for path, value in MANIFEST:
        if root.findtext(path, None, NS) != value:
            sys.exit("manifest lacks %s = %s" % (path, value))


def main(path):
    data = open(path, "rb").read()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    sections = struct.unpack_from("<H", data, pe + 6)[0]
    optional = struct.unpack_from("<H", data, pe + 20)[0]
    magic = struct.unpack_from("<H", data, pe + 24)[0]
    dirs = pe + 24 + (96 if magic == 0x10B else 112)
    rva = struct.unpack_from("<I", data, dirs + 2 * 8)[0]
    table = pe + 24 + optional
    base = None
    for i in range(sections):
        name, vsize, vaddr, rsize, raddr = struct.unpack_from("<8sIIII", data, table + 40 * i)
        if vaddr <= rva < vaddr + max(vsize, rsize):
            base = raddr + (rva - vaddr)
            delta = raddr - vaddr
    if base is None:
        sys.exit("no resources")

    def entries(offset):
        named, ids = struct.unpack_from("<HH", data, base + offset + 12)
        for i in range(named + ids):
            ident, target = struct.unpack_from("<II", data, base + offset + 16 + 8 * i)
            if ident & 0x80000000:
                at = base + (ident & 0x7FFFFFFF)
                length = struct.unpack_from("<H", data, at)[0]
                ident = data[at + 2:at + 2 + 2 * length].decode("utf-16-le")
            yield ident, target

    def leaf(target):
        while target & 0x80000000:
            target = next(entries(target & 0x7FFFFFFF))[1]
        data_rva, size = struct.unpack_from("<II", data, base + target)
        return data[data_rva + delta:data_rva + delta + size]

    for kind, target in entries(0):
        for name, sub in entries(target & 0x7FFFFFFF):
            print(TYPES.get(kind, kind), name)
            if kind == 16:
                text = leaf(sub).decode("utf-16-le", "replace")
                for want in ("1.0.0.0", "nxl.exe", "Noxel", "Ilvo Orvane"):
                    if want not in text:
                        sys.exit("version resource lacks " + want)
            if kind == 24:
                check_manifest(leaf(sub))


if __name__ == "__main__":
    main(sys.argv[1])

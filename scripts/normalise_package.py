"""Rewrites packages made by cpack so that their bytes depend on their contents only.

cpack takes the order of a .tar.gz's or a .zip's entries from the staging
directory's listing, and a .deb's Installed-Size from the sizes the file system
gives its directories, so packages of the same files differ between file
systems. Here the entries are sorted by name, every gzip stream is written
without a name or time, and Installed-Size is counted as dpkg-gencontrol
counts it (each file's KiB, rounded up, and one for every other entry).
Usage: normalise_package.py PACKAGE... (each rewritten in place)
"""
import gzip
import io
import os
import re
import sys
import tarfile
import zipfile


def gzipped(data):
    out = io.BytesIO()
    with gzip.GzipFile(filename="", mode="wb", fileobj=out, compresslevel=9, mtime=0) as stream:
        stream.write(data)
    return out.getvalue()


def sorted_tar(data, change=lambda name, content: content):
    """The tar in DATA (gzipped) again, its entries sorted; CHANGE may rewrite a file's bytes."""
    out = io.BytesIO()
    with tarfile.open(fileobj=io.BytesIO(data), mode="r:gz") as source, \
            tarfile.open(fileobj=out, mode="w", format=tarfile.GNU_FORMAT) as target:
        for member in sorted(source.getmembers(), key=lambda member: member.name):
            content = source.extractfile(member).read() if member.isfile() else None
            if content is not None:
                content = change(member.name, content)
                member.size = len(content)
            target.addfile(member, io.BytesIO(content) if content is not None else None)
    return gzipped(out.getvalue())


def installed_kib(data_tar):
    with tarfile.open(fileobj=io.BytesIO(data_tar), mode="r:gz") as data:
        return sum((member.size + 1023) // 1024 if member.isfile() else 1
                   for member in data.getmembers() if member.name not in (".", "./"))


def ar_members(data):
    assert data.startswith(b"!<arch>\n"), "not an ar archive"
    members, at = [], 8
    while at < len(data):
        header = data[at:at + 60]
        size = int(header[48:58])
        members.append((header, data[at + 60:at + 60 + size]))
        at += 60 + size + size % 2
    return members


def normalise_deb(data):
    members = ar_members(data)
    contents = {header[:16].rstrip().rstrip(b"/"): content for header, content in members}
    size = installed_kib(contents[b"data.tar.gz"])

    def change(name, content):
        if os.path.basename(name) != "control":
            return content
        return re.sub(rb"(?m)^Installed-Size: \d+$", b"Installed-Size: %d" % size, content)

    out = io.BytesIO()
    out.write(b"!<arch>\n")
    for header, content in members:
        if header.startswith(b"control.tar.gz"):
            content = sorted_tar(content, change)
            header = header[:48] + b"%-10d" % len(content) + header[58:]
        elif header.startswith(b"data.tar.gz"):
            content = sorted_tar(content)
            header = header[:48] + b"%-10d" % len(content) + header[58:]
        out.write(header + content + (b"\n" if len(content) % 2 else b""))
    return out.getvalue()


def normalise_zip(data):
    out = io.BytesIO()
    with zipfile.ZipFile(io.BytesIO(data)) as source, \
            zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as target:
        for info in sorted(source.infolist(), key=lambda info: info.filename):
            target.writestr(info, source.read(info), zipfile.ZIP_DEFLATED, 9)
    return out.getvalue()


def main(paths):
    for path in paths:
        with open(path, "rb") as package:
            data = package.read()
        if path.endswith(".deb"):
            data = normalise_deb(data)
        elif path.endswith(".tar.gz"):
            data = sorted_tar(data)
        elif path.endswith(".zip"):
            data = normalise_zip(data)
        else:
            sys.exit(f"normalise_package.py: {path}: not a .deb, .tar.gz or .zip")
        with open(path, "wb") as package:
            package.write(data)


if __name__ == "__main__":
    main(sys.argv[1:])

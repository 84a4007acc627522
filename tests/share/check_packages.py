#!/usr/bin/env python3
"""The share packages read by independent readers: Python's zipfile and unzip -t.

check_packages.py WINE_RUN ZIP_SAMPLE_EXE FOLDER
"""
import os
import shutil
import struct
import subprocess
import sys
import zipfile

ORDER = ["screenshot.bmp", "read_graph.bmp", "write_graph.bmp", "report.folvi.txt", "stack_scan.txt"]
PACKAGES = {
    "screenshot": ORDER,
    "report": ["report.folvi.txt", "stack_scan.txt"],
    "empty": ["report.folvi.txt", "stack_scan.txt"],
}
PACKED_AT = (2024, 2, 29, 13, 45, 58)


def check(condition, what):
    if not condition:
        sys.exit("FAILED: " + what)


def check_raw_layout(name, data, infos):
    # The end record closes the archive: no comment, entry counts and the directory's place.
    end = data[-22:]
    sig, disk, cd_disk, n_disk, n, cd_size, cd_offset, comment = struct.unpack("<IHHHHIIH", end)
    check(sig == 0x06054B50 and disk == 0 and cd_disk == 0, f"{name}: end record")
    check(n_disk == n == len(infos) and comment == 0, f"{name}: entry count or comment")
    check(cd_offset + cd_size == len(data) - 22, f"{name}: directory does not end at the end record")
    offset = 0
    for info in infos:
        check(info.header_offset == offset, f"{name}: {info.filename} does not follow the entry before")
        local = struct.unpack("<IHHHHHIIIHH", data[offset:offset + 30])
        check(local[0] == 0x04034B50, f"{name}: {info.filename} local signature")
        check(local[3] == info.compress_type, f"{name}: {info.filename} local method")
        check(local[10] == 0, f"{name}: {info.filename} has a local extra field")
        check(local[7] == info.compress_size and local[8] == info.file_size, f"{name}: {info.filename} local sizes")
        offset += 30 + len(info.filename) + info.compress_size
    check(offset == cd_offset, f"{name}: entries do not end at the directory")


def check_package(folder, name, names):
    path = os.path.join(folder, name + ".zip")
    with open(path, "rb") as f:
        data = f.read()
    with zipfile.ZipFile(path) as z:
        infos = z.infolist()
        check([i.filename for i in infos] == names, f"{name}: entries {[i.filename for i in infos]}")
        check(z.comment == b"", f"{name}: archive comment")
        check(z.testzip() is None, f"{name}: testzip")
        for info in infos:
            with open(os.path.join(folder, name, info.filename), "rb") as f:
                expected = f.read()
            content = z.read(info)  # checks the CRC-32 as it reads
            check(content == expected, f"{name}: {info.filename} content")
            method = zipfile.ZIP_STORED if len(expected) <= 3 else zipfile.ZIP_DEFLATED
            check(info.compress_type == method, f"{name}: {info.filename} method {info.compress_type}")
            check(info.extra == b"" and info.comment == b"", f"{name}: {info.filename} extra field or comment")
            check(info.date_time == PACKED_AT, f"{name}: {info.filename} time {info.date_time}")
            check(info.flag_bits == 0, f"{name}: {info.filename} flags {info.flag_bits:#x}")
            if len(expected) > 100000:
                check(info.compress_size < len(expected) // 2, f"{name}: {info.filename} barely compressed")
    check_raw_layout(name, data, infos)
    result = subprocess.run(["unzip", "-t", path], capture_output=True, text=True)
    check(result.returncode == 0 and "No errors detected" in result.stdout, f"{name}: unzip -t\n{result.stdout}")


def main(wine_run, sample, folder):
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    windows_folder = "Z:" + folder.replace("/", "\\")
    result = subprocess.run([wine_run, sample, windows_folder], capture_output=True, text=True)
    check(result.returncode == 0, f"zip_sample exited {result.returncode}: {result.stderr}")
    for name, names in PACKAGES.items():
        check_package(folder, name, names)
    sizes = {i.filename: i.file_size for i in zipfile.ZipFile(os.path.join(folder, "screenshot.zip")).infolist()}
    check(sizes["report.folvi.txt"] == 0 and sizes["write_graph.bmp"] == 3 and sizes["read_graph.bmp"] == 4,
          f"sample sizes {sizes}")
    return 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))

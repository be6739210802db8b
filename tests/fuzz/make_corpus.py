#!/usr/bin/env python3
"""Makes the seed corpora of tests/fuzz/corpus from the demo product and a few hand-made inputs.

    tests/fuzz/make_corpus.py SETUP_TOOL

Builds the demo with a minimal PE stub, installs it in a simulated machine to get its Ins.log,
and writes each target's seeds. The package and Ins.log programs read a first byte that says
whether the rest is the stored file (even) or its unpacked stream (odd); the document program
reads a first byte that chooses the file name. Run it again when the formats change.
"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
CORPUS = os.path.join(HERE, "corpus")


def minimal_pe(pe32_plus=False):
    """DOS header, PE signature, file header, optional header with 16 directories, one section."""
    optional_size = (240 if pe32_plus else 224)
    dos = b"MZ" + b"\0" * 58 + struct.pack("<I", 0x40)
    machine = 0x8664 if pe32_plus else 0x14C
    file_header = struct.pack("<HHIIIHH", machine, 1, 0, 0, 0, optional_size, 0x0102)
    if pe32_plus:
        optional = struct.pack("<HBBIIIII", 0x20B, 0, 0, 0x200, 0, 0, 0x1000, 0x1000)
        optional += struct.pack("<QII", 0x140000000, 0x1000, 0x200)
    else:
        optional = struct.pack("<HBBIIIIII", 0x10B, 0, 0, 0x200, 0, 0, 0x1000, 0x1000, 0)
        optional += struct.pack("<III", 0x400000, 0x1000, 0x200)
    optional += struct.pack("<HHHHHHIIIIHH", 4, 0, 0, 0, 4, 0, 0, 0x2000, 0x200, 0, 2, 0)
    sizes = "<QQQQII" if pe32_plus else "<IIIIII"
    optional += struct.pack(sizes, 0x100000, 0x1000, 0x100000, 0x1000, 0, 16)
    optional += b"\0" * (16 * 8)
    assert len(optional) == optional_size
    section = b".text\0\0\0" + struct.pack("<IIIIIIHHI", 0x200, 0x1000, 0x200, 0x200, 0, 0, 0, 0,
                                           0x60000020)
    image = dos + b"PE\0\0" + file_header + optional + section
    image += b"\0" * (0x200 - len(image)) + b"\xC3" + b"\0" * 0x1FF
    return bytearray(image)


def security_directory_offset(image):
    e_lfanew = struct.unpack_from("<I", image, 0x3C)[0]
    magic = struct.unpack_from("<H", image, e_lfanew + 24)[0]
    directories = e_lfanew + 24 + (112 if magic == 0x20B else 96)
    return directories + 4 * 8


def signed(image):
    """The file padded to 8 bytes with a certificate table (a WIN_CERTIFICATE) at its end."""
    image = bytearray(image)
    image += b"\0" * (-len(image) % 8)
    certificate = struct.pack("<IHH", 8 + 24, 0x0200, 0x0002) + b"\x30\x82" + b"\x11" * 22
    struct.pack_into("<II", image, security_directory_offset(image), len(image), len(certificate))
    return bytes(image) + certificate


def chunk_run(data, block=8192):
    out = b""
    for i in range(0, len(data), block):
        packed = zlib.compress(data[i:i + block], 9)
        out += struct.pack("<I", len(packed)) + packed
    return out


def unpack_run(data, start, end):
    out, pos = b"", start
    while pos < end:
        n = struct.unpack_from("<I", data, pos)[0]
        out += zlib.decompress(data[pos + 4:pos + 4 + n])
        pos += 4 + n
    return out


def configuration_of(package):
    directory = struct.unpack_from("<q", package, len(package) - 8)[0]
    return unpack_run(package, directory, len(package) - 16)


def stored(text):
    data = text.encode("gbk")
    return struct.pack("<I", len(data)) + data


def write(target, name, data):
    folder = os.path.join(CORPUS, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def main():
    tool = os.path.abspath(sys.argv[1])
    work = tempfile.mkdtemp(prefix="make-corpus-")
    try:
        stub = os.path.join(work, "stub.exe")
        with open(stub, "wb") as f:
            f.write(minimal_pe())
        demo = os.path.join(work, "demo.exe")
        subprocess.run([tool, "build", os.path.join(ROOT, "examples/demo/project.json"), "--stub",
                        stub, "-o", demo], check=True, stdout=subprocess.DEVNULL)
        with open(demo, "rb") as f:
            package = f.read()
        shutil.rmtree(CORPUS, ignore_errors=True)

        config = configuration_of(package)
        write("package", "demo", b"\0" + package)
        write("package", "demo-signed", b"\0" + signed(package))
        write("package", "demo-configuration", b"\1" + config)
        empty = struct.pack("<i", 0) + stored("") + struct.pack("<i", 0) + stored("") + \
            struct.pack("<i", 0) + stored("") + struct.pack("<ii", 0, 0) + stored("SERIAL")
        write("package", "empty-configuration", b"\1" + empty)
        write("package", "no-configuration", b"\0" + bytes(minimal_pe()) + b"\0" * 16)

        write("pe", "pe32", bytes(minimal_pe()))
        write("pe", "pe32-plus", bytes(minimal_pe(True)))
        write("pe", "pe32-signed", signed(minimal_pe()))
        write("pe", "pe32-plus-signed", signed(minimal_pe(True)))
        write("pe", "demo-signed-head", signed(package)[:1024] + signed(package)[-96:])

        root = os.path.join(work, "machine")
        subprocess.run([tool, "simulate", demo, "--root", root], check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        logs = [os.path.join(d, f) for d, _, fs in os.walk(root) for f in fs if f == "Ins.log"]
        with open(logs[0], "rb") as f:
            log = f.read()
        write("inslog", "demo", b"\0" + log)
        write("inslog", "demo-body", b"\1" + unpack_run(log, 0, len(log)))
        body = stored("App") + stored("SERIAL") + struct.pack("<i", 2) + \
            stored("") + stored("C:\\App\\a.exe") + stored("") + b"\1\0" + \
            stored("2147483650") + stored("SOFTWARE\\App") + stored("Name") + b"\1\2"
        write("inslog", "two-items-body", b"\1" + body)

        content = os.path.join(ROOT, "examples/demo/content")
        for name in ("config.ini", "comp/DemoRuntime/DemoRuntime.ini"):
            with open(os.path.join(content, name), "rb") as f:
                write("profile", os.path.basename(name), f.read())
        write("profile", "sections", "; comment\r\n[Setup]\r\nKey = \"value\"\r\nflag\r\n"
              "[setup]\r\nkey=second\r\n[ 安装 ]\r\n 名称 = 演示\r\n".encode("gbk"))

        write("comma_text", "plain", b"a,b,c")
        write("comma_text", "quoted", b'"a b","say ""hi""",, "",x')
        write("comma_text", "gbk", "目标计算机\\Program Files\\演示,\"开始 菜单\"".encode("gbk"))

        names = {"txt": 0, "rtf": 1, "htm": 2}
        for name in ("res/licence.txt", "res/readme.htm", "doc/readme.txt"):
            with open(os.path.join(content, name), "rb") as f:
                data = f.read()
            write("document", name.replace("/", "-"), bytes([names[name.rsplit(".", 1)[1]]]) + data)
        rtf = b"{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0 SimSun;}}{\\*\\generator x;}\\f0 " \
              b"\\'d1\\'dd\\'ca\\'be\\par Line {\\b bold}\\u20320?\\tab end}"
        write("document", "licence.rtf", b"\1" + rtf)
        write("document", "utf8.html", b"\3<html><head><meta charset=\"utf-8\"><style>p{}</style>"
              b"</head><body><p>a&amp;b&lt;&#20320;</p><script>x</script><br>li</body></html>")

        with open(os.path.join(ROOT, "examples/demo/project.json"), "rb") as f:
            write("project_json", "demo.json", f.read())
        write("project_json", "minimal.json", b'{"serial": "5F0C2A4E-8B1D-4C3A-9E27-6D4B1F8A0C93"}')

        write("answers", "object.json", b'{"answers": ["yes", "no"], "default": "yes"}')
        write("answers", "list.json", b'["no", "yes", "yes"]')
    finally:
        shutil.rmtree(work, ignore_errors=True)


main()

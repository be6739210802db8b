#!/usr/bin/env python3
"""make-payloads.py FOLDER KIND COUNT MEGABYTES: writes one benchmark payload into FOLDER.

The same arguments always give the same bytes (a fixed seed per kind), so every run of
bench/wine-speed.sh installs exactly what the last one did. Half of the files (by turns) are
incompressible random bytes, half text that zlib shrinks to about a third, as real program
folders mix executables, archives and pictures with text and data.

  small  COUNT files of 0.5 to 8 KiB, 100 to a folder (MEGABYTES is ignored)
  large  one file of MEGABYTES MiB, 1 MiB blocks of text and random bytes by turns
  mix    COUNT files whose sizes spread from 1 KiB to 4 MiB (most small, a few large),
         scaled so that they add up to MEGABYTES MiB, in folders three deep
"""
import os
import random
import sys

WORDS = ("setup install folder file registry value shortcut window version product "
         "component service progress package chunk config uninstall log 0123456789 "
         "The quick brown fox jumps over the lazy dog. ").split()


def text_pool(rng):
    lines = []
    size = 0
    while size < 1 << 20:
        line = " ".join(rng.choice(WORDS) for _ in range(rng.randint(4, 14))) + "\r\n"
        lines.append(line)
        size += len(line)
    return "".join(lines).encode()


def content(rng, pool, size, random_bytes):
    if random_bytes:
        return rng.randbytes(size)
    start = rng.randrange(0, len(pool) - size) if size < len(pool) else 0
    data = pool[start:start + size]
    while len(data) < size:
        data += pool[: size - len(data)]
    return data


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def main():
    folder, kind, count, megabytes = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
    rng = random.Random(f"wine-speed {kind}")
    pool = text_pool(rng)
    if kind == "small":
        for i in range(count):
            size = rng.randint(512, 8192)
            write(f"{folder}/d{i // 100:03d}/f{i:05d}.dat", content(rng, pool, size, i % 2 == 1))
    elif kind == "large":
        path = f"{folder}/large.bin"
        os.makedirs(folder, exist_ok=True)
        with open(path, "wb") as f:
            for block in range(megabytes):
                f.write(content(rng, pool, 1 << 20, block % 2 == 1))
    elif kind == "mix":
        weights = [rng.lognormvariate(9.5, 2.0) for _ in range(count)]
        scale = (megabytes << 20) / sum(min(w, 4 << 20) for w in weights)
        for i, w in enumerate(weights):
            size = max(1024, min(4 << 20, int(min(w, 4 << 20) * scale)))
            path = f"{folder}/m{i % 5}/n{i // 5 % 7}/p{i // 35 % 4}/file{i:04d}.bin"
            write(path, content(rng, pool, size, i % 2 == 1))
    else:
        sys.exit(f"make-payloads.py: unknown kind {kind}")


if __name__ == "__main__":
    main()

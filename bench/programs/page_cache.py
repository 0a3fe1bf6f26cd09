#!/usr/bin/env python3
"""How much of a file the page cache holds, and dropping it from there.

    page_cache.py resident FILE    prints the fraction of its pages in memory
    page_cache.py drop FILE        fsync, then POSIX_FADV_DONTNEED; prints the
                                   fraction still in memory afterwards

How a file sits in the page cache changes what mapping it costs: written in
small writes it sits in 8 KiB pieces, dropped and read back from disk in
pieces hundreds of KiB long. The machine also drops pages left untouched for
about a minute, so a benchmark checks residency before each run."""

import ctypes
import ctypes.util
import mmap
import os
import sys

_libc = ctypes.CDLL(ctypes.util.find_library("c"), use_errno=True)
_libc.mmap.restype = ctypes.c_void_p
_libc.mmap.argtypes = [ctypes.c_void_p, ctypes.c_size_t, ctypes.c_int, ctypes.c_int, ctypes.c_int, ctypes.c_long]
_libc.munmap.argtypes = [ctypes.c_void_p, ctypes.c_size_t]
_libc.mincore.argtypes = [ctypes.c_void_p, ctypes.c_size_t, ctypes.c_void_p]
_MAP_FAILED = ctypes.c_void_p(-1).value


def resident_fraction(path):
    """Fraction of the file's pages in the page cache (1.0 for an empty file)."""
    size = os.path.getsize(path)
    if size == 0:
        return 1.0
    pages = (size + mmap.PAGESIZE - 1) // mmap.PAGESIZE
    fd = os.open(path, os.O_RDONLY)
    try:
        address = _libc.mmap(None, size, mmap.PROT_READ, mmap.MAP_SHARED, fd, 0)
        if address in (None, _MAP_FAILED):
            raise OSError(ctypes.get_errno(), f"mmap of {path}")
        try:
            vector = (ctypes.c_ubyte * pages)()
            if _libc.mincore(address, size, vector) != 0:
                raise OSError(ctypes.get_errno(), f"mincore of {path}")
            resident = pages - bytes(vector).count(0)
        finally:
            _libc.munmap(address, size)
    finally:
        os.close(fd)
    return resident / pages


def read_whole(path):
    """Reads the file through once, which brings it back into the cache."""
    with open(path, "rb", buffering=0) as f:
        while f.read(1 << 20):
            pass


def drop(path):
    fd = os.open(path, os.O_RDONLY)
    try:
        os.fsync(fd)
        os.posix_fadvise(fd, 0, 0, os.POSIX_FADV_DONTNEED)
    finally:
        os.close(fd)
    return resident_fraction(path)


def main():
    if len(sys.argv) != 3 or sys.argv[1] not in ("resident", "drop"):
        sys.exit(__doc__)
    fraction = resident_fraction(sys.argv[2]) if sys.argv[1] == "resident" else drop(sys.argv[2])
    print(f"{fraction:.4f}")


if __name__ == "__main__":
    main()

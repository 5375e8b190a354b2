#!/usr/bin/env python3
"""Times payload-tool extract against tar -xzf of the same product tree, and measures the
peak memory of a whole install of it.

Builds the benchmark tree with make-payload.py, packs it both ways, then extracts each
archive alternately for several rounds into fresh folders and reports the median wall
times, their ratio and each side's peak memory (maximum resident set size). With
--setup-cli it also installs the archive with `setup-cli install`, every system folder
staged below a temporary root, and reports that run's peak memory against the inflated
image plus 64 MiB.

Every count and size is taken from the tree and the archive made here: the number of files
and their bytes from the tree, the image (what the installer inflates the archive to) by
inflating the archive.

usage: bench_extract.py PAYLOAD_TOOL MAKE_PAYLOAD_PY [--setup-cli SETUP_CLI] [--rounds N]
                        [--work DIR]
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
import zlib

MIB = 2**20


def run_measured(argv):
    """Runs argv, returns (wall seconds, peak RSS in bytes)."""
    start = time.perf_counter()
    proc = subprocess.Popen(argv, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    _, status, usage = os.wait4(proc.pid, 0)
    wall = time.perf_counter() - start
    errors = proc.stderr.read().decode(errors="replace")
    proc.stderr.close()
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"bench: {' '.join(argv)} failed: {errors.strip()}")
    return wall, usage.ru_maxrss * 1024


def tree_files(root):
    """(number of files, their bytes, the largest)."""
    count, total, largest = 0, 0, 0
    for folder, _, files in os.walk(root):
        for name in files:
            size = os.path.getsize(os.path.join(folder, name))
            count += 1
            total += size
            largest = max(largest, size)
    return count, total, largest


def image_bytes(archive):
    """The size of the image the archive inflates to (table, names and data)."""
    inflater = zlib.decompressobj()
    size = 0
    with open(archive, "rb") as stream:
        while chunk := stream.read(1 << 20):
            size += len(inflater.decompress(chunk))
    return size + len(inflater.flush())


def figure(name, value, peer):
    print(f"velmora-bench {name} {value:.9g} {peer:.9g}")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("payload_tool")
    parser.add_argument("make_payload")
    parser.add_argument("--setup-cli", default=None)
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--work", default=None)
    args = parser.parse_args()

    work = tempfile.mkdtemp(prefix="velmora-bench-", dir=args.work)
    try:
        source = os.path.join(work, "source")
        subprocess.run([sys.executable, args.make_payload, source], check=True)
        count, total, largest = tree_files(os.path.join(source, "Velmora"))
        archive = os.path.join(work, "payload.bin")
        tarball = os.path.join(work, "payload.tgz")
        subprocess.run([args.payload_tool, "build", source, "-o", archive], check=True)
        subprocess.run(["tar", "-czf", tarball, "-C", source, "Velmora"], check=True)
        image = image_bytes(archive)

        ours, peers = [], []
        for round_no in range(args.rounds):
            for side in ("payload-tool", "tar"):
                target = os.path.join(work, f"out-{side}-{round_no}")
                os.makedirs(target)
                if side == "payload-tool":
                    ours.append(run_measured([args.payload_tool, "extract", archive, target]))
                else:
                    peers.append(run_measured(["tar", "-xzf", tarball, "-C", target]))
                shutil.rmtree(target)

        our_wall = statistics.median(w for w, _ in ours)
        peer_wall = statistics.median(w for w, _ in peers)
        our_peak = max(m for _, m in ours)
        peer_peak = max(m for _, m in peers)
        budget = image + largest + 40 * MIB
        print(f"tree: {total} bytes in {count} files, largest {largest}; image {image} bytes")
        print(f"archive: payload-tool {os.path.getsize(archive)} bytes, "
              f"tar.gz {os.path.getsize(tarball)} bytes")
        print(f"extract wall (median of {args.rounds}): payload-tool {our_wall:.3f} s, "
              f"tar -xzf {peer_wall:.3f} s")
        print(f"ratio payload-tool / tar -xzf: {our_wall / peer_wall:.2f} (target <= 1.00)")
        print(f"peak memory: payload-tool {our_peak / MIB:.1f} MiB, tar -xzf {peer_peak / MIB:.1f} MiB, "
              f"budget {budget / MIB:.1f} MiB -> {our_peak / budget:.2f} of budget")
        figure("payload.extract", our_wall, peer_wall)
        figure("payload.extract_peak", our_peak, budget)

        if args.setup_cli:
            # The whole install sequence: removal of a previous copy (none), pre-flight,
            # extraction, shortcuts and record, all below a staged root.
            installs = []
            for round_no in range(args.rounds):
                root = os.path.join(work, f"install-{round_no}")
                installs.append(run_measured([args.setup_cli, "install", archive,
                                              os.path.join(root, "target"), "--root", root]))
                shutil.rmtree(root)
            install_peak = max(m for _, m in installs)
            install_budget = image + 64 * MIB
            print(f"install peak memory (setup-cli install, max of {args.rounds}): "
                  f"{install_peak / MIB:.1f} MiB, budget image + 64 MiB = "
                  f"{install_budget / MIB:.1f} MiB -> {install_peak / install_budget:.2f} of budget")
            figure("install.peak", install_peak, install_budget)
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()

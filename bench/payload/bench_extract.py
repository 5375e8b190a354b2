#!/usr/bin/env python3
"""Times payload-tool extract against tar -xzf of the same product tree.

Builds the benchmark tree with make-payload.py, packs it both ways, then extracts each
archive alternately for several rounds into fresh folders and reports the median wall
times, their ratio and each side's peak memory (maximum resident set size).

usage: bench_extract.py PAYLOAD_TOOL MAKE_PAYLOAD_PY [--rounds N] [--work DIR]
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time


def run_measured(argv):
    """Runs argv, returns (wall seconds, peak RSS in bytes)."""
    start = time.perf_counter()
    proc = subprocess.Popen(argv, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(proc.pid, 0)
    wall = time.perf_counter() - start
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"bench: {' '.join(argv)} failed")
    return wall, usage.ru_maxrss * 1024


def tree_bytes(root):
    total, largest = 0, 0
    for folder, _, files in os.walk(root):
        for name in files:
            size = os.path.getsize(os.path.join(folder, name))
            total += size
            largest = max(largest, size)
    return total, largest


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("payload_tool")
    parser.add_argument("make_payload")
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--work", default=None)
    args = parser.parse_args()

    work = tempfile.mkdtemp(prefix="velmora-bench-", dir=args.work)
    try:
        source = os.path.join(work, "source")
        subprocess.run([sys.executable, args.make_payload, source], check=True)
        total, largest = tree_bytes(os.path.join(source, "Velmora"))
        archive = os.path.join(work, "payload.bin")
        tarball = os.path.join(work, "payload.tgz")
        subprocess.run([args.payload_tool, "build", source, "-o", archive], check=True)
        subprocess.run(["tar", "-czf", tarball, "-C", source, "Velmora"], check=True)
        image = total + 2 + 14 * 37 + 1024  # table and names are a few kilobytes

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
        budget = image + largest + 40 * 2**20
        mib = 2**20
        print(f"tree: {total} bytes in 37 files, largest {largest}")
        print(f"archive: payload-tool {os.path.getsize(archive)} bytes, "
              f"tar.gz {os.path.getsize(tarball)} bytes")
        print(f"extract wall (median of {args.rounds}): payload-tool {our_wall:.3f} s, "
              f"tar -xzf {peer_wall:.3f} s")
        print(f"ratio payload-tool / tar -xzf: {our_wall / peer_wall:.2f} (target <= 1.00)")
        print(f"peak memory: payload-tool {our_peak / mib:.1f} MiB, tar -xzf {peer_peak / mib:.1f} MiB, "
              f"budget {budget / mib:.1f} MiB -> {our_peak / budget:.2f} of budget")
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Start-up as a person meets it: time from starting a program to its first visible window.

Three sides, measured alternately in the same run on a private Xvfb, each as user nobody
(when run as root) with a fresh HOME, XDG folders and TMPDIR every round:
  stock      a stock Qt window with the wizard's five kinds of control and its pictures
  unbundled  VelmoraSetup as built
  release    VelmoraSetup-3.0-x86_64.run (checked, unpacked and started by its own header)
first-window starts each program and asks the X server when its first top-level window was
mapped and first held a picture (see first-window.c); the figure is the median of the
second. The display has a session bus of its own, as a desktop session has. After each release round the folder it unpacked in must be empty again: the
release is ended the way a session ends it (SIGTERM to its process group).

--breakdown also says where the time goes: the release's integrity check alone (--check) and
the check with the unpacking it runs beside (--noexec), and the wizard's own start-up steps
(startup-phases), with the build's libraries and with the release's.

Prints a table and "velmora-bench" lines for bench/run; exit 0 when every side ran.

usage: startup_bench.py --first-window F --stock F --setup F --release F --phases F
                        [--rounds N] [--breakdown]
"""
import argparse
import os
import shutil
import signal
import socket
import statistics
import subprocess
import sys
import tempfile
import time

NOBODY = 65534


def as_nobody():
    return os.geteuid() == 0


def give(path):
    if as_nobody():
        os.chown(path, NOBODY, NOBODY)


class Display:
    """A private Xvfb; the server says its display number once it accepts connections."""

    def __init__(self):
        read, write = os.pipe()
        self.server = subprocess.Popen(
            # No reset when the last client leaves: the next start would find the server busy
            # starting over.
            ["Xvfb", "-displayfd", str(write), "-nolisten", "tcp", "-noreset", "-screen", "0",
             "1024x768x24"], pass_fds=(write,), stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as said:
            number = said.readline().strip()
        if not number:
            self.server.kill()
            sys.exit("startup-bench: Xvfb did not start")
        self.name = ":" + number
        self.bus = None
        # The number comes as the server starts listening; a client is taken a moment later.
        socket_path = f"/tmp/.X11-unix/X{number}"
        for _ in range(100):
            try:
                with socket.socket(socket.AF_UNIX) as probe:
                    probe.connect(socket_path)
                break
            except OSError:
                time.sleep(0.05)

    def close(self):
        if self.bus:
            self.bus.close()
        self.server.terminate()
        self.server.wait()


class SessionBus:
    """A session bus of its own for the display, as every desktop session has: without one the
    programs would start one each (D-Bus autolaunch), which a desktop never does. The bus and
    what it starts (the accessibility bus, on first use) live in one process group, ended
    together."""

    def __init__(self, display):
        prefix = []
        if as_nobody():
            prefix = ["setpriv", f"--reuid={NOBODY}", f"--regid={NOBODY}", "--clear-groups"]
        self.daemon = subprocess.Popen(
            prefix + ["env", "-i", "PATH=/usr/bin:/bin", f"DISPLAY={display}",
                      "dbus-daemon", "--session", "--nofork", "--nosyslog", "--print-address=1"],
            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True,
            start_new_session=True)
        self.address = self.daemon.stdout.readline().strip()
        if not self.address:
            self.close()
            sys.exit("startup-bench: dbus-daemon did not start")

    def close(self):
        try:
            os.killpg(self.daemon.pid, signal.SIGTERM)
        except ProcessLookupError:
            pass
        self.daemon.wait()


class Round:
    """A fresh home, runtime and temporary folder for one start, owned by whoever runs it."""

    def __init__(self, work, label):
        self.root = tempfile.mkdtemp(prefix=label + "-", dir=work)
        os.chmod(self.root, 0o755)
        self.folders = {}
        for name in ("home", "runtime", "tmp", "start"):
            path = os.path.join(self.root, name)
            os.mkdir(path, 0o700)
            give(path)
            self.folders[name] = path

    def env(self, display):
        return {
            "PATH": "/usr/bin:/bin", "LANG": "C.UTF-8", "DISPLAY": display.name,
            "DBUS_SESSION_BUS_ADDRESS": display.bus.address,
            "HOME": self.folders["home"], "XDG_RUNTIME_DIR": self.folders["runtime"],
            "XDG_CONFIG_HOME": os.path.join(self.folders["home"], ".config"),
            "XDG_DATA_HOME": os.path.join(self.folders["home"], ".local/share"),
            "XDG_CACHE_HOME": os.path.join(self.folders["home"], ".cache"),
            "XDG_STATE_HOME": os.path.join(self.folders["home"], ".local/state"),
            "TMPDIR": self.folders["tmp"],
        }

    def command(self, display, argv, extra_env=None):
        """argv run as nobody (when root) with exactly this round's environment."""
        env = self.env(display)
        env.update(extra_env or {})
        prefix = []
        if as_nobody():
            prefix = ["setpriv", f"--reuid={NOBODY}", f"--regid={NOBODY}", "--clear-groups"]
        return prefix + ["env", "-i"] + [f"{k}={v}" for k, v in sorted(env.items())] + argv

    def leftovers(self):
        return os.listdir(self.folders["tmp"])

    def close(self):
        shutil.rmtree(self.root, ignore_errors=True)


def first_window(args, display, rnd, argv):
    """Milliseconds to the first painted window, or None (with the reason on stderr)."""
    result = subprocess.run(
        [args.first_window, "--timeout", "60", "--"] + rnd.command(display, argv),
        cwd=rnd.folders["start"], stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
        env=dict(os.environ, DISPLAY=display.name))
    if result.returncode != 0:
        sys.stderr.write(result.stderr)
        return None
    fields = dict(item.split("=") for item in result.stdout.split())
    return float(fields["paint"])


def timed(display, rnd, argv, cwd):
    start = time.perf_counter()
    result = subprocess.run(rnd.command(display, argv), cwd=cwd, stdout=subprocess.DEVNULL,
                            stderr=subprocess.PIPE, text=True)
    wall = (time.perf_counter() - start) * 1000
    if result.returncode != 0:
        sys.stderr.write(result.stderr)
        return None
    return wall


def phases(args, display, rnd, extra_env=None):
    env = dict(extra_env or {})
    env["VELMORA_BENCH_STARTED_NS"] = str(time.monotonic_ns())
    result = subprocess.run(rnd.command(display, [args.phases], env), cwd=rnd.folders["start"],
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    if result.returncode != 0:
        sys.stderr.write(result.stderr)
        return None
    found = {}
    for line in result.stdout.splitlines():
        parts = line.split()
        if len(parts) == 3 and parts[0] == "phase":
            found[parts[1]] = float(parts[2])
    return found


def bundled_environment(folder):
    """What the release's launcher gives the wizard (scripts/bundle/launcher.sh), for running
    startup-phases on the release's libraries, plugins and font set-up."""
    conf = os.path.join(folder, "etc", "fonts", "fonts.conf")
    os.makedirs(os.path.dirname(conf), exist_ok=True)
    with open(conf, "w") as out:
        out.write('<?xml version="1.0"?>\n<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">\n'
                  f"<fontconfig>\n  <cachedir>{folder}/fontcache</cachedir>\n"
                  '  <include ignore_missing="yes">/etc/fonts/fonts.conf</include>\n'
                  f'  <remap-dir as-path="/velmora-release/fonts">{folder}/fonts</remap-dir>\n'
                  "</fontconfig>\n")
    return {"LD_LIBRARY_PATH": os.path.join(folder, "lib"),
            "QT_PLUGIN_PATH": os.path.join(folder, "plugins"), "FONTCONFIG_FILE": conf}


def median(values):
    return statistics.median(values) if values else None


def show(value, unit="ms"):
    return "missing" if value is None else f"{value:.1f} {unit}"


def ratio(a, b):
    return None if a is None or b is None or b <= 0 else a / b


def figure(name, value, peer):
    def text(v):
        return "missing" if v is None else f"{v:.6g}"
    print(f"velmora-bench {name} {text(value)} {text(peer)}")


def main():
    parser = argparse.ArgumentParser()
    for option in ("first-window", "stock", "setup", "release", "phases"):
        parser.add_argument("--" + option, required=True)
    parser.add_argument("--rounds", type=int, default=7)
    parser.add_argument("--breakdown", action="store_true")
    args = parser.parse_args()
    for name in ("first_window", "stock", "setup", "release", "phases"):
        path = os.path.abspath(getattr(args, name))
        if not os.access(path, os.X_OK):
            sys.exit(f"startup-bench: {path} is missing")
        setattr(args, name, path)

    work = tempfile.mkdtemp(prefix="velmora-startup-")
    os.chmod(work, 0o755)
    # The release is read by nobody from a folder nobody may enter.
    release = os.path.join(work, os.path.basename(args.release))
    shutil.copy(args.release, release)
    os.chmod(release, 0o755)
    display = Display()
    display.bus = SessionBus(display.name)
    sides = {
        "stock": [args.stock],
        "unbundled": [args.setup],
        "release": [release],
    }
    times = {side: [] for side in sides}
    problems = []
    try:
        # One round that is not counted: the first start of each reads its files from disk.
        for rnd_no in range(args.rounds + 1):
            order = list(sides)
            order = order[rnd_no % 3:] + order[:rnd_no % 3]
            for side in order:
                rnd = Round(work, side)
                paint = first_window(args, display, rnd, sides[side])
                if side == "release" and rnd.leftovers():
                    problems.append(f"the release left {rnd.leftovers()} in its TMPDIR")
                rnd.close()
                if rnd_no > 0 and paint is not None:
                    times[side].append(paint)

        stock, unbundled, bundled = (median(times[s]) for s in ("stock", "unbundled", "release"))
        print(f"time to the first visible window, median of {args.rounds} rounds "
              f"(a shared machine: read the ratios)")
        for side, value in (("stock Qt window", stock), ("VelmoraSetup", unbundled),
                            ("VelmoraSetup-3.0-x86_64.run", bundled)):
            print(f"  {side:32} {show(value)}")
        print(f"  release / unbundled wizard       {show(ratio(bundled, unbundled), 'x')}"
              " (target <= 2)")
        print(f"  unbundled wizard / stock window  {show(ratio(unbundled, stock), 'x')}"
              " (target <= 1.5)")
        figure("startup.release", bundled, unbundled)
        figure("startup.unbundled", unbundled, stock)
        figure("startup.release_vs_stock", bundled, stock)

        if args.breakdown:
            breakdown(args, display, work, release, unbundled, bundled)
    finally:
        display.close()
        shutil.rmtree(work, ignore_errors=True)
    for problem in problems:
        print(f"startup-bench: {problem}", file=sys.stderr)
    missing = [s for s in sides if not times[s]]
    for side in missing:
        print(f"startup-bench: the {side} side never showed a window", file=sys.stderr)
    return 1 if missing or problems else 0


def breakdown(args, display, work, release, unbundled, bundled):
    checks, unpacks = [], []
    unbundled_phases, bundled_phases = [], []
    for _ in range(args.rounds):
        rnd = Round(work, "check")
        checks.append(timed(display, rnd, [release, "--quiet", "--check"],
                            rnd.folders["start"]))
        target = os.path.join(rnd.folders["start"], "unpacked")
        unpacks.append(timed(display, rnd, [release, "--quiet", "--noexec", "--target",
                                                 target], rnd.folders["start"]))
        bundled_phases.append(phases(args, display, rnd, bundled_environment(target)))
        rnd.close()
        rnd = Round(work, "phases")
        unbundled_phases.append(phases(args, display, rnd))
        rnd.close()
    check = median([c for c in checks if c is not None])
    unpack = median([u for u in unpacks if u is not None])
    print("\nwhere the time goes (ms, medians)")
    print(f"  release: integrity check alone (--check)         {show(check)}")
    print(f"  release: check and unpacking together (--noexec) {show(unpack)}")
    print(f"  release: the rest, to the first window            {show(minus(bundled, unpack))}"
          f"   (the unbundled wizard: {show(unbundled)})")
    names = []
    for found in unbundled_phases + bundled_phases:
        for name in (found or {}):
            if name not in names:
                names.append(name)
    print(f"\n  {'wizard start-up step':42} {'build libs':>11} {'release libs':>13}")
    for name in names:
        a = median([p[name] for p in unbundled_phases if p and name in p])
        b = median([p[name] for p in bundled_phases if p and name in p])
        print(f"  {name:42} {show(a):>11} {show(b):>13}")


def minus(a, b):
    return None if a is None or b is None else a - b


if __name__ == "__main__":
    sys.exit(main())

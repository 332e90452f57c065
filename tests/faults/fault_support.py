# Shared pieces of the fault tests, which drive the launcher under Wine from the Linux side: the
# Wine prepared by cmake/wine-env.sh, an installation laid out on disk, a pending patch with the
# files it replaces, and the check that no update was lost or left half written.
import hashlib
import os
import random
import shutil
import subprocess
import sys
import time

SKIPPED = 77  # ctest's code for a test this host cannot run


class Wine:
    """The Wine of $QUORVANTA_WINE_STATE; exits with SKIPPED where this host cannot run it."""

    def __init__(self):
        state = os.environ.get("QUORVANTA_WINE_STATE")
        if not state or not os.path.isfile(os.path.join(state, "env")):
            sys.exit("QUORVANTA_WINE_STATE does not name a Wine prepared by cmake/wine-env.sh")
        settings = {}
        with open(os.path.join(state, "env")) as env_file:
            for line in env_file:
                name, _, value = line.strip().partition("=")
                settings[name] = value
        if settings.get("WINE_USABLE") != "1":
            print("skipped: this host cannot run that Wine")
            sys.exit(SKIPPED)
        self.loader = settings["WINE_LOADER"]
        self.prefix = settings["WINEPREFIX"]
        self.env = dict(os.environ)
        self.env.update(DISPLAY=settings["DISPLAY"], WINEPREFIX=self.prefix, WINEDEBUG="-all")

    def start_launcher(self, installation):
        """Starts .\\quorvanta.exe in the installation directory, as a user would."""
        return subprocess.Popen([self.loader, "quorvanta.exe"], cwd=installation, env=self.env,
                                stdin=subprocess.DEVNULL)

    def run_launcher(self, installation, limit=120):
        launcher = self.start_launcher(installation)
        try:
            return launcher.wait(timeout=limit)
        except subprocess.TimeoutExpired:
            launcher.kill()
            launcher.wait()
            raise AssertionError(f"the launcher did not end within {limit} s")

    def running_launchers(self):
        """Process ids of every quorvanta.exe that runs in this test's Wine prefix."""
        found = []
        marker = ("WINEPREFIX=" + self.prefix).encode()
        for pid in filter(str.isdigit, os.listdir("/proc")):
            try:
                with open(f"/proc/{pid}/comm", "rb") as comm:
                    if comm.read().strip() != b"quorvanta.exe":
                        continue
                with open(f"/proc/{pid}/environ", "rb") as environ:
                    if marker in environ.read().split(b"\0"):
                        found.append(int(pid))
            except OSError:
                continue
        return found

    def stop_everything(self):
        """Ends the prefix's wineserver and its processes (the virtual desktop among them), so
        that tests after this one find the screen mode and the taskbar as a fresh start has them."""
        subprocess.run(["wineserver", "-k"], env=self.env, check=False)
        subprocess.run(["wineserver", "-w"], env=self.env, check=False, timeout=60)


def windows_path(path):
    """The path under which Wine shows a Unix path (on drive Z:)."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def windows_text(*lines):
    return b"".join(line + b"\r\n" for line in lines)


def lay_out_launcher(installation, launcher_exe, stand_in_exe):
    """The launcher, settings that ask for no backend switch, and a game that ends at once."""
    os.makedirs(os.path.join(installation, "jre", "bin"), exist_ok=True)
    shutil.copyfile(launcher_exe, os.path.join(installation, "quorvanta.exe"))
    shutil.copyfile(stand_in_exe, os.path.join(installation, "jre", "bin", "javaw.exe"))
    with open(os.path.join(installation, "install.txt"), "wb") as settings:
        settings.write(windows_text(b"jre\\bin\\", b"world", b"main", b"32", b"none", b"game"))


def digest(path):
    """SHA-256 of a file's bytes, or None when there is no file."""
    try:
        with open(path, "rb") as data:
            hasher = hashlib.sha256()
            for block in iter(lambda: data.read(1 << 20), b""):
                hasher.update(block)
            return hasher.hexdigest()
    except (FileNotFoundError, IsADirectoryError, NotADirectoryError):
        return None


class Patch:
    """A pending update: new bytes for files under patch/, and what each destination held before
    (None where the destination did not exist)."""

    def __init__(self):
        self.new = {}  # relative path (with /) -> bytes
        self.old = {}  # relative path -> bytes or None

    def add(self, relative, new, old=None):
        self.new[relative] = new
        self.old[relative] = old

    def write(self, installation):
        for relative, new in self.new.items():
            write_file(os.path.join(installation, "patch", relative), new)
            if self.old[relative] is not None:
                write_file(os.path.join(installation, relative), self.old[relative])

    def digests(self):
        new = {path: hashlib.sha256(data).hexdigest() for path, data in self.new.items()}
        old = {path: None if data is None else hashlib.sha256(data).hexdigest()
               for path, data in self.old.items()}
        return new, old


def write_file(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as out:
        out.write(data)


def mixed_patch(seed, small_files, big_sizes, directories=(8, 5, 4)):
    """About small_files files of mixed sizes in nested directories, and one big file per entry of
    big_sizes, in a directory of their own. A third of the files, and every second big one,
    replace an existing file whose old bytes differ."""
    rng = random.Random(seed)
    patch = Patch()
    sizes = [0, 1, 17, 512, 4096, 4097, 20000, 65536, 150000]
    level_1, level_2, level_3 = directories
    per_directory = -(-small_files // (level_1 * level_2 * level_3))
    count = 0
    for a in range(level_1):
        for b in range(level_2):
            for c in range(level_3):
                for f in range(per_directory):
                    if count == small_files:
                        break
                    relative = f"data/set{a}/part{b}/level{c}/item{f:02}.dat"
                    new = rng.randbytes(rng.choice(sizes))
                    old = rng.randbytes(rng.choice(sizes)) + b"old" if count % 3 == 0 else None
                    patch.add(relative, new, old)
                    count += 1
    for index, size in enumerate(big_sizes):
        old = rng.randbytes(1 << 20) if index % 2 == 0 else None
        patch.add(f"media/movie{index}.bin", rng.randbytes(size), old)
    return patch


class Outcome:
    """What a check of the installation found for each patch file."""

    def __init__(self):
        self.waiting = 0  # still under patch/, destination untouched or already complete
        self.placed = 0  # gone from patch/, complete at the destination
        self.leftovers = []  # files in the installation that are neither expected nor known
        self.faults = []

    def __str__(self):
        return f"{self.placed} placed, {self.waiting} waiting, {len(self.leftovers)} extra files"


def check_installation(installation, patch_digests, untouched, outcome=None):
    """Checks that every patch file is either still waiting, unchanged, or complete at its
    destination, and that no destination holds anything but its old or its complete new bytes.
    untouched maps other files of the installation to the digest they must keep."""
    new, old = patch_digests
    outcome = outcome or Outcome()
    for relative, new_digest in new.items():
        source = digest(os.path.join(installation, "patch", relative))
        destination = digest(os.path.join(installation, relative))
        if source is None:
            if destination == new_digest:
                outcome.placed += 1
            else:
                state = "missing" if destination is None else "different bytes"
                outcome.faults.append(f"{relative}: gone from patch/, destination {state}")
            continue
        outcome.waiting += 1
        if source != new_digest:
            outcome.faults.append(f"patch/{relative}: changed while waiting")
        if destination not in (old[relative], new_digest):
            state = "appeared" if old[relative] is None else "holds neither old nor new bytes"
            if destination is None:
                state = "lost its old bytes"
            outcome.faults.append(f"{relative}: partly written, destination {state}")
    for relative, expected in untouched.items():
        if digest(os.path.join(installation, relative)) != expected:
            outcome.faults.append(f"{relative}: not part of the patch, yet changed")
    known = set(new) | {"patch/" + path for path in new} | set(untouched)
    for directory, _, files in os.walk(installation):
        for name in files:
            relative = os.path.relpath(os.path.join(directory, name), installation)
            relative = relative.replace(os.sep, "/")
            if relative not in known:
                outcome.leftovers.append(relative)
    return outcome


def file_digests(installation, relatives):
    return {relative: digest(os.path.join(installation, relative)) for relative in relatives}


class Clock:
    def __init__(self):
        self.start = time.monotonic()

    def seconds(self):
        return time.monotonic() - self.start


def report_faults(faults, work, shown=20):
    """Prints the faults and returns the exit status; a clean run removes its work folder."""
    if faults:
        print(f"FAILED ({len(faults)} faults; work kept in {work}):")
        for fault in faults[:shown]:
            print("  " + fault)
        return 1
    shutil.rmtree(work, ignore_errors=True)
    return 0

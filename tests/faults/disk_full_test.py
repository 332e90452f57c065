#!/usr/bin/env python3
"""Runs the launcher in an installation on a small tmpfs that fills up during the merge, so that
copies fail part-way, and checks that no update is lost or half written: each patch file still
waits under patch/, unchanged, or is complete at its destination, and each destination holds
either its old bytes or the complete new ones. Once space is freed, the next run completes.

    disk_full_test.py QUORVANTA_EXE STAND_IN_GAME_EXE

Mounting the tmpfs needs root; where the host refuses it the test is skipped (exit 77).
"""
import os
import shutil
import signal
import subprocess
import sys
import tempfile

from fault_support import (SKIPPED, Patch, Wine, check_installation, file_digests,
                           lay_out_launcher, report_faults, windows_path, write_file)

MIB = 1 << 20
FILESYSTEM_SIZE = 32 * MIB
LAUNCHER_FILES = ["quorvanta.exe", "install.txt", "jre/bin/javaw.exe", "saves/slot1.sav"]
ALLOWED_AFTER_RUN = {"output.txt"}


def patch_for_a_small_disk():
    """Small updates that fit, and big ones, new or replacing a smaller file, that don't."""
    patch = Patch()
    for index in range(60):
        old = bytes([index]) * 3000 if index % 2 == 0 else None
        patch.add(f"data/part{index % 4}/item{index:02}.dat", bytes([index + 1]) * 9000, old)
    patch.add("media/intro.bin", b"\x01" * (9 * MIB), b"\x02" * MIB)
    patch.add("media/outro.bin", b"\x03" * (7 * MIB))
    patch.add("media/theme.bin", b"\x04" * (2 * MIB), b"\x05" * (2 * MIB))
    return patch


# How much room is left on the disk when the launcher starts, and why.
CASES = [
    ("nearly full: the small files fit, the big ones fail part-way", 4 * MIB),
    ("full to the last byte: every copy fails", 0),
]


def mount_tmpfs(mount_point):
    result = subprocess.run(["mount", "-t", "tmpfs", "-o", f"size={FILESYSTEM_SIZE}", "tmpfs",
                             mount_point], capture_output=True, text=True)
    if result.returncode != 0:
        os.rmdir(mount_point)
        os.rmdir(os.path.dirname(mount_point))
        print(f"skipped: cannot mount a tmpfs here ({result.stderr.strip()})")
        sys.exit(SKIPPED)


def fill(path, leave):
    """Writes a ballast file that leaves only `leave` bytes free (none once the disk refuses)."""
    stats = os.statvfs(os.path.dirname(path))
    size = max(0, stats.f_bavail * stats.f_frsize - leave)
    ballast = os.open(path, os.O_WRONLY | os.O_CREAT | os.O_TRUNC)
    try:
        os.write(ballast, b"\0" * size)
        while leave == 0:
            os.write(ballast, b"\0" * 4096)
    except OSError:
        pass
    finally:
        os.close(ballast)


def free_bytes(path):
    stats = os.statvfs(path)
    return stats.f_bavail * stats.f_frsize


def game_runs(wine):
    """How many times the stand-in game has run in this case."""
    report = wine.env["STAND_IN_REPORT_UNIX"]
    if not os.path.exists(report):
        return 0
    with open(report, "rb") as runs:
        return runs.read().split(b"\n").count(b"end")


def run_case(wine, mount_point, launcher_exe, stand_in_exe, leave):
    """Returns the faults found in one case; prints what happened."""
    installation = os.path.join(mount_point, "installation")
    shutil.rmtree(installation, ignore_errors=True)
    if os.path.exists(wine.env["STAND_IN_REPORT_UNIX"]):
        os.remove(wine.env["STAND_IN_REPORT_UNIX"])
    lay_out_launcher(installation, launcher_exe, stand_in_exe)
    write_file(os.path.join(installation, "saves", "slot1.sav"), b"a saved game\n")
    patch = patch_for_a_small_disk()
    patch.write(installation)
    digests = patch.digests()
    untouched = file_digests(installation, LAUNCHER_FILES)
    ballast = os.path.join(mount_point, "ballast")
    fill(ballast, leave)
    print(f"  {free_bytes(mount_point)} bytes free at the start")

    faults = []
    status = wine.run_launcher(installation)
    if game_runs(wine) != 1:
        faults.append("the game did not start on the full disk")
    outcome = check_installation(installation, digests, untouched)
    extra = sorted(set(outcome.leftovers) - ALLOWED_AFTER_RUN)
    print(f"  on the full disk: status {status}, {outcome} {outcome.leftovers}")
    if status != 0:
        faults.append(f"the launcher ended with {status} on the full disk")
    if outcome.waiting == 0:
        faults.append("the disk never filled: no copy failed")
    faults += outcome.faults
    faults += [f"{path}: left behind on the full disk" for path in extra]

    os.remove(ballast)
    status = wine.run_launcher(installation)
    if game_runs(wine) != 2:
        faults.append("the game did not start with space freed")
    outcome = check_installation(installation, digests, untouched)
    extra = sorted(set(outcome.leftovers) - ALLOWED_AFTER_RUN)
    print(f"  with space freed: status {status}, {outcome} {outcome.leftovers}")
    if status != 0 or outcome.waiting or extra:
        faults.append(f"the run with space freed left {outcome}, status {status}, extra {extra}")
    faults += outcome.faults
    return faults


def main():
    # Ended from outside (a test time-out): still unmount on the way out.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("ended from outside"))
    launcher_exe, stand_in_exe = sys.argv[1:3]
    wine = Wine()
    work = tempfile.mkdtemp(prefix="quorvanta-disk-full-")
    mount_point = os.path.join(work, "disk")
    os.mkdir(mount_point)
    mount_tmpfs(mount_point)
    report = os.path.join(work, "game-report.txt")
    wine.env.update(STAND_IN_REPORT_UNIX=report, STAND_IN_REPORT=windows_path(report))
    faults = []
    try:
        for name, leave in CASES:
            print(name)
            faults += [f"{name}: {fault}" for fault in
                       run_case(wine, mount_point, launcher_exe, stand_in_exe, leave)]
    finally:
        wine.stop_everything()
        if subprocess.run(["umount", mount_point], check=False).returncode != 0:
            subprocess.run(["umount", "-l", mount_point], check=False)
    return report_faults(faults, work, shown=20)


if __name__ == "__main__":
    sys.exit(main())

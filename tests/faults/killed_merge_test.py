#!/usr/bin/env python3
"""Kills the launcher (kill -9 of its Wine process) at random moments while it moves a pending
patch of about 2,000 files into the installation, and checks after every kill that no update is
lost or half written: each patch file still waits under patch/, unchanged, or is complete at its
destination, and each destination holds either its old bytes or the complete new ones. A normal
run afterwards must finish the merge.

    killed_merge_test.py QUORVANTA_EXE STAND_IN_GAME_EXE

Environment: QUORVANTA_WINE_STATE (the Wine of cmake/wine-env.sh), QUORVANTA_FAULT_ROUNDS
(rounds of two kills each, default 20), QUORVANTA_FAULT_SECONDS (no round starts after this
many seconds, once MINIMUM_ROUNDS are done; default 120, for a busy host), QUORVANTA_FAULT_SEED
(default: chosen and printed).
"""
import os
import random
import shutil
import signal
import sys
import tempfile
import time

from fault_support import (Clock, Wine, check_installation, file_digests, lay_out_launcher,
                           mixed_patch, report_faults, windows_path, write_file)

BIG_SIZES = [3 << 20, 5 << 20, 8 << 20, 4 << 20, 6 << 20, 7 << 20]
OTHER_FILES = {"saves/slot1.sav": b"a saved game\n", "readme.txt": b"version 1\n"}
LAUNCHER_FILES = ["quorvanta.exe", "install.txt", "jre/bin/javaw.exe"]
ALLOWED_AFTER_RUN = {"output.txt"}
MINIMUM_ROUNDS = 4


class Installation:
    def __init__(self, work, launcher_exe, stand_in_exe, seed):
        self.template = os.path.join(work, "template")
        self.path = os.path.join(work, "installation")
        lay_out_launcher(self.template, launcher_exe, stand_in_exe)
        for relative, data in OTHER_FILES.items():
            write_file(os.path.join(self.template, relative), data)
        self.patch = mixed_patch(seed, 2000 - len(BIG_SIZES), BIG_SIZES)
        self.patch.write(self.template)
        self.digests = self.patch.digests()
        self.untouched = file_digests(self.template, LAUNCHER_FILES + list(OTHER_FILES))
        # Where the merge shows first: the first directory of small files, and the big files.
        self.watched = [os.path.join(self.path, "patch", "data", "set0", "part0", "level0"),
                        os.path.join(self.path, "patch", "media")]
        self.media = os.path.join(self.path, "media")

    def reset(self):
        shutil.rmtree(self.path, ignore_errors=True)
        shutil.copytree(self.template, self.path)

    def check(self):
        return check_installation(self.path, self.digests, self.untouched)

    def listing(self, directory):
        try:
            with os.scandir(directory) as entries:
                return sorted((e.name, e.stat().st_size, e.stat().st_mtime_ns) for e in entries)
        except FileNotFoundError:
            return None


def wait_until_changed(installation, directories, launcher, limit=60):
    """Waits until the listing of any of the directories changes; False if the launcher ended or
    the limit passed first."""
    before = [installation.listing(d) for d in directories]
    deadline = time.monotonic() + limit
    while time.monotonic() < deadline and launcher.poll() is None:
        if [installation.listing(d) for d in directories] != before:
            return True
        time.sleep(0.002)
    return False


def kill(wine, launcher):
    launcher.kill()
    launcher.wait()
    deadline = time.monotonic() + 10
    while wine.running_launchers() and time.monotonic() < deadline:
        time.sleep(0.05)
    stray = wine.running_launchers()
    if stray:
        raise AssertionError(f"quorvanta.exe still runs after the kill: {stray}")


def calibrate(wine, installation):
    """Times one whole run: from its start to the first sign of the merge, and from there to the
    moment the last patch file has left."""
    installation.reset()
    clock = Clock()
    launcher = wine.start_launcher(installation.path)
    if not wait_until_changed(installation, installation.watched, launcher):
        raise AssertionError("the merge never started")
    started = clock.seconds()
    last = installation.watched[-1]
    while installation.listing(last) and launcher.poll() is None:
        time.sleep(0.002)
    merged = clock.seconds()
    status = launcher.wait(timeout=120)
    outcome = installation.check()
    if status != 0 or outcome.faults or outcome.waiting:
        raise AssertionError(f"a clean run failed: status {status}, {outcome}, {outcome.faults}")
    return started, merged - started


def main():
    # Ended from outside (a test time-out): still stop the launcher and Wine on the way out.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("ended from outside"))
    launcher_exe, stand_in_exe = sys.argv[1:3]
    wine = Wine()
    rounds = int(os.environ.get("QUORVANTA_FAULT_ROUNDS", "20"))
    budget = float(os.environ.get("QUORVANTA_FAULT_SECONDS", "120"))
    seed = int(os.environ.get("QUORVANTA_FAULT_SEED", random.randrange(1 << 30)))
    rng = random.Random(seed)
    print(f"seed {seed}, {rounds} rounds of two kills")
    total = Clock()
    work = tempfile.mkdtemp(prefix="quorvanta-killed-merge-")
    wine.env["STAND_IN_REPORT"] = windows_path(os.path.join(work, "game-report.txt"))
    installation = Installation(work, launcher_exe, stand_in_exe, seed)
    faults = []
    kills = mid_merge = with_leftovers = 0
    try:
        calibrate(wine, installation)  # the first run also starts Wine's own processes
        lead, merge = calibrate(wine, installation)
        print(f"a whole run: the merge starts after {lead:.2f} s and lasts {merge:.2f} s")
        for round_number in range(rounds):
            if round_number >= MINIMUM_ROUNDS and total.seconds() > budget:
                print(f"stopped after {round_number} rounds: {budget:.0f} s have passed")
                break
            installation.reset()
            waiting = 1.0
            for kill_number in range(2):
                launcher = wine.start_launcher(installation.path)
                if kill_number == 0 and round_number % 2 == 0:
                    how = "during the big files"
                    wait_until_changed(installation, [installation.media], launcher)
                    time.sleep(rng.uniform(0, 0.015))
                elif kill_number == 0:
                    how = "during the merge"
                    wait_until_changed(installation, installation.watched, launcher)
                    time.sleep(rng.uniform(0, merge))
                else:
                    how = "after the start"
                    time.sleep(rng.uniform(0.5 * lead, 1.5 * lead + merge * waiting))
                ended = launcher.poll() is not None
                kill(wine, launcher)
                kills += 1
                outcome = installation.check()
                outcome.leftovers = sorted(set(outcome.leftovers) - ALLOWED_AFTER_RUN)
                if outcome.waiting and outcome.placed:
                    mid_merge += 1
                if outcome.leftovers:
                    with_leftovers += 1
                waiting = outcome.waiting / len(installation.digests[0])
                note = " (it had ended)" if ended else ""
                print(f"round {round_number} kill {kill_number} {how}{note}: {outcome}"
                      + (f" {outcome.leftovers[:3]}" if outcome.leftovers else ""))
                faults += [f"round {round_number} kill {kill_number}: {f}" for f in outcome.faults]
            status = wine.run_launcher(installation.path)
            outcome = installation.check()
            extra = sorted(set(outcome.leftovers) - ALLOWED_AFTER_RUN)
            if status != 0 or outcome.waiting or extra:
                faults.append(f"round {round_number}: the clean run left {outcome}, status "
                              f"{status}, extra files {extra[:5]}")
            faults += [f"round {round_number} clean run: {f}" for f in outcome.faults]
            if os.listdir(os.path.join(installation.path, "patch")):
                faults.append(f"round {round_number}: patch/ is not empty after the clean run")
    finally:
        wine.stop_everything()
    print(f"{kills} kills, {mid_merge} in the middle of the merge, {with_leftovers} left extra "
          f"files, {total.seconds():.0f} s")
    return report_faults(faults, work, shown=40)


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Kills vemro-cli with SIGKILL at random moments and checks what it leaves behind.

Three commands are killed in turn:
  config read   - the terminal's settings into a project (two vxsim terminals with
                  different displays take turns, so old and new content differ)
  upgrade       - an old project file (schema 1.0) brought to 1.4
  project new   - a project overwritten from the other of two templates
After every kill: "pragma integrity_check" on the file, its content must be the old or the
new one (never a mix, never missing), and the command run again without a kill must work.
At the end the serial port must open (no lock left behind).

    scripts/crashloop.py [--build build-test] [--kills 1000] [--seed N] [--report FILE]

Runs on loopback and pseudo-terminals only; everything lives in a temporary folder.
"""

import argparse
import hashlib
import os
import random
import shutil
import signal
import sqlite3
import subprocess
import sys
import tempfile
import time

OLD_PROJECT_SQL = """
CREATE TABLE Allgemein (DBVersion TEXT, minProgversion TEXT, RKHardwarebezeichnung TEXT,
                        lastComMode INTEGER);
INSERT INTO Allgemein VALUES ('1.0', '1.0.0', 'VX alt', 0);
CREATE TABLE Terminaleinstellungen (ParameterMode INTEGER, SendMode INTEGER,
    Tastaturenabled INTEGER, IOPortsEnabled INTEGER, Einschaltmeldung INTEGER,
    Festtextmode INTEGER, FesttextPort INTEGER, Backlight INTEGER, Kontrast INTEGER,
    Display_Zeilen INTEGER, Display_Spalten INTEGER, Comsettings TEXT);
INSERT INTO Terminaleinstellungen VALUES (1, 2, 0, 0, 0, 0, 0, 1, 5, 4, 20, '19200,N,8,1');
CREATE TABLE TastaturModus (Mindestdauer INTEGER);
INSERT INTO TastaturModus VALUES (5);
"""

# Columns each schema version has beyond 1.0, as (table, column).
UPGRADE_COLUMNS = [
    ("1.1", "Terminaleinstellungen", "Terminaladresse"),
    ("1.2", "TastaturModus", "UseMatrix"),
    ("1.3", "Terminaleinstellungen", "ComSettingsProg"),
    ("1.4", "Terminaleinstellungen", "UseRS485"),
]
VERSIONS = ["1.0", "1.1", "1.2", "1.3", "1.4"]
SETTINGS = "Display_Zeilen, Display_Spalten, ParameterMode, SendMode, Backlight, Kontrast"


def digest(path):
    with open(path, "rb") as f:
        return hashlib.sha1(f.read()).hexdigest()


# Opened read-write, as the program opens its files: a kill in the middle of a write leaves
# a hot journal that the next opening rolls back (a read-only opening could not).
def integrity(path):
    """'ok' or SQLite's complaint."""
    try:
        con = sqlite3.connect(path)
        try:
            return con.execute("PRAGMA integrity_check").fetchone()[0]
        finally:
            con.close()
    except sqlite3.Error as e:
        return "error: %s" % e


def query(path, sql):
    con = sqlite3.connect(path)
    try:
        return con.execute(sql).fetchall()
    finally:
        con.close()


def columns(path, table):
    return {row[1].lower() for row in query(path, "PRAGMA table_info(%s)" % table)}


class Loop:
    def __init__(self, args):
        self.args = args
        self.build = os.path.abspath(args.build)
        self.cli = os.path.join(self.build, "bin", "vemro-cli")
        self.vxsim = os.path.join(self.build, "bin", "vxsim")
        self.rng = random.Random(args.seed)
        self.home = tempfile.mkdtemp(prefix="vemro-crashloop-")
        self.sims = []
        self.counts = {}
        self.problems = []
        self.env = dict(os.environ, ASAN_OPTIONS="detect_leaks=0", QT_QPA_PLATFORM="offscreen")

    # --- helpers -----------------------------------------------------------------------

    def count(self, key, n=1):
        self.counts[key] = self.counts.get(key, 0) + n

    def problem(self, text):
        self.problems.append(text)
        print("PROBLEM:", text, flush=True)

    def run(self, args, timeout=60):
        return subprocess.run([self.cli, "--home", self.home] + args, env=self.env,
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                              timeout=timeout, text=True)

    def run_killed(self, args, delay):
        """Starts the command and kills it after `delay` seconds. True when it was killed."""
        p = subprocess.Popen([self.cli, "--home", self.home] + args, env=self.env,
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            p.wait(timeout=delay)
            return False  # finished before the kill
        except subprocess.TimeoutExpired:
            p.send_signal(signal.SIGKILL)
            p.wait()
            return True

    def start_sim(self, name, rows, cols):
        link = os.path.join(self.home, name)
        p = subprocess.Popen([self.vxsim, "--pty-link", link, "--rows", str(rows),
                              "--cols", str(cols)],
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(200):
            if os.path.exists(link):
                break
            time.sleep(0.05)
        self.sims.append(p)
        return link

    def timed(self, args):
        t = time.monotonic()
        r = self.run(args)
        if r.returncode != 0:
            sys.exit("setup failed: %s\n%s" % (" ".join(args), r.stderr))
        return time.monotonic() - t

    # --- set-up --------------------------------------------------------------------------

    def setup(self):
        hw = os.path.join(self.home, "Hardware")
        os.makedirs(hw)
        for t in ("vx_standard", "vx_1602"):
            shutil.copy(os.path.join(self.build, "bin", "Hardware", t + ".mdb"), hw)
            os.chmod(os.path.join(hw, t + ".mdb"), 0o644)
        self.templates = {t: digest(os.path.join(hw, t + ".mdb"))
                          for t in ("vx_standard", "vx_1602")}
        self.projects = os.path.join(self.home, "Projekte")
        self.lines = [self.start_sim("vxA", 4, 20), self.start_sim("vxB", 2, 16)]
        self.timed(["project", "new", "Ziel1"])
        self.target = os.path.join(self.projects, "Ziel1.mdb")
        self.old_file = os.path.join(self.home, "alt.mdb")
        con = sqlite3.connect(self.old_file)
        con.executescript(OLD_PROJECT_SQL)
        con.close()
        self.upgrade_file = os.path.join(self.home, "Upgrade1.mdb")
        self.timed(["project", "new", "Neu11", "--template", "vx_standard"])
        self.new_file = os.path.join(self.projects, "Neu11.mdb")
        self.new_template = "vx_standard"
        # How long each command takes when left alone: the kills fall within that time.
        self.durations = {
            "config read": max(self.timed(["config", "read", "Ziel1", "--device", self.lines[0]]),
                               self.timed(["config", "read", "Ziel1", "--device", self.lines[1]])),
        }
        shutil.copy(self.old_file, self.upgrade_file)
        self.durations["upgrade"] = self.timed(["upgrade", self.upgrade_file])
        self.durations["project new"] = self.timed(["project", "new", "Neu11", "--yes"])
        self.line = 1  # the last config read came from vxB
        for k, v in self.durations.items():
            print("%-12s %.2f s unkilled" % (k, v), flush=True)

    # --- the three commands ------------------------------------------------------------

    def settings(self):
        return query(self.target, "SELECT %s FROM Terminaleinstellungen" % SETTINGS)

    def kill_config_read(self, delay):
        before = self.settings()
        self.line = 1 - self.line
        killed = self.run_killed(["config", "read", "Ziel1", "--device", self.lines[self.line]],
                                 delay)
        self.check_file(self.target, "config read")
        after = self.settings()
        # What the terminal of this run holds: read it again, without a kill.
        r = self.run(["config", "read", "Ziel1", "--device", self.lines[self.line]])
        if r.returncode != 0:
            self.count("config read: no run after the kill")
            self.problem("config read after a kill failed: %s" % r.stderr.strip())
            return killed
        new = self.settings()
        if after not in (before, new):
            self.count("config read: mixed content")
            self.problem("config read left %s, neither %s nor %s" % (after, before, new))
        else:
            self.count("config read: " + ("old content" if after == before and before != new
                                          else "new content"))
        return killed

    def kill_upgrade(self, delay):
        shutil.copy(self.old_file, self.upgrade_file)
        killed = self.run_killed(["upgrade", self.upgrade_file], delay)
        self.check_file(self.upgrade_file, "upgrade")
        version = query(self.upgrade_file, "SELECT DBVersion FROM Allgemein")[0][0]
        if version not in VERSIONS:
            self.problem("upgrade left DBVersion %r" % version)
        else:
            # Exactly the columns of the steps done: never a column without its version.
            have = {c for (_, t, c) in UPGRADE_COLUMNS if c.lower() in columns(self.upgrade_file, t)}
            want = {c for (v, _, c) in UPGRADE_COLUMNS if v <= version}
            if have != want:
                self.count("upgrade: schema and version differ")
                self.problem("upgrade at %s with columns %s" % (version, sorted(have)))
            self.count("upgrade: left at " + version)
        r = self.run(["upgrade", self.upgrade_file])
        if r.returncode != 0 or r.stdout.strip() != "1.4":
            self.count("upgrade: does not open again")
            self.problem("upgrade after a kill: %s %s" % (r.stdout.strip(), r.stderr.strip()))
        return killed

    def kill_project_new(self, delay):
        old = self.new_template
        new = "vx_1602" if old == "vx_standard" else "vx_standard"
        killed = self.run_killed(["project", "new", "Neu11", "--template", new, "--yes"], delay)
        if not os.path.isfile(self.new_file):
            self.count("project new: project missing")
            self.problem("project new left no project")
            self.timed(["project", "new", "Neu11", "--template", new])
            self.new_template = new
            return killed
        self.check_file(self.new_file, "project new")
        d = digest(self.new_file)
        if d == self.templates[new]:
            self.new_template = new
            self.count("project new: new content")
        elif d == self.templates[old]:
            self.count("project new: old content")
        else:
            self.count("project new: mixed content")
            self.problem("project new left a file that is neither template")
        listed = self.run(["project", "list"]).stdout.split()
        if listed != ["Neu11", "Ziel1"]:
            self.count("project new: wrong list")
            self.problem("project list shows %s" % listed)
        return killed

    def check_file(self, path, what):
        result = integrity(path)
        if result != "ok":
            self.count(what + ": integrity_check failed")
            self.problem("%s: %s: %s" % (what, path, result))

    # --- the loop ----------------------------------------------------------------------

    def loop(self):
        commands = [("config read", self.kill_config_read), ("upgrade", self.kill_upgrade),
                    ("project new", self.kill_project_new)]
        kills = 0
        runs = 0
        started = time.monotonic()
        while kills < self.args.kills:
            name, action = commands[runs % len(commands)]
            runs += 1
            # Half of the kills anywhere, half late in the run, where the writing happens.
            d = self.durations[name]
            delay = self.rng.uniform(0.0, d * 1.1) if runs % 2 else self.rng.uniform(0.6 * d, 1.1 * d)
            if action(delay):
                kills += 1
                self.count(name + ": killed")
            else:
                self.count(name + ": finished before the kill")
            if runs % 30 == 0:
                print("%d runs, %d kills, %d problems, %.0f s" %
                      (runs, kills, len(self.problems), time.monotonic() - started), flush=True)
                # The counts so far, for a loop that is stopped early.
                self.counts["runs"] = runs
                self.counts["kills"] = kills
                self.counts["seconds"] = int(time.monotonic() - started)
                self.report(quiet=True)
        self.counts["runs"] = runs
        self.counts["kills"] = kills
        self.counts["seconds"] = int(time.monotonic() - started)

    def final_port_check(self):
        for line in self.lines:
            r = self.run(["info", "--device", line])
            self.count("port opens at the end" if r.returncode == 0 else "port locked at the end")
            if r.returncode != 0:
                self.problem("port %s: %s" % (line, r.stderr.strip()))

    def cleanup(self):
        for p in self.sims:
            p.kill()
            p.wait()
        shutil.rmtree(self.home, ignore_errors=True)

    def report(self, quiet=False):
        lines = ["%-45s %d" % (k, v) for k, v in sorted(self.counts.items())]
        lines.append("%-45s %d" % ("problems", len(self.problems)))
        text = "\n".join(lines)
        if not quiet:
            print(text)
        if self.args.report:
            with open(self.args.report, "w") as f:
                f.write(text + "\n")
                for p in self.problems:
                    f.write("PROBLEM: %s\n" % p)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default="build-test", help="build folder (with bin/)")
    parser.add_argument("--kills", type=int, default=1000)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--report", help="write the counts to this file too")
    args = parser.parse_args()
    loop = Loop(args)
    try:
        loop.setup()
        loop.loop()
        loop.final_port_check()
    finally:
        loop.cleanup()
    loop.report()
    return 1 if loop.problems else 0


if __name__ == "__main__":
    sys.exit(main())

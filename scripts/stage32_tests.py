#!/usr/bin/env python3
"""Runs each i686 GoogleTest program of the 32-bit stage once as a whole, the way CTest runs its
64-bit twin: CTest's own list of the 64-bit tree (ctest --show-only=json-v1) gives each program's
working folder, environment and fixtures, whose setup and cleanup tests run around it.

usage: stage32_tests.py PLAN.json BUILD_DIR I686_DIR WINE LOG COUNTS
Prints one line per failed test; writes "PASSED FAILED" to COUNTS."""
import json
import os
import re
import subprocess
import sys
import time

plan_file, build, i686, wine, log_path, counts_path = sys.argv[1:7]
build = os.path.realpath(build)
i686 = os.path.realpath(i686)


def twin(path):
    """The i686 tree's counterpart of a path in the 64-bit tree."""
    real = os.path.realpath(path)
    if real == build or real.startswith(build + os.sep):
        return i686 + real[len(build):]
    return path


def properties(test):
    return {p["name"]: p["value"] for p in test.get("properties", [])}


tests = json.load(open(plan_file))["tests"]
programs = {}  # exe -> {"dir", "env", "fixtures"}, in CTest's order
fixture_tests = {}  # fixture name -> {"setup": [tests], "cleanup": [tests]}
for test in tests:
    props = properties(test)
    for kind, key in (("FIXTURES_SETUP", "setup"), ("FIXTURES_CLEANUP", "cleanup")):
        for name in props.get(kind, []):
            fixture_tests.setdefault(name, {"setup": [], "cleanup": []})[key].append(test)
    command = test.get("command") or []
    if len(command) < 3 or not any(a.startswith("--gtest_filter=") for a in command):
        continue
    entry = programs.setdefault(command[1], {"dir": props.get("WORKING_DIRECTORY"), "env": {}, "fixtures": []})
    for pair in props.get("ENVIRONMENT", []):
        name, _, value = pair.partition("=")
        entry["env"][name] = value
    for name in props.get("FIXTURES_REQUIRED", []):
        if name not in entry["fixtures"]:
            entry["fixtures"].append(name)

# Leak counts repeat their windows for dozens of rounds: the 64-bit run counts them, and under
# emulation each round takes seconds.
left_out = {"toolkit_window_tests.exe": "-gui_objects.*"}

log = open(log_path, "a")
passed = failed = 0


def say(line):
    print(line, flush=True)
    log.write(line + "\n")


def run_fixture(name, key):
    ok = True
    for test in fixture_tests.get(name, {}).get(key, []):
        props = properties(test)
        result = subprocess.run(test["command"], cwd=props.get("WORKING_DIRECTORY"), stdout=log, stderr=log,
                                timeout=300)
        ok = ok and result.returncode == 0
    return ok


for exe, entry in programs.items():
    program = twin(exe)
    name = os.path.basename(program)
    if not os.path.exists(program):
        failed += 1
        say(f"  FAILED {name}: not built in {i686}")
        continue
    if not all(run_fixture(f, "setup") for f in entry["fixtures"]):
        failed += 1
        say(f"  FAILED {name}: the setup of {', '.join(entry['fixtures'])} failed")
        continue
    env = dict(os.environ, **entry["env"])
    started = time.time()
    try:
        filters = [f"--gtest_filter={left_out[name]}"] if name in left_out else []
        result = subprocess.run([wine, program] + filters, cwd=twin(entry["dir"]) if entry["dir"] else None, env=env,
                                stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=900)
        out, code = result.stdout.decode("utf-8", "replace"), result.returncode
    except subprocess.TimeoutExpired as e:
        out, code = (e.output or b"").decode("utf-8", "replace"), "a timeout"
    for f in entry["fixtures"]:
        run_fixture(f, "cleanup")
    log.write(out)
    log.write(f"stage32: {name} took {time.time() - started:.0f} s\n")
    ok = re.search(r"^\[  PASSED  \] (\d+) tests?\.", out, re.M)
    bad = re.search(r"^\[  FAILED  \] (\d+) tests?, listed below:", out, re.M)
    passed += int(ok.group(1)) if ok else 0
    if bad:
        failed += int(bad.group(1))
        for test in sorted(set(re.findall(r"^\[  FAILED  \] (\S+\.\S+)$", out, re.M))):
            say(f"  FAILED {test}")
    elif not ok or code != 0:
        failed += 1
        say(f"  FAILED {name} ended with {code} before its summary (see {log_path})")

open(counts_path, "w").write(f"{passed} {failed}\n")

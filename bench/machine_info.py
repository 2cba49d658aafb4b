#!/usr/bin/env python3
"""The machine and build the benchmark figures come from, as JSON.

machine_info.py BUILD_DIR               before the runs
machine_info.py BUILD_DIR --after FILE  FILE's record with the load average after
"""
import json
import os
import platform
import re
import subprocess
import sys


def command(*args):
    try:
        return subprocess.run(args, capture_output=True, text=True, timeout=10).stdout.strip()
    except (OSError, subprocess.SubprocessError):
        return ""


def cpu_model():
    try:
        with open("/proc/cpuinfo", encoding="utf-8") as f:
            for line in f:
                if line.startswith("model name"):
                    return line.split(":", 1)[1].strip()
    except OSError:
        pass
    return platform.processor()


def memory_gib():
    try:
        with open("/proc/meminfo", encoding="utf-8") as f:
            kib = int(f.readline().split()[1])
        return round(kib / 2**20, 1)
    except (OSError, ValueError, IndexError):
        return None


def build_type(build):
    try:
        with open(os.path.join(build, "CMakeCache.txt"), encoding="utf-8") as f:
            for line in f:
                if line.startswith("CMAKE_BUILD_TYPE:"):
                    return line.split("=", 1)[1].strip()
    except OSError:
        pass
    return ""


def main(argv):
    build = argv[1]
    if len(argv) > 3 and argv[2] == "--after":
        with open(argv[3], encoding="utf-8") as f:
            record = json.load(f)
        record["load_after"] = list(os.getloadavg())
        print(json.dumps(record, indent=1))
        return
    compiler = command("c++", "--version").splitlines()
    libc = command("ldd", "--version").splitlines()
    virt = command("systemd-detect-virt")
    record = {
        "cpu": cpu_model(),
        "processors": os.cpu_count(),
        "memory_gib": memory_gib(),
        "virtualisation": virt if virt and virt != "none" else "",
        "system": command("sh", "-c", ". /etc/os-release && echo $PRETTY_NAME") or platform.platform(),
        "kernel": platform.release(),
        "compiler": compiler[0] if compiler else "",
        "libc": re.sub(r"^ldd \(.*?\) ", "", libc[0]) if libc else "",
        "valgrind": command("valgrind", "--version"),
        "build_type": build_type(build),
        "date": command("date", "-u", "+%Y-%m-%d %H:%M UTC"),
        "load_before": list(os.getloadavg()),
    }
    print(json.dumps(record, indent=1))


if __name__ == "__main__":
    main(sys.argv)

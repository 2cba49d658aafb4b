#!/usr/bin/env python3
"""Per-frame figures from the callgrind dumps of count_per_frame.

The program dumps the counters once per delivered frame (from its consumer on
the host thread), so every dump is one frame's whole journey. The figures are
the median over the frames of an acquisition, leaving out the first (it holds
the stream's start) and the last (the host's control thread stops the stream
as soon as the last frame is logged, which can fall before its dump). Instructions are split by who executes them:

  copy          memcpy called by the host frame's copyData: the pixel copy
  adaptor       CListener::frameReady, less what it calls in the host and the
                camera library (its own code, the platform layer, the C and
                C++ libraries it calls)
  host          host runtime functions called by the adaptor (less the copy)
                plus everything outside the delivery thread: the host thread
                and the caller waiting for the acquisition (less the count
                program's own consumer)
  camera        camera library functions called by the adaptor (buffer lock,
                format and property reads) and the delivery thread outside
                the listener (pacing, buffer choice, listener dispatch)

Heap allocations are the calls of malloc, calloc, realloc and the aligned
allocators in the dump, summed over the counted frames; the
program's own count of operator new calls over the same frames is printed
alongside. Usage: callgrind_counts.py PROGRAM_OUTPUT.json DUMP...
"""
import json
import re
import sys
from collections import defaultdict

ALLOCATORS = {"malloc", "calloc", "realloc", "aligned_alloc", "posix_memalign", "memalign", "valloc"}
CONSUMER = "FrameDumper"
COPY_CALLERS = ("imaqhost::Frame::copyData", "imaqhost::Frame::copyWindow", "copyInPieces", "copyRowBlock")
ADAPTOR = ("orx::", "win32seam::")
HOST = ("imaqhost::", "imaqkit::")
CAMERA = ("vexcam::", "Vexlib::")
NAME_REF = re.compile(r"^\((\d+)\)(?: (.*))?$")


def bare(name):
    """The function's qualified name without a leading return type."""
    head = name.replace("(anonymous namespace)", "{anon}").split("(", 1)[0]
    return head.rsplit(" ", 1)[-1] if " " in head and "<" not in head else head


def side_of(name):
    text = bare(name)
    for side, prefixes in (("adaptor", ADAPTOR), ("host", HOST), ("camera", CAMERA)):
        if text.startswith(prefixes):
            return side
    return None


def is_copy(caller, callee):
    return any(c in caller for c in COPY_CALLERS) and ("memcpy" in callee or "memmove" in callee)


def is_allocator(name):
    return bare(name).split("@", 1)[0] in ALLOCATORS


class Dump:
    def __init__(self, path):
        self.label = None
        self.total = 0
        self.self_cost = defaultdict(int)
        self.calls = defaultdict(int)       # (caller, callee) -> inclusive Ir of the calls
        self.call_count = defaultdict(int)  # (caller, callee) -> number of calls
        self._read(path)

    def _read(self, path):
        names = {}
        fn = None
        cfn = None
        pending_calls = None
        with open(path, encoding="utf-8", errors="replace") as f:
            for raw in f:
                line = raw.rstrip("\n")
                if not line:
                    continue
                if line.startswith("desc: Trigger: Client Request: "):
                    self.label = line.split(": ", 3)[-1].strip()
                elif line.startswith(("summary:", "totals:")):
                    self.total = max(self.total, int(line.split()[1]))
                elif line.startswith("fn="):
                    fn = self._name(line[3:], names)
                elif line.startswith("cfn="):
                    cfn = self._name(line[4:], names)
                elif line.startswith("calls="):
                    pending_calls = int(line[6:].split()[0])
                elif line[0].isdigit() or line[0] in "+-*":
                    parts = line.split()
                    cost = int(parts[1]) if len(parts) > 1 else 0
                    if pending_calls is not None:
                        self.calls[(fn, cfn)] += cost
                        self.call_count[(fn, cfn)] += pending_calls
                        pending_calls = None
                    else:
                        self.self_cost[fn] += cost

    @staticmethod
    def _name(text, names):
        match = NAME_REF.match(text)
        if not match:
            return text
        number, name = match.groups()
        if name is not None:
            names[number] = name
        return names.get(number, text)

    def inclusive(self, marker):
        """Inclusive cost of the functions whose name contains the marker."""
        total = 0
        for name, cost in self.self_cost.items():
            if marker in name:
                total += cost
        for (caller, callee), cost in self.calls.items():
            if marker in caller and marker not in callee:
                total += cost
        return total

    def figures(self):
        copy = sum(c for (a, b), c in self.calls.items() if is_copy(a, b))
        ready = self.inclusive("orx::CListener::frameReady")
        delivery = self.inclusive("vexcam::LiveStream::run")
        host_called = camera_called = 0
        for (caller, callee), cost in self.calls.items():
            if side_of(caller) != "adaptor":
                continue
            callee_side = side_of(callee)
            if callee_side == "host":
                host_called += cost
            elif callee_side == "camera":
                camera_called += cost
        allocations = sum(n for (a, b), n in self.call_count.items() if is_allocator(b) and not is_allocator(a))
        return {
            "total": self.total,
            "copy": copy,
            "adaptor": ready - host_called - camera_called,
            "host_in_listener": host_called - copy,
            "host_elsewhere": self.total - delivery - self.inclusive(CONSUMER),
            "camera_in_listener": camera_called,
            "camera_elsewhere": delivery - ready,
            "heap_allocations": allocations,
        }


def calls_from_adaptor(dump):
    """Inclusive cost of every host and camera function the adaptor calls."""
    costs = defaultdict(int)
    for (caller, callee), cost in dump.calls.items():
        if side_of(caller) == "adaptor" and side_of(callee) in ("host", "camera"):
            costs[bare(callee)] += cost
    return costs


def median(values):
    ordered = sorted(values)
    middle = len(ordered) // 2
    return ordered[middle] if len(ordered) % 2 else (ordered[middle - 1] + ordered[middle]) / 2


def median_table(tables, top):
    """Per-function median over the frames, the largest first."""
    names = set().union(*tables)
    rows = {n: median([t.get(n, 0) for t in tables]) for n in names}
    ranked = sorted(rows.items(), key=lambda item: (-abs(item[1]), item[0]))
    return [{"function": n, "ir": v} for n, v in ranked[:top] if v]


def self_by_function(dump):
    costs = defaultdict(int)
    for name, cost in dump.self_cost.items():
        costs[bare(name)] += cost
    return costs


def case_figures(frames):
    """Medians over the frames of one acquisition, the first and the last left out."""
    steady = frames[1:-1]
    figures = [dump.figures() for dump in steady]
    for f in figures:
        f["host"] = f["host_in_listener"] + f["host_elsewhere"]
        f["camera"] = f["camera_in_listener"] + f["camera_elsewhere"]
        f["outside_copy_adaptor_and_host"] = f["adaptor"] + f["host"]
    result = {key: median([f[key] for f in figures]) for key in figures[0]}
    spread = {key: [min(f[key] for f in figures), max(f[key] for f in figures)] for key in figures[0]}
    result["heap_allocations"] = sum(f["heap_allocations"] for f in figures) / len(figures)
    return result, spread, steady


def main(argv):
    program = json.load(open(argv[1], encoding="utf-8"))
    frames = defaultdict(dict)
    for path in argv[2:]:
        dump = Dump(path)
        if dump.label and "/frame/" in dump.label:
            case, _, index = dump.label.split("/")
            frames[case][int(index)] = dump
    results = []
    for case in program["cases"]:
        name = case["case"]
        dumps = [frames[name][i] for i in sorted(frames[name])]
        if len(dumps) != program["frames"]:
            sys.exit(f"{name}: {len(dumps)} frame dumps, expected {program['frames']}")
        figures, spread, steady = case_figures(dumps)
        figures["operator_new"] = case["steady_allocations"] / (len(dumps) - 2)
        results.append({
            "case": name,
            "per_frame": figures,
            "range_over_frames": spread,
            "called_by_adaptor": median_table([calls_from_adaptor(d) for d in steady], 12),
            "self_cost_top": median_table([self_by_function(d) for d in steady], 25),
        })
    out = {"size": program["size"], "fps": program["fps"], "frames": program["frames"], "cases": results}
    print(json.dumps(out, indent=1))


if __name__ == "__main__":
    main(sys.argv)

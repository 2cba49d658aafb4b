#!/usr/bin/env python3
"""Checks the host-kit and camera-library interface headers under the MSVC ABI.

clang lays the headers out as MSVC does (--target=x86_64-pc-windows-msvc) and
dumps every virtual table and record it lays out. This program reads those
dumps and compares each interface's slots and each shared record's size and
offsets with expected_layout.txt. Nothing is linked or run.

Two configurations are compiled:
  windows   the Win32 branch of the headers, as the MSVC build sees them, with
            stand-in system headers that declare the SDK's types
  portable  the headers' own Win32 declarations (GUID, SIZE, IUnknown), which
            the Linux build uses, laid out by the MSVC rules
"""
import argparse
import re
import subprocess
import sys
from pathlib import Path

HERE = Path(__file__).resolve().parent
CONFIGURATIONS = {
    "windows": [],
    "portable": ["-U_WIN32"],
}


def read_expectations(path):
    interfaces, records = [], []
    for number, line in enumerate(path.read_text().splitlines(), 1):
        words = line.split("#", 1)[0].split()
        if not words:
            continue
        kind, name, count, *pairs = words
        entries = [pair.split(":", 1) for pair in pairs]
        if kind not in ("interface", "record") or any(len(e) != 2 for e in entries):
            sys.exit(f"{path}:{number}: cannot read '{line}'")
        bound = None if count == "+" else int(count)
        if kind == "interface":
            interfaces.append((name, bound, {int(slot): op for slot, op in entries}))
        else:
            records.append((name.split("|"), bound, entries))
    return interfaces, records


def compile_dump(clang, include_dir, extra, mode):
    """Runs clang on the probe and returns what it dumped on standard output."""
    flags = {
        "vtables": ["-S", "-o", "/dev/null", "-Xclang", "-fdump-vtable-layouts"],
        "records": ["-fsyntax-only", "-Xclang", "-fdump-record-layouts"],
    }[mode]
    command = [clang, "--target=x86_64-pc-windows-msvc", "-std=c++20", "-nostdinc",
               "-isystem", str(HERE / "system"), "-I", str(include_dir),
               "-Wall", "-Wextra", "-Wpedantic", "-Werror", *extra, *flags,
               str(HERE / "interface_probe.cpp")]
    result = subprocess.run(command, capture_output=True, text=True)
    if result.returncode != 0:
        sys.stderr.write(result.stderr)
        sys.exit(f"clang failed ({mode}): {' '.join(command)}")
    return result.stdout


ENTRY = re.compile(r"^\s*(\d+) \| (.*)$")
INDICES = re.compile(r"^VFTable indices for '([^']+)' \(\d+ entr(?:y|ies)\)\.$")
TABLE = re.compile(r"^VFTable for (.+) \(\d+ entr(?:y|ies)\)\.$")


def operation_name(text):
    """'const char *imaqkit::IAdaptor::getDriverVersion() const' -> 'getDriverVersion'."""
    qualified = re.split(r"[\s*&]+", text.split("(", 1)[0].strip())[-1]
    return qualified.rsplit("::", 1)[-1]


def parse_vtables(dump):
    """Returns {class: (base chain, [table entries])} and {class: {slot: entry}}."""
    tables, indices = {}, {}
    current = None
    for line in dump.splitlines():
        if match := INDICES.match(line):
            current = indices.setdefault(match.group(1), {})
        elif match := TABLE.match(line):
            chain = re.findall(r"'([^']+)'", match.group(1))
            current = []
            tables[chain[-1]] = (chain, current)
        elif (match := ENTRY.match(line)) and current is not None:
            if isinstance(current, dict):
                current[int(match.group(1))] = match.group(2)
            else:
                current.append(match.group(2))
        elif not line.strip():
            current = None
    return tables, indices


def slots_of(name, tables, indices):
    """The class's slots from the indices of every class on its table's chain."""
    chain, entries = tables[name]
    table = entries[1:] if entries and entries[0].endswith(" RTTI") else entries
    slots = {}
    for owner in chain:
        slots.update(indices.get(owner, {}))
    return slots, table


def check_interface(name, bound, expected, tables, indices):
    if name not in tables:
        return None, [f"{name}: no table laid out (class missing or not virtual)"]
    slots, table = slots_of(name, tables, indices)
    faults = []
    for slot, entry in slots.items():
        if slot >= len(table) or operation_name(table[slot]) != operation_name(entry):
            faults.append(f"{name}: indices and table disagree at slot {slot}")
    if bound is not None and len(table) != bound:
        faults.append(f"{name}: {len(table)} slots, expected {bound}")
    for slot, operation in sorted(expected.items()):
        found = slots.get(slot)
        if found is None:
            faults.append(f"{name} slot {slot}: nothing there, expected {operation}")
        elif operation == "~":
            if not (operation_name(found).startswith("~") and "[scalar deleting]" in found):
                faults.append(f"{name} slot {slot}: {found}, expected the deleting destructor")
        elif operation_name(found) != operation:
            where = sorted(s for s, e in slots.items() if operation_name(e) == operation)
            moved = (f" ({operation} is at slot {', '.join(map(str, where))})" if where
                     else f" ({operation} is missing)")
            faults.append(f"{name} slot {slot}: {operation_name(found)}, expected {operation}{moved}")
    return len(table), faults


def parse_records(dump):
    """Returns {record name: (size, {direct field: offset}, [field order])}."""
    records = {}
    for block in dump.split("*** Dumping AST Record Layout")[1:]:
        lines = [ENTRY_OR_SIZE.match(line) for line in block.splitlines()]
        lines = [m for m in lines if m]
        if not lines or lines[0].group(1) is None:
            continue
        head = lines[0].group(2)
        name = head.split(" ", 1)[1] if " " in head else head
        fields, order, size = {}, [], None
        for match in lines[1:]:
            text = match.group(2)
            if match.group(1) is None:
                if found := re.search(r"sizeof=(\d+)", text):
                    size = int(found.group(1))
            elif text.startswith("  ") and not text.startswith("    "):
                field = text.split()[-1]
                fields[field] = int(match.group(1))
                order.append(field)
        records.setdefault(name, (size, fields, order))
    return records


ENTRY_OR_SIZE = re.compile(r"^\s*(\d+)? \| (.*)$")


def check_record(names, bound, expected, records):
    name = next((n for n in names if n in records), None)
    if name is None:
        return None, None, [f"record {'|'.join(names)}: not laid out"]
    size, fields, order = records[name]
    faults = []
    if bound is not None and size != bound:
        faults.append(f"record {name}: {size} bytes, expected {bound}")
    previous = -1
    for field, offset in expected:
        if field not in fields:
            faults.append(f"record {name}: no field {field}")
            continue
        at = fields[field]
        if offset == "+" and at <= previous:
            faults.append(f"record {name}: {field} at {at}, expected after offset {previous}")
        elif offset != "+" and at != int(offset):
            faults.append(f"record {name}: {field} at {at}, expected {offset}")
        previous = at
    return name, size, faults


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--clang", required=True)
    parser.add_argument("--include", required=True, type=Path,
                        help="the folder that holds platform/imaqkit.h")
    parser.add_argument("--expected", type=Path, default=HERE / "expected_layout.txt")
    args = parser.parse_args()
    interfaces, records = read_expectations(args.expected)

    faults = []
    for configuration, extra in CONFIGURATIONS.items():
        tables, indices = parse_vtables(compile_dump(args.clang, args.include, extra, "vtables"))
        laid_out = parse_records(compile_dump(args.clang, args.include, extra, "records"))
        print(f"MSVC x64 layout, {configuration} configuration:")
        for name, bound, expected in interfaces:
            count, found = check_interface(name, bound, expected, tables, indices)
            faults += [f"[{configuration}] {fault}" for fault in found]
            shown = "-" if count is None else count
            print(f"  {name:<48} {shown:>3} slots  {len(expected):>2} checked  "
                  f"{'FAIL' if found else 'ok'}")
        for names, bound, expected in records:
            name, size, found = check_record(names, bound, expected, laid_out)
            faults += [f"[{configuration}] {fault}" for fault in found]
            shown = "-" if size is None else size
            print(f"  record {name or names[0]:<41} {shown:>3} bytes  {len(expected):>2} fields  "
                  f"{'FAIL' if found else 'ok'}")
    for fault in faults:
        print(f"FAULT {fault}")
    checks = len(CONFIGURATIONS) * (len(interfaces) + len(records))
    print(f"{len(interfaces)} interfaces and {len(records)} records in "
          f"{len(CONFIGURATIONS)} configurations: {checks} checks, {len(faults)} faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Runs the shell commands that README.md and docs/*.md tell a reader to run.

A code block is a command block when its first word (after any NAME=value
settings) is a program a reader runs: `orximaq`, `cmake`, `ctest`, `unshare`,
`octave-cli`, a path under build/, scripts/ or bench/, or one of the shell's
own (`cd`, `mkdir`, `printf`, `echo`, `cat`). Each runs in a
temporary folder that looks like the source tree (build/default is the build
being tested; src/, bench/, scripts/ and docs/ are the sources), with the
build's bin/ first on PATH, so a block may call `orximaq` or
`build/default/bin/orximaq` as the page writes it. The blocks of one page run
in order in the same folder, so one block may use a file an earlier one wrote.

A marker comment on the line before a block (blank lines between allowed):

  <!-- illustration: WHY -->  not run; WHY is reported (a full build, a test
                              run, Windows, real cameras, a synopsis, ...).
  <!-- genicam -->            run only with --group genicam, which the
                              docs.genicam test passes inside a network
                              namespace; so is every block that starts with
                              `unshare`. Blocks that start Octave run only
                              with --group octave (docs.octave).
  <!-- fails -->              commands that show errors: each line runs even
                              when one before it failed, and the exit status
                              is not checked (an output block says what the
                              reader must see).
  <!-- output -->             the output of the command block above: every
                              line of this block must be a line of what that
                              block printed (standard output and error).

A block written as a terminal session ("$ " before each command, a
backslash continuing a command) runs its commands, and every other line
of it must be a line of what they printed.

Exit status: 0 when every block that ran succeeded and printed what its
output block says, at least one ran, and every illustration says why; 1
otherwise. Every block is listed with what was done.
"""

import argparse
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
from dataclasses import dataclass, field
from pathlib import Path

PROGRAMS = {"orximaq", "cmake", "ctest", "unshare", "octave-cli", "octave", "python3",
            "cd", "mkdir", "printf", "echo", "cat"}
PATH_PREFIXES = ("build/", "scripts/", "bench/", "./build/", "./scripts/", "./bench/")
MARKER = re.compile(r"^\s*<!--\s*(illustration|genicam|output|fails)\s*(?::\s*(.*?))?\s*-->\s*$")
SHELL_LANGUAGES = {"", "sh", "bash", "shell", "console"}
SOURCE_LINKS = ("src", "bench", "scripts", "docs", "tests", "platform", "CMakePresets.json")
BLOCK_TIMEOUT = 300
GROUPS = ("commands", "genicam", "octave")


@dataclass
class Block:
    page: str
    line: int
    language: str
    text: str
    marker: str = ""
    reason: str = ""
    output: list = field(default_factory=list)


def first_word(text):
    for line in text.splitlines():
        words = line.split()
        while words and re.match(r"^[A-Za-z_][A-Za-z0-9_]*=", words[0]):
            words.pop(0)
        if words:
            return words[0]
    return ""


def is_command(block):
    if block.language not in SHELL_LANGUAGES:
        return False
    word = first_word(block.text)
    return word in PROGRAMS or word.startswith(PATH_PREFIXES)


def marker_before(lines, start):
    """The marker comment on the line before `start`, skipping blank lines."""
    index = start - 1
    while index >= 0 and not lines[index].strip():
        index -= 1
    if index >= 0:
        found = MARKER.match(lines[index])
        if found:
            return found.group(1), found.group(2) or ""
    return "", ""


def blocks_of(page, text):
    """Fenced blocks and indented blocks (after a blank line, outside lists)."""
    lines = text.split("\n")
    blocks = []
    index = 0
    in_list = False
    while index < len(lines):
        line = lines[index]
        fence = re.match(r"^(\s*)(```+|~~~+)\s*([\w+-]*)", line)
        if fence:
            end = index + 1
            while end < len(lines) and not lines[end].strip().startswith(fence.group(2)):
                end += 1
            indent = len(fence.group(1))
            body = "\n".join(l[indent:] if not l[:indent].strip() else l.lstrip() for l in lines[index + 1:end])
            marker, reason = marker_before(lines, index)
            blocks.append(Block(page, index + 1, fence.group(3).lower(), body, marker, reason))
            index = end + 1
            continue
        if re.match(r"^\s*([-*+]|\d+\.)\s", line):
            in_list = True
        elif not line.strip():
            pass
        elif not line.startswith(" "):
            in_list = False
        if line.startswith("    ") and not in_list and (index == 0 or not lines[index - 1].strip()):
            end = index
            while end < len(lines) and (lines[end].startswith("    ") or not lines[end].strip()):
                end += 1
            body = "\n".join(l[4:] for l in lines[index:end]).rstrip()
            marker, reason = marker_before(lines, index)
            blocks.append(Block(page, index + 1, "", body, marker, reason))
            index = end
            continue
        index += 1
    return blocks


def split_transcript(block):
    """A block in the form of a terminal session ("$ " before each command):
    the commands run, every other line is output the commands must print."""
    lines = block.text.splitlines()
    if block.language not in SHELL_LANGUAGES or not next((l for l in lines if l.strip()), "").startswith("$ "):
        return
    commands, output, continued = [], [], False
    for line in lines:
        if continued or line.startswith("$ "):
            commands.append(line if continued else line[2:])
            continued = line.rstrip().endswith("\\")
        elif line.strip():
            output.append(line.rstrip())
    block.text = "\n".join(commands)
    block.output = output


def attach_outputs(blocks):
    """Moves each output block onto the command block before it."""
    kept = []
    for block in blocks:
        split_transcript(block)
        if block.marker == "output":
            if not kept or not is_command(kept[-1]):
                raise SystemExit(f"{block.page}:{block.line}: an output block must follow a command block")
            kept[-1].output = [l.rstrip() for l in block.text.splitlines() if l.strip()]
        else:
            kept.append(block)
    return kept


def group_of(block):
    """Which docs test runs a command block: GenICam and Octave need more than a build."""
    if block.marker == "genicam" or first_word(block.text) == "unshare":
        return "genicam"
    if first_word(block.text) in ("octave-cli", "octave"):
        return "octave"
    return "commands"


def make_tree(source, build):
    """A temporary folder with the source tree's folders and build/default."""
    folder = Path(tempfile.mkdtemp(prefix="orx-docs-"))
    for name in SOURCE_LINKS:
        if (source / name).exists():
            (folder / name).symlink_to(source / name)
    (folder / "build").mkdir()
    (folder / "build" / "default").symlink_to(build)
    return folder


def run_block(block, folder, build):
    environment = dict(os.environ)
    environment["PATH"] = f"{build / 'bin'}{os.pathsep}{environment.get('PATH', '')}"
    for name in ("ORX_SIM_RIG", "ORX_GENICAM"):
        environment.pop(name, None)
    strict = [] if block.marker == "fails" else ["-e", "-o", "pipefail"]
    # A session of its own, so that a block that hangs goes with everything it started.
    process = subprocess.Popen(["bash", *strict, "-c", block.text], cwd=folder, env=environment,
                               stdout=subprocess.PIPE, stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL,
                               start_new_session=True)
    try:
        printed, _ = process.communicate(timeout=BLOCK_TIMEOUT)
    except subprocess.TimeoutExpired:
        os.killpg(process.pid, signal.SIGKILL)
        process.communicate()
        return False, f"did not finish within {BLOCK_TIMEOUT} s"
    finally:
        if process.poll() is None:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()
    printed = printed.decode("utf-8", "replace")
    if process.returncode != 0 and block.marker != "fails":
        return False, f"exit status {process.returncode}:\n{printed}"
    got = {l.rstrip() for l in printed.splitlines()}
    missing = [l for l in block.output if l not in got]
    if missing:
        return False, "did not print these lines:\n  " + "\n  ".join(missing) + f"\nbut:\n{printed}"
    return True, ""


def extract_examples(source, pages, folder):
    """Each C++ block that is not an illustration, as a file; unchanged files are not rewritten."""
    folder.mkdir(parents=True, exist_ok=True)
    written = []
    for page in pages:
        examples = [b for b in blocks_of(page, (source / page).read_text(encoding="utf-8"))
                    if b.language == "cpp" and b.marker != "illustration"]
        for number, block in enumerate(examples, 1):
            name = re.sub(r"\W", "_", Path(page).stem) + f"_{number}"
            path = folder / f"{name}.cpp"
            text = f"// From {page}, line {block.line}.\n#line {block.line + 1} \"{source / page}\"\n{block.text}\n"
            if not path.exists() or path.read_text(encoding="utf-8") != text:
                path.write_text(text, encoding="utf-8")
            written.append(path)
    return written


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--source", required=True, type=Path)
    parser.add_argument("--build", required=True, type=Path)
    parser.add_argument("--group", choices=GROUPS, default="commands",
                        help="which blocks to run: genicam (marked so), octave (octave-cli), commands (the rest)")
    parser.add_argument("--list", action="store_true", help="list the blocks and what would be done")
    parser.add_argument("--extract-examples", type=Path, metavar="DIR",
                        help="write each C++ example to DIR/PAGE_N.cpp and print their paths as a CMake list")
    parser.add_argument("pages", nargs="*", help="pages relative to the source (default: README.md docs/*.md)")
    arguments = parser.parse_args()
    source = arguments.source.resolve()
    build = arguments.build.resolve()
    pages = arguments.pages or ["README.md"] + sorted(str(p.relative_to(source)) for p in (source / "docs").glob("*.md"))

    if arguments.extract_examples:
        print(";".join(str(p) for p in extract_examples(source, pages, arguments.extract_examples)))
        return 0

    failures = ran = 0
    for page in pages:
        blocks = attach_outputs(blocks_of(page, (source / page).read_text(encoding="utf-8")))
        folder = None
        try:
            for block in blocks:
                where = f"{page}:{block.line}"
                if block.language == "cpp":
                    print(f"{where}: C++ example, built and run by docs.example.*")
                    continue
                if block.language == "octave" and page == "docs/octave.md":
                    print(f"{where}: Octave session, run by octave.test_docs_session")
                    continue
                if not is_command(block):
                    continue
                if block.marker == "illustration":
                    if not block.reason:
                        failures += 1
                        print(f"{where}: FAILED: an illustration must say why it is not run")
                    else:
                        print(f"{where}: illustration ({block.reason})")
                    continue
                group = group_of(block)
                if group != arguments.group:
                    print(f"{where}: run by docs.{group}")
                    continue
                if arguments.list:
                    print(f"{where}: would run: {first_word(block.text)} ...")
                    continue
                folder = folder or make_tree(source, build)
                ok, why = run_block(block, folder, build)
                ran += 1
                print(f"{where}: {'ok' if ok else 'FAILED'}: {block.text.splitlines()[0]}")
                if not ok:
                    failures += 1
                    print("    " + why.replace("\n", "\n    "))
        finally:
            if folder:
                shutil.rmtree(folder, ignore_errors=True)
    print(f"{ran} blocks run, {failures} failed")
    if ran == 0 and not arguments.list:
        print(f"no block of the group {arguments.group} was found: the pages or this script changed")
        return 1
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Callbacks while Octave waits at its prompt: an interactive Octave on a
pseudo-terminal (readline calls the input event hooks only there) starts an
acquisition, sits at the prompt until StopFcn prints, and only then reads
what the callbacks did.
Reading UserData runs no callbacks itself, so the count proves they ran at
the prompt.

Usage: prompt_callbacks.py OCTAVE PATHS [--preview]
  --preview: also a preview window (Qt, needs a display) whose image must
             change while Octave sits at the prompt."""
import os
import pty
import re
import select
import signal
import sys
import time

PROMPT_SECONDS = 1.0


class Session:
    def __init__(self, argv):
        self.pid, self.fd = pty.fork()
        if self.pid == 0:
            os.execvp(argv[0], argv)
        self.output = b""

    def read_for(self, seconds):
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            ready, _, _ = select.select([self.fd], [], [], 0.05)
            if ready:
                try:
                    self.output += os.read(self.fd, 65536)
                except OSError:
                    return

    def read_until(self, marker, seconds):
        end = time.monotonic() + seconds
        while marker.encode() not in self.output and time.monotonic() < end:
            self.read_for(0.05)
        if marker.encode() not in self.output:
            fail(f"no {marker!r} within {seconds} s")

    def send(self, line):
        os.write(self.fd, (line + "\n").encode())

    def finish(self):
        self.send("exit")
        self.read_for(3)
        _, status = os.waitpid(self.pid, 0)
        return os.waitstatus_to_exitcode(status)

    def text(self):
        return self.output.decode(errors="replace")


def fail(message):
    print(session.text())
    # A hang-up would make Octave save its workspace: end it outright.
    os.kill(session.pid, signal.SIGKILL)
    sys.exit(f"FAIL: {message}")


def value_of(name):
    found = re.findall(rf"{name}=(\d+)", session.text())
    if not found:
        fail(f"no {name}")
    return found[-1]


octave, paths = sys.argv[1], sys.argv[2]
with_preview = "--preview" in sys.argv[3:]
session = Session([octave, "--no-gui", "--quiet", "--no-init-file"])
session.read_for(2)
session.send(f"addpath ('{paths}'); warning ('off', 'all'); more off;")
if with_preview:
    session.send("graphics_toolkit ('qt');")
session.send("vid = videoinput ('orximaq', 1, 'RGB24 (640x480)'); vid.UserData = 0;")
session.send("vid.FramesPerTrigger = 30; vid.FramesAcquiredFcnCount = 1;")
session.send("vid.FramesAcquiredFcn = @(v, e) set (v, 'UserData', v.UserData + 1);")
session.send("vid.StopFcn = @(v, e) printf ('%s=%d\\n', 'STOPFCN', v.UserData);")
if with_preview:
    session.send("preview (vid); fig = __orximaq_preview__ ('figure', vid.GatewayHandle);")
    session.send("img = findall (fig, 'type', 'image'); set (img, 'CData', zeros (size (get (img, 'CData')), 'uint8'));")
session.send("start (vid); printf ('%s=%d\\n', 'STARTED', vid.UserData);")
session.read_until("STARTED=", 20)
# Nothing is typed meanwhile: StopFcn's line can only come from the prompt.
# The acquisition takes about half a second at 60 frames a second.
session.read_until("STOPFCN=", 20)
session.read_for(PROMPT_SECONDS)
if with_preview:
    session.send("printf ('%s=%d\\n', 'PREVIEWED', any (get (img, 'CData')(:)));")
session.send("printf ('%s=%d\\n', 'COUNT', vid.UserData);")
session.read_until("COUNT=", 10)
if value_of("COUNT") != "30":
    fail(f"FramesAcquiredFcn ran {value_of('COUNT')} times at the prompt, not 30")
if value_of("STOPFCN") != "30":
    fail("StopFcn did not run at the prompt")
if with_preview and value_of("PREVIEWED") != "1":
    fail("the preview did not change at the prompt")
session.send("delete (vid); imaqreset (); c = struct2cell (__orximaq_counters__ ());"
             " printf ('%s=%d\\n', 'OUTSTANDING', sum ([c{:}]));")
session.read_until("OUTSTANDING=", 10)
if value_of("OUTSTANDING") != "0":
    fail("resources outstanding after imaqreset")
code = session.finish()
if code != 0:
    fail(f"exit code {code}")
print("PASS prompt_callbacks" + (" with preview" if with_preview else ""))

## Each case runs in an Octave of its own, which must exit normally: leaving
## Octave with an acquisition running, clear all, clearing the gateway and
## deleting a running object. (An abort shows as exit code 134.)
cli = getenv ("ORX_OCTAVE_CLI");
paths = getenv ("ORX_OCTAVE_PATHS");
prologue = sprintf ("addpath('%s'); orx_test_rig (); vid = videoinput ('orximaq', 'Pixie Mono'); vid.FramesPerTrigger = Inf; start (vid); pause (0.2); ", paths);
cases = {
  "exit with running acquisition", "disp ('DONE');";
  "clear all", "clear all; pause (0.2); v = imaqfind (); assert (numel (v), 1); assert (v{1}.Running, 'on'); disp ('DONE');";
  "clear of the gateway", "clear __orximaq__; clear functions; pause (0.1); assert (vid.Running, 'on'); assert (vid.FramesAvailable > 0); disp ('DONE');";
  "delete running object", "delete (vid); c = __orximaq_counters__ (); assert (c.DeliveryThreads, 0); assert (c.Grabbers, 0); assert (! __orximaq__ ('locked')); orx_assert_no_leaks (); clear __orximaq__; disp ('DONE');";
  "exit after imaqreset", "imaqreset (); orx_assert_no_leaks (); disp ('DONE');";
};
for i = 1:rows (cases)
  script = [tempname() ".m"];
  fid = fopen (script, "w");
  fputs (fid, [prologue cases{i, 2}]);
  fclose (fid);
  [status, output] = system (sprintf ("'%s' --no-gui --quiet --no-init-file '%s' 2>&1", cli, script));
  delete (script);
  if (status != 0 || isempty (strfind (output, "DONE")))
    error ("orx:test", "%s: exit code %d\n%s", cases{i, 1}, status, output);
  endif
endfor

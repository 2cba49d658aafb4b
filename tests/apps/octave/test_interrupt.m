## Ctrl-C (SIGINT) ends the package's waits within half a second and leaves
## the object usable; Inf timeouts wait without limit until then.  Each case
## runs in an Octave of its own on a camera that delivers a frame every 20 s;
## the signal goes half a second after the call began.
setup_running = "vid.FramesPerTrigger = Inf; start (vid);";
cases = {
  "wait", setup_running, "wait (vid, Inf);";
  "getdata", setup_running, "getdata (vid, 100);";
  "getsnapshot", "", "getsnapshot (vid);";
  "getsnapshot while running", setup_running, "getsnapshot (vid);";
};
usable = ["stop (vid); assert (! isrunning (vid)); flushdata (vid); src = getselectedsource (vid); " ...
          "src.Brightness = 3; assert (src.Brightness, 3); vid.FramesPerTrigger = 2; " ...
          "delete (vid); orx_assert_no_leaks (); disp ('USABLE');"];
cli = getenv ("ORX_OCTAVE_CLI");
for i = 1:rows (cases)
  marker = tempname ();
  script = [tempname() ".m"];
  output = tempname ();
  fid = fopen (script, "w");
  fprintf (fid, "addpath ('%s');\norx_test_rig ();\n", getenv ("ORX_OCTAVE_PATHS"));
  fprintf (fid, "vid = videoinput ('orximaq', 'Pixie Slow'); vid.Timeout = Inf; %s\n", cases{i, 2});
  fprintf (fid, "fclose (fopen ('%s', 'w'));\nunwind_protect\n  %s\n  disp ('NOT INTERRUPTED');\n", marker, cases{i, 3});
  fprintf (fid, "unwind_protect_cleanup\n  printf ('RETURNED %%.6f\\n', time ());\n  %s\nend_unwind_protect\n", usable);
  fclose (fid);
  command = sprintf (["'%s' --no-gui --quiet --no-init-file '%s' > '%s' 2>&1 & pid=$!; " ...
                      "n=0; while [ ! -e '%s' ] && [ $n -lt 600 ]; do sleep 0.05; n=$((n+1)); done; " ...
                      "sleep 0.5; date +SENT%%s.%%N; kill -INT $pid; wait $pid"], cli, script, output, marker);
  [status, sent] = system (command);
  text = fileread (output);
  delete (script);
  delete (output);
  if (exist (marker, "file"))
    delete (marker);
  endif
  sent_at = sscanf (sent(strfind (sent, "SENT") + 4:end), "%f");
  returned_at = sscanf (text(strfind (text, "RETURNED ") + 9:end), "%f", 1);
  if (status == 139 || isempty (returned_at) || isempty (strfind (text, "USABLE"))
      || ! isempty (strfind (text, "NOT INTERRUPTED")))
    error ("orx:test", "%s: exit code %d\n%s", cases{i, 1}, status, text);
  endif
  if (returned_at - sent_at > 0.5)
    error ("orx:test", "%s: returned %.3f s after the signal", cases{i, 1}, returned_at - sent_at);
  endif
endfor

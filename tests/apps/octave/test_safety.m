## Each case runs in an Octave of its own, which must exit normally (a crash
## at exit shows as code 139): the gateway used without any object, objects
## left open or running, every kind of clear, deleting a running object.
## After a clear the objects keep their methods and stay deletable.
empty_rig = sprintf ("imaqreset (); f = [tempname() '.json']; fid = fopen (f, 'w'); fputs (fid, '{\"devices\": []}'); fclose (fid); __orximaq__ ('rig', f);");
no_object = {
  "imaqhwinfo", "imaqhwinfo ('orximaq');";
  "devices", "__orximaq__ ('devices');";
  "failed open", "try\n videoinput ('orximaq', 99);\n end_try_catch\n";
  "failed open by name", "try\n videoinput ('orximaq', 'No Such Camera');\n end_try_catch\n";
  "rejected id", "try\n videoinput ('orximaq', 1.5);\n end_try_catch\n";
};
for i = 1:rows (no_object)
  for rig = {"orx_test_rig ();", empty_rig}
    [status, output] = orx_run_child ([no_object{i, 2} " disp ('DONE');"], rig{1});
    if (status != 0 || isempty (strfind (output, "DONE")))
      error ("orx:test", "%s: exit code %d\n%s", no_object{i, 1}, status, output);
    endif
  endfor
endfor
[status, output] = orx_run_child ("try\n videoinput ('orximaq');\n catch err\n disp (err.identifier);\n end_try_catch\n", empty_rig);
assert (status, 0, output);
assert (! isempty (strfind (output, "imaq:videoinput:noDevices")), output);

running = "vid = videoinput ('orximaq', 'Pixie Mono'); vid.FramesPerTrigger = Inf; start (vid); pause (0.2);";
idle = "vid = videoinput ('orximaq', 'Pixie Mono'); vid.FramesPerTrigger = 3;";
works = "assert (v.Running, 'on'); stop (v); assert (! isrunning (v)); assert (v.FramesAvailable > 0); d = getdata (v, 1); start (v); stop (v); delete (v); assert (! isvalid (v)); assert (isempty (imaqfind ())); orx_assert_no_leaks ();";
cases = {
  "exit while running", running;
  "exit with an idle object", idle;
  "exit after imaqreset", [running " imaqreset (); orx_assert_no_leaks ();"];
  "delete running object", [running " delete (vid); c = __orximaq_counters__ (); assert (c.DeliveryThreads, 0); assert (c.Grabbers, 0); orx_assert_no_leaks (); assert (! __orximaq__ ('locked'));"];
  "clear all, then exit", [running " clear all;"];
  "clear all keeps objects", [running " clear all; v = imaqfind (); assert (numel (v), 1); v = v{1}; " works];
  "clear classes keeps objects", [running " clear classes; v = imaqfind (); v = v{1}; " works];
  "clear functions keeps methods", [running " clear functions; v = vid; " works];
  "clear -f keeps methods", [running " clear -f; v = vid; " works];
  "clear mex keeps methods", [running " clear mex; v = vid; " works];
  "clear of the gateway", [running " clear __orximaq__; clear functions; v = vid; " works];
  "clear functions, then exit running", [running " clear functions;"];
  "clear all with an idle object, then exit", [idle " clear all;"];
  "package off the path, then exit", [running " rmpath (fileparts (which ('imaqreset')));"];
  "gateway off the path, then exit", [running " rmpath (fileparts (which ('__orximaq__')));"];
  "all off the path, then exit", [running " rmpath (fileparts (which ('__orximaq__'))); rmpath (fileparts (which ('imaqreset')));"];
  "clear all with callbacks, then they still run", ["vid = videoinput ('orximaq', 'Pixie Mono'); vid.FramesPerTrigger = Inf; " ...
      "vid.TimerPeriod = 0.01; vid.TimerFcn = @(o, e) 1; vid.StopFcn = {@orx_count_event}; vid.UserData = {}; " ...
      "start (vid); pause (0.2); clear all; v = imaqfind (){1}; stop (v); assert (numel (v.UserData), 1); delete (v);"];
  "exit while callbacks are queued", ["vid = videoinput ('orximaq', 'Pixie Mono'); vid.FramesPerTrigger = Inf; " ...
      "vid.FramesAcquiredFcnCount = 1; vid.FramesAcquiredFcn = @(o, e) 1; start (vid); pause (0.3);"];
  "a callback that deletes its object", ["vid = videoinput ('orximaq', 'Pixie Mono'); vid.FramesPerTrigger = 4; " ...
      "vid.FramesAcquiredFcnCount = 1; vid.FramesAcquiredFcn = @(o, e) delete (o); start (vid); pause (0.3); " ...
      "try wait (vid, 1); catch end_try_catch; assert (! isvalid (vid)); orx_assert_no_leaks ();"];
};
for i = 1:rows (cases)
  [status, output] = orx_run_child ([cases{i, 2} " disp ('DONE');"]);
  if (status != 0 || isempty (strfind (output, "DONE")))
    error ("orx:test", "%s: exit code %d\n%s", cases{i, 1}, status, output);
  endif
endfor

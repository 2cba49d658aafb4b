## Callbacks run on Octave's thread with the event structure: given as a
## handle, a cell with extra arguments or a name; an error in one is a
## warning and the acquisition goes on.
orx_test_rig ();
vid = videoinput ("orximaq", "Pixie Mono", "Y800 (64x48)");

## Only callables are taken.
for bad = {5, {}, {5}, "", {"orx_count_event"; 1; 2}(:, [1 1]), true}
  orx_assert_error (@() set (vid, "StopFcn", bad{1}), "imaq:orximaq:invalidValue");
endfor
orx_assert_error (@() set (vid, "FramesAcquiredFcnCount", -1), "imaq:orximaq:invalidValue");
orx_assert_error (@() set (vid, "TimerPeriod", 0), "imaq:orximaq:invalidValue");
vid.TimerPeriod = 0.05;

## FramesAcquiredFcn every 4 frames counts up in UserData; StopFcn once
## (given by name), StartFcn with extra arguments.
vid.UserData = {};
vid.FramesPerTrigger = 20;
vid.FramesAcquiredFcnCount = 4;
vid.FramesAcquiredFcn = @orx_count_event;
vid.StartFcn = {@orx_count_event, "extra", 7};
vid.StopFcn = "orx_count_event";
start (vid);
orx_assert_error (@() set (vid, "FramesAcquiredFcnCount", 2), "imaq:orximaq:readOnlyWhileRunning");
wait (vid, 10);
pause (0.1);
wait (vid, 1);
seen = vid.UserData;
types = cellfun (@(e) e.Type, seen, "UniformOutput", false);
assert (types, {"Start", "FramesAcquired", "FramesAcquired", "FramesAcquired", "FramesAcquired", ...
                "FramesAcquired", "Stop"});
assert (seen{1}.Extra, {"extra", 7});
assert (cellfun (@(e) e.Data.FrameNumber, seen(2:6)), [4 8 12 16 20]);
assert (seen{7}.Data.FrameNumber, 20);
assert (size (seen{2}.Data.AbsTime), [1 6]);
assert (all (isfield (seen{2}.Data, {"AbsTime", "FrameNumber", "RelativeFrame", "TriggerIndex"})));
## Nothing more later: StopFcn ran once.
stop (vid);
wait (vid, 1);
assert (numel (vid.UserData), 7);
## A snapshot runs no callbacks.
flushdata (vid);
getsnapshot (vid);
wait (vid, 1);
assert (numel (vid.UserData), 7);

## TriggerFcn for each manual trigger, TimerFcn while running; an error in
## a callback is a warning, and the acquisition goes on.
vid.UserData = {};
vid.FramesAcquiredFcn = [];
vid.StartFcn = @(o, e) error ("orx:test:boom", "boom");
vid.StopFcn = [];
vid.TriggerFcn = @orx_count_event;
vid.TimerFcn = @orx_count_event;
triggerconfig (vid, "manual");
vid.FramesPerTrigger = 2;
vid.TriggerRepeat = 1;
lastwarn ("");
out = evalc ("start (vid);");
[msg, id] = lastwarn ();
assert (id, "imaq:callback:failed");
assert (! isempty (strfind (msg, "StartFcn")) && ! isempty (strfind (msg, "boom")), msg);
assert (isrunning (vid));
try
  wait (vid, 0.3);
catch
end_try_catch
trigger (vid);
pause (0.1);
trigger (vid);
wait (vid, 10);
seen = vid.UserData;
types = cellfun (@(e) e.Type, seen, "UniformOutput", false);
assert (sum (strcmp (types, "Trigger")), 2);
assert (sum (strcmp (types, "Timer")) >= 3);
triggers = seen(strcmp (types, "Trigger"));
assert (cellfun (@(e) e.Data.TriggerIndex, triggers), [1 2]);
assert (vid.FramesAvailable, 4);
delete (vid);

## ErrorFcn on a lost device, with the message; the default prints it.
orx_test_rig ();
vid = videoinput ("orximaq", "Pixie Fickle");
vid.FramesPerTrigger = 20;
vid.UserData = {};
vid.ErrorFcn = @orx_count_event;
warning ("off", "all");
start (vid);
wait (vid, 10);
warning ("on", "all");
seen = vid.UserData;
types = cellfun (@(e) e.Type, seen, "UniformOutput", false);
assert (sum (strcmp (types, "Error")), 1);
err = seen{strcmp (types, "Error")};
assert (! isempty (strfind (err.Data.Message, "lost")), err.Data.Message);
assert (ischar (err.Data.MessageID) && ! isempty (err.Data.MessageID));
delete (vid);

vid = videoinput ("orximaq", "Pixie Fickle");
vid.FramesPerTrigger = 20;
warning ("off", "all");
out = evalc ("start (vid); wait (vid, 10);");
warning ("on", "all");
assert (! isempty (strfind (out, "Error event occurred")), out);
assert (! isempty (strfind (out, "lost")), out);
delete (vid);
orx_assert_no_leaks ();

## A script's own loop that polls the object's state runs the callbacks.
vid = videoinput ("orximaq", "Pixie Mono", "Y800 (64x48)");
vid.UserData = {};
vid.FramesPerTrigger = 8;
vid.FramesAcquiredFcnCount = 2;
vid.FramesAcquiredFcn = @orx_count_event;
start (vid);
t0 = tic ();
while (numel (vid.UserData) < 4 && toc (t0) < 10)
  pause (0.02);
  vid.FramesAcquired;
endwhile
assert (numel (vid.UserData), 4);
delete (vid);
orx_assert_no_leaks ();

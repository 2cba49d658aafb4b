## Manual triggers with repeats, the trigger settings on the engine, the
## metadata of every frame, and the event log.
orx_test_rig ();
vid = videoinput ("orximaq", "Pixie Mono", "Y800 (64x48)");

## Configuration: both types listed and taken; anything else refused.
info = triggerinfo (vid);
assert ({info.TriggerType}, {"immediate", "manual"});
assert (all (strcmp ({info.TriggerCondition}, "none")) && all (strcmp ({info.TriggerSource}, "none")));
assert (! isempty (strfind (evalc ("triggerinfo (vid)"), "'manual'")));
config = triggerconfig (vid, "manual");
assert (config.TriggerType, "manual");
assert (vid.TriggerType, "manual");
triggerconfig (vid, info(1));
assert (vid.TriggerType, "immediate");
orx_assert_error (@() triggerconfig (vid, "hardware"), "imaq:triggerconfig:invalidConfig");
orx_assert_error (@() triggerconfig (vid, "manual", "risingEdge"), "imaq:triggerconfig:invalidConfig");
orx_assert_error (@() triggerconfig (vid, info), "imaq:triggerconfig:invalidConfig");
orx_assert_error (@() triggerconfig (vid, 3), "imaq:triggerconfig:invalidConfig");
assert (vid.TriggerType, "immediate");
orx_assert_error (@() set (vid, "TriggerType", "manual"), "imaq:orximaq:readOnly");

## Settings: whole counts, TriggerRepeat also Inf.
vid.TriggerRepeat = Inf;
vid.TriggerRepeat = 2;
vid.TriggerFrameDelay = 4;
vid.TriggerFrameDelay = 0;
for bad = {-1, 1.5, NaN, "2", [1 2], true}
  orx_assert_error (@() set (vid, "TriggerRepeat", bad{1}), "imaq:orximaq:invalidValue");
  orx_assert_error (@() set (vid, "TriggerFrameDelay", bad{1}), "imaq:orximaq:invalidValue");
  orx_assert_error (@() set (vid, "FrameGrabInterval", bad{1}), "imaq:orximaq:invalidValue");
endfor
orx_assert_error (@() set (vid, "FrameGrabInterval", 0), "imaq:orximaq:invalidValue");
orx_assert_error (@() set (vid, "TriggerFrameDelay", Inf), "imaq:orximaq:invalidValue");

## TriggerCondition and TriggerSource: 'none' is their one value, set only
## through triggerconfig; direct writes are refused, even of 'none'.
assert (set (vid, "TriggerSource"), {"none"});
assert (set (vid, "TriggerCondition"), {"none"});
triggerconfig (vid, "immediate", "none", "none");
for name = {"TriggerSource", "TriggerCondition"}
  for value = {"none", "software", "risingEdge", 1}
    orx_assert_error_text (@() set (vid, name{1}, value{1}), "imaq:orximaq:readOnly", {name{1}, "triggerconfig"});
  endfor
  assert (get (vid, name{1}), "none");
endfor
orx_assert_error (@() triggerconfig (vid, "manual", "none", "software"), "imaq:triggerconfig:invalidConfig");
assert (vid.TriggerSource, "none");
assert (vid.TriggerType, "immediate");

## trigger refuses an immediate or idle object.
orx_assert_error (@() trigger (vid), "imaq:trigger:notManual");
triggerconfig (vid, "manual");
orx_assert_error (@() trigger (vid), "imaq:trigger:notRunning");
assert (vid.TriggersExecuted, 0);
assert (vid.InitialTriggerTime, []);

## The workflow: 3 frames per trigger, 2 repeats, three triggers, 9 frames;
## the acquisition stops by itself after the third.
vid.FramesPerTrigger = 3;
start (vid);
assert (vid.Running, "on");
pause (0.2);
assert (vid.FramesAcquired, 0);
assert (vid.TriggersExecuted, 0);
orx_assert_error (@() triggerconfig (vid, "immediate"), "imaq:orximaq:readOnlyWhileRunning");
orx_assert_error (@() set (vid, "TriggerRepeat", 5), "imaq:orximaq:readOnlyWhileRunning");
for k = 1:3
  trigger (vid);
  assert (vid.TriggersExecuted, k);
  ## The next trigger waits for this one's frames.
  t0 = tic ();
  while (vid.FramesAcquired < 3 * k && toc (t0) < 10)
    pause (0.02);
  endwhile
  if (k == 1)
    first = vid.InitialTriggerTime;
    assert (size (first), [1 6]);
    assert (abs (etime (clock (), first)) < 60);
  endif
endfor
wait (vid, 10);
assert (vid.Running, "off");
assert (vid.FramesAcquired, 9);
assert (vid.TriggersExecuted, 3);
assert (vid.InitialTriggerTime, first);
orx_assert_error (@() trigger (vid), "imaq:trigger:notRunning");
[data, t, meta] = getdata (vid, 9);
assert (size (data, 4), 9);
assert ([meta.TriggerIndex], [1 1 1 2 2 2 3 3 3]);
assert ([meta.RelativeFrame], [1 2 3 1 2 3 1 2 3]);
assert ([meta.FrameNumber], 1:9);
## Times from the first trigger: the first frame just after it, growing.
assert (t(1) >= 0 && t(1) < 1);
assert (all (diff (t) > 0));
assert (etime (meta(9).AbsTime, meta(1).AbsTime), t(9) - t(1), 1e-3);
assert (etime (meta(1).AbsTime, first), t(1), 1e-3);
## Frames within a trigger come one after another from the camera.
numbers = arrayfun (@(k) orx_frame_number (data(:, :, :, k)), 1:9);
assert (diff (numbers([1 2 3])), [1 1]);

## The event log: Start, three Triggers, Stop, each with its data.
log = vid.EventLog;
assert ({log.Type}, {"Start", "Trigger", "Trigger", "Trigger", "Stop"});
assert (arrayfun (@(e) e.Data.TriggerIndex, log(2:4))', [1 2 3]);
assert (log(5).Data.FrameNumber, 9);
assert (size (log(1).Data.AbsTime), [1 6]);
assert (etime (log(5).Data.AbsTime, log(1).Data.AbsTime) >= 0);
## A snapshot's own capture leaves the acquisition's record alone.
getsnapshot (vid);
assert (vid.TriggersExecuted, 3);
assert (vid.InitialTriggerTime, first);
assert (isequal (vid.EventLog, log));

## flushdata with frames of three triggers: 'triggers' removes the oldest
## trigger's frames at each call, 'all' the rest.
vid.FramesPerTrigger = 2;
vid.TriggerRepeat = 2;
start (vid);
for k = 1:3
  trigger (vid);
  t0 = tic ();
  while (vid.FramesAcquired < 2 * k && toc (t0) < 10)
    pause (0.02);
  endwhile
endfor
wait (vid, 10);
assert (vid.FramesAvailable, 6);
flushdata (vid, "triggers");
assert (vid.FramesAvailable, 4);
[~, ~, meta] = peekdata (vid, 4);
assert ([meta.TriggerIndex], [2 2 3 3]);
## A trigger partly taken: only its remaining frame goes.
getdata (vid, 1);
flushdata (vid, "Triggers");
[~, ~, meta] = peekdata (vid, 2);
assert ([meta.TriggerIndex], [3 3]);
assert ([meta.RelativeFrame], [1 2]);
flushdata (vid, "all");
assert (vid.FramesAvailable, 0);
flushdata (vid, "triggers");
assert (vid.FramesAvailable, 0);
assert (vid.FramesAcquired, 6);

## Logging only from a trigger until its frames came; wait (..., 'logging')
## returns then, while the acquisition still runs.  A trigger is refused
## while the previous one still logs, and taken once it is done.
vid.FramesPerTrigger = 20;
vid.TriggerRepeat = 1;
start (vid);
assert ({vid.Running, vid.Logging, islogging(vid)}, {"on", "off", false});
trigger (vid);
assert ({vid.Logging, islogging(vid)}, {"on", true});
orx_assert_error_text (@() trigger (vid), "imaq:orximaq:hostError", {"still logging"});
assert (vid.TriggersExecuted, 1);
wait (vid, 10, "logging");
assert ({vid.Running, vid.Logging, islogging(vid), vid.FramesAcquired}, {"on", "off", false, 20});
orx_assert_error_text (@() wait (vid, 0.1), "imaq:wait:timeout", {"running"});
trigger (vid);
wait (vid, 10);
assert (vid.TriggersExecuted, 2);
assert (vid.FramesAcquired, 40);
flushdata (vid);

## TriggerRepeat Inf runs until stop.
vid.TriggerRepeat = Inf;
vid.FramesPerTrigger = 1;
start (vid);
for k = 1:5
  trigger (vid);
  t0 = tic ();
  while (vid.FramesAcquired < k && toc (t0) < 10)
    pause (0.02);
  endwhile
endfor
assert (vid.Running, "on");
stop (vid);
assert (vid.TriggersExecuted, 5);
[~, ~, meta] = getdata (vid, 5);
assert ([meta.TriggerIndex], 1:5);

## Immediate with a frame delay and a grab interval: the camera's frame
## numbers skip the delay, then step by the interval.
triggerconfig (vid, "immediate");
vid.TriggerRepeat = 0;
vid.FramesPerTrigger = 4;
vid.FrameGrabInterval = 3;
vid.TriggerFrameDelay = 2;
start (vid);
wait (vid, 10);
[data, ~, meta] = getdata (vid, 4);
numbers = arrayfun (@(k) orx_frame_number (data(:, :, :, k)), 1:4);
assert (diff (numbers), [3 3 3]);
assert ([meta.FrameNumber], 1:4);
assert (vid.TriggersExecuted, 1);

## Immediate with repeats: the next trigger follows by itself.
vid.FrameGrabInterval = 1;
vid.TriggerFrameDelay = 0;
vid.FramesPerTrigger = 2;
vid.TriggerRepeat = 2;
start (vid);
wait (vid, 10);
[~, ~, meta] = getdata (vid, 6);
assert ([meta.TriggerIndex], [1 1 2 2 3 3]);
assert (vid.TriggersExecuted, 3);
delete (vid);
orx_assert_no_leaks ();

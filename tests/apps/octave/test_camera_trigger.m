## A camera's own trigger from Octave: the trigger switched on through the
## source's property, an immediate trigger repeated without end, one frame per
## push of the software trigger, and stop while the camera waits.
vid = videoinput ("orximaq", "ORX Colour 2448", "RGB24 (640x480)");
src = getselectedsource (vid);
assert (ismember ("TriggerSoftwareTrigger", fieldnames (get (src))));
src.Trigger = "Enable";
vid.FramesPerTrigger = 1;
vid.TriggerRepeat = Inf;
start (vid);
pause (0.3);
assert (vid.FramesAcquired, 0);
for pushed = 1:3
  src.TriggerSoftwareTrigger = "Push";
  t0 = tic ();
  while (vid.FramesAcquired < pushed && toc (t0) < 5)
    pause (0.01);
  endwhile
  assert (vid.FramesAcquired, pushed);
endfor
pause (0.2);
assert (vid.FramesAcquired, 3);
assert (src.TriggerSoftwareTrigger, "Ready");
stop (vid);
wait (vid, 5);
[frames, ~, meta] = getdata (vid, vid.FramesAvailable);
assert (size (frames, 4), 3);
assert ([meta.TriggerIndex], [1 2 3]);

## A camera waiting for its trigger sends nothing: getsnapshot ends after
## Timeout with an error saying so, alone or during an acquisition, and
## the object stays usable.
vid.Timeout = 0.5;
orx_assert_error_text (@() getsnapshot (vid), "imaq:getsnapshot:noFrame", {"No frame", "snapshot", "within 0.5 s"});
assert ({vid.Running, vid.FramesAvailable}, {"off", 0});
start (vid);
orx_assert_error_text (@() getsnapshot (vid), "imaq:getsnapshot:noFrame", {"No frame", "within 0.5 s"});
assert (vid.Running, "on");
src.TriggerSoftwareTrigger = "Push";
t0 = tic ();
while (vid.FramesAcquired < 1 && toc (t0) < 5)
  pause (0.01);
endwhile
stop (vid);
assert (vid.FramesAcquired, 1);
flushdata (vid);
vid.Timeout = 10;

## Switched off, the camera streams again.
src.Trigger = "Disable";
vid.TriggerRepeat = 0;
vid.FramesPerTrigger = 5;
start (vid);
wait (vid, 10);
assert (vid.FramesAcquired, 5);
flushdata (vid);
assert (size (getsnapshot (vid)), [480 640 3]);
delete (vid);
orx_assert_no_leaks ();

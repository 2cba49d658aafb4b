## start empties the buffer and resets the counts; peekdata leaves frames,
## getdata removes them oldest first; flushdata; getsnapshot; wait timeouts.
orx_test_rig ();
vid = videoinput ("orximaq", "Pixie Mono", "Y800 (64x48)");
vid.FramesPerTrigger = 6;
start (vid);
wait (vid, 10);
assert (vid.FramesAcquired, 6);
assert (vid.FramesAvailable, 6);
assert (vid.Running, "off");
peeked = peekdata (vid, 2);
assert (size (peeked, 4), 2);
assert (vid.FramesAvailable, 6);
[first, t, meta] = getdata (vid, 2);
assert ([meta.FrameNumber], [1 2]);
assert ([meta.RelativeFrame], [1 2]);
assert ([meta.TriggerIndex], [1 1]);
## Times from the start (the trigger), increasing; AbsTime a clock vector.
assert (t(1) >= 0 && t(1) < 5 && t(2) > t(1));
assert (size (meta(1).AbsTime), [1 6]);
assert (abs (etime (clock (), meta(2).AbsTime)) < 60);
assert (etime (meta(2).AbsTime, meta(1).AbsTime), t(2) - t(1), 1e-3);
assert (isequal (first(:, :, :, 1), first(:, :, :, 1)));
assert (vid.FramesAvailable, 4);
rest = getdata (vid, 4);
assert (orx_frame_number (rest(:, :, :, 1)), orx_frame_number (first(:, :, :, 2)) + 1);
assert (isequal (peeked(:, :, :, 2), rest(:, :, :, 4)));
orx_assert_error (@() getdata (vid, 1), "imaq:getdata:tooFewFrames");

## start flushes what the last acquisition left.
start (vid);
wait (vid, 10);
start (vid);
wait (vid, 10);
assert (vid.FramesAcquired, 6);
assert (vid.FramesAvailable, 6);
flushdata (vid);
assert (vid.FramesAvailable, 0);

## Frames flow while Octave runs other code.
vid.FramesPerTrigger = Inf;
start (vid);
pause (0.2);
seen = vid.FramesAvailable;
pause (0.2);
assert (vid.FramesAvailable > seen);
orx_assert_error (@() wait (vid, 0.1), "imaq:wait:timeout");
stop (vid);
n = vid.FramesAvailable;
data = getdata (vid, n);
assert (size (data, 4), n);
frames = arrayfun (@(k) orx_frame_number (data(:, :, :, k)), 1:n);
assert (all (diff (frames) == 1));

## A snapshot leaves the counts of the last acquisition alone; with frames
## buffered it refuses rather than discard them; while running it takes the
## next frame from the stream and leaves the buffer to getdata.
vid.FramesPerTrigger = 5;
start (vid);
wait (vid, 10);
acquired = vid.FramesAcquired;
before = peekdata (vid, 5);
orx_assert_error (@() getsnapshot (vid), "imaq:getsnapshot:framesBuffered");
assert (vid.FramesAvailable, 5);
assert (isequal (getdata (vid, 5), before));
[snap, t, meta] = getsnapshot (vid);
assert (size (snap), [48 64]);
assert (vid.FramesAcquired, acquired);
assert (vid.FramesAvailable, 0);
assert (vid.FramesPerTrigger, 5);
vid.FramesPerTrigger = Inf;
start (vid);
pause (0.1);
live = getsnapshot (vid);
assert (size (live), [48 64]);
assert (orx_frame_number (live) >= 1);
assert (isrunning (vid));
stop (vid);
assert (vid.FramesAvailable > 0);
delete (vid);
orx_assert_no_leaks ();

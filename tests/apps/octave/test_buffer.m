## The host's buffer behind getdata: 600 frames of a 16 x 4 format all kept;
## past the memory limit frames are counted in FramesAcquired but not kept,
## and a warning says how many; Inf timeouts wait until the frames come.
imaqreset ();
__orximaq__ ("defaultrig");
vid = videoinput ("orximaq", 2, "Y800 (16x4)");
vid.FramesPerTrigger = 600;
lastwarn ("");
start (vid);
wait (vid, 60);
assert (vid.FramesAcquired, 600);
assert (vid.FramesAvailable, 600);
assert (lastwarn (), "");
data = getdata (vid);
assert (size (data), [4 16 1 600]);
delete (vid);

orx_test_rig ();
vid = videoinput ("orximaq", "Pixie Mono", "Y800 (64x48)");
## Room for exactly five frames of 64 x 48 bytes.
imaqmem (5 * 64 * 48);
assert (imaqmem ("FrameMemoryLimit"), 5 * 64 * 48);
vid.FramesPerTrigger = Inf;
start (vid);
while (vid.FramesAcquired < 12)
  pause (0.02);
endwhile
lastwarn ("");
stop (vid);
[message, id] = lastwarn ();
assert (id, "imaq:orximaq:framesNotKept");
acquired = vid.FramesAcquired;
assert (vid.FramesAvailable, 5);
assert (! isempty (strfind (message, sprintf ("%d of %d frames", acquired - 5, acquired))), message);
## The kept ones are the first five, in order.
kept = getdata (vid, 5);
assert (arrayfun (@(k) orx_frame_number (kept(:, :, :, k)), 1:5), ...
        orx_frame_number (kept(:, :, :, 1)) + (0:4));
## A finite request ends once that many frames came, kept or not.
vid.FramesPerTrigger = 12;
lastwarn ("");
start (vid);
wait (vid, 30);
[message, id] = lastwarn ();
assert (id, "imaq:orximaq:framesNotKept");
assert (vid.FramesAcquired, 12);
assert (vid.FramesAvailable, 5);
assert (! isempty (strfind (message, "7 of 12 frames")), message);
flushdata (vid);
imaqmem (2^30);
assert (imaqmem (), struct ("FrameMemoryLimit", 2^30, "FrameLimit", 4096));
assert (! isempty (strfind (evalc ("imaqmem ()"), "FrameMemoryLimit")));
orx_assert_error (@() imaqmem (0), "imaq:imaqmem:invalidLimit");
orx_assert_error (@() imaqmem (NaN), "imaq:imaqmem:invalidLimit");

## Timeout Inf: getdata waits as long as the frames take.
vid.Timeout = Inf;
vid.FramesPerTrigger = 8;
start (vid);
data = getdata (vid);
assert (size (data, 4), 8);
wait (vid, Inf);
assert (vid.Running, "off");
delete (vid);
orx_assert_no_leaks ();

## A lost device mid-acquisition: getdata returns the frames it has, then
## errors with a clear message. An adaptor failure in a property read is an
## Octave error, and the session goes on.
orx_test_rig ();
vid = videoinput ("orximaq", "Pixie Fickle");
src = getselectedsource (vid);
assert (src.Brightness, 5);
orx_assert_error (@() src.Gain, "imaq:orximaq:getFailed");
warning ("off", "imaq:orximaq:getFailed");
values = get (src);
warning ("on", "imaq:orximaq:getFailed");
assert (values.Brightness, 5);
assert (src.Brightness, 5);

vid.FramesPerTrigger = 20;
warning ("off", "all");
start (vid);
wait (vid, 10);
warning ("on", "all");
got = vid.FramesAvailable;
assert (got > 0 && got < 20);
data = getdata (vid, got);
assert (size (data, 4), got);
try
  getdata (vid, 1);
  error ("orx:test", "getdata after the lost device did not fail");
catch err
  assert (err.identifier, "imaq:getdata:tooFewFrames");
  assert (! isempty (strfind (err.message, "lost")), err.message);
end_try_catch
delete (vid);
orx_assert_no_leaks ();

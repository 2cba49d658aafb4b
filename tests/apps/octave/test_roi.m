## ROIPosition: the region camera rounds to its steps and says so; the
## others take the region as given.
orx_test_rig ();
vid = videoinput ("orximaq", "Pixie Mono", "Y800 (64x48)");
lastwarn ("");
vid.ROIPosition = [8 6 32 20];
assert (vid.ROIPosition, [8 6 32 20]);
assert (lastwarn (), "");
vid.ROIPosition = [9 7 31 19];
roi = vid.ROIPosition;
[~, id] = lastwarn ();
assert (id, "imaq:orximaq:roiAdjusted");
assert (! isequal (roi, [9 7 31 19]));
assert (mod (roi(3), 4), 0);
assert (mod (roi(4), 2), 0);
vid.FramesPerTrigger = 2;
start (vid);
data = getdata (vid, 2);
assert (size (data), [roi(4) roi(3) 1 2]);
orx_assert_error (@() set (vid, "ROIPosition", [0 0 65 48]), "imaq:orximaq:invalidROI");
orx_assert_error (@() set (vid, "ROIPosition", [0 0 -1 48]), "imaq:orximaq:invalidValue");
orx_assert_error (@() set (vid, "ROIPosition", [0 0 16]), "imaq:orximaq:invalidValue");
delete (vid);

## A camera without hardware cropping: the value read back is the adaptor's,
## a change is announced, and the frames have the size read back.
vid = videoinput ("orximaq", "Pixie Colour", "RGB24 (32x24)");
lastwarn ("");
vid.ROIPosition = [0 0 32 24];
assert (vid.ROIPosition, [0 0 32 24]);
assert (lastwarn (), "");
vid.ROIPosition = [3 5 17 11];
roi = vid.ROIPosition;
if (! isequal (roi, [3 5 17 11]))
  [~, id] = lastwarn ();
  assert (id, "imaq:orximaq:roiAdjusted");
endif
vid.FramesPerTrigger = 1;
start (vid);
data = getdata (vid, 1);
assert (size (data), [roi(4) roi(3) 3]);
delete (vid);
orx_assert_no_leaks ();

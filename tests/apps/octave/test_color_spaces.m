## ReturnedColorSpace converted by the runtime, checked against reference
## pixels of the same scene; NumberOfBands follows it.
orx_test_rig ();
vid = videoinput ("orximaq", "Pixie Colour", "RGB24 (32x24)");
assert (vid.ReturnedColorSpace, "rgb");
assert (vid.NumberOfBands, 3);
assert (set (vid, "ReturnedColorSpace"), {"rgb", "grayscale", "YCbCr"});
orx_assert_error (@() set (vid, "ReturnedColorSpace", "bayer"), "imaq:orximaq:invalidValue");
orx_assert_error (@() set (vid, "ReturnedColorSpace", "hsv"), "imaq:orximaq:invalidValue");
orx_assert_error (@() set (vid, "ReturnedColorSpace", 3), "imaq:orximaq:invalidValue");
orx_assert_error (@() set (vid, "BayerSensorAlignment", "abcd"), "imaq:orximaq:invalidValue");
## The frame-number stamp in the top rows changes from frame to frame; the
## rows below it are the same scene in every frame.
rows = 3:24;
rgb = getsnapshot (vid);
assert (size (rgb), [24 32 3]);

vid.ReturnedColorSpace = "grayscale";
assert (vid.ReturnedColorSpace, "grayscale");
assert (vid.NumberOfBands, 1);
gray = getsnapshot (vid);
assert (size (gray), [24 32]);
assert (class (gray), "uint8");
assert (max (abs (double (gray(rows, :)) - double (rgb2gray (rgb)(rows, :)))(:)) <= 1);

vid.ReturnedColorSpace = "ycbcr";
assert (vid.ReturnedColorSpace, "YCbCr");
assert (vid.NumberOfBands, 3);
vid.FramesPerTrigger = 2;
start (vid);
wait (vid, 10);
ycc = getdata (vid, 2);
assert (size (ycc), [24 32 3 2]);
## BT.601 in 8 bits: Y from 16 to 235, chroma around 128.
r = double (rgb(rows, :, 1)); g = double (rgb(rows, :, 2)); b = double (rgb(rows, :, 3));
y = 16 + (65.481 * r + 128.553 * g + 24.966 * b) / 255;
assert (max (abs (double (ycc(rows, :, 1, 1)) - y)(:)) <= 1);
cb = 128 + (-37.797 * r - 74.203 * g + 112 * b) / 255;
assert (max (abs (double (ycc(rows, :, 2, 1)) - cb)(:)) <= 1);

vid.ReturnedColorSpace = "rgb";
assert (isequal (getsnapshot (vid)(rows, :, :), rgb(rows, :, :)));
delete (vid);

## A grey format: rgb repeats the grey value; bayer demosaics with the
## alignment given; set lists bayer.
vid = videoinput ("orximaq", "Pixie Mono", "Y800 (64x48)");
assert (vid.NumberOfBands, 1);
assert (any (strcmp (set (vid, "ReturnedColorSpace"), "bayer")));
gray = getsnapshot (vid);
vid.ReturnedColorSpace = "rgb";
assert (vid.NumberOfBands, 3);
rgb = getsnapshot (vid);
assert (size (rgb), [48 64 3]);
assert (isequal (rgb(rows, :, 1), rgb(rows, :, 2), rgb(rows, :, 3), gray(rows, :)));
vid.ReturnedColorSpace = "bayer";
vid.BayerSensorAlignment = "rggb";
assert (vid.BayerSensorAlignment, "rggb");
assert (vid.NumberOfBands, 3);
demosaiced = getsnapshot (vid);
assert (size (demosaiced), [48 64 3]);
## Red sites of an RGGB mosaic keep their sample as red.
assert (isequal (demosaiced(3:2:48, 1:2:64, 1), gray(3:2:48, 1:2:64)));
## The 16-bit format keeps 16 bits.
delete (vid);
vid = videoinput ("orximaq", "Pixie Mono", "Y16 (64x48)");
vid.ReturnedColorSpace = "rgb";
frame = getsnapshot (vid);
assert (class (frame), "uint16");
assert (size (frame), [48 64 3]);
vid.FramesPerTrigger = Inf;
start (vid);
orx_assert_error (@() set (vid, "ReturnedColorSpace", "grayscale"), "imaq:orximaq:readOnlyWhileRunning");
stop (vid);
delete (vid);
orx_assert_no_leaks ();

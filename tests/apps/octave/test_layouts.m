## Every pixel layout's class and size, colour as R, G, B planes, and getdata
## of N frames in order (the frame numbers the test pattern carries).
orx_test_rig ();
layouts = {"Pixie Mono", "Y800 (64x48)", "uint8", [48 64 1]; ...
           "Pixie Mono", "Y16 (64x48)", "uint16", [48 64 1]; ...
           "Pixie Colour", "RGB24 (32x24)", "uint8", [24 32 3]; ...
           "Pixie Colour", "RGB32 (32x24)", "uint8", [24 32 3]};
for i = 1:rows (layouts)
  vid = videoinput ("orximaq", layouts{i, 1}, layouts{i, 2});
  assert (imaqhwinfo (vid).NativeDataType, layouts{i, 3});
  vid.FramesPerTrigger = 8;
  start (vid);
  wait (vid, 10);
  [data, t, meta] = getdata (vid, 8);
  assert (class (data), layouts{i, 3});
  assert (size (data), [layouts{i, 4}, 8]);
  assert (size (t), [8 1]);
  assert (all (diff (t) > 0));
  assert ([meta.FrameNumber], 1:8);
  numbers = arrayfun (@(k) orx_frame_number (data(:, :, :, k)), 1:8);
  assert (isequal (diff (numbers), ones (1, 7)), "frames out of order in %s", layouts{i, 2});
  if (layouts{i, 4}(3) == 3)
    ## The pattern's bands differ: planes in B,G,R order would not match the
    ## host's bytes swapped back.
    assert (! isequal (data(:, :, 1, 1), data(:, :, 3, 1)));
  endif
  delete (vid);
endfor
orx_assert_no_leaks ();

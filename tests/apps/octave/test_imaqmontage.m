## imaqmontage lays frames out in rows, first frame top left, unused tiles
## black, and shows them in an image object; bad input is refused.
## Without a display, the test runs again in an Octave under Xvfb.
if (isempty (available_graphics_toolkits ()))
  [status, output] = system (sprintf ("xvfb-run -a '%s' --no-gui --quiet --no-init-file --eval \"addpath ('%s'); test_imaqmontage\" 2>&1",
                                      getenv ("ORX_OCTAVE_CLI"), getenv ("ORX_OCTAVE_PATHS")));
  assert (status, 0, output);
  return;
endif
set (0, "defaultfigurevisible", "off");
frames = uint8 (zeros (2, 3, 1, 5));
for k = 1:5
  frames(:, :, 1, k) = k;
endfor
[h, m] = imaqmontage (frames);
assert (size (m), [4 9]);
assert (m, uint8 ([1 1 1 2 2 2 3 3 3; 1 1 1 2 2 2 3 3 3; 4 4 4 5 5 5 0 0 0; 4 4 4 5 5 5 0 0 0]));
assert (isequal (get (h, "CData"), m));
rgb = uint16 (ones (2, 2, 3, 4));
rgb(:, :, 2, 4) = 7;
[~, m] = imaqmontage (rgb);
assert (size (m), [4 4 3]);
assert (m(3:4, 3:4, 2), uint16 (7 * ones (2)));
[~, m] = imaqmontage (uint8 (magic (4)));
assert (m, uint8 (magic (4)));
for bad = {[], ones(2, 2, 2), "abc", complex(ones(2), 1), {1}}
  orx_assert_error (@() imaqmontage (bad{1}), "imaq:imaqmontage:invalidFrames");
endfor
orx_test_rig ();
vid = videoinput ("orximaq", "Pixie Colour");
[~, m] = imaqmontage (vid);
assert (size (m), [24 32 3]);
delete (vid);
close all;
orx_assert_no_leaks ();

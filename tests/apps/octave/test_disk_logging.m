## LoggingMode 'disk' and 'disk&memory' with the package's writer: the
## runtime writes each acquisition's frames; the pages read back are the
## frames the buffer got. The writer on its own writes what it is given.
orx_test_rig ();
dir = tempname ();
mkdir (dir);
vid = videoinput ("orximaq", "Pixie Mono", "Y800 (64x48)");
assert (vid.LoggingMode, "memory");
assert (set (vid, "LoggingMode"), {"memory", "disk", "disk&memory"});
orx_assert_error (@() set (vid, "LoggingMode", "file"), "imaq:orximaq:invalidValue");
orx_assert_error (@() set (vid, "DiskLogger", "out.tif"), "imaq:orximaq:invalidValue");
orx_assert_error (@() orximaqwriter (""), "imaq:orximaqwriter:invalidFilename");
orx_assert_error (@() orximaqwriter ("a.tif", "mp4"), "imaq:orximaqwriter:invalidFormat");
vid.LoggingMode = "disk&memory";
orx_assert_error (@() start (vid), "imaq:start:noDiskLogger");

file = fullfile (dir, "run.tif");
writer = orximaqwriter (file);
assert (writer.FileFormat, "tiff-stack");
vid.DiskLogger = writer;
vid.FramesPerTrigger = 6;
start (vid);
wait (vid, 10);
t0 = tic ();
while (vid.DiskLoggerFrameCount < 6 && toc (t0) < 10)
  pause (0.02);
endwhile
assert (vid.DiskLoggerFrameCount, 6);
frames = getdata (vid, 6);
info = imfinfo (file);
assert (numel (info), 6);
for k = [1 4 6]
  assert (isequal (imread (file, k), frames(:, :, 1, k)), sprintf ("page %d", k));
endfor

## 'disk': nothing in memory; each start writes the file afresh.
vid.LoggingMode = "disk";
vid.FramesPerTrigger = 4;
start (vid);
wait (vid, 10);
t0 = tic ();
while (vid.DiskLoggerFrameCount < 4 && toc (t0) < 10)
  pause (0.02);
endwhile
assert (vid.DiskLoggerFrameCount, 4);
assert (vid.FramesAvailable, 0);
assert (numel (imfinfo (file)), 4);
vid.LoggingMode = "memory";
vid.DiskLogger = [];

## A file that cannot be created: start says so, and the object stays usable.
vid.LoggingMode = "disk";
vid.DiskLogger = orximaqwriter (fullfile (dir, "no-such-dir", "x.tif"));
try
  start (vid);
  wait (vid, 10);
  assert (vid.DiskLoggerFrameCount, 0);
catch err
  assert (! isempty (err.message));
end_try_catch
vid.LoggingMode = "memory";
vid.FramesPerTrigger = 2;
start (vid);
wait (vid, 10);
assert (vid.FramesAvailable, 2);
delete (vid);

## The writer on its own: grey and colour frames, read back page by page.
w = orximaqwriter (fullfile (dir, "own.tif"));
orx_assert_error (@() writeVideo (w, uint8 (1)), "imaq:orximaqwriter:notOpen");
open (w);
a = uint8 (reshape (0:47, 6, 8));
writeVideo (w, a);
writeVideo (w, cat (4, a + 1, a + 2));
orx_assert_error (@() writeVideo (w, uint8 (zeros (3, 3))), "imaq:orximaqwriter:invalidFrames");
orx_assert_error (@() writeVideo (w, single (a)), "imaq:orximaqwriter:invalidFrames");
assert (w.FrameCount, 3);
close (w);
assert (numel (imfinfo (w.Filename)), 3);
assert (imread (w.Filename, 1), a);
assert (imread (w.Filename, 3), a + 2);
c = orximaqwriter (fullfile (dir, "colour.tif"));
open (c);
rgb = uint8 (cat (3, 10 * ones (4, 5), 20 * ones (4, 5), 30 * ones (4, 5)));
rgb(2, 3, :) = [200 100 50];
writeVideo (c, rgb);
close (c);
assert (imread (c.Filename, 1), rgb);
avi = orximaqwriter (fullfile (dir, "own.avi"));
assert (avi.FileFormat, "avi");
open (avi);
writeVideo (avi, cat (4, a, a));
close (avi);
fid = fopen (avi.Filename, "r");
head = fread (fid, 12, "uint8=>char")';
fclose (fid);
assert (head([1:4 9:12]), "RIFFAVI ");
confirm_recursive_rmdir (false, "local");
rmdir (dir, "s");
orx_assert_no_leaks ();

## The preview window, in the full octave with the Qt toolkit on a virtual
## display: the default rig's camera, as a user starts it.  The screenshot of
## the window must show the camera's test pattern above a status line; a
## preview during an acquisition takes no logged frame; closing the window by
## hand, deleting the object, clear all and exit leave Octave sound.
## ORX_PREVIEW_SCREENSHOT names a file that receives the screenshot.
graphics_toolkit ("qt");
warning ("off", "ORXadaptor:constructor");
imaqreset ();
vid = videoinput ("orximaq", 1, "RGB24 (640x480)");
reference = getsnapshot (vid);
assert (vid.Previewing, "off");

## Lets Octave's thread run the package's updates, as a script's loop does.
function pump (vid, seconds)
  t0 = tic ();
  while (toc (t0) < seconds)
    vid.FramesAcquired;
    pause (0.02);
  endwhile
endfunction
function line = status_line (fig)
  texts = findall (fig, "type", "text");
  strings = get (texts, "String");
  line = strings{! cellfun ("isempty", strings)};
endfunction

preview (vid);
assert (vid.Previewing, "on");
fig = __orximaq_preview__ ("figure", vid.GatewayHandle);
assert (ishghandle (fig));
pump (vid, 1.5);
line = status_line (fig);
assert (! isempty (regexp (line, '^ORX Colour 2448  \|  640x480  \|  [0-9.]+ FPS  \|  Time stamp \d\d:\d\d:\d\d\.\d{3}$', "once")),
        "status line: %s", line);

## The screenshot: the image region is the test pattern (scaled or not), the
## strip below it the status line's dark bar with light text.
shot = getframe (fig).cdata;
shown = get (findall (fig, "type", "image"), "CData");
assert (shown, reference);
image_rows = round (rows (shot) * 480 / 504);
region = shot(1:image_rows, :, :);
ry = round (linspace (1, rows (region), 480));
rx = round (linspace (1, columns (region), 640));
difference = abs (double (region(ry, rx, :)) - double (reference));
assert (mean (difference(:)) < 6, "the preview differs from the frame by %g on average", mean (difference(:)));
bar = double (shot(image_rows + 3:end, :, :));
assert (median (bar(:)) < 80 && max (bar(:)) > 180, "no status line below the image");
if (! isempty (getenv ("ORX_PREVIEW_SCREENSHOT")))
  imwrite (shot, getenv ("ORX_PREVIEW_SCREENSHOT"));
endif

## A stopped preview keeps its image; preview goes on in the same window.
stoppreview (vid);
assert (vid.Previewing, "off");
pump (vid, 0.3);
assert (strcmp (status_line (fig), "Preview stopped"));
preview (vid);
assert (__orximaq_preview__ ("figure", vid.GatewayHandle), fig);

## During an acquisition it shows logged frames and takes none of them.
vid.FramesPerTrigger = 60;
vid.UserData = 0;
vid.StartFcn = @(v, ~) set (v, "UserData", v.UserData + 1);
start (vid);
seen_logging = false;
while (isrunning (vid))
  pump (vid, 0.05);
  seen_logging = seen_logging || ! isempty (strfind (status_line (fig), "Logging"));
endwhile
assert (seen_logging);
[~, ~, meta] = getdata (vid, 60);
assert ([meta.FrameNumber], 1:60);
assert (vid.FramesAvailable, 0);
## The frames it takes on its own afterwards are no acquisition of the user's.
events = vid.EventLog;
pump (vid, 0.5);
assert ({vid.FramesAcquired, vid.UserData, vid.EventLog}, {60, 1, events});

## Frames left in the buffer are not lost to the preview.
start (vid);
wait (vid);
pump (vid, 0.3);
assert (vid.FramesAvailable, 60);
assert (! isempty (strfind (status_line (fig), "buffered")));
flushdata (vid);

## Closing the window by hand ends the preview; the object stays usable.
close (fig);
assert (! ishghandle (fig));
assert (vid.Previewing, "off");
assert (size (getsnapshot (vid)), [480 640 3]);

## A grey camera's frames show as grey RGB, at the new size after a region
## change; a window deleted outright ends the preview.
grey = videoinput ("orximaq", 2, "Y800 (640x480)");
preview (grey);
pump (grey, 0.3);
grey.ROIPosition = [0 0 320 240];
pump (grey, 0.3);
fig = __orximaq_preview__ ("figure", grey.GatewayHandle);
shown = get (findall (fig, "type", "image"), "CData");
assert (size (shown), [240 320 3]);
assert (class (shown), "uint8");
assert (isequal (shown(:, :, 1), shown(:, :, 2), shown(:, :, 3)));
delete (fig);
assert (grey.Previewing, "off");
pump (grey, 0.1);
preview (grey);
assert (grey.Previewing, "on");
delete (grey);

## closepreview () closes every preview; deleting a previewing object closes its own.
other = videoinput ("orximaq", 1, "RGB24 (640x480)");
preview (vid);
preview (other);
figs = [__orximaq_preview__("figure", vid.GatewayHandle), __orximaq_preview__("figure", other.GatewayHandle)];
closepreview ();
assert (! any (ishghandle (figs)));
assert ({vid.Previewing, other.Previewing}, {"off", "off"});
preview (other);
fig = __orximaq_preview__ ("figure", other.GatewayHandle);
delete (other);
assert (! ishghandle (fig));
pump (vid, 0.2);
orx_assert_error (@() preview (other), "imaq:videoinput:invalidObject");

## closepreview (vid) closes that object's window alone; an array previews
## every member in a window of its own and closes them all.
third = videoinput ("orximaq", 1, "RGB24 (640x480)");
pair = [vid, third];
preview (pair);
pump (vid, 0.2);
figs = [__orximaq_preview__("figure", vid.GatewayHandle), __orximaq_preview__("figure", third.GatewayHandle)];
assert (all (ishghandle (figs)) && figs(1) != figs(2));
closepreview (vid);
assert (ishghandle (figs), [false true]);
assert ({vid.Previewing, third.Previewing}, {"off", "on"});
closepreview (pair);
assert (! any (ishghandle (figs)));
assert (third.Previewing, "off");
delete (third);
delete (vid);

## In child processes: clear all, delete and exit while previewing, with
## and without an acquisition; a crash is exit code 139.
pump_it = "for i = 1:20, vid.FramesAcquired; pause (0.02); end;";
cases = {["preview (vid); " pump_it " clear all; vid = imaqfind (){1}; " pump_it " exit (merge (strcmp (vid.Previewing, 'on'), 3, 4));"],
         ["preview (vid); start (vid); " pump_it " exit (3);"],
         ["preview (vid); " pump_it " delete (vid); drawnow (); exit (3);"],
         ["preview (vid); " pump_it " imaqreset (); exit (3);"]};
for k = 1:numel (cases)
  script = [tempname() ".m"];
  fid = fopen (script, "w");
  fprintf (fid, "addpath ('%s'); graphics_toolkit ('qt'); warning ('off', 'all');\n", getenv ("ORX_OCTAVE_PATHS"));
  fprintf (fid, "vid = videoinput ('orximaq', 1, 'RGB24 (640x480)'); vid.FramesPerTrigger = Inf;\n%s\n", cases{k});
  fclose (fid);
  [status, output] = system (sprintf ("'%s' --no-gui --quiet --no-init-file '%s' 2>&1",
                                      getenv ("ORX_OCTAVE_GUI"), script));
  delete (script);
  if (status != 3)
    error ("orx:test", "%s\nexit code %d:\n%s", cases{k}, status, output);
  endif
endfor

orx_assert_no_leaks ();

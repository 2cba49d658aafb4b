## -*- texinfo -*-
## @deftypefn {} {@var{out} =} __orximaq_preview__ (@var{command}, @dots{})
## The preview windows of the video inputs, by gateway handle: "open" (vid),
## "stop" (h), "close" (h), "closeall", "update", "previewing" (h) and
## "figure" (h).  "update" shows a new frame in every running preview; the
## callbacks' dispatch calls it on Octave's own thread (from the input event
## hook at the prompt, wait, getdata and the reads of the acquisition's state).
## While an acquisition runs, a preview shows its newest logged frame, left in
## the buffer; otherwise it takes one frame on its own, as getsnapshot does.
## Locked, so that @code{clear all} leaves open previews working.
## @end deftypefn
function out = __orximaq_preview__ (command, arg)
  persistent previews = struct ("Handle", {}, "Figure", {}, "Image", {}, "Status", {},
                                "Running", {}, "Device", {}, "LastShown", {},
                                "LastFrame", {}, "Times", {});
  persistent busy = false
  mlock ();
  out = [];
  switch (command)
    case "open"
      previews = open_preview (previews, arg);
    case "stop"
      k = find ([previews.Handle] == arg);
      if (! isempty (k))
        previews(k).Running = false;
        show_status (previews(k), "Preview stopped");
      endif
    case "close"
      k = find ([previews.Handle] == arg);
      if (! isempty (k))
        closing = previews(k);
        previews(k) = [];
        delete_figure (closing.Figure);
      endif
    case "closeall"
      closing = previews;
      previews = previews([]);
      arrayfun (@(p) delete_figure (p.Figure), closing);
    case "previewing"
      k = find ([previews.Handle] == arg);
      ## A window deleted without its close request (delete (fig)) ends it too.
      out = ! isempty (k) && previews(k).Running && ishghandle (previews(k).Figure);
    case "figure"
      k = find ([previews.Handle] == arg);
      out = [previews(k).Figure];
    case "update"
      if (busy || ! any ([previews.Running]))
        return;
      endif
      busy = true;
      unwind_protect
        [previews, shown] = update_all (previews);
      unwind_protect_cleanup
        busy = false;
      end_unwind_protect
      ## Last: the figures' callbacks that drawnow runs may open or close
      ## previews themselves.
      if (shown)
        drawnow ();
      endif
  endswitch
endfunction

function previews = open_preview (previews, obj)
  h = obj.GatewayHandle;
  k = find ([previews.Handle] == h);
  if (! isempty (k) && ! ishghandle (previews(k).Figure))
    previews(k) = [];
    k = [];
  endif
  if (isempty (k))
    if (isempty (available_graphics_toolkits ()))
      error ("imaq:preview:noGraphics",
             "preview: Octave has no graphics toolkit here; run the full octave (not octave-cli) with a display");
    endif
    previews(end+1) = make_window (obj);
    k = numel (previews);
  endif
  previews(k).Running = true;
  previews(k).LastShown = -Inf;
  previews(k).LastFrame = -1;
  previews(k).Times = [];
  figure (previews(k).Figure);
  show_status (previews(k), "Waiting for frames");
endfunction

## A figure of the region's size (at most 960 pixels wide) with the image
## above a status line.  Out of reach of gcf, so plots go elsewhere.
function p = make_window (obj)
  h = obj.GatewayHandle;
  roi = __orximaq__ ("roi", h);
  info = __orximaq__ ("info", h);
  width = roi(3);
  height = roi(4);
  scale = min (1, 960 / width);
  status_height = 24;
  fig = figure ("Name", sprintf ("Video Preview - %s", get (obj, "Name")), "NumberTitle", "off",
                "MenuBar", "none", "ToolBar", "none", "HandleVisibility", "off", "Color", [0.2 0.2 0.2],
                "Position", [100 100 round(width * scale) round(height * scale) + status_height],
                "CloseRequestFcn", @(~, ~) __orximaq_preview__ ("close", h));
  view = axes ("Parent", fig, "Units", "pixels", "Visible", "off",
               "Position", [1 status_height + 1 round(width * scale) round(height * scale)]);
  img = image ("Parent", view, "CData", zeros (height, width, 3, "uint8"));
  set (view, "XLim", [0.5 width + 0.5], "YLim", [0.5 height + 0.5], "YDir", "reverse",
       "DataAspectRatio", [1 1 1], "Visible", "off");
  bar = axes ("Parent", fig, "Units", "pixels", "Visible", "off", "XLim", [0 1], "YLim", [0 1],
              "Position", [1 1 round(width * scale) status_height]);
  status = text (0.01, 0.5, "", "Parent", bar, "Color", [1 1 1], "FontSize", 10,
                 "VerticalAlignment", "middle", "Interpreter", "none");
  p = struct ("Handle", h, "Figure", fig, "Image", img, "Status", status, "Running", true,
              "Device", info.DeviceName, "LastShown", -Inf, "LastFrame", -1, "Times", []);
endfunction

function [previews, shown] = update_all (previews)
  gone = false (size (previews));
  shown = false;
  for k = find ([previews.Running])
    p = previews(k);
    if (! ishghandle (p.Figure) || ! __orximaq__ ("isopen", p.Handle))
      gone(k) = true;
      continue;
    endif
    ## At most 30 frames a second, so that a script's polling loop is not slowed.
    if (time () - p.LastShown < 1 / 30)
      continue;
    endif
    try
      [previews(k), changed] = show_next_frame (p);
      shown = shown || changed;
    catch err
      ## Tried again two seconds later, so that the prompt stays responsive.
      previews(k).Times = [];
      previews(k).LastShown = time () + 2;
      show_status (p, [p.Device "  |  " err.message]);
    end_try_catch
  endfor
  arrayfun (@(p) delete_figure (p.Figure), previews(gone));
  previews(gone) = [];
endfunction

## The newest frame: the acquisition's when one runs (left in the buffer),
## else one taken on its own.  Frames left in the buffer by an ended
## acquisition would be lost to a snapshot: the newest of them is shown.
function [p, changed] = show_next_frame (p)
  changed = false;
  status = __orximaq__ ("status", p.Handle);
  note = "";
  if (status.Running)
    if (status.FramesAvailable == 0 || status.FramesAcquired == p.LastFrame)
      return;
    endif
    [frame, ~, meta] = __orximaq__ ("peekdata", p.Handle, 1);
    p.LastFrame = status.FramesAcquired;
    note = "  |  Logging";
  elseif (status.FramesAvailable > 0)
    if (p.LastFrame == -2)
      return;
    endif
    [frame, ~, meta] = __orximaq__ ("peekdata", p.Handle, 1);
    p.LastFrame = -2;
    p.Times = [];
    note = "  |  Newest buffered frame (getdata or flushdata to go on)";
  else
    [frame, ~, meta] = __orximaq__ ("snapshot", p.Handle, 0.5);
    p.LastFrame = -1;
  endif
  p.LastShown = time ();
  stamp = datenum (meta.AbsTime) * 86400;
  p.Times = [p.Times(max (1, end - 9):end), stamp];
  show_image (p.Image, as_display (frame));
  show_status (p, sprintf ("%s  |  %dx%d  |  %s  |  Time stamp %s%s", p.Device, columns (frame),
                           rows (frame), rate_text (p.Times), stamp_text (meta.AbsTime), note));
  changed = true;
endfunction

## A region changed meanwhile changes the image's size.
function show_image (img, rgb)
  if (! size_equal (get (img, "CData"), rgb))
    set (get (img, "Parent"), "XLim", [0.5 columns(rgb) + 0.5], "YLim", [0.5 rows(rgb) + 0.5]);
  endif
  set (img, "CData", rgb);
endfunction

## 8-bit RGB for image (): grey in all three bands, 16 bits scaled down.
function rgb = as_display (frame)
  if (isa (frame, "uint16"))
    frame = uint8 (double (frame) / 257);
  endif
  if (size (frame, 3) == 1)
    frame = repmat (frame, [1 1 3]);
  endif
  rgb = frame;
endfunction

function text = rate_text (times)
  if (numel (times) < 2 || times(end) <= times(1))
    text = "-- FPS";
  else
    text = sprintf ("%.1f FPS", (numel (times) - 1) / (times(end) - times(1)));
  endif
endfunction

function text = stamp_text (clock_vector)
  seconds = clock_vector(6);
  text = sprintf ("%02d:%02d:%06.3f", clock_vector(4), clock_vector(5), seconds);
endfunction

function show_status (p, message)
  if (ishghandle (p.Status))
    set (p.Status, "String", message);
  endif
endfunction

function delete_figure (fig)
  if (ishghandle (fig))
    ## The close request would come back here; the entry is gone already.
    set (fig, "CloseRequestFcn", "");
    delete (fig);
  endif
endfunction

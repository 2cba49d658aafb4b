## Removes the frames of the oldest trigger from the buffer of the video input
## with gateway handle H.  The frames' trigger indices come from a look at the
## whole buffer, taken again when frames arrived meanwhile so that its first
## frame is the oldest.
function vid_flush_oldest_trigger (h)
  do
    available = __orximaq__ ("status", h).FramesAvailable;
    if (available == 0)
      return;
    endif
    [~, ~, meta] = __orximaq__ ("peekdata", h, available);
  until (__orximaq__ ("status", h).FramesAvailable == available)
  index = [meta.TriggerIndex];
  count = find (index != index(1), 1) - 1;
  if (isempty (count))
    count = available;
  endif
  __orximaq__ ("getdata", h, count, 0);
endfunction

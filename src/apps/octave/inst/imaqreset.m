## -*- texinfo -*-
## @deftypefn {} {} imaqreset ()
## Deletes every video input object (stopping its acquisition) and unloads the
## adaptor, so that the next call starts afresh.
## @end deftypefn
function imaqreset ()
  objects = __orximaq_objects__ ("list");
  for i = 1:numel (objects)
    delete (objects{i});
  endfor
  __orximaq__ ("reset");
endfunction

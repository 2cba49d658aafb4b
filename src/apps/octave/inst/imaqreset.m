## -*- texinfo -*-
## @deftypefn {} {} imaqreset ()
## Deletes every video input object (stopping its acquisition, closing its
## preview window) and unloads the adaptor, so that the next call starts
## afresh.  Octave runs it while it exits, once the adaptor was used.
## @seealso{videoinput, imaqfind}
## @end deftypefn
function imaqreset ()
  __orximaq_preview__ ("closeall");
  objects = __orximaq_objects__ ("list");
  for i = 1:numel (objects)
    try
      delete (objects{i});
    catch err
      warning ("imaq:imaqreset:deleteFailed", "imaqreset: %s", err.message);
    end_try_catch
  endfor
  ## Whatever the deletes did, no object outlives the session.
  __orximaq_objects__ ("clear");
  __orximaq__ ("reset");
endfunction

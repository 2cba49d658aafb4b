## -*- texinfo -*-
## @deftypefn {} {} __orximaq_dispatch__ ()
## Runs the callbacks of every open video input for the events its
## acquisition queued since the last call, on Octave's own thread: from the
## input event hook while Octave waits at the prompt, and from wait, getdata,
## start, stop and the other calls that look at an acquisition.  A callback
## that calls into the package does not run the callbacks again; an error in
## a callback becomes a warning and the acquisition goes on.  Then the
## preview windows show their next frames.
## @end deftypefn
function __orximaq_dispatch__ ()
  persistent busy = false
  mlock ();
  if (busy)
    return;
  endif
  busy = true;
  unwind_protect
    objects = __orximaq_objects__ ("list");
    for i = 1:numel (objects)
      dispatch_object (objects{i});
    endfor
    __orximaq_preview__ ("update");
  unwind_protect_cleanup
    busy = false;
  end_unwind_protect
endfunction

function dispatch_object (obj)
  h = obj.GatewayHandle;
  if (h == 0 || ! __orximaq__ ("isopen", h))
    return;
  endif
  events = __orximaq__ ("events", h);
  for k = 1:numel (events)
    event = struct ("Type", events(k).Type, "Data", events(k).Data);
    prop = [event.Type "Fcn"];
    if (strcmp (event.Type, "Overrun") || ! isvalid (obj))
      continue;
    endif
    fcn = get (obj, prop);
    if (isempty (fcn) && strcmp (event.Type, "Error"))
      fcn = @default_error_fcn;
    endif
    if (! isempty (fcn))
      run_callback (obj, prop, fcn, event);
    endif
  endfor
endfunction

function run_callback (obj, prop, fcn, event)
  extra = {};
  if (iscell (fcn))
    extra = fcn(2:end);
    fcn = fcn{1};
  endif
  try
    feval (fcn, obj, event, extra{:});
  catch err
    warning ("imaq:callback:failed", "%s of '%s' failed: %s", prop, obj.Values.Name, err.message);
  end_try_catch
endfunction

function default_error_fcn (obj, event)
  printf ("Error event occurred at %s for video input object: %s.\n%s\n",
          datestr (event.Data.AbsTime, "HH:MM:SS"), obj.Values.Name, event.Data.Message);
endfunction

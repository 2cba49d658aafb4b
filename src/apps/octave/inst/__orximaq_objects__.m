## -*- texinfo -*-
## @deftypefn {} {@var{objs} =} __orximaq_objects__ (@var{command}, @dots{})
## The open video input objects, kept as the host keeps them: until delete or
## imaqreset.  Locked, so that @code{clear all} cannot drop objects whose
## acquisition still runs.  The first object registers imaqreset to run when
## Octave exits, while the interpreter can still run the objects' delete.
## @end deftypefn
function out = __orximaq_objects__ (command, handle, obj)
  persistent handles objects registered
  mlock ();
  if (isempty (registered))
    handles = [];
    objects = {};
    registered = true;
    atexit ("imaqreset");
  endif
  out = {};
  switch (command)
    case "add"
      handles(end+1) = handle;
      objects{end+1} = obj;
    case "remove"
      keep = handles != handle;
      handles = handles(keep);
      objects = objects(keep);
    case "list"
      out = objects;
  endswitch
endfunction

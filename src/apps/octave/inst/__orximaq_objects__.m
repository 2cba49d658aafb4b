## -*- texinfo -*-
## @deftypefn {} {@var{objs} =} __orximaq_objects__ (@var{command}, @dots{})
## The open video input objects, kept as the toolbox keeps them: until delete
## or imaqreset.  Locked, so that @code{clear all} cannot drop objects whose
## acquisition still runs (the gateway keeps their class loaded meanwhile).
## @end deftypefn
function out = __orximaq_objects__ (command, handle, obj)
  persistent handles objects
  mlock ();
  if (isempty (handles))
    handles = [];
    objects = {};
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
    case "clear"
      handles = [];
      objects = {};
  endswitch
endfunction

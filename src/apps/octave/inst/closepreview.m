## -*- texinfo -*-
## @deftypefn  {} {} closepreview ()
## @deftypefnx {} {} closepreview (@var{vid})
## Closes every video input's preview window, or @var{vid}'s.
## @seealso{videoinput}
## @end deftypefn
function closepreview (vid)
  if (nargin == 0)
    __orximaq_preview__ ("closeall");
  else
    vid.closepreview ();
  endif
endfunction

## -*- texinfo -*-
## @deftypefn  {} {@var{info} =} imaqmem ()
## @deftypefnx {} {@var{limit} =} imaqmem ("FrameMemoryLimit")
## @deftypefnx {} {} imaqmem (@var{limit})
## The memory for frames: every video input's buffer holds at most
## @var{limit} bytes of frames (and at most 4096 frames); a frame that
## arrives when the buffer is full is counted in FramesAcquired but not
## kept, and the package warns (imaq:orximaq:framesNotKept) how many.
## Default 1 GiB.  Setting it applies to the open objects and later ones.
## @seealso{videoinput, getdata}
## @end deftypefn
function out = imaqmem (limit)
  if (nargin == 0)
    out = struct ("FrameMemoryLimit", __orximaq__ ("memlimit"), "FrameLimit", 4096);
  elseif (ischar (limit) && strcmp (limit, "FrameMemoryLimit"))
    out = __orximaq__ ("memlimit");
  elseif (isnumeric (limit) && isscalar (limit) && isreal (limit) && ! islogical (limit)
          && isfinite (limit) && limit >= 1 && limit == fix (limit))
    __orximaq__ ("memlimit", double (limit));
  else
    error ("imaq:imaqmem:invalidLimit",
           "imaqmem: LIMIT must be a whole number of bytes of at least 1 (or 'FrameMemoryLimit')");
  endif
endfunction

## A concatenation's result: one video input stays itself, more (or none)
## make an array of them.
function out = vid_array_of (members)
  if (isscalar (members))
    out = members{1};
  else
    out = videoinputarray (members);
  endif
endfunction

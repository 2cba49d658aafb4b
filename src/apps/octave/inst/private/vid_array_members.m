## The video inputs that a concatenation's arguments hold, each argument as
## a cell array (a video input, an array of them, or [] which adds none).
function parts = vid_array_members (args)
  parts = cell (size (args));
  for k = 1:numel (args)
    a = args{k};
    if (isa (a, "videoinput"))
      parts{k} = {a};
    elseif (isa (a, "videoinputarray"))
      parts{k} = builtin ("subsref", a, struct ("type", ".", "subs", "Members"));
    elseif (isnumeric (a) && isempty (a))
      parts{k} = {};
    else
      error ("imaq:videoinput:invalidArray",
             "only video input objects concatenate with video input objects, not a %s", class (a));
    endif
  endfor
endfunction

## -*- texinfo -*-
## @deftypefn  {} {@var{objs} =} imaqfind ()
## @deftypefnx {} {@var{objs} =} imaqfind (@var{name}, @var{value}, @dots{})
## @deftypefnx {} {@var{objs} =} imaqfind (@var{s})
## @deftypefnx {} {@var{objs} =} imaqfind (@var{objlist}, @dots{})
## The open video input objects (a cell array), those whose properties have
## the given values when NAME, VALUE pairs or a struct @var{s} of them are
## given, searching the objects of @var{objlist} (a cell array, an array of
## video inputs or one object) when it comes first.  Text values compare without regard to case.
## @seealso{videoinput, imaqreset}
## @end deftypefn
function found = imaqfind (varargin)
  args = varargin;
  if (! isempty (args) && (iscell (args{1}) || isobject (args{1})))
    found = args{1};
    if (isa (found, "videoinputarray"))
      found = arrayfun (@(k) found(k), 1:numel (found), "UniformOutput", false);
    elseif (! iscell (found))
      found = {found};
    endif
    args(1) = [];
  else
    found = __orximaq_objects__ ("list");
  endif
  if (numel (args) == 1 && isstruct (args{1}))
    s = args{1};
    args = [fieldnames(s)'; struct2cell(s)'](:)';
  endif
  if (mod (numel (args), 2) != 0 || ! iscellstr (args(1:2:end)))
    error ("imaq:imaqfind:invalidArgument", "imaqfind: give NAME, VALUE pairs or a struct of them");
  endif
  valid = cellfun (@(obj) isa (obj, "videoinput") && isvalid (obj), found);
  found = found(valid);
  for k = 1:2:numel (args)
    keep = cellfun (@(obj) matches (get (obj, args{k}), args{k+1}), found);
    found = found(keep);
  endfor
endfunction

function tf = matches (value, wanted)
  if (ischar (value) && ischar (wanted))
    tf = strcmpi (value, wanted);
  else
    tf = isequal (value, wanted);
  endif
endfunction

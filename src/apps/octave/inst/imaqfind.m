## -*- texinfo -*-
## @deftypefn  {} {@var{objs} =} imaqfind ()
## @deftypefnx {} {@var{objs} =} imaqfind (@var{name}, @var{value}, @dots{})
## The open video input objects (a cell array), those whose properties have
## the given values when pairs are given.
## @end deftypefn
function found = imaqfind (varargin)
  found = __orximaq_objects__ ("list");
  for k = 1:2:numel (varargin) - 1
    keep = cellfun (@(obj) isequal (obj.(varargin{k}), varargin{k+1}), found);
    found = found(keep);
  endfor
endfunction

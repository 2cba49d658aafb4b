## -*- texinfo -*-
## @deftypefn  {} {} imaqmontage (@var{frames})
## @deftypefnx {} {} imaqmontage (@var{vid})
## @deftypefnx {} {@var{h} =} imaqmontage (@dots{})
## @deftypefnx {} {[@var{h}, @var{m}] =} imaqmontage (@dots{})
## Shows H x W x B x N @var{frames} (as getdata returns them; B 1 or 3) side
## by side in the current axes, in rows of ceil (sqrt (N)), first frame top
## left; a video input @var{vid} gives one snapshot.  @var{h}: the image
## object; @var{m}: the montage array itself (unused tiles black).
## @seealso{getdata, getsnapshot}
## @end deftypefn
function [h, m] = imaqmontage (frames)
  if (nargin != 1)
    print_usage ();
  endif
  if (isa (frames, "videoinput"))
    frames = getsnapshot (frames);
  endif
  if (! ((isnumeric (frames) || islogical (frames)) && isreal (frames) && ndims (frames) <= 4
         && any (size (frames, 3) == [1 3]) && ! isempty (frames)))
    error ("imaq:imaqmontage:invalidFrames",
           "imaqmontage: FRAMES must be a non-empty H x W x B x N array with B 1 or 3, or a videoinput");
  endif
  [height, width, bands, n] = size (frames);
  cols = ceil (sqrt (n));
  rows = ceil (n / cols);
  m = zeros (rows * height, cols * width, bands, class (frames));
  for k = 1:n
    r = floor ((k - 1) / cols);
    c = mod (k - 1, cols);
    m(r * height + (1:height), c * width + (1:width), :) = frames(:, :, :, k);
  endfor
  if (bands == 1)
    img = image (m, "CDataMapping", "scaled");
    colormap (gray (256));
    if (isinteger (m))
      set (gca (), "CLim", double ([intmin(class (m)), intmax(class (m))]));
    endif
  else
    img = image (m);
  endif
  axis ("image", "off");
  if (nargout > 0)
    h = img;
  endif
endfunction

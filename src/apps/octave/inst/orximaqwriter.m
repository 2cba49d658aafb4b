classdef orximaqwriter < handle
  ## -*- texinfo -*-
  ## @deftypefn  {} {@var{w} =} orximaqwriter (@var{filename})
  ## @deftypefnx {} {@var{w} =} orximaqwriter (@var{filename}, @var{format})
  ## A writer of frames to a file: @var{format} 'tiff-stack' (one page per
  ## frame; the default, unless @var{filename} ends in .avi) or 'avi'
  ## (uncompressed, 8-bit grey or 24-bit colour).
  ##
  ## As a video input's DiskLogger (LoggingMode 'disk' or 'disk&memory') the
  ## host runtime writes each acquisition's frames to @var{filename} as they
  ## arrive.  On its own: open (w), writeVideo (w, frames) with H x W x B x N
  ## frames as getdata returns them (uint8 grey or RGB, uint16 grey), and
  ## close (w), which writes the file.
  ## @end deftypefn

  properties (SetAccess = private)
    Filename = "";
    FileFormat = "tiff-stack";
    FrameCount = 0;
  endproperties
  properties (Access = private)
    IsOpen = false;
    Frames = [];
  endproperties

  methods
    function w = orximaqwriter (filename, format)
      if (nargin < 1 || ! ischar (filename) || rows (filename) != 1 || isempty (filename))
        error ("imaq:orximaqwriter:invalidFilename", "orximaqwriter: FILENAME must be a file name");
      endif
      [~, ~, ext] = fileparts (filename);
      if (nargin < 2)
        format = merge (strcmpi (ext, ".avi"), "avi", "tiff-stack");
      endif
      if (! (ischar (format) && any (strcmp (format, {"tiff-stack", "avi"}))))
        error ("imaq:orximaqwriter:invalidFormat", "orximaqwriter: FORMAT must be 'tiff-stack' or 'avi'");
      endif
      w.Filename = make_absolute_filename (filename);
      w.FileFormat = format;
    endfunction

    function open (w)
      ## open (w): starts a new file; frames written before are forgotten.
      w.IsOpen = true;
      w.Frames = [];
      w.FrameCount = 0;
    endfunction

    function writeVideo (w, frames)
      ## writeVideo (w, frames): adds H x W x B x N frames of one size and type.
      if (! w.IsOpen)
        error ("imaq:orximaqwriter:notOpen", "writeVideo: open the writer first");
      endif
      if (! ((isa (frames, "uint8") && any (size (frames, 3) == [1 3]))
             || (isa (frames, "uint16") && size (frames, 3) == 1)) || ndims (frames) > 4 || isempty (frames))
        error ("imaq:orximaqwriter:invalidFrames",
               "writeVideo: FRAMES must be H x W x B x N of uint8 (B 1 or 3) or uint16 (B 1)");
      endif
      if (! isempty (w.Frames) && ! (strcmp (class (frames), class (w.Frames))
                                     && isequal (size (frames, [1 2 3]), size (w.Frames, [1 2 3]))))
        error ("imaq:orximaqwriter:invalidFrames", "writeVideo: every frame must have the size and type of the first");
      endif
      w.Frames = cat (4, w.Frames, frames);
      w.FrameCount = size (w.Frames, 4);
    endfunction

    function close (w)
      ## close (w): writes the file (replacing one of the same name).
      if (! w.IsOpen)
        return;
      endif
      w.IsOpen = false;
      if (! isempty (w.Frames))
        frames = w.Frames;
        w.Frames = [];
        __orximaq__ ("writelog", w.FileFormat, w.Filename, frames);
      endif
    endfunction

    function disp (w)
      printf ("  orximaqwriter: %s (%s), %d frames\n", w.Filename, w.FileFormat, w.FrameCount);
    endfunction
  endmethods
endclassdef

classdef videoinputarray
  ## -*- texinfo -*-
  ## @deftypefn  {} {@var{vids} =} [@var{vid1}, @var{vid2}, @dots{}]
  ## @deftypefnx {} {@var{vids} =} [@var{vid1}; @var{vid2}; @dots{}]
  ## Several video input objects as one array, made by concatenating them
  ## (Octave cannot put classdef objects into an ordinary array).
  ##
  ## start, stop, trigger, wait, flushdata, preview, stoppreview,
  ## closepreview and delete act on every object (start starts them all or,
  ## when one refuses, none); isrunning, islogging and isvalid return a
  ## logical array of the array's shape; get (vids, name) a cell array of the
  ## values; set (vids, name, value, @dots{}) sets each object.
  ## @code{vids(k)} is the k-th object, @code{vids(i:j)} a smaller array,
  ## numel and size count them.  An object that appears twice is started,
  ## stopped and triggered once.
  ## @seealso{videoinput}
  ## @end deftypefn

  properties (SetAccess = private, Hidden = true)
    Members = {};
  endproperties

  methods
    function obj = videoinputarray (members)
      if (nargin > 0)
        if (! (iscell (members) && all (cellfun (@(m) isa (m, "videoinput"), members(:)))))
          error ("imaq:videoinput:invalidArray", "an array of video inputs holds only videoinput objects");
        endif
        obj.Members = members;
      endif
    endfunction

    function out = horzcat (varargin)
      out = vid_array_of (horzcat (vid_array_members (varargin){:}));
    endfunction
    function out = vertcat (varargin)
      out = vid_array_of (vertcat (vid_array_members (varargin){:}));
    endfunction

    function n = numel (obj, varargin)
      n = numel (obj.Members);
    endfunction
    function varargout = size (obj, varargin)
      [varargout{1:max (1, nargout)}] = size (obj.Members, varargin{:});
    endfunction
    function n = length (obj)
      n = length (obj.Members);
    endfunction
    function tf = isempty (obj)
      tf = isempty (obj.Members);
    endfunction

    function start (obj)
      started = {};
      try
        for m = vid_distinct_members (obj.Members)
          start (m{1});
          started{end+1} = m{1};
        endfor
      catch err
        cellfun (@stop, started);
        rethrow (err);
      end_try_catch
    endfunction
    function stop (obj)
      cellfun (@stop, vid_distinct_members (obj.Members));
    endfunction
    function trigger (obj)
      ## All or none as far as the objects' own state tells: a member that is
      ## not running or not manual raises its own error before any is triggered.
      members = vid_distinct_members (obj.Members);
      for m = members
        if (! strcmp (get (m{1}, "TriggerType"), "manual") || ! isrunning (m{1}))
          trigger (m{1});
        endif
      endfor
      cellfun (@trigger, members);
    endfunction
    function flushdata (obj, varargin)
      cellfun (@(m) flushdata (m, varargin{:}), vid_distinct_members (obj.Members));
    endfunction
    function wait (obj, timeout, varargin)
      ## Each object's own Timeout, or TIMEOUT seconds for them all together.
      t0 = tic ();
      for m = vid_distinct_members (obj.Members)
        if (nargin < 2)
          wait (m{1});
        else
          wait (m{1}, max (0, timeout - toc (t0)), varargin{:});
        endif
      endfor
    endfunction
    function preview (obj)
      cellfun (@preview, vid_distinct_members (obj.Members));
    endfunction
    function stoppreview (obj)
      cellfun (@stoppreview, vid_distinct_members (obj.Members));
    endfunction
    function closepreview (obj)
      cellfun (@closepreview, vid_distinct_members (obj.Members));
    endfunction
    function delete (obj)
      cellfun (@delete, obj.Members);
    endfunction

    function tf = isrunning (obj)
      tf = cellfun (@isrunning, obj.Members);
    endfunction
    function tf = islogging (obj)
      tf = cellfun (@islogging, obj.Members);
    endfunction
    function tf = isvalid (obj)
      tf = cellfun (@isvalid, obj.Members);
    endfunction

    function values = get (obj, name)
      ## get (vids, name): one value per object, as a column cell array.
      if (nargin < 2 || ! ischar (name))
        error ("imaq:get:invalidName", "get: an array of video inputs takes one property NAME");
      endif
      values = cellfun (@(m) get (m, name), obj.Members(:), "UniformOutput", false);
    endfunction
    function set (obj, varargin)
      cellfun (@(m) set (m, varargin{:}), obj.Members);
    endfunction

    function varargout = subsref (obj, s)
      switch (s(1).type)
        case "()"
          picked = obj.Members(s(1).subs{:});
          if (isscalar (picked))
            value = picked{1};
          else
            value = videoinputarray (picked);
          endif
        case "."
          if (! (ischar (s(1).subs) && ismethod (obj, s(1).subs)))
            error ("imaq:videoinput:notScalar",
                   "an array of video inputs has no properties of its own: get (vids, NAME) reads one from each");
          endif
          [varargout{1:nargout}] = builtin ("subsref", obj, s);
          return;
        otherwise
          error ("imaq:videoinput:invalidIndex", "an array of video inputs is indexed as vids(k)");
      endswitch
      if (numel (s) > 1)
        [varargout{1:nargout}] = subsref (value, s(2:end));
      else
        varargout = {value};
      endif
    endfunction
    function obj = subsasgn (obj, s, value)
      error ("imaq:videoinput:invalidAssignment",
             "an array of video inputs is made by concatenation ([vid1, vid2]); set (vids, NAME, VALUE) sets each");
    endfunction

    function disp (obj)
      printf ("  %s array of video inputs:\n", strjoin (arrayfun (@num2str, size (obj.Members), "UniformOutput", false), "x"));
      for k = 1:numel (obj.Members)
        m = obj.Members{k};
        if (isvalid (m))
          printf ("  %d: '%s'%s\n", k, get (m, "Name"), merge (isrunning (m), ", running", ""));
        else
          printf ("  %d: invalid (deleted)\n", k);
        endif
      endfor
    endfunction
  endmethods
endclassdef

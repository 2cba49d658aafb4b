classdef videoinput < handle
  ## -*- texinfo -*-
  ## @deftypefn  {} {@var{vid} =} videoinput (@var{adaptor})
  ## @deftypefnx {} {@var{vid} =} videoinput (@var{adaptor}, @var{id})
  ## @deftypefnx {} {@var{vid} =} videoinput (@var{adaptor}, @var{id}, @var{format})
  ## @deftypefnx {} {@var{vid} =} videoinput (@dots{}, @var{name}, @var{value}, @dots{})
  ## A video input object: device @var{id} (its ID, a whole number, or its name;
  ## default: the first device) of the adaptor "orximaq" in @var{format} (its
  ## name as imaqhwinfo lists it; default: the device's first), with the given
  ## properties set.
  ##
  ## The object lives until delete or imaqreset, like the toolbox's: clearing
  ## the variable leaves it open (imaqfind finds it).  Its properties are read
  ## as @code{vid.Name} or with get, written as @code{vid.Name = value} or with
  ## set, and described by propinfo; read-only ones refuse writes.
  ##
  ## Functions (each with its help, as @code{help videoinput.getdata}):
  ## start, stop, wait, getdata, peekdata, getsnapshot, flushdata, isrunning,
  ## islogging, isvalid, delete, preview, stoppreview, closepreview,
  ## getselectedsource, imaqhwinfo, get, set, propinfo, triggerconfig,
  ## triggerinfo, trigger.  [vid1, vid2] makes an array of them
  ## (help videoinputarray).
  ## @seealso{imaqhwinfo, imaqfind, imaqreset, getselectedsource}
  ## @end deftypefn

  properties (SetAccess = private, Hidden = true)
    GatewayHandle = 0;
    Values = struct ();
  end

  methods
    function obj = videoinput (adaptor, device, varargin)
      if (nargin < 1 || ! ischar (adaptor) || ! strcmpi (adaptor, "orximaq"))
        error ("imaq:videoinput:noAdaptor", "videoinput: ADAPTOR must be 'orximaq', the only adaptor");
      endif
      if (nargin < 2)
        devices = __orximaq__ ("devices");
        if (isempty (devices))
          error ("imaq:videoinput:noDevices", "videoinput: no devices are attached");
        endif
        device = devices(1).DeviceID;
      endif
      vid_check_device (device);
      pairs = varargin;
      open_args = {device};
      ## A format comes first; a text that names no property is a format.
      if (mod (numel (pairs), 2) == 1 || (! isempty (pairs) && ischar (pairs{1}) && ! vid_is_property (pairs{1})))
        if (! ischar (pairs{1}))
          error ("imaq:videoinput:invalidFormat", "videoinput: FORMAT must be a format's name as imaqhwinfo lists it");
        endif
        open_args{end+1} = pairs{1};
        pairs(1) = [];
      endif
      obj.GatewayHandle = __orximaq__ ("open", open_args{:});
      try
        table = __orximaq_props__ ();
        for i = 1:numel (table)
          obj.Values.(table(i).Name) = table(i).DefaultValue;
        endfor
        info = __orximaq__ ("info", obj.GatewayHandle);
        obj.Values.Name = sprintf ("%s-orximaq-%d", info.VideoFormat, info.DeviceID);
        obj.Values.ReturnedColorSpace = merge (info.IsColour, "rgb", "grayscale");
        ## One source object for the video input's life: its Tag and UserData stay.
        obj.Values.Source = videosource (obj.GatewayHandle);
        obj.apply_pairs (pairs);
      catch err
        __orximaq__ ("close", obj.GatewayHandle);
        obj.GatewayHandle = 0;
        rethrow (err);
      end_try_catch
      __orximaq_objects__ ("add", obj.GatewayHandle, obj);
      vid_install_hook ();
    endfunction

    function delete (obj)
      ## delete (vid): stops the acquisition and closes the device; the object is
      ## then invalid (isvalid false) and every use of it is an error.
      ## Also runs while Octave exits; the gateway handles a closed handle.
      h = obj.GatewayHandle;
      if (h != 0)
        __orximaq_preview__ ("close", h);
        __orximaq_objects__ ("remove", h);
        if (__orximaq__ ("isopen", h))
          __orximaq__ ("close", h);
        endif
      endif
    endfunction

    function tf = isvalid (obj)
      ## isvalid (vid): true until delete (or imaqreset).
      tf = obj.GatewayHandle != 0 && __orximaq__ ("isopen", obj.GatewayHandle);
    endfunction

    function src = getselectedsource (obj)
      ## src = getselectedsource (vid): the video source, whose device properties
      ## are read and written as src.Name, get, set and propinfo.
      vid_handle_of (obj);
      src = obj.Values.Source;
    endfunction

    function info = imaqhwinfo (obj, field)
      ## info = imaqhwinfo (vid[, field]): what the adaptor reports of the device
      ## (MaxWidth, MaxHeight, NativeDataType, TotalSources, ...).
      all = __orximaq__ ("info", vid_handle_of (obj));
      info = struct ("AdaptorName", all.AdaptorName, "DeviceName", all.DeviceName,
                     "MaxHeight", all.MaxHeight, "MaxWidth", all.MaxWidth,
                     "NativeDataType", all.NativeDataType, "TotalSources", all.TotalSources,
                     "VendorDriverDescription", all.VendorDriverDescription,
                     "VendorDriverVersion", all.VendorDriverVersion);
      if (nargin > 1)
        if (! ischar (field) || ! isfield (info, field))
          error ("imaq:imaqhwinfo:invalidField", "imaqhwinfo: FIELD must be one of %s",
                 strjoin (fieldnames (info)', ", "));
        endif
        info = info.(field);
      endif
    endfunction

    function start (obj)
      ## start (vid): empties the buffer, resets the counts and starts the
      ## acquisition in the background.  TriggerType 'immediate' logs at once;
      ## 'manual' streams and logs only after trigger (vid).  Each trigger logs
      ## FramesPerTrigger frames (Inf: until stop), skipping TriggerFrameDelay
      ## frames and keeping every FrameGrabInterval-th; the acquisition stops by
      ## itself after TriggerRepeat + 1 triggers.
      ## Callbacks queued by an earlier acquisition run first.
      h = vid_handle_of (obj);
      __orximaq_dispatch__ ();
      if (__orximaq__ ("status", h).Running)
        error ("imaq:orximaq:hostError", "start: the object is already running; stop it first");
      endif
      v = obj.Values;
      if (strcmp (v.LoggingMode, "memory"))
        __orximaq__ ("logging", h, "memory");
      elseif (isempty (v.DiskLogger))
        error ("imaq:start:noDiskLogger",
               "start: LoggingMode '%s' needs a DiskLogger: vid.DiskLogger = orximaqwriter (FILENAME)", v.LoggingMode);
      else
        __orximaq__ ("logging", h, v.LoggingMode, v.DiskLogger.FileFormat, v.DiskLogger.Filename);
      endif
      __orximaq__ ("notify", h, merge (isempty (v.FramesAcquiredFcn), 0, v.FramesAcquiredFcnCount),
                   merge (isempty (v.TimerFcn), 0, v.TimerPeriod));
      __orximaq__ ("start", h, v.FramesPerTrigger, v.TriggerType, v.TriggerRepeat,
                   v.TriggerFrameDelay, v.FrameGrabInterval);
      __orximaq_dispatch__ ();
    endfunction
    function stop (obj)
      ## stop (vid): stops the acquisition; the frames stay in the buffer.
      __orximaq__ ("stop", vid_handle_of (obj));
      __orximaq_dispatch__ ();
    endfunction
    function wait (obj, timeout, state)
      ## wait (vid[, seconds[, 'running'|'logging']]): waits until the acquisition
      ## ends, or with 'logging' until it logs no more frames (default Timeout
      ## seconds, Inf: no limit); an error when it still runs or logs.
      ## Ctrl-C ends the wait.
      if (nargin < 2)
        timeout = obj.Values.Timeout;
      endif
      if (! (isnumeric (timeout) && isreal (timeout) && isscalar (timeout) && timeout >= 0))
        error ("imaq:wait:invalidTimeout", "wait: TIMEOUT must be a number of seconds of at least 0, or Inf");
      endif
      if (nargin > 2 && ! (ischar (state) && any (strcmpi (state, {"running", "logging"}))))
        error ("imaq:wait:invalidState", "wait: STATE must be 'running' or 'logging'");
      endif
      logging = nargin > 2 && strcmpi (state, "logging");
      ## In slices, running the callbacks between them.
      h = vid_handle_of (obj);
      t0 = tic ();
      do
        slice = min (0.05, max (0, timeout - toc (t0)));
        ended = __orximaq__ ("wait", h, slice) || (logging && ! vid_is_logging (obj));
        __orximaq_dispatch__ ();
      until (ended || toc (t0) >= timeout)
      if (! ended)
        error ("imaq:wait:timeout", "wait: the acquisition is still %s after %g s",
               merge (logging, "logging", "running"), timeout);
      endif
    endfunction
    function tf = isrunning (obj)
      ## isrunning (vid): true while an acquisition runs.
      __orximaq_dispatch__ ();
      tf = __orximaq__ ("status", vid_handle_of (obj)).Running;
    endfunction
    function tf = islogging (obj)
      ## islogging (vid): true while frames are logged to the buffer.
      vid_handle_of (obj);
      tf = vid_is_logging (obj);
    endfunction

    function varargout = getdata (obj, n, type, format)
      ## [data, time, meta] = getdata (vid[, n[, type[, format]]]): removes n frames
      ## (default FramesPerTrigger) from the buffer, waiting up to Timeout for
      ## them: H x W x B x N of type 'native' (default), 'uint8', 'uint16',
      ## 'single' or 'double'; format 'numeric' or 'cell'. time: seconds since
      ## the first trigger; meta: AbsTime, FrameNumber, RelativeFrame,
      ## TriggerIndex of each frame.
      h = vid_handle_of (obj);
      if (nargin < 2)
        n = obj.Values.FramesPerTrigger;
        if (isinf (n))
          n = max (1, __orximaq__ ("status", h).FramesAvailable);
        endif
      endif
      vid_check_frame_count ("getdata", n);
      ## Checked before any frame leaves the buffer.
      as_cell = false;
      if (nargin > 2)
        vid_convert_frames ([], type, false);
      endif
      if (nargin > 3)
        if (! (ischar (format) && any (strcmpi (format, {"numeric", "cell"}))))
          error ("imaq:getdata:invalidFormat", "getdata: FORMAT must be 'numeric' or 'cell'");
        endif
        as_cell = strcmpi (format, "cell");
      endif
      __orximaq_dispatch__ ();
      status = __orximaq__ ("status", h);
      if (! status.Running && n > status.FramesAvailable)
        error ("imaq:getdata:tooFewFrames",
               "getdata: %d frames were asked for but %d are available and no acquisition runs%s",
               n, status.FramesAvailable, vid_reason_text (status));
      endif
      [varargout{1:max (1, nargout)}] = __orximaq__ ("getdata", h, n, obj.Values.Timeout);
      __orximaq_dispatch__ ();
      if (nargin > 2)
        varargout{1} = vid_convert_frames (varargout{1}, type, as_cell);
      endif
    endfunction
    function varargout = peekdata (obj, n)
      ## data = peekdata (vid[, n]): the newest n frames (default 1), left in the buffer.
      if (nargin < 2)
        n = 1;
      endif
      vid_check_frame_count ("peekdata", n);
      [varargout{1:max (1, nargout)}] = __orximaq__ ("peekdata", vid_handle_of (obj), n);
    endfunction
    function flushdata (obj, mode)
      ## flushdata (vid[, 'all'|'triggers']): 'all' (the default) empties the
      ## buffer; 'triggers' removes the frames of the oldest trigger in it.
      if (nargin > 1 && ! (ischar (mode) && any (strcmpi (mode, {"all", "triggers"}))))
        error ("imaq:flushdata:invalidMode", "flushdata: MODE must be 'all' or 'triggers'");
      endif
      h = vid_handle_of (obj);
      if (nargin > 1 && strcmpi (mode, "triggers"))
        vid_flush_oldest_trigger (h);
      else
        __orximaq__ ("flush", h);
      endif
    endfunction
    function out = horzcat (varargin)
      ## [vid1, vid2, ...]: an array of video inputs (see help videoinputarray).
      out = vid_array_of (horzcat (vid_array_members (varargin){:}));
    endfunction
    function out = vertcat (varargin)
      ## [vid1; vid2; ...]: an array of video inputs (see help videoinputarray).
      out = vid_array_of (vertcat (vid_array_members (varargin){:}));
    endfunction

    function preview (obj)
      ## preview (vid): a window with the camera's live image and a status line
      ## (device, resolution, frame rate, time stamp); Previewing becomes 'on'.
      ## While an acquisition runs it shows the newest logged frame and leaves
      ## it in the buffer.  The image changes while Octave waits at its prompt
      ## and whenever wait, getdata or a read of the acquisition's state runs.
      h = vid_handle_of (obj);
      __orximaq_preview__ ("open", obj);
      __orximaq_dispatch__ ();
    endfunction
    function stoppreview (obj)
      ## stoppreview (vid): the preview window keeps its last image; Previewing
      ## becomes 'off'.  preview (vid) goes on.
      __orximaq_preview__ ("stop", vid_handle_of (obj));
    endfunction
    function closepreview (obj)
      ## closepreview (vid): closes the object's preview window (closing it by
      ## hand does the same); closepreview () closes every one.
      __orximaq_preview__ ("close", vid_handle_of (obj));
    endfunction

    function varargout = getsnapshot (obj)
      ## [frame, time, meta] = getsnapshot (vid): one frame now.
      ## While an acquisition runs: its next frame, left in the buffer.
      ## Otherwise one frame acquired on its own (the buffer must be empty).
      h = vid_handle_of (obj);
      __orximaq_dispatch__ ();
      [varargout{1:max (1, nargout)}] = __orximaq__ ("snapshot", h, obj.Values.Timeout);
    endfunction

    function out = triggerconfig (obj, type, condition, source)
      ## config = triggerconfig (vid[, type[, condition[, source]]]): the trigger
      ## configuration, set when TYPE is given: 'immediate' (the acquisition
      ## triggers itself at start) or 'manual' (trigger (vid) triggers), both
      ## with condition and source 'none'.  TYPE may also be a struct as
      ## triggerconfig or triggerinfo return it.
      h = vid_handle_of (obj);
      if (nargin > 1)
        wanted = {type, "none", "none"};
        if (nargin > 2)
          wanted{2} = condition;
        endif
        if (nargin > 3)
          wanted{3} = source;
        endif
        if (isstruct (type))
          if (! (isscalar (type) && all (isfield (type, {"TriggerType", "TriggerCondition", "TriggerSource"}))))
            error ("imaq:triggerconfig:invalidConfig",
                   "triggerconfig: a configuration struct has one element with TriggerType, TriggerCondition and TriggerSource");
          endif
          wanted = {type.TriggerType, type.TriggerCondition, type.TriggerSource};
        endif
        if (! (iscellstr (wanted) && any (strcmpi (wanted{1}, {"immediate", "manual"}))
               && all (strcmpi (wanted(2:3), "none"))))
          error ("imaq:triggerconfig:invalidConfig",
                 "triggerconfig: the configurations are TriggerType 'immediate' or 'manual', each with condition and source 'none' (see triggerinfo)");
        endif
        if (__orximaq__ ("status", h).Running)
          error ("imaq:orximaq:readOnlyWhileRunning", "triggerconfig cannot change while the object is running");
        endif
        obj.Values.TriggerType = lower (wanted{1});
        obj.Values.TriggerCondition = "none";
        obj.Values.TriggerSource = "none";
      endif
      if (nargout > 0 || nargin == 1)
        out = struct ("TriggerType", obj.Values.TriggerType, "TriggerCondition", obj.Values.TriggerCondition,
                      "TriggerSource", obj.Values.TriggerSource);
      endif
    endfunction
    function info = triggerinfo (obj)
      ## info = triggerinfo (vid): the trigger configurations the device offers,
      ## a struct array as triggerconfig takes them; printed without an output.
      vid_handle_of (obj);
      info = struct ("TriggerType", {"immediate", "manual"}, "TriggerCondition", "none", "TriggerSource", "none");
      if (nargout == 0)
        printf ("Valid trigger configurations:\n");
        for c = info
          printf ("  TriggerType '%s', TriggerCondition '%s', TriggerSource '%s'\n",
                  c.TriggerType, c.TriggerCondition, c.TriggerSource);
        endfor
        clear info;
      endif
    endfunction
    function trigger (obj)
      ## trigger (vid): a manual trigger: the running acquisition logs its next
      ## FramesPerTrigger frames.  An error when the object is not running, its
      ## TriggerType is not 'manual', or the previous trigger still logs.
      h = vid_handle_of (obj);
      if (! strcmp (obj.Values.TriggerType, "manual"))
        error ("imaq:trigger:notManual",
               "trigger: TriggerType is '%s', so the acquisition triggers itself; set triggerconfig (vid, 'manual') first",
               obj.Values.TriggerType);
      endif
      if (! __orximaq__ ("status", h).Running)
        error ("imaq:trigger:notRunning", "trigger: the object is not running; start it first");
      endif
      __orximaq__ ("trigger", h);
    endfunction

    function value = get (obj, name)
      ## get (vid), get (vid, name), get (vid, {names}): property values.
      vid_handle_of (obj);
      if (nargin < 2)
        value = struct ();
        table = __orximaq_props__ ();
        for i = 1:numel (table)
          value.(table(i).Name) = vid_get_value (obj, table(i).Name);
        endfor
      elseif (iscellstr (name))
        value = cellfun (@(n) vid_get_value (obj, n), name, "UniformOutput", false);
      elseif (ischar (name))
        value = vid_get_value (obj, name);
      else
        error ("imaq:get:invalidName", "get: NAME must be a property name or a cell array of names");
      endif
    endfunction

    function out = set (obj, varargin)
      ## set (vid, name, value, ...), set (vid, struct): writes properties;
      ## set (vid) and set (vid, name): the writable ones and their allowed values.
      vid_handle_of (obj);
      if (nargin == 1)
        out = struct ();
        table = __orximaq_props__ ();
        for i = 1:numel (table)
          if (! strcmp (table(i).ReadOnly, "always"))
            out.(table(i).Name) = vid_allowed_values (obj, table(i));
          endif
        endfor
      elseif (nargin == 2 && ischar (varargin{1}))
        out = vid_allowed_values (obj, vid_property_entry (varargin{1}));
      elseif (nargin == 2 && isstruct (varargin{1}))
        s = varargin{1};
        obj.apply_pairs ([fieldnames(s)'; struct2cell(s)'](:)');
      else
        obj.apply_pairs (varargin);
      endif
    endfunction

    function info = propinfo (obj, name)
      ## propinfo (vid[, name]): Type, Constraint, ConstraintValue, DefaultValue,
      ## ReadOnly and DeviceSpecific of each property.
      vid_handle_of (obj);
      table = __orximaq_props__ ();
      if (nargin > 1)
        info = vid_propinfo_of (obj, vid_property_entry (name));
        return;
      endif
      info = struct ();
      for i = 1:numel (table)
        info.(table(i).Name) = vid_propinfo_of (obj, table(i));
      endfor
    endfunction

    function varargout = subsref (obj, s)
      if (strcmp (s(1).type, ".") && ischar (s(1).subs) && vid_is_property (s(1).subs))
        value = obj.get (s(1).subs);
        if (numel (s) > 1)
          value = subsref (value, s(2:end));
        endif
        varargout = {value};
      else
        [varargout{1:nargout}] = builtin ("subsref", obj, s);
      endif
    endfunction

    function obj = subsasgn (obj, s, value)
      if (! strcmp (s(1).type, "."))
        error ("imaq:videoinput:invalidAssignment", "a video input takes only vid.Name = value");
      endif
      if (numel (s) > 1)
        value = subsasgn (obj.get (s(1).subs), s(2:end), value);
      endif
      obj.set (s(1).subs, value);
    endfunction

    ## Checks and applies NAME, VALUE pairs in turn; the object keeps those
    ## that do not go to the device.
    function apply_pairs (obj, args)
      if (mod (numel (args), 2) != 0)
        error ("imaq:set:invalidArgument", "set: names and values come in pairs (NAME, VALUE, ...)");
      endif
      for i = 1:2:numel (args)
        [store, name] = vid_set_value (obj, args{i}, args{i+1});
        if (store)
          value = args{i+1};
          if (isnumeric (value) && ! isa (value, "double") && ! strcmp (name, "UserData"))
            value = double (value);
          endif
          obj.Values.(name) = value;
        endif
      endfor
    endfunction

    function disp (obj)
      if (! obj.isvalid ())
        printf ("  invalid videoinput object (deleted)\n");
        return;
      endif
      info = __orximaq__ ("info", obj.GatewayHandle);
      status = __orximaq__ ("status", obj.GatewayHandle);
      printf ("  videoinput '%s': %s, %s\n", obj.Values.Name, info.DeviceName, info.VideoFormat);
      printf ("  ROIPosition [%s], FramesPerTrigger %g, %s, %d frames acquired, %d available\n",
              num2str (vid_get_value (obj, "ROIPosition")), obj.Values.FramesPerTrigger,
              merge (status.Running, "running", "not running"),
              status.FramesAcquired, status.FramesAvailable);
    endfunction
  endmethods
endclassdef

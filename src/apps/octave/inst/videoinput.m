## -*- texinfo -*-
## @deftypefn  {} {@var{vid} =} videoinput (@var{adaptor})
## @deftypefnx {} {@var{vid} =} videoinput (@var{adaptor}, @var{id})
## @deftypefnx {} {@var{vid} =} videoinput (@var{adaptor}, @var{id}, @var{format})
## A video input object on device @var{id} (its ID or name; default: the
## first device) in @var{format} (by name as imaqhwinfo lists it; default: the
## device's first).  The object lives until delete or imaqreset, like the
## host's: clearing the variable leaves it open (imaqfind finds it).
## @end deftypefn
classdef videoinput < handle

  properties (SetAccess = private, Hidden = true)
    GatewayHandle = 0;
  end

  properties
    FramesPerTrigger = 10;
    Timeout = 10;
    Name = "";
    Tag = "";
  end

  properties (Dependent = true)
    VideoFormat
    VideoResolution
    ROIPosition
    FramesAcquired
    FramesAvailable
    Running
    Logging
    Source
    SelectedSourceName
  end

  methods
    function obj = videoinput (adaptor, device, format)
      if (nargin < 1 || ! ischar (adaptor) || ! strcmpi (adaptor, "orximaq"))
        error ("imaq:videoinput:noAdaptor", "videoinput: the adaptor must be 'orximaq'");
      endif
      if (nargin < 2)
        devices = __orximaq__ ("devices");
        if (isempty (devices))
          error ("imaq:videoinput:noDevices", "videoinput: no devices are attached");
        endif
        device = devices(1).DeviceID;
      endif
      if (nargin < 3)
        obj.GatewayHandle = __orximaq__ ("open", device);
      else
        obj.GatewayHandle = __orximaq__ ("open", device, format);
      endif
      info = __orximaq__ ("info", obj.GatewayHandle);
      obj.Name = sprintf ("%s-orximaq-%d", info.VideoFormat, info.DeviceID);
      __orximaq_objects__ ("add", obj.GatewayHandle, obj);
    endfunction

    function delete (obj)
      ## Also runs while Octave exits; the gateway handles a closed handle.
      h = obj.GatewayHandle;
      if (h != 0 && __orximaq__ ("isopen", h))
        __orximaq_objects__ ("remove", h);
        __orximaq__ ("close", h);
      endif
    endfunction

    function tf = isvalid (obj)
      tf = obj.GatewayHandle != 0 && __orximaq__ ("isopen", obj.GatewayHandle);
    endfunction

    function value = get.VideoFormat (obj)
      value = __orximaq__ ("info", obj.GatewayHandle).VideoFormat;
    endfunction
    function value = get.VideoResolution (obj)
      info = __orximaq__ ("info", obj.GatewayHandle);
      value = [info.MaxWidth, info.MaxHeight];
    endfunction
    function value = get.ROIPosition (obj)
      value = __orximaq__ ("roi", obj.GatewayHandle);
    endfunction
    function set.ROIPosition (obj, value)
      __orximaq__ ("roi", obj.GatewayHandle, value);
    endfunction
    function value = get.FramesAcquired (obj)
      value = __orximaq__ ("status", obj.GatewayHandle).FramesAcquired;
    endfunction
    function value = get.FramesAvailable (obj)
      value = __orximaq__ ("status", obj.GatewayHandle).FramesAvailable;
    endfunction
    function value = get.Running (obj)
      value = merge (__orximaq__ ("status", obj.GatewayHandle).Running, "on", "off");
    endfunction
    function value = get.Logging (obj)
      value = merge (__orximaq__ ("status", obj.GatewayHandle).Logging, "on", "off");
    endfunction
    function value = get.Source (obj)
      value = videosource (obj.GatewayHandle);
    endfunction
    function value = get.SelectedSourceName (obj)
      value = __orximaq__ ("sources", obj.GatewayHandle).Selected;
    endfunction
    function set.FramesPerTrigger (obj, value)
      if (! (isnumeric (value) && isscalar (value) && isreal (value)
             && (isinf (value) || (value >= 1 && value == fix (value)))))
        error ("imaq:videoinput:invalidValue", "FramesPerTrigger must be a whole number of at least 1, or Inf");
      endif
      obj.FramesPerTrigger = double (value);
    endfunction
    function set.Timeout (obj, value)
      if (! (isnumeric (value) && isscalar (value) && isreal (value) && value >= 0))
        error ("imaq:videoinput:invalidValue", "Timeout must be a number of seconds of at least 0");
      endif
      obj.Timeout = double (value);
    endfunction

    function src = getselectedsource (obj)
      src = videosource (obj.GatewayHandle);
    endfunction

    function info = imaqhwinfo (obj, field)
      all = __orximaq__ ("info", obj.GatewayHandle);
      info = struct ("AdaptorName", all.AdaptorName, "DeviceName", all.DeviceName,
                     "MaxHeight", all.MaxHeight, "MaxWidth", all.MaxWidth,
                     "NativeDataType", all.NativeDataType, "TotalSources", all.TotalSources,
                     "VendorDriverDescription", all.VendorDriverDescription,
                     "VendorDriverVersion", all.VendorDriverVersion);
      if (nargin > 1)
        info = info.(field);
      endif
    endfunction

    function start (obj)
      __orximaq__ ("start", obj.GatewayHandle, obj.FramesPerTrigger);
    endfunction
    function stop (obj)
      __orximaq__ ("stop", obj.GatewayHandle);
    endfunction
    function wait (obj, timeout)
      if (nargin < 2)
        timeout = obj.Timeout;
      endif
      if (! __orximaq__ ("wait", obj.GatewayHandle, timeout))
        error ("imaq:wait:timeout", "wait: the acquisition is still running after %g s", timeout);
      endif
    endfunction
    function tf = isrunning (obj)
      tf = __orximaq__ ("status", obj.GatewayHandle).Running;
    endfunction
    function tf = islogging (obj)
      tf = __orximaq__ ("status", obj.GatewayHandle).Logging;
    endfunction

    function varargout = getdata (obj, n)
      if (nargin < 2)
        n = obj.FramesPerTrigger;
        if (isinf (n))
          n = max (1, obj.FramesAvailable);
        endif
      endif
      [varargout{1:max (1, nargout)}] = __orximaq__ ("getdata", obj.GatewayHandle, n, obj.Timeout);
    endfunction
    function varargout = peekdata (obj, n)
      [varargout{1:max (1, nargout)}] = __orximaq__ ("peekdata", obj.GatewayHandle, n);
    endfunction
    function flushdata (obj)
      __orximaq__ ("flush", obj.GatewayHandle);
    endfunction
    function frame = getsnapshot (obj)
      ## One frame taken at once and apart from the buffer: frames still
      ## buffered from an earlier acquisition stay there for getdata.
      if (__orximaq__ ("status", obj.GatewayHandle).Running)
        error ("imaq:getsnapshot:running", "getsnapshot: stop the running acquisition first");
      endif
      frame = __orximaq__ ("snapshot", obj.GatewayHandle, obj.Timeout);
    endfunction

    function value = get (obj, name)
      names = {"Name", "Tag", "VideoFormat", "VideoResolution", "ROIPosition", "FramesPerTrigger", ...
               "FramesAcquired", "FramesAvailable", "Running", "Logging", "SelectedSourceName", "Timeout"};
      if (nargin < 2)
        value = struct ();
        for i = 1:numel (names)
          value.(names{i}) = obj.(names{i});
        endfor
      else
        value = obj.(name);
      endif
    endfunction
    function set (obj, name, value)
      obj.(name) = value;
    endfunction

    function disp (obj)
      if (! isvalid (obj))
        printf ("  invalid videoinput object (deleted)\n");
        return;
      endif
      info = __orximaq__ ("info", obj.GatewayHandle);
      status = __orximaq__ ("status", obj.GatewayHandle);
      printf ("  videoinput '%s': %s, %s\n", obj.Name, info.DeviceName, info.VideoFormat);
      printf ("  ROIPosition [%s], FramesPerTrigger %g, %s, %d frames acquired, %d available\n",
              num2str (obj.ROIPosition), obj.FramesPerTrigger,
              merge (status.Running, "running", "not running"),
              status.FramesAcquired, status.FramesAvailable);
    endfunction
  endmethods
endclassdef

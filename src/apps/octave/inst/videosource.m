classdef videosource < handle
  ## -*- texinfo -*-
  ## @deftypefn {} {@var{src} =} videosource (@var{handle})
  ## The selected video source of a video input (see getselectedsource): its
  ## device properties read as @code{src.Brightness} and written as
  ## @code{src.Brightness = 20} or with get, set and propinfo.
  ## @end deftypefn

  properties (SetAccess = private, Hidden = true)
    GatewayHandle = 0;
  end

  methods
    function obj = videosource (handle)
      obj.GatewayHandle = handle;
    endfunction

    function value = get (obj, name)
      if (nargin < 2)
        value = struct ("SourceName", __orximaq__ ("sources", obj.GatewayHandle).Selected);
        names = __orximaq__ ("names", obj.GatewayHandle);
        ## One failed read leaves the others readable: its value is empty.
        for i = 1:numel (names)
          try
            value.(names{i}) = __orximaq__ ("get", obj.GatewayHandle, names{i});
          catch err
            warning ("imaq:orximaq:getFailed", "%s", err.message);
            value.(names{i}) = [];
          end_try_catch
        endfor
      elseif (strcmp (name, "SourceName"))
        value = __orximaq__ ("sources", obj.GatewayHandle).Selected;
      else
        value = __orximaq__ ("get", obj.GatewayHandle, name);
      endif
    endfunction

    function out = set (obj, name, varargin)
      if (nargin == 1)
        ## Every writable property and its allowed values.
        out = struct ();
        names = __orximaq__ ("names", obj.GatewayHandle);
        for i = 1:numel (names)
          info = __orximaq__ ("describe", obj.GatewayHandle, names{i});
          if (! strcmp (info.ReadOnly, "always"))
            out.(names{i}) = info.ConstraintValue;
          endif
        endfor
      elseif (nargin == 2)
        out = __orximaq__ ("describe", obj.GatewayHandle, name, "allowed");
      else
        args = [{name}, varargin];
        if (mod (numel (args), 2) != 0)
          error ("imaq:set:invalidArgument", "set: names and values come in pairs");
        endif
        for i = 1:2:numel (args)
          if (strcmp (args{i}, "SourceName"))
            error ("imaq:orximaq:readOnly", "SourceName is read-only: it names the device's source");
          endif
          __orximaq__ ("set", obj.GatewayHandle, args{i}, args{i+1});
        endfor
      endif
    endfunction

    function info = propinfo (obj, name)
      if (nargin < 2)
        info = struct ();
        names = __orximaq__ ("names", obj.GatewayHandle);
        for i = 1:numel (names)
          info.(names{i}) = __orximaq__ ("describe", obj.GatewayHandle, names{i});
        endfor
        info.SourceName = source_name_info (obj);
      elseif (ischar (name) && strcmp (name, "SourceName"))
        info = source_name_info (obj);
      else
        info = __orximaq__ ("describe", obj.GatewayHandle, name);
      endif
    endfunction

    function varargout = subsref (obj, s)
      if (strcmp (s(1).type, ".") && ! any (strcmp (s(1).subs, {"get", "set", "propinfo", "GatewayHandle"})))
        value = get (obj, s(1).subs);
        if (numel (s) > 1)
          value = subsref (value, s(2:end));
        endif
        varargout = {value};
      else
        [varargout{1:nargout}] = builtin ("subsref", obj, s);
      endif
    endfunction

    function obj = subsasgn (obj, s, value)
      if (numel (s) == 1 && strcmp (s(1).type, ".") && strcmp (s(1).subs, "SourceName"))
        error ("imaq:orximaq:readOnly", "SourceName is read-only: it names the device's source");
      elseif (numel (s) == 1 && strcmp (s(1).type, "."))
        __orximaq__ ("set", obj.GatewayHandle, s(1).subs, value);
      else
        error ("imaq:videosource:invalidAssignment", "a source takes only src.Name = value");
      endif
    endfunction

    function disp (obj)
      if (! __orximaq__ ("isopen", obj.GatewayHandle))
        printf ("  invalid video source (its videoinput was deleted)\n");
        return;
      endif
      printf ("  video source '%s' with properties:\n", __orximaq__ ("sources", obj.GatewayHandle).Selected);
      disp (get (obj));
    endfunction
  endmethods
endclassdef

function info = source_name_info (obj)
  name = __orximaq__ ("sources", obj.GatewayHandle).Selected;
  info = struct ("Type", "string", "Constraint", "none", "ConstraintValue", {{}},
                 "DefaultValue", name, "ReadOnly", "always", "DeviceSpecific", false);
endfunction

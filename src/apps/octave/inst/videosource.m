classdef videosource < handle
  ## -*- texinfo -*-
  ## @deftypefn {} {@var{src} =} videosource (@var{handle})
  ## The selected video source of a video input (see getselectedsource): its
  ## device properties read as @code{src.Brightness} and written as
  ## @code{src.Brightness = 20} or with get, set and propinfo.  Beside the
  ## device's properties every source has Parent (its video input), Selected
  ## ('on'), SourceName, Type ('videosource'), all read-only, and Tag and
  ## UserData, which are the user's.  A video input keeps one source object, so
  ## Tag and UserData stay with it.
  ## @end deftypefn

  properties (SetAccess = private, Hidden = true)
    GatewayHandle = 0;
    General = struct ("Tag", "", "UserData", []);
  end

  methods
    function obj = videosource (handle)
      obj.GatewayHandle = handle;
    endfunction

    function value = get (obj, name)
      if (nargin < 2)
        value = struct ();
        for general = general_names ()
          value.(general{1}) = general_value (obj, general{1});
        endfor
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
      elseif (iscell (name))
        value = cellfun (@(one) get (obj, one), name, "UniformOutput", false);
      elseif (ischar (name) && any (strcmp (name, general_names ())))
        value = general_value (obj, name);
      else
        value = __orximaq__ ("get", obj.GatewayHandle, name);
      endif
    endfunction

    function out = set (obj, name, varargin)
      if (nargin == 1)
        ## Every writable property and its allowed values.
        out = struct ("Tag", {{}}, "UserData", {{}});
        names = __orximaq__ ("names", obj.GatewayHandle);
        for i = 1:numel (names)
          info = __orximaq__ ("describe", obj.GatewayHandle, names{i});
          if (! strcmp (info.ReadOnly, "always"))
            out.(names{i}) = info.ConstraintValue;
          endif
        endfor
      elseif (nargin == 2 && ischar (name) && any (strcmp (name, general_names ())))
        out = {};
      elseif (nargin == 2)
        out = __orximaq__ ("describe", obj.GatewayHandle, name, "allowed");
      else
        args = [{name}, varargin];
        if (mod (numel (args), 2) != 0)
          error ("imaq:set:invalidArgument", "set: names and values come in pairs");
        endif
        for i = 1:2:numel (args)
          obj = set_one (obj, args{i}, args{i+1});
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
        for general = general_names ()
          info.(general{1}) = general_info (obj, general{1});
        endfor
      elseif (ischar (name) && any (strcmp (name, general_names ())))
        info = general_info (obj, name);
      else
        info = __orximaq__ ("describe", obj.GatewayHandle, name);
      endif
    endfunction

    function varargout = subsref (obj, s)
      if (strcmp (s(1).type, ".") && ! any (strcmp (s(1).subs, {"get", "set", "propinfo", "GatewayHandle", "General"})))
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
      if (! strcmp (s(1).type, "."))
        error ("imaq:videosource:invalidAssignment", "a source takes only src.Name = value");
      elseif (numel (s) > 1 && strcmp (s(1).subs, "UserData"))
        check_source_open (obj);
        obj.General.UserData = subsasgn (obj.General.UserData, s(2:end), value);
      elseif (numel (s) == 1)
        obj = set_one (obj, s(1).subs, value);
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
      shown = get (obj);
      if (! isempty (shown.Parent))
        shown.Parent = sprintf ("videoinput '%s'", shown.Parent.Name);
      endif
      disp (shown);
    endfunction
  endmethods

  methods (Access = private)
    function obj = set_one (obj, name, value)
      if (! ischar (name))
        error ("imaq:set:invalidArgument", "set: a property name must be text");
      endif
      switch (name)
        case {"Parent", "Selected", "SourceName", "Type"}
          error ("imaq:orximaq:readOnly", "%s is read-only: it belongs to the device's source", name);
        case "Tag"
          check_source_open (obj);
          if (! (ischar (value) && (isempty (value) || isrow (value))))
            error ("imaq:orximaq:invalidValue", "Tag must be text, not a %s", class (value));
          endif
          obj.General.Tag = value;
        case "UserData"
          check_source_open (obj);
          obj.General.UserData = value;
        otherwise
          __orximaq__ ("set", obj.GatewayHandle, name, value);
      endswitch
    endfunction
  endmethods
endclassdef

function names = general_names ()
  names = {"Parent", "Selected", "SourceName", "Tag", "Type", "UserData"};
endfunction

function check_source_open (obj)
  if (! __orximaq__ ("isopen", obj.GatewayHandle))
    error ("imaq:videoinput:invalidObject",
           "the video source is invalid: its video input was deleted (or imaqreset ran)");
  endif
endfunction

function value = general_value (obj, name)
  check_source_open (obj);
  switch (name)
    case "Parent"
      value = parent_of (obj.GatewayHandle);
    case "Selected"
      value = "on";
    case "SourceName"
      value = __orximaq__ ("sources", obj.GatewayHandle).Selected;
    case "Type"
      value = "videosource";
    otherwise
      value = obj.General.(name);
  endswitch
endfunction

## The open video input whose source this is.
function vid = parent_of (h)
  vid = [];
  objects = __orximaq_objects__ ("list");
  for i = 1:numel (objects)
    if (isvalid (objects{i}) && vid_handle_of (objects{i}) == h)
      vid = objects{i};
      return;
    endif
  endfor
endfunction

function info = general_info (obj, name)
  value = general_value (obj, name);
  type = merge (ischar (value), "string", "any");
  if (strcmp (name, "Parent"))
    type = "videoinput";
  endif
  read_only = merge (any (strcmp (name, {"Tag", "UserData"})), "never", "always");
  info = struct ("Type", type, "Constraint", "none", "ConstraintValue", {{}},
                 "DefaultValue", {value}, "ReadOnly", read_only, "DeviceSpecific", false);
  if (strcmp (name, "Tag"))
    info.DefaultValue = "";
  elseif (strcmp (name, "UserData"))
    info.DefaultValue = [];
  endif
endfunction

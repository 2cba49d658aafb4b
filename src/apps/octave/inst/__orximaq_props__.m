## -*- texinfo -*-
## @deftypefn {} {@var{table} =} __orximaq_props__ ()
## The video input object's properties, one struct per property: its name,
## default value, read-only mode ("never", "whileRunning", "always"), the
## propinfo fields, and a check that returns an empty text for a valid value
## or else says what the property takes.  Properties whose effect the package
## does not provide yet accept only their default.
## @end deftypefn
function table = __orximaq_props__ ()
  persistent cached
  if (! isempty (cached))
    table = cached;
    return;
  endif
  p = {
  ## name, default, read-only, type, constraint, constraint value, check
    "Name", "", "never", "string", "none", [], @text_check;
    "Tag", "", "never", "string", "none", [], @text_check;
    "Type", "videoinput", "always", "string", "none", [], [];
    "UserData", [], "never", "any", "none", [], [];
    "DeviceID", [], "always", "double", "none", [], [];
    "VideoFormat", "", "always", "string", "none", [], [];
    "VideoResolution", [], "always", "double", "none", [], [];
    "NumberOfBands", [], "always", "double", "none", [], [];
    "ROIPosition", [], "whileRunning", "double", "none", [], @roi_check;
    "ReturnedColorSpace", "", "whileRunning", "string", "enum", {"rgb", "grayscale", "YCbCr", "bayer"}, [];
    "BayerSensorAlignment", "grbg", "whileRunning", "string", "enum", {"gbrg", "grbg", "bggr", "rggb"}, [];
    "FramesPerTrigger", 10, "whileRunning", "double", "bounded", [1 Inf], @frames_check;
    "FrameGrabInterval", 1, "whileRunning", "double", "bounded", [1 Inf], @(v)whole_check(v, 1, false);
    "FramesAcquired", 0, "always", "double", "none", [], [];
    "FramesAvailable", 0, "always", "double", "none", [], [];
    "FramesAcquiredFcn", [], "never", "callback", "callback", [], @callback_check;
    "FramesAcquiredFcnCount", 0, "whileRunning", "double", "bounded", [0 Inf], @(v)whole_check(v, 0, false);
    "TimerFcn", [], "never", "callback", "callback", [], @callback_check;
    "TimerPeriod", 1, "whileRunning", "double", "bounded", [0.001 Inf], @period_check;
    "StartFcn", [], "never", "callback", "callback", [], @callback_check;
    "StopFcn", [], "never", "callback", "callback", [], @callback_check;
    "TriggerFcn", [], "never", "callback", "callback", [], @callback_check;
    "ErrorFcn", [], "never", "callback", "callback", [], @callback_check;
    "TriggerType", "immediate", "always", "string", "enum", {"immediate", "manual"}, [];
    "TriggerCondition", "none", "always", "string", "enum", {"none"}, [];
    "TriggerSource", "none", "always", "string", "enum", {"none"}, [];
    "TriggerRepeat", 0, "whileRunning", "double", "bounded", [0 Inf], @(v)whole_check(v, 0, true);
    "TriggerFrameDelay", 0, "whileRunning", "double", "bounded", [0 Inf], @(v)whole_check(v, 0, false);
    "TriggersExecuted", 0, "always", "double", "none", [], [];
    "InitialTriggerTime", [], "always", "double", "none", [], [];
    "EventLog", struct("Type", {}, "Data", {}), "always", "struct", "none", [], [];
    "LoggingMode", "memory", "whileRunning", "string", "enum", {"memory", "disk", "disk&memory"}, @mode_check;
    "DiskLogger", [], "whileLogging", "any", "none", [], @logger_check;
    "DiskLoggerFrameCount", 0, "always", "double", "none", [], [];
    "Logging", "off", "always", "string", "enum", {"off", "on"}, [];
    "Running", "off", "always", "string", "enum", {"off", "on"}, [];
    "Previewing", "off", "always", "string", "enum", {"off", "on"}, [];
    "Timeout", 10, "whileRunning", "double", "bounded", [0 Inf], @timeout_check;
    "Source", [], "always", "videosource", "none", [], [];
    "SelectedSourceName", "", "whileRunning", "string", "enum", {}, [];
  };
  table = cell2struct (p, {"Name", "DefaultValue", "ReadOnly", "Type", "Constraint", "ConstraintValue", "Check"}, 2);
  cached = table;
endfunction

function msg = text_check (v)
  msg = "";
  if (! (ischar (v) && rows (v) <= 1))
    msg = "a text";
  endif
endfunction

function msg = frames_check (v)
  msg = "";
  if (! (isnumeric (v) && isreal (v) && isscalar (v) && ! islogical (v)
         && (v == Inf || (v >= 1 && v == fix (v) && v <= 2147483647))))
    msg = "a whole number of at least 1, or Inf";
  endif
endfunction

## A whole number of at least LEAST; Inf too when ENDLESS.
function msg = whole_check (v, least, endless)
  msg = "";
  if (! (isnumeric (v) && isreal (v) && isscalar (v) && ! islogical (v)
         && ((endless && v == Inf) || (v >= least && v == fix (v) && v <= 2147483647))))
    msg = sprintf ("a whole number of at least %d%s", least, merge (endless, ", or Inf", ""));
  endif
endfunction

function msg = mode_check (v)
  msg = "";
  if (! (ischar (v) && any (strcmp (v, {"memory", "disk", "disk&memory"}))))
    msg = "'memory', 'disk' or 'disk&memory'";
  endif
endfunction

function msg = logger_check (v)
  msg = "";
  if (! ((isempty (v) && isnumeric (v)) || (isa (v, "orximaqwriter") && isscalar (v))))
    msg = "[] or a writer made by orximaqwriter (FILENAME[, FORMAT])";
  endif
endfunction

function msg = period_check (v)
  msg = "";
  if (! (isnumeric (v) && isreal (v) && isscalar (v) && ! islogical (v) && v >= 0.001 && ! isinf (v)))
    msg = "a number of seconds of at least 0.001";
  endif
endfunction

## [], a function handle, a function's name, or {function, extra args...}.
function msg = callback_check (v)
  msg = "";
  if (isempty (v) && isnumeric (v))
    return;
  endif
  f = v;
  if (iscell (v) && ! isempty (v) && isvector (v))
    f = v{1};
  endif
  if (! (is_function_handle (f) || (ischar (f) && rows (f) == 1 && ! isempty (f))))
    msg = "[], a function handle, a function's name, or a cell {function, extra arguments...}";
  endif
endfunction

function msg = timeout_check (v)
  msg = "";
  if (! (isnumeric (v) && isreal (v) && isscalar (v) && ! islogical (v) && v >= 0))
    msg = "a number of seconds of at least 0, or Inf";
  endif
endfunction

function msg = roi_check (v)
  msg = "";
  if (! (isnumeric (v) && isreal (v) && ! islogical (v) && isequal (size (v), [1 4])
         && all (isfinite (v)) && all (v == fix (v)) && all (v >= 0)))
    msg = "a real row [x y width height] of whole numbers of at least 0";
  endif
endfunction

function msg = only_default (v, default)
  msg = "";
  if (! isequal (v, default))
    msg = sprintf ("only its default, %s (other values are not supported by this package yet)",
                   disp_text (default));
  endif
endfunction

function t = disp_text (v)
  if (ischar (v))
    t = ["'" v "'"];
  elseif (isempty (v))
    t = "[]";
  else
    t = num2str (v);
  endif
endfunction

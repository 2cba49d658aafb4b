## Hostile use: every read-only property refuses writes naming itself and
## why; while-running properties refuse changes while running; private state
## is out of reach; a deleted object answers nothing; bad arguments are
## refused with messages that name the argument and what it takes.
orx_test_rig ();

## Device IDs that are not whole numbers of at least 1 open nothing.
for id = {1.5, [1 2], true, complex(2, 1), NaN, Inf, -Inf, 2^53, 0, -1, [], {1}, int8(-3)}
  orx_assert_error_text (@() videoinput ("orximaq", id{1}), "imaq:videoinput:invalidDevice", {"DEVICEID"});
endfor
orx_assert_error (@() videoinput ("orximaq", 99), "imaq:orximaq:hostError");
orx_assert_error (@() videoinput ("other", 1), "imaq:videoinput:noAdaptor");
orx_assert_error (@() videoinput ("orximaq", 1, 5), "imaq:videoinput:invalidFormat");
orx_assert_error (@() videoinput ("orximaq", 1, "Y800 (64x48)", "FramesPerTrigger"), "imaq:set:invalidArgument");
assert (isempty (imaqfind ()));
assert (__orximaq_counters__ ().Grabbers, 0);

## Name, value pairs at construction.
vid = videoinput ("orximaq", "Pixie Mono", "Y800 (64x48)", "FramesPerTrigger", 3, "Tag", "probe");
assert (vid.FramesPerTrigger, 3);
assert (vid.Tag, "probe");
delete (vid);
orx_assert_error_text (@() videoinput ("orximaq", 1, "Y800 (64x48)", "Running", "on"),
                       "imaq:orximaq:readOnly", {"Running"});
assert (isempty (imaqfind ()));

vid = videoinput ("orximaq", "Pixie Mono", "Y800 (64x48)");

## Always read-only: by assignment, set and set with a struct; the value stays.
for name = {"Type", "DeviceID", "VideoFormat", "VideoResolution", "NumberOfBands", "FramesAcquired", ...
            "FramesAvailable", "Running", "Logging", "Previewing", "TriggerType", "TriggersExecuted", ...
            "InitialTriggerTime", "EventLog", "DiskLoggerFrameCount", "Source"}
  before = get (vid, name{1});
  orx_assert_error_text (@() set (vid, name{1}, 5), "imaq:orximaq:readOnly", {name{1}, "read-only"});
  orx_assert_error_text (@() set (vid, struct (name{1}, 5)), "imaq:orximaq:readOnly", {name{1}});
  assert (isequal (get (vid, name{1}), before));
endfor
orx_assert_assign_error (vid, "VideoFormat", "Y16 (64x48)", "imaq:orximaq:readOnly");
assert (vid.VideoFormat, "Y800 (64x48)");
assert (vid.Running, "off");

## Private state: neither set nor assignment reaches it.
warning ("off", "Octave:classdef-to-struct");
handle = struct (vid).GatewayHandle;
orx_assert_error (@() set (vid, "GatewayHandle", 99), "imaq:videoinput:unknownProperty");
orx_assert_error (@() set (vid, "Values", struct ()), "imaq:videoinput:unknownProperty");
try
  vid.GatewayHandle = 99;
  error ("orx:test", "GatewayHandle took a write");
catch err
  assert (err.identifier, "imaq:videoinput:unknownProperty");
end_try_catch
assert (struct (vid).GatewayHandle, handle);
assert (isvalid (vid));

## Values checked, with messages naming the property and what it takes.
orx_assert_error_text (@() set (vid, "FramesPerTrigger", 0), "imaq:orximaq:invalidValue", {"FramesPerTrigger", "whole number"});
for bad = {1.5, -1, NaN, [1 2], "10", true, complex(1, 1), 2^53}
  orx_assert_error (@() set (vid, "FramesPerTrigger", bad{1}), "imaq:orximaq:invalidValue");
endfor
for bad = {-1, NaN, "10", [1 2]}
  orx_assert_error_text (@() set (vid, "Timeout", bad{1}), "imaq:orximaq:invalidValue", {"Timeout"});
endfor
for bad = {[0 0; 16 4], [0 0 16 4i], [0 0 16], [0 0 16.5 4], [-4 0 16 4], [0 0 16 Inf], "0 0 16 4"}
  orx_assert_error_text (@() set (vid, "ROIPosition", bad{1}), "imaq:orximaq:invalidValue", {"ROIPosition"});
endfor
assert (vid.ROIPosition, [0 0 64 48]);
orx_assert_error_text (@() set (vid, "Tag", 5), "imaq:orximaq:invalidValue", {"Tag"});
orx_assert_error_text (@() set (vid, "FrameGrabInterval", 0.5), "imaq:orximaq:invalidValue", {"FrameGrabInterval", "whole number"});
orx_assert_error_text (@() set (vid, "ReturnedColorSpace", "hsv"), "imaq:orximaq:invalidValue", {"ReturnedColorSpace", "grayscale", "bayer"});
orx_assert_error (@() set (vid, "NoSuchProperty", 1), "imaq:videoinput:unknownProperty");
orx_assert_error (@() get (vid, "NoSuchProperty"), "imaq:videoinput:unknownProperty");
orx_assert_error (@() set (vid, "Tag", "a", "Name"), "imaq:set:invalidArgument");
vid.Timeout = Inf;
assert (vid.Timeout, Inf);
vid.Timeout = 10;

## Frame counts and timeouts.
for bad = {0, -1, 1.5, NaN, Inf, [1 2], "3", true}
  orx_assert_error_text (@() getdata (vid, bad{1}), "imaq:getdata:invalidCount", {"N"});
  orx_assert_error_text (@() peekdata (vid, bad{1}), "imaq:peekdata:invalidCount", {"N"});
endfor
orx_assert_error_text (@() getdata (vid, 1e8), "imaq:getdata:tooFewFrames", {"100000000", "0 are available"});
for bad = {-1, NaN, "1", [1 2], complex(1, 1)}
  orx_assert_error_text (@() wait (vid, bad{1}), "imaq:wait:invalidTimeout", {"TIMEOUT"});
endfor
orx_assert_error (@() wait (vid, 1, "sleeping"), "imaq:wait:invalidState");
orx_assert_error (@() flushdata (vid, "some"), "imaq:flushdata:invalidMode");
assert (size (peekdata (vid)), [0 0 1 0]);

## set(vid) and set(vid, name) list what may be written and the allowed values.
allowed = set (vid);
assert (isstruct (allowed) && isfield (allowed, "FramesPerTrigger") && ! isfield (allowed, "Running"));
assert (set (vid, "ReturnedColorSpace"), {"rgb", "grayscale", "YCbCr", "bayer"});
assert (set (vid, "SelectedSourceName"), __orximaq__ ("sources", handle).Names);

## imaqhwinfo (vid, field): one field's value; other fields named in the error.
assert (imaqhwinfo (vid, "MaxWidth"), 64);
for bad = {"NoSuchField", "maxwidth", "", 5, {"MaxWidth"}}
  orx_assert_error_text (@() imaqhwinfo (vid, bad{1}), "imaq:imaqhwinfo:invalidField", {"FIELD", "MaxWidth"});
endfor

## While running: the while-running properties refuse, the others take writes;
## Logging is on until stop.
vid.FramesPerTrigger = Inf;
assert ({vid.Logging, islogging(vid)}, {"off", false});
start (vid);
assert ({vid.Running, vid.Logging, islogging(vid)}, {"on", "on", true});
logger = orximaqwriter ([tempname() ".tif"]);
for pair = {"FramesPerTrigger", 5; "Timeout", 3; "ROIPosition", [0 0 32 24]; "TriggerRepeat", 0; ...
            "BayerSensorAlignment", "rggb"; "LoggingMode", "disk"; "DiskLogger", logger}'
  before = get (vid, pair{1});
  orx_assert_error_text (@() set (vid, pair{1}, pair{2}), "imaq:orximaq:readOnlyWhileRunning", {pair{1}, "running"});
  assert (isequal (get (vid, pair{1}), before), pair{1});
endfor
vid.Tag = "busy";
vid.UserData = {1, 2};
assert (vid.Tag, "busy");
assert (vid.FramesPerTrigger, Inf);
orx_assert_error (@() start (vid), "imaq:orximaq:hostError");
orx_assert_error (@() wait (vid, 0.05, "running"), "imaq:wait:timeout");
stop (vid);
assert ({vid.Running, vid.Logging, islogging(vid)}, {"off", "off", false});
vid.BayerSensorAlignment = "rggb";
vid.LoggingMode = "disk&memory";
vid.DiskLogger = logger;
vid.LoggingMode = "memory";
vid.DiskLogger = [];
vid.FramesPerTrigger = 4;

## The selected source: SourceName is listed, described and read-only.
src = getselectedsource (vid);
assert (isfield (get (src), "SourceName"));
p = propinfo (src, "SourceName");
assert (p.ReadOnly, "always");
assert (p.DefaultValue, get (src, "SourceName"));
assert (isfield (propinfo (src), "SourceName"));
orx_assert_error (@() set (src, "SourceName", "other"), "imaq:orximaq:readOnly");
orx_assert_error (@() set (src, "GatewayHandle", 99), "imaq:orximaq:unknownProperty");

## A deleted object answers nothing, by any path.
delete (vid);
assert (! isvalid (vid));
for call = {@() get (vid, "Name"), @() get (vid), @() set (vid, "FramesPerTrigger", 3), ...
            @() set (vid), @() start (vid), @() getdata (vid, 1), @() propinfo (vid), ...
            @() imaqhwinfo (vid)}
  orx_assert_error_text (call{1}, "imaq:videoinput:invalidObject", {"deleted"});
endfor
try
  vid.FramesPerTrigger = 3;
  error ("orx:test", "a deleted object took a write");
catch err
  assert (err.identifier, "imaq:videoinput:invalidObject");
end_try_catch
orx_assert_error (@() src.Brightness, "imaq:orximaq:hostError");
delete (vid);

## A lost device: start names it instead of running with no frames.
warning ("off", "all");
fickle = videoinput ("orximaq", "Pixie Fickle");
fickle.FramesPerTrigger = 20;
start (fickle);
wait (fickle, 10);
warning ("on", "all");
orx_assert_error_text (@() start (fickle), "imaq:orximaq:deviceLost", {"Pixie Fickle", "lost"});
assert (fickle.Running, "off");

## The preview without a graphics toolkit (octave-cli) says so; stopping or
## closing a preview that is not there does nothing; a deleted object refuses.
if (isempty (available_graphics_toolkits ()))
  orx_assert_error (@() preview (fickle), "imaq:preview:noGraphics");
endif
assert (fickle.Previewing, "off");
stoppreview (fickle);
closepreview (fickle);
closepreview ();
delete (fickle);
orx_assert_error (@() preview (fickle), "imaq:videoinput:invalidObject");
orx_assert_error (@() closepreview (fickle), "imaq:videoinput:invalidObject");
orx_assert_no_leaks ();

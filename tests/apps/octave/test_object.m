## The video input object as a whole: every property with its default and
## read-only mode, get and set in every form, propinfo, imaqfind with pairs,
## a struct and an object list, typed and cell output of getdata, and a help
## text for every public function.
orx_test_rig ();
vid = videoinput ("orximaq", "Pixie Mono", "Y800 (64x48)");
props = get (vid);
defaults = struct ("Name", "Y800 (64x48)-orximaq-1", "Tag", "", "Type", "videoinput", "UserData", [], ...
                   "DeviceID", 1, "VideoFormat", "Y800 (64x48)", "VideoResolution", [64 48], ...
                   "NumberOfBands", 1, "ROIPosition", [0 0 64 48], "ReturnedColorSpace", "grayscale", ...
                   "BayerSensorAlignment", "grbg", "FramesPerTrigger", 10, "FrameGrabInterval", 1, ...
                   "FramesAcquired", 0, "FramesAvailable", 0, "FramesAcquiredFcn", [], ...
                   "FramesAcquiredFcnCount", 0, "TimerFcn", [], "TimerPeriod", 1, "StartFcn", [], ...
                   "StopFcn", [], "TriggerFcn", [], "ErrorFcn", [], "TriggerType", "immediate", ...
                   "TriggerCondition", "none", "TriggerSource", "none", "TriggerRepeat", 0, ...
                   "TriggerFrameDelay", 0, "TriggersExecuted", 0, "InitialTriggerTime", [], ...
                   "LoggingMode", "memory", "DiskLogger", [], "DiskLoggerFrameCount", 0, ...
                   "Logging", "off", "Running", "off", "Previewing", "off", "Timeout", 10);
for name = fieldnames (defaults)'
  assert (isfield (props, name{1}), name{1});
  assert (isequal (props.(name{1}), defaults.(name{1})), name{1});
endfor
assert (isempty (props.EventLog) && isstruct (props.EventLog));
assert (isa (props.Source, "videosource"));
assert (props.SelectedSourceName, get (props.Source, "SourceName"));

## propinfo of every property, with its read-only mode.
info = propinfo (vid);
assert (sort (fieldnames (info)), sort (fieldnames (props)));
modes = struct ("Name", "never", "Running", "always", "FramesPerTrigger", "whileRunning", ...
                "VideoFormat", "always", "Timeout", "whileRunning", "TriggerType", "always");
for name = fieldnames (modes)'
  assert (info.(name{1}).ReadOnly, modes.(name{1}));
  assert (propinfo (vid, name{1}), info.(name{1}));
endfor
assert (info.ROIPosition.DefaultValue, [0 0 64 48]);
assert (info.FramesPerTrigger.DefaultValue, 10);
orx_assert_error (@() propinfo (vid, "Nothing"), "imaq:videoinput:unknownProperty");

## get and set in every form; names in any case.
assert (get (vid, {"Tag", "FramesPerTrigger"}), {"", 10});
set (vid, "Tag", "a", "FramesPerTrigger", 4, "UserData", {7});
assert (get (vid, {"Tag", "FramesPerTrigger", "UserData"}), {"a", 4, {7}});
set (vid, struct ("Tag", "b", "Timeout", 2));
assert ([vid.Tag, num2str(vid.Timeout)], "b2");
set (vid, "tag", "c");
assert (get (vid, "TAG"), "c");
vid.FramesPerTrigger = int32 (6);
assert (class (vid.FramesPerTrigger), "double");
vid.UserData = struct ("count", 1);
vid.UserData.count += 1;
assert (vid.UserData.count, 2);
assert (isstruct (set (vid)));

## Name is the user's to change, and imaqfind finds the new one; a name must
## be one line of text, and a refused write leaves the old one. get takes a
## name or a cell array of names, nothing else.
vid.Name = "left camera";
assert (get (vid, "Name"), "left camera");
assert (numel (imaqfind ("Name", "left camera")), 1);
orx_assert_error (@() set (vid, "Name", 5), "imaq:orximaq:invalidValue");
orx_assert_error (@() set (vid, "Name", ["ab"; "cd"]), "imaq:orximaq:invalidValue");
assert (vid.Name, "left camera");
orx_assert_error (@() get (vid, 5), "imaq:get:invalidName");
orx_assert_error (@() get (vid, {"Tag", 5}), "imaq:get:invalidName");
## The source's name belongs to the device: read-only in every form of write.
src = getselectedsource (vid);
orx_assert_error (@() set (src, "SourceName", "other"), "imaq:orximaq:readOnly");
orx_assert_assign_error (src, "SourceName", "other", "imaq:orximaq:readOnly");
assert (get (src, "SourceName"), vid.SelectedSourceName);
assert (set (vid, "FramesPerTrigger"), [1 Inf]);

## getdata's types and the cell format.
vid.FramesPerTrigger = 3;
start (vid);
wait (vid);
## A refused type or format takes no frame out of the buffer.
orx_assert_error (@() getdata (vid, 1, "int8"), "imaq:getdata:invalidType");
orx_assert_error (@() getdata (vid, 1, "double", "list"), "imaq:getdata:invalidFormat");
assert (vid.FramesAvailable, 3);
getdata (vid, 1);
d = getdata (vid, 1, "double");
assert (class (d), "double");
c = getdata (vid, 1, "uint16", "cell");
assert (iscell (c) && numel (c) == 1 && isa (c{1}, "uint16"));
assert (all (mod (double (c{1}(:)), 257) == 0));
orx_assert_error (@() getdata (vid, 1, "int8"), "imaq:getdata:invalidType");
orx_assert_error (@() getdata (vid, 1, "double", "list"), "imaq:getdata:invalidFormat");

## imaqfind: pairs, a struct, an object list; deleted objects are not found.
other = videoinput ("orximaq", "Pixie Colour", "Tag", "colour");
assert (numel (imaqfind ()), 2);
found = imaqfind ("Tag", "colour");
assert (numel (found) == 1 && strcmp (found{1}.Name, other.Name));
assert (numel (imaqfind (struct ("Tag", "COLOUR", "Type", "videoinput"))), 1);
assert (numel (imaqfind ({vid}, "Type", "videoinput")), 1);
assert (strcmp (imaqfind (other, "Tag", "colour"){1}.Name, other.Name));
assert (isempty (imaqfind ("Tag", "nothing")));
orx_assert_error (@() imaqfind ("Tag"), "imaq:imaqfind:invalidArgument");
delete (other);
assert (numel (imaqfind ()), 1);
assert (isempty (imaqfind ({other})));
assert (isrunning (vid) == false && islogging (vid) == false);
delete (vid);
orx_assert_no_leaks ();

## Every public function has a help text.
for fn = {"videoinput", "imaqhwinfo", "imaqfind", "imaqreset", "imaqmem", "videosource"}
  text = evalc (sprintf ("help %s", fn{1}));
  assert (numel (text) > 100 && isempty (strfind (text, "not found")), fn{1});
endfor
for fn = {"delete", "isvalid", "getselectedsource", "imaqhwinfo", "start", "stop", "wait", "isrunning", ...
          "islogging", "getdata", "peekdata", "flushdata", "getsnapshot", "get", "set", "propinfo", ...
          "triggerconfig", "triggerinfo", "trigger"}
  text = evalc (sprintf ("help videoinput.%s", fn{1}));
  assert (! isempty (strfind (text, [fn{1} " ("])), fn{1});
endfor

## Triggers: triggerconfig reports the configuration and takes a struct
## as it returns; trigger says why an immediate object takes none.
orx_test_rig ();
vid = videoinput ("orximaq", "Pixie Mono");
config = triggerconfig (vid);
assert (config, struct ("TriggerType", "immediate", "TriggerCondition", "none", "TriggerSource", "none"));
triggerconfig (vid, "immediate");
triggerconfig (vid, config);
assert (triggerinfo (vid)(1), config);
orx_assert_error_text (@() trigger (vid), "imaq:trigger:notManual", {"immediate"});
delete (vid);
orx_assert_no_leaks ();

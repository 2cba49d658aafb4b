## Device properties: round trip, every kind of refusal with its identifier,
## the allowed values, propinfo, and reads and writes while running.
orx_test_rig ();
vid = videoinput ("orximaq", "Pixie Mono");
src = getselectedsource (vid);
values = get (src);
assert (isfield (values, "Brightness") && isfield (values, "SourceName"));
names = fieldnames (values);
general = {"Parent", "Selected", "SourceName", "Tag", "Type", "UserData"};

src.Brightness = 20;
assert (src.Brightness, 20);
set (src, "Brightness", 35);
assert (get (src, "Brightness"), 35);
set (src, "Brightness", 0, "Brightness", 100);
assert (src.Brightness, 100);

## Every property: propinfo and a round trip of its default where writable.
for i = 1:numel (names)
  name = names{i};
  if (any (strcmp (name, general)))
    continue;
  endif
  p = propinfo (src, name);
  assert (all (isfield (p, {"Type", "Constraint", "ConstraintValue", "DefaultValue", "ReadOnly", "DeviceSpecific"})));
  if (strcmp (p.ReadOnly, "notCurrently"))
    set (src, name, p.DefaultValue);
    assert (get (src, name), p.DefaultValue);
  endif
  if (strcmp (p.Constraint, "enum"))
    assert (iscellstr (set (src, name)));
    assert (any (strcmp (p.DefaultValue, p.ConstraintValue)));
  elseif (strcmp (p.Constraint, "bounded"))
    assert (numel (set (src, name)), 2);
  endif
endfor

p = propinfo (src, "Brightness");
assert (p.Type, "integer");
assert (p.Constraint, "bounded");
assert (p.ConstraintValue, [0 100]);
assert (p.DefaultValue, 0);
assert (p.DeviceSpecific, true);

## set (src): every writable property with its allowed values, the
## read-only ones left out; printed without an output.
allowed = set (src);
assert (isstruct (allowed) && isscalar (allowed));
assert (isfield (allowed, "Brightness") && ! isfield (allowed, "SourceName"));
allowed = rmfield (allowed, {"Tag", "UserData"});
assert (allowed.Brightness, [0 100]);
for field = fieldnames (allowed)'
  assert (! strcmp (propinfo (src, field{1}).ReadOnly, "always"), field{1});
  assert (isequal (allowed.(field{1}), set (src, field{1})), field{1});
endfor
assert (! isempty (strfind (evalc ("set (src)"), "Brightness")));

## Refusals, each with its own identifier; the value stays.
src.Brightness = 10;
orx_assert_error (@() set (src, "Brightness", 101), "imaq:orximaq:outOfRange");
orx_assert_error (@() set (src, "Brightness", -1), "imaq:orximaq:outOfRange");
orx_assert_error (@() set (src, "Brightness", 2.5), "imaq:orximaq:invalidType");
orx_assert_error (@() set (src, "Brightness", "high"), "imaq:orximaq:invalidType");
orx_assert_error (@() set (src, "Brightness", [1 2]), "imaq:orximaq:invalidType");
orx_assert_error (@() set (src, "Brightness", 1e12), "imaq:orximaq:invalidType");
orx_assert_error (@() set (src, "NoSuchProperty", 1), "imaq:orximaq:unknownProperty");
orx_assert_error (@() get (src, "NoSuchProperty"), "imaq:orximaq:unknownProperty");
assert (src.Brightness, 10);
enums = {};
for i = 1:numel (names)
  if (! any (strcmp (names{i}, general)) && strcmp (propinfo (src, names{i}).Constraint, "enum"))
    enums{end+1} = names{i};
  endif
endfor
assert (! isempty (enums));
orx_assert_error (@() set (src, enums{1}, "NotAValue"), "imaq:orximaq:invalidValue");
orx_assert_error (@() set (src, enums{1}, 1), "imaq:orximaq:invalidType");
doubles = {};
readonly = {};
whilerunning = {};
for i = 1:numel (names)
  if (any (strcmp (names{i}, general)))
    continue;
  endif
  p = propinfo (src, names{i});
  if (strcmp (p.Type, "double"))
    doubles{end+1} = names{i};
  endif
  if (strcmp (p.ReadOnly, "always"))
    readonly{end+1} = names{i};
  elseif (strcmp (p.ReadOnly, "whileRunning"))
    whilerunning{end+1} = names{i};
  endif
endfor
if (! isempty (doubles))
  range = propinfo (src, doubles{1}).ConstraintValue;
  orx_assert_error (@() set (src, doubles{1}, range(2) * 2 + 1), "imaq:orximaq:outOfRange");
endif
assert (! isempty (readonly) && ! isempty (doubles));
if (! isempty (readonly))
  orx_assert_error (@() set (src, readonly{1}, get (src, readonly{1})), "imaq:orximaq:readOnly");
endif

## While running: reads and writes go on; whileRunning properties refuse.
vid.FramesPerTrigger = Inf;
start (vid);
assert (vid.Running, "on");
for k = 1:20
  src.Brightness = mod (k, 50);
  assert (src.Brightness, mod (k, 50));
  get (src);
endfor
if (! isempty (whilerunning))
  orx_assert_error (@() set (src, whilerunning{1}, get (src, whilerunning{1})), "imaq:orximaq:readOnlyWhileRunning");
endif
orx_assert_error (@() start (vid), "imaq:orximaq:hostError");
stop (vid);
assert (vid.Running, "off");
assert (vid.FramesAcquired > 0);

## The source's general properties: Parent, Selected, SourceName and Type
## are read-only; Tag and UserData are the user's and stay with the video
## input's one source object.
vid.Tag = "the parent";
assert (isa (src.Parent, "videoinput") && strcmp (src.Parent.Tag, "the parent"));
assert (src.Selected, "on");
assert (src.Type, "videosource");
assert (src.SourceName, vid.SelectedSourceName);
assert (src.Tag, "");
assert (isempty (src.UserData));
src.Tag = "left";
src.UserData.count = 1;
src.UserData.count += 1;
assert (getselectedsource (vid).Tag, "left");
assert (vid.Source.UserData.count, 2);
set (src, "Tag", "right", "UserData", {1, 2});
assert (get (src, {"Tag"}), {"right"});
assert (get (src, "UserData"), {1, 2});
for name = {"Parent", "Selected", "SourceName", "Type"}
  orx_assert_error (@() set (src, name{1}, "x"), "imaq:orximaq:readOnly");
  assert (propinfo (src, name{1}).ReadOnly, "always");
endfor
orx_assert_error (@() set (src, "Tag", 5), "imaq:orximaq:invalidValue");
assert (propinfo (src, "Tag").ReadOnly, "never");
assert (propinfo (src, "UserData").DefaultValue, []);
assert (isfield (set (src), "Tag") && ! isfield (set (src), "Type"));
assert (all (isfield (get (src), {"Parent", "Selected", "SourceName", "Tag", "Type", "UserData"})));
shown = evalc ("disp (src)");
assert (! isempty (strfind (shown, "Tag")) && ! isempty (strfind (shown, ["videoinput '" vid.Name "'"])));

## The video input's own properties.
orx_assert_error (@() set (vid, "FramesPerTrigger", 0), "imaq:orximaq:invalidValue");
orx_assert_error (@() set (vid, "FramesPerTrigger", 1.5), "imaq:orximaq:invalidValue");
orx_assert_error (@() set (vid, "Timeout", -1), "imaq:orximaq:invalidValue");
vid.Timeout = 3;
assert (get (vid, "Timeout"), 3);
delete (vid);

## A property that is read-only while running: writable before and after.
vid = videoinput ("orximaq", "Pixie Colour");
src = getselectedsource (vid);
p = propinfo (src, "FrameRate");
assert (p.ReadOnly, "whileRunning");
rate = src.FrameRate;
src.FrameRate = rate;
vid.FramesPerTrigger = Inf;
start (vid);
orx_assert_error (@() set (src, "FrameRate", rate), "imaq:orximaq:readOnlyWhileRunning");
assert (src.FrameRate, rate);
stop (vid);
src.FrameRate = p.ConstraintValue{end};
assert (src.FrameRate, p.ConstraintValue{end});
delete (vid);
orx_assert_no_leaks ();

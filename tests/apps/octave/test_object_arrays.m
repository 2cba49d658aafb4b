## Arrays of video inputs made by concatenation: shapes, indexing, acting on
## every object, all-or-none start, and what they refuse.
orx_test_rig ();
mono = videoinput ("orximaq", "Pixie Mono", "Y800 (64x48)");
colour = videoinput ("orximaq", "Pixie Colour", "RGB24 (32x24)");

## Shapes; one object concatenated alone stays itself.
vids = [mono colour];
assert (class (vids), "videoinputarray");
assert ([size(vids), numel(vids)], [1 2 2]);
assert (size ([mono; colour]), [2 1]);
assert (size ([vids; vids]), [2 2]);
assert (numel ([vids, mono]), 3);
assert (class ([mono]), "videoinput");
assert (class ([mono, []]), "videoinput");
assert (vids(2).GatewayHandle, colour.GatewayHandle);
assert (numel (vids(1:2)), 2);
assert ([length(vids), length([vids; vids]), length([vids, mono]), length(videoinputarray())], [2 2 3 0]);
assert (vids(2).Name, colour.Name);
assert (isempty (videoinputarray ()));

## Refused: other values, indexed assignment, properties of the array.
for bad = {@() [mono 5], @() [mono {1}], @() [mono "a"]}
  try
    bad{1} ();
    error ("orx:test", "a concatenation with another value was taken");
  catch err
    assert (isempty (strfind (err.message, "was taken")));
  end_try_catch
endfor
orx_assert_error (@() vids.Name, "imaq:videoinput:notScalar");
orx_assert_error (@() videoinputarray ({mono, 5}), "imaq:videoinput:invalidArray");
try
  vids(1) = colour;
  error ("orx:test", "indexed assignment taken");
catch err
  assert (err.identifier, "imaq:videoinput:invalidAssignment");
end_try_catch

## set and get go to each; start, wait, isrunning, getdata per object.
set (vids, "FramesPerTrigger", 6);
assert (get (vids, "FramesPerTrigger"), {6; 6});
start (vids);
wait (vids, 10);
assert (isrunning (vids), [false false]);
assert (islogging (vids), [false false]);
assert (size (getdata (mono, 6)), [48 64 1 6]);
assert (size (getdata (colour, 6)), [24 32 3 6]);

## stop stops every one; an object twice is started once.
set (vids, "FramesPerTrigger", Inf);
twice = [mono colour mono];
start (twice);
assert (isrunning (twice), [true true true]);
stop (twice);
assert (isrunning (twice), [false false false]);

## Manual triggers on every object: trigger refused until all run, then one
## trigger each, counted once for an object twice in the array; flushdata
## empties every buffer.
orx_assert_error (@() trigger (vids), "imaq:trigger:notManual");
triggerconfig (mono, "manual");
triggerconfig (colour, "manual");
orx_assert_error (@() trigger (vids), "imaq:trigger:notRunning");
set (vids, "FramesPerTrigger", 3);
set (vids, "TriggerRepeat", 1);
start (twice);
trigger (twice);
assert (get (vids, "TriggersExecuted"), {1; 1});
t0 = tic ();
while (any (cellfun (@(n) n < 3, get (vids, "FramesAcquired"))) && toc (t0) < 10)
  pause (0.02);
endwhile
trigger (vids);
wait (vids, 10);
assert (get (vids, "FramesAvailable"), {6; 6});
assert (get (vids, "TriggersExecuted"), {2; 2});
flushdata (vids, "triggers");
assert (get (vids, "FramesAvailable"), {3; 3});
flushdata (twice);
assert (get (vids, "FramesAvailable"), {0; 0});
## A member that triggers itself refuses before any other is triggered.
triggerconfig (colour, "immediate");
set (vids, "TriggerRepeat", 0);
start (vids);
orx_assert_error (@() trigger (vids), "imaq:trigger:notManual");
assert (mono.TriggersExecuted, 0);
stop (vids);
flushdata (vids);
triggerconfig (mono, "immediate");
triggerconfig (colour, "immediate");
set (vids, "TriggerRepeat", 0);

## All or none: when one refuses to start, those started are stopped again.
## (The running one runs until stopped: three frames at 200 fps could end
## before the array's start.)
colour.FramesPerTrigger = Inf;
start (colour);
orx_assert_error (@() start (vids), "imaq:orximaq:hostError");
assert (isrunning (mono), false);
stop (colour);

## imaqfind searches an array, and its cell array concatenates into one;
## delete deletes every object.
assert (numel (imaqfind (vids, "Name", colour.Name)), 1);
found = imaqfind ();
assert (numel ([found{:}]), 2);
delete (vids);
assert (isvalid (vids), [false false]);
orx_assert_error (@() start (vids), "imaq:videoinput:invalidObject");
orx_assert_no_leaks ();

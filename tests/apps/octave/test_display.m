## What the objects print at the prompt, valid and deleted: no error, and the
## output names the object.
orx_test_rig ();
mono = videoinput ("orximaq", "Pixie Mono", "Y800 (64x48)");
colour = videoinput ("orximaq", "Pixie Colour", "RGB24 (32x24)");
src = getselectedsource (mono);
vids = [mono colour];
writer = orximaqwriter (fullfile (tempdir (), "display_probe.tif"));

## Each text holds all of its words.
function has_words (text, words)
  for w = words
    assert (! isempty (strfind (text, w{1})), sprintf ("'%s' not in: %s", w{1}, text));
  endfor
endfunction

has_words (evalc ("mono"), {"mono =", "videoinput", mono.Name, "Pixie Mono", "not running"});
has_words (evalc ("disp (mono)"), {"videoinput", mono.Name});
has_words (evalc ("display (mono)"), {"videoinput", mono.Name});
has_words (evalc ("src"), {"src =", "video source", "Pixie Mono", "Brightness"});
has_words (evalc ("disp (src)"), {"video source", "Pixie Mono"});
has_words (evalc ("vids"), {"vids =", "1x2 array of video inputs", mono.Name, colour.Name});
has_words (evalc ("disp (vids)"), {"array of video inputs", colour.Name});
has_words (evalc ("writer"), {"writer =", "orximaqwriter", "display_probe.tif", "tiff-stack", "0 frames"});
has_words (evalc ("disp (writer)"), {"orximaqwriter", "display_probe.tif"});

## A running member says so.
colour.FramesPerTrigger = Inf;
start (colour);
has_words (evalc ("disp (vids)"), {"2: '", "running"});
has_words (evalc ("disp (colour)"), {colour.Name, "running"});
stop (colour);

## Deleted: each says it is invalid, the array names the one left.
delete (mono);
has_words (evalc ("mono"), {"mono =", "invalid videoinput", "deleted"});
has_words (evalc ("src"), {"src =", "invalid video source", "deleted"});
has_words (evalc ("vids"), {"1: invalid (deleted)", colour.Name});
delete (writer);
has_words (evalc ("writer"), {"orximaqwriter", "display_probe.tif"});
delete (colour);
has_words (evalc ("disp (vids)"), {"1: invalid (deleted)", "2: invalid (deleted)"});
orx_assert_no_leaks ();

## The table entry of the video input property NAME (any case).
function entry = vid_property_entry (name)
  if (! ischar (name))
    error ("imaq:videoinput:invalidName", "a property name must be a text");
  endif
  table = __orximaq_props__ ();
  match = strcmpi (name, {table.Name});
  if (! any (match))
    error ("imaq:videoinput:unknownProperty",
           "there is no property '%s' on a video input object (see get(vid) for the list)", name);
  endif
  entry = table(match);
endfunction

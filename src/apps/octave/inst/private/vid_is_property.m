function tf = vid_is_property (name)
  tf = any (strcmp (name, {__orximaq_props__().Name}));
endfunction

function values = vid_allowed_values (obj, entry)
  values = {};
  switch (entry.Constraint)
    case "enum"
      values = entry.ConstraintValue;
      if (strcmp (entry.Name, "SelectedSourceName"))
        values = __orximaq__ ("sources", obj.GatewayHandle).Names;
      elseif (strcmp (entry.Name, "ReturnedColorSpace"))
        values = {"rgb", "grayscale", "YCbCr"};
        if (__orximaq__ ("info", obj.GatewayHandle).NumberOfBands == 1)
          values{end+1} = "bayer";
        endif
      endif
    case "bounded"
      values = entry.ConstraintValue;
  endswitch
endfunction

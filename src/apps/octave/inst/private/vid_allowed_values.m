function values = vid_allowed_values (obj, entry)
  values = {};
  switch (entry.Constraint)
    case "enum"
      values = entry.ConstraintValue;
      if (strcmp (entry.Name, "SelectedSourceName"))
        values = __orximaq__ ("sources", obj.GatewayHandle).Names;
      elseif (strcmp (entry.Name, "ReturnedColorSpace"))
        values = {obj.Values.ReturnedColorSpace};
      endif
    case "bounded"
      values = entry.ConstraintValue;
  endswitch
endfunction

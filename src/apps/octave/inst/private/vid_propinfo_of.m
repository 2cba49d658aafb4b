function info = vid_propinfo_of (obj, entry)
  default = entry.DefaultValue;
  if (any (strcmp (entry.Name, {"Name", "ReturnedColorSpace", "ROIPosition", "DeviceID", "VideoFormat", ...
                                "VideoResolution", "NumberOfBands", "SelectedSourceName", "Source"})))
    default = vid_get_value (obj, entry.Name);
    if (strcmp (entry.Name, "ROIPosition"))
      default = [0, 0, vid_get_value(obj, "VideoResolution")];
    elseif (strcmp (entry.Name, "ReturnedColorSpace"))
      default = obj.Values.ReturnedColorSpace;
    elseif (strcmp (entry.Name, "NumberOfBands"))
      default = __orximaq__ ("info", obj.GatewayHandle).NumberOfBands;
    endif
  endif
  info = struct ("Type", entry.Type, "Constraint", entry.Constraint,
                 "ConstraintValue", {vid_allowed_values(obj, entry)}, "DefaultValue", {default},
                 "ReadOnly", entry.ReadOnly, "DeviceSpecific", false);
endfunction

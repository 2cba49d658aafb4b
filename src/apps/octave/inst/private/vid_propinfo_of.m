function info = vid_propinfo_of (obj, entry)
  default = entry.DefaultValue;
  if (any (strcmp (entry.Name, {"Name", "ReturnedColorSpace", "ROIPosition", "DeviceID", "VideoFormat", ...
                                "VideoResolution", "NumberOfBands", "SelectedSourceName", "Source"})))
    default = vid_get_value (obj, entry.Name);
    if (strcmp (entry.Name, "ROIPosition"))
      default = [0, 0, vid_get_value(obj, "VideoResolution")];
    endif
  endif
  info = struct ("Type", entry.Type, "Constraint", entry.Constraint,
                 "ConstraintValue", {vid_allowed_values(obj, entry)}, "DefaultValue", {default},
                 "ReadOnly", entry.ReadOnly, "DeviceSpecific", false);
endfunction

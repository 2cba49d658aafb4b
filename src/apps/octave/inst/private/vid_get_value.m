function value = vid_get_value (obj, name)
  entry = vid_property_entry (name);
  h = obj.GatewayHandle;
  switch (entry.Name)
    case {"DeviceID", "VideoFormat", "VideoResolution", "NumberOfBands"}
      info = __orximaq__ ("info", h);
      switch (entry.Name)
        case "VideoResolution"
          value = [info.MaxWidth, info.MaxHeight];
        otherwise
          value = info.(entry.Name);
      endswitch
    case "ROIPosition"
      value = __orximaq__ ("roi", h);
    case {"FramesAcquired", "FramesAvailable"}
      value = __orximaq__ ("status", h).(entry.Name);
    case {"Running", "Logging"}
      value = merge (__orximaq__ ("status", h).(entry.Name), "on", "off");
    case "Source"
      value = videosource (h);
    case "SelectedSourceName"
      value = __orximaq__ ("sources", h).Selected;
    otherwise
      value = obj.Values.(entry.Name);
  endswitch
endfunction

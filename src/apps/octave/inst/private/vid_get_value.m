function value = vid_get_value (obj, name)
  entry = vid_property_entry (name);
  h = obj.GatewayHandle;
  switch (entry.Name)
    case {"ReturnedColorSpace", "BayerSensorAlignment", "NumberOfBands"}
      now = __orximaq__ ("colorspace", h);
      value = now.({"Space", "Alignment", "Bands"}{strcmp (entry.Name, {"ReturnedColorSpace", ...
                                                       "BayerSensorAlignment", "NumberOfBands"})});
    case {"DeviceID", "VideoFormat", "VideoResolution"}
      info = __orximaq__ ("info", h);
      switch (entry.Name)
        case "VideoResolution"
          value = [info.MaxWidth, info.MaxHeight];
        otherwise
          value = info.(entry.Name);
      endswitch
    case "ROIPosition"
      value = __orximaq__ ("roi", h);
    case {"FramesAcquired", "FramesAvailable", "DiskLoggerFrameCount"}
      __orximaq_dispatch__ ();
      value = __orximaq__ ("status", h).(entry.Name);
    case "Running"
      __orximaq_dispatch__ ();
      value = merge (__orximaq__ ("status", h).Running, "on", "off");
    case "Logging"
      __orximaq_dispatch__ ();
      value = merge (vid_is_logging (obj), "on", "off");
    case "Previewing"
      value = merge (__orximaq_preview__ ("previewing", h), "on", "off");
    case {"TriggersExecuted", "InitialTriggerTime", "EventLog"}
      value = __orximaq__ ("triggerstate", h).(entry.Name);
    case "SelectedSourceName"
      value = __orximaq__ ("sources", h).Selected;
    otherwise
      value = obj.Values.(entry.Name);
  endswitch
endfunction

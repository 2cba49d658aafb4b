function why = vid_read_only_reason (name)
  switch (name)
    case {"DeviceID", "VideoFormat", "VideoResolution", "NumberOfBands"}
      why = "it is fixed when the object is created (open another videoinput for another device or format)";
    case {"FramesAcquired", "FramesAvailable", "Running", "Logging", "Previewing", "TriggersExecuted", ...
          "InitialTriggerTime", "EventLog", "DiskLoggerFrameCount"}
      why = "it reports the acquisition's state";
    case {"TriggerType", "TriggerCondition", "TriggerSource"}
      why = "set it with triggerconfig";
    otherwise
      why = "it is fixed";
  endswitch
endfunction

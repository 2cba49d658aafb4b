## True while the video input OBJ logs frames.  The host counts a running
## acquisition as logging; a manual one logs only from a trigger until that
## trigger's FramesPerTrigger frames came.
function tf = vid_is_logging (obj)
  h = obj.GatewayHandle;
  status = __orximaq__ ("status", h);
  tf = status.Logging;
  if (tf && strcmp (obj.Values.TriggerType, "manual"))
    executed = __orximaq__ ("triggerstate", h).TriggersExecuted;
    tf = executed > 0 && status.FramesAcquired < executed * obj.Values.FramesPerTrigger;
  endif
endfunction

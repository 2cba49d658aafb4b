## Checks a write of VALUE to the property NAME and applies it when it goes to
## the device; STORE is true when the caller must keep it in the object.
function [store, name] = vid_set_value (obj, name, value)
  store = false;
  entry = vid_property_entry (name);
  name = entry.Name;
  if (strcmp (entry.ReadOnly, "always"))
    error ("imaq:orximaq:readOnly", "%s is read-only: %s", name, vid_read_only_reason (name));
  endif
  running = __orximaq__ ("status", obj.GatewayHandle).Running;
  if (running && any (strcmp (entry.ReadOnly, {"whileRunning", "whileLogging"})))
    error ("imaq:orximaq:readOnlyWhileRunning",
           "%s cannot change while the object is running: stop it first", name);
  endif
  if (! isempty (entry.Check))
    msg = entry.Check (value);
    if (! isempty (msg))
      error ("imaq:orximaq:invalidValue", "%s takes %s", name, msg);
    endif
  endif
  switch (name)
    case "ROIPosition"
      __orximaq__ ("roi", obj.GatewayHandle, value);
    case "SelectedSourceName"
      if (! (ischar (value) && strcmp (value, __orximaq__ ("sources", obj.GatewayHandle).Selected)))
        error ("imaq:orximaq:invalidValue", "SelectedSourceName takes one of: %s",
               strjoin (__orximaq__ ("sources", obj.GatewayHandle).Names, ", "));
      endif
    case {"ReturnedColorSpace", "BayerSensorAlignment"}
      if (! (ischar (value) && rows (value) == 1))
        error ("imaq:orximaq:invalidValue", "%s takes one of: %s", name,
               strjoin (vid_allowed_values (obj, entry), ", "));
      endif
      now = __orximaq__ ("colorspace", obj.GatewayHandle);
      if (strcmp (name, "ReturnedColorSpace"))
        if (! any (strcmpi (value, vid_allowed_values (obj, entry))))
          error ("imaq:orximaq:invalidValue", "ReturnedColorSpace takes one of: %s on this format",
                 strjoin (vid_allowed_values (obj, entry), ", "));
        endif
        __orximaq__ ("colorspace", obj.GatewayHandle, value, now.Alignment);
      else
        __orximaq__ ("colorspace", obj.GatewayHandle, now.Space, value);
      endif
    otherwise
      store = true;
  endswitch
endfunction

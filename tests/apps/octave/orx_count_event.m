## A callback for the tests: appends the event, and any extra arguments, to
## the object's UserData.
function orx_count_event (obj, event, varargin)
  seen = obj.UserData;
  seen{end+1} = struct ("Type", event.Type, "Data", event.Data, "Extra", {varargin});
  obj.UserData = seen;
endfunction

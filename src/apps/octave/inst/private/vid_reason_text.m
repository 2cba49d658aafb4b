function t = vid_reason_text (status)
  t = "";
  if (! isempty (status.EndReason))
    t = sprintf (" (the last acquisition ended: %s)", status.EndReason);
  endif
endfunction

function h = vid_handle_of (obj)
  if (! isscalar (obj))
    error ("imaq:videoinput:notScalar", "a single video input object is needed");
  endif
  h = obj.GatewayHandle;
  if (h == 0 || ! __orximaq__ ("isopen", h))
    error ("imaq:videoinput:invalidObject",
           "the video input object is invalid: it was deleted (or imaqreset ran)");
  endif
endfunction

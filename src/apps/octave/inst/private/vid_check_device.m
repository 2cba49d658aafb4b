function vid_check_device (device)
  if (ischar (device) && rows (device) <= 1 && ! isempty (device))
    return;
  endif
  if (! (isnumeric (device) && ! islogical (device) && isreal (device) && isscalar (device)
         && isfinite (device) && device == fix (device) && device >= 1 && device <= 2147483647))
    error ("imaq:videoinput:invalidDevice",
           "videoinput: DEVICEID must be a device's ID (a whole number of at least 1, as imaqhwinfo('orximaq') lists) or its name");
  endif
endfunction

function vid_check_frame_count (fname, n)
  if (! (isnumeric (n) && ! islogical (n) && isreal (n) && isscalar (n) && isfinite (n)
         && n == fix (n) && n >= 1 && n <= 2147483647))
    error (sprintf ("imaq:%s:invalidCount", fname),
           "%s: N must be a whole number of frames of at least 1", fname);
  endif
endfunction

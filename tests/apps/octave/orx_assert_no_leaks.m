## Deletes every object, resets, and asserts that every resource counter of
## the stand-ins is back at zero.
function orx_assert_no_leaks ()
  imaqreset ();
  counts = __orximaq_counters__ ();
  names = fieldnames (counts);
  for i = 1:numel (names)
    if (counts.(names{i}) != 0)
      error ("orx:test", "leak: %d %s outstanding", counts.(names{i}), names{i});
    endif
  endfor
endfunction

## -*- texinfo -*-
## @deftypefn {} {@var{counts} =} __orximaq_counters__ ()
## The runtime libraries' resource counters (host memory and frames, camera objects,
## threads, buffers): all zero once every object is deleted and imaqreset ran.
## @end deftypefn
function counts = __orximaq_counters__ ()
  counts = __orximaq__ ("counters");
endfunction

## Has Octave run the callbacks' dispatch while it waits for input at the
## prompt (once per session).
function vid_install_hook ()
  persistent installed = false
  mlock ();
  if (! installed)
    add_input_event_hook (@__orximaq_dispatch__);
    installed = true;
  endif
endfunction

## Installs a small rig of invented cameras for the tests (after imaqreset,
## so that the next call discovers afresh). Returns the rig file's path.
function file = orx_test_rig ()
  imaqreset ();
  text = fileread (fullfile (fileparts (mfilename ("fullpath")), "test_rig.json"));
  file = [tempname() ".json"];
  fid = fopen (file, "w");
  fputs (fid, text);
  fclose (fid);
  __orximaq__ ("rig", file);
endfunction

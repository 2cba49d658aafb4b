## Runs CODE in an octave-cli of its own with the package on the path and
## the test rig installed; returns its exit code and output.  Octave 7
## prints a line about an ignored exception at every exit: judge by the code
## (139 is a crash).
function [status, output] = orx_run_child (code, rig)
  if (nargin < 2)
    rig = "orx_test_rig ();";
  endif
  script = [tempname() ".m"];
  fid = fopen (script, "w");
  fputs (fid, sprintf ("addpath ('%s');\n%s\n", getenv ("ORX_OCTAVE_PATHS"), rig));
  fputs (fid, [code "\n"]);
  fclose (fid);
  [status, output] = system (sprintf ("'%s' --no-gui --quiet --no-init-file '%s' 2>&1",
                                      getenv ("ORX_OCTAVE_CLI"), script));
  delete (script);
endfunction

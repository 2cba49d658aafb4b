## The session in docs/octave.md, run as written: the first octave block,
## extracted into a script and run from the repository's root by an Octave
## of its own, with its addpath of build/default pointed at this build's
## folders (so that it passes from any build folder). The frame it writes is
## moved to the test's folder.
root = getenv ("ORX_SOURCE_DIR");
text = fileread (fullfile (root, "docs", "octave.md"));
blocks = regexp (text, '```octave\n(.*?)```', "tokens");
assert (! isempty (blocks), "docs/octave.md has no octave block");
script = [tempname() ".m"];
fid = fopen (script, "w");
session = strrep (blocks{1}{1}, 'addpath ("build/default/bin", "src/apps/octave/inst");',
                   sprintf ("addpath ('%s');", getenv ("ORX_OCTAVE_PATHS")));
assert (! strcmp (session, blocks{1}{1}), "the session's addpath line changed");
fputs (fid, session);
fclose (fid);
here = pwd ();
frame = fullfile (root, "orximaq-frame.png");
if (exist (frame, "file"))
  delete (frame);
endif
[status, output] = system (sprintf ("cd '%s' && '%s' --no-gui --quiet --no-init-file '%s' 2>&1", ...
                                    root, getenv ("ORX_OCTAVE_CLI"), script));
delete (script);
printf ("%s\n", output);
assert (status, 0);
assert (exist (frame, "file") == 2, "the session wrote no frame");
image = imread (frame);
movefile (frame, fullfile (here, "orximaq-frame.png"));
assert (size (image), [240 320]);
assert (class (image), "uint8");
assert (numel (unique (image)) > 10);
assert (! isempty (strfind (output, "240   320     1    10")));

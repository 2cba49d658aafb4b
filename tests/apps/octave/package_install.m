## The package as a user installs it: orximaq-VERSION.tar.gz packed from the
## sources, installed with pkg install into a temporary prefix (its build
## compiles the gateway, the runtime and the adaptor module), then the
## session of docs/octave.md after pkg load instead of addpath, help, and
## pkg uninstall.  Each step runs in an Octave of its own.
root = getenv ("ORX_SOURCE_DIR");
cli = getenv ("ORX_OCTAVE_CLI");
version = getenv ("ORX_VERSION");
work = tempname ();
mkdir (work);
unwind_protect
  [status, output] = system (sprintf ("'%s' -DSOURCE_DIR='%s' -DOUTPUT_DIR='%s' -DVERSION=%s -P '%s'",
                                      getenv ("ORX_CMAKE"), root, work, version,
                                      fullfile (root, "src", "apps", "octave", "package", "make_package.cmake")));
  assert (status, 0, output);
  tarball = fullfile (work, sprintf ("orximaq-%s.tar.gz", version));
  prefix = fullfile (work, "pkg");
  list = fullfile (work, "octave_packages");
  setup = sprintf ("pkg prefix '%s' '%s'; pkg local_list '%s';", prefix, prefix, list);
  run = @(code) system (sprintf ("cd '%s' && '%s' --no-gui --quiet --no-init-file --eval \"%s\" 2>&1",
                                 work, cli, strrep (code, '"', '\"')));
  [status, output] = run ([setup sprintf(" pkg install '%s'; disp ('INSTALLED');", tarball)]);
  if (status != 0 || isempty (strfind (output, "INSTALLED")))
    error ("orx:test", "pkg install: exit code %d\n%s", status, output);
  endif

  text = fileread (fullfile (root, "docs", "octave.md"));
  blocks = regexp (text, '```octave\n(.*?)```', "tokens");
  session = strrep (blocks{1}{1}, 'addpath ("build/default/bin", "src/apps/octave/inst");',
                    [setup " pkg load orximaq;"]);
  assert (! strcmp (session, blocks{1}{1}), "the session's addpath line changed");
  script = fullfile (work, "session.m");
  fid = fopen (script, "w");
  fputs (fid, session);
  fclose (fid);
  [status, output] = system (sprintf ("cd '%s' && '%s' --no-gui --quiet --no-init-file session.m 2>&1", work, cli));
  printf ("%s\n", output);
  assert (status, 0);
  assert (! isempty (strfind (output, "240   320     1    10")), output);
  assert (size (imread (fullfile (work, "orximaq-frame.png"))), [240 320]);

  [status, output] = run ([setup " pkg load orximaq; help videoinput; help imaqhwinfo;"]);
  assert (status, 0, output);
  assert (! isempty (strfind (output, "A video input object")), output);

  [status, output] = run ([setup " pkg uninstall orximaq; p = pkg ('list'); assert (isempty (p)); disp ('REMOVED');"]);
  assert (status == 0 && ! isempty (strfind (output, "REMOVED")), output);
  assert (isempty (glob (fullfile (prefix, "orximaq-*"))), "pkg uninstall left the package's folder");
unwind_protect_cleanup
  confirm_recursive_rmdir (false, "local");
  rmdir (work, "s");
end_unwind_protect

## Help for every public function and class of the package (files not
## starting with __, outside private/), and for each videoinput function its
## class help names.
folder = fileparts (which ("videoinput"));
files = dir (fullfile (folder, "*.m"));
names = regexprep ({files.name}, '\.m$', "");
names = names(! strncmp (names, "__", 2));
assert (numel (names) >= 10);
assert (all (ismember ({"videoinput", "videosource", "videoinputarray", "orximaqwriter", "imaqhwinfo", ...
                        "imaqmem", "imaqfind", "imaqreset", "closepreview", "imaqmontage"}, names)));
for name = names
  [text, format] = get_help_text (name{1});
  assert (! isempty (strtrim (text)) && ! strcmp (format, "Not documented"), name{1});
  printed = evalc (["help " name{1}]);
  assert (! isempty (strfind (printed, name{1})), name{1});
  assert (numel (printed) > numel (name{1}) + 80, name{1});
endfor

## videoinput's help lists its functions; each has its own help.
text = get_help_text ("videoinput");
listed = regexp (text, 'Functions \(each with its help[^:]*\):([^.]*)\.', "tokens", "once");
assert (! isempty (listed));
functions = strtrim (strsplit (regexprep (listed{1}, '\s+', " "), ","));
assert (numel (functions) >= 20 && all (ismember ({"getdata", "wait", "trigger", "flushdata"}, functions)));
for f = functions
  assert (ismember (f{1}, methods ("videoinput")), f{1});
  [text, format] = get_help_text (["videoinput." f{1}]);
  assert (! isempty (strtrim (text)) && ! strcmp (format, "Not documented"), f{1});
endfor
for f = {"open", "writeVideo", "close"}
  assert (! isempty (strtrim (get_help_text (["orximaqwriter." f{1}]))), f{1});
endfor
orx_assert_no_leaks ();

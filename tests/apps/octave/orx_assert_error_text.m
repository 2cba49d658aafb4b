## Asserts that calling fn() raises an error with the identifier id whose
## message contains every text of the cell array texts.
function orx_assert_error_text (fn, id, texts)
  try
    fn ();
  catch err
    if (! strcmp (err.identifier, id))
      error ("orx:test", "expected error %s, got %s: %s", id, err.identifier, err.message);
    endif
    for i = 1:numel (texts)
      if (isempty (strfind (err.message, texts{i})))
        error ("orx:test", "the message of %s lacks '%s': %s", id, texts{i}, err.message);
      endif
    endfor
    return;
  end_try_catch
  error ("orx:test", "expected error %s, got none", id);
endfunction

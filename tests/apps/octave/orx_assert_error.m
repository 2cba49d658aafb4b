## Asserts that calling fn() raises an error with the identifier id.
function orx_assert_error (fn, id)
  try
    fn ();
  catch err
    if (! strcmp (err.identifier, id))
      error ("orx:test", "expected error %s, got %s: %s", id, err.identifier, err.message);
    endif
    return;
  end_try_catch
  error ("orx:test", "expected error %s, got none", id);
endfunction

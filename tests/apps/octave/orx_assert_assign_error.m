## Asserts that assigning VALUE to the property NAME of OBJ (obj.NAME = VALUE,
## the form a user types) raises an error with the identifier ID.
function orx_assert_assign_error (obj, name, value, id)
  orx_assert_error (@() assign (obj, name, value), id);
endfunction

function assign (obj, name, value)
  obj.(name) = value;
endfunction

## The frame number the test pattern carries in the two lowest bits of each
## sample of the image's top-left 8 x 2 pixels (sensor origin at the image's
## top-left; 16-bit samples carry it in the high byte).
function n = orx_frame_number (frame)
  plane = double (frame(:, :, 1));
  if (isa (frame, "uint16"))
    plane = floor (plane / 256);
  endif
  n = 0;
  for s = 0:15
    x = mod (s, 8);
    y = floor (s / 8);
    n += mod (plane(y + 1, x + 1), 4) * 4 ^ s;
  endfor
endfunction

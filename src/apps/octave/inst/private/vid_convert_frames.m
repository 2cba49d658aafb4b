function out = vid_convert_frames (data, type, as_cell)
  if (! (ischar (type) && any (strcmpi (type, {"native", "uint8", "uint16", "single", "double"}))))
    error ("imaq:getdata:invalidType", "getdata: TYPE must be 'native', 'uint8', 'uint16', 'single' or 'double'");
  endif
  if (strcmpi (type, "uint8") && isa (data, "uint16"))
    data = uint8 (bitshift (data, -8));
  elseif (strcmpi (type, "uint16") && isa (data, "uint8"))
    data = uint16 (data) * 257;
  elseif (! strcmpi (type, "native"))
    data = feval (lower (type), data);
  endif
  out = data;
  if (as_cell)
    out = squeeze (num2cell (data, [1 2 3]));
  endif
endfunction

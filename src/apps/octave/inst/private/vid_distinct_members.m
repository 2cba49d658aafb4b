## The video inputs of a cell array, each once, in their order (an object
## that appears twice is the same camera).
function members = vid_distinct_members (members)
  members = members(:)';
  handles = cellfun (@(m) m.GatewayHandle, members);
  [~, first] = unique (handles, "first");
  members = members(sort (first));
endfunction

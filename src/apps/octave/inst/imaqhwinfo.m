## -*- texinfo -*-
## @deftypefn  {} {@var{info} =} imaqhwinfo ()
## @deftypefnx {} {@var{info} =} imaqhwinfo ("orximaq")
## @deftypefnx {} {@var{info} =} imaqhwinfo ("orximaq", @var{id})
## @deftypefnx {} {@var{info} =} imaqhwinfo (@var{vid})
## The installed adaptors, the devices of the orximaq adaptor, one device, or
## what a video input object's adaptor reports about its device.  Warnings the
## adaptor gives while it lists the devices have the identifier
## ORXadaptor:constructor.
## @end deftypefn
function info = imaqhwinfo (adaptor, id)
  if (nargin == 0)
    info = struct ("InstalledAdaptors", {{"orximaq"}}, "MATLABVersion", version (),
                   "ToolboxName", "Image Acquisition (orximaq for Octave)",
                   "ToolboxVersion", "3.3.0");
    return;
  endif
  if (isobject (adaptor))
    ## A video input object answers through its own imaqhwinfo method, which
    ## Octave calls instead of this function; any other object has no device.
    error ("imaq:imaqhwinfo:notVideoInput",
           "imaqhwinfo: a %s object has no device; pass a videoinput object", class (adaptor));
  endif
  if (! ischar (adaptor) || ! strcmpi (adaptor, "orximaq"))
    error ("imaq:imaqhwinfo:noAdaptor", "imaqhwinfo: the only adaptor is 'orximaq'");
  endif
  devices = __orximaq__ ("devices");
  entries = struct ("DeviceName", {}, "DeviceID", {}, "SupportedFormats", {},
                    "DefaultFormat", {}, "VideoInputConstructor", {});
  for i = 1:numel (devices)
    d = devices(i);
    entries(i).DeviceName = d.DeviceName;
    entries(i).DeviceID = d.DeviceID;
    entries(i).SupportedFormats = d.SupportedFormats;
    entries(i).DefaultFormat = d.DefaultFormat;
    entries(i).VideoInputConstructor = sprintf ("videoinput('orximaq', %d)", d.DeviceID);
  endfor
  if (nargin > 1)
    match = [entries.DeviceID] == id;
    if (! any (match))
      error ("imaq:imaqhwinfo:noDevice", "imaqhwinfo: the orximaq adaptor has no device %d", id);
    endif
    info = entries(match);
    return;
  endif
  info = struct ("AdaptorName", "orximaq", "AdaptorDllName", "ORXImaq",
                 "DeviceIDs", {num2cell([entries.DeviceID])}, "DeviceInfo", entries);
endfunction

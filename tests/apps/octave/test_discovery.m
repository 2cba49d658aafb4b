## Discovery fields on the default rig and on the test rig; the adaptor's
## discovery warnings reach Octave with its identifier.
imaqreset ();
__orximaq__ ("defaultrig");
info = imaqhwinfo ();
assert (info.InstalledAdaptors, {"orximaq"});
lastwarn ("");
hw = imaqhwinfo ("orximaq");
[message, id] = lastwarn ();
assert (id, "ORXadaptor:constructor");
assert (! isempty (message));
warning ("off", "ORXadaptor:constructor");
lastwarn ("");
imaqhwinfo ("orximaq");
assert (lastwarn (), "");
warning ("on", "ORXadaptor:constructor");
assert (hw.AdaptorName, "orximaq");
assert (numel (hw.DeviceIDs), numel (hw.DeviceInfo));
assert (all (isfield (hw.DeviceInfo, {"DeviceName", "DeviceID", "SupportedFormats", ...
                                      "DefaultFormat", "VideoInputConstructor"})));
for d = hw.DeviceInfo(:)'
  assert (iscellstr (d.SupportedFormats) && ! isempty (d.SupportedFormats));
  assert (any (strcmp (d.DefaultFormat, d.SupportedFormats)));
  vid = eval (d.VideoInputConstructor);
  assert (imaqhwinfo (vid, "DeviceName"), d.DeviceName);
  delete (vid);
endfor

orx_test_rig ();
hw = imaqhwinfo ("orximaq");
assert ({hw.DeviceInfo.DeviceName}, {"Pixie Mono", "Pixie Colour", "Pixie Fickle", "Pixie Slow"});
one = imaqhwinfo ("orximaq", hw.DeviceIDs{2});
assert (one.SupportedFormats, {"RGB24 (32x24)", "RGB32 (32x24)"});
orx_assert_error (@() imaqhwinfo ("orximaq", 99), "imaq:imaqhwinfo:noDevice");
orx_assert_error (@() imaqhwinfo ("other"), "imaq:imaqhwinfo:noAdaptor");
probe = videoinput ("orximaq", 1);
orx_assert_error (@() imaqhwinfo (getselectedsource (probe)), "imaq:imaqhwinfo:notVideoInput");
delete (probe);

## Video input: default device and format, by name, and its properties.
vid = videoinput ("orximaq");
assert (vid.VideoFormat, hw.DeviceInfo(1).SupportedFormats{1});
assert (vid.VideoFormat, hw.DeviceInfo(1).DefaultFormat);
vid2 = videoinput ("orximaq", "Pixie Colour", "RGB32 (32x24)");
assert (vid2.VideoFormat, "RGB32 (32x24)");
assert (vid2.VideoResolution, [32 24]);
assert (vid2.ROIPosition, [0 0 32 24]);
assert (vid2.Running, "off");
assert (vid2.Logging, "off");
assert (vid2.FramesAcquired, 0);
assert (vid2.FramesAvailable, 0);
assert (vid2.SelectedSourceName, vid2.Source.get ().SourceName);
info = imaqhwinfo (vid2);
assert (info.MaxWidth, 32);
assert (info.MaxHeight, 24);
assert (info.TotalSources >= 1);
assert (! isempty (info.VendorDriverDescription) && ! isempty (info.VendorDriverVersion));
orx_assert_error (@() videoinput ("orximaq", "No Such Camera"), "imaq:orximaq:hostError");
orx_assert_error (@() videoinput ("orximaq", 1, "Y800 (1x1)"), "imaq:orximaq:hostError");
orx_assert_error (@() videoinput ("elsewhere"), "imaq:videoinput:noAdaptor");

## imaqfind keeps objects until delete, also after the variable is cleared.
assert (numel (imaqfind ()), 2);
assert (numel (imaqfind ("VideoFormat", "RGB32 (32x24)")), 1);
clear vid2
assert (numel (imaqfind ()), 2);
delete (vid);
assert (numel (imaqfind ()), 1);
orx_assert_error (@() vid.VideoFormat, "imaq:videoinput:invalidObject");
orx_assert_no_leaks ();
assert (numel (imaqfind ()), 0);

// The simulated camera's property objects as COM objects: how many are alive,
// and the interface identifiers of the objects that have no typed interface.
//
// How the objects answer, beyond the slots' plain meaning:
// - Every operation with an out-parameter answers E_POINTER for a null one;
//   an object or text out-parameter is emptied first, so it is null whenever
//   no object or text is delivered.
// - Positions count from 1; one outside 1..count answers DISP_E_BADINDEX.
// - findInterface and findInterfaceByPath read identifiers in registry form,
//   either case, nothing else: other text answers E_INVALIDARG. What is not
//   there (an item, an element, an interface the element does not offer)
//   answers E_NOINTERFACE. A path names an element by "{item}:{element}" and
//   its typed interface by "{item}:{element}:{interface}".
// - Writes outside a range, or of a string-list value that names no text, are
//   refused with E_INVALIDARG and change nothing. A switch keeps any 16-bit
//   state as written. A button counts its pushes.
// - Texts are BSTRs of the full UTF-8 text in UTF-16, a zero character inside
//   kept; a failed allocation answers E_OUTOFMEMORY.
// - An injected fault (rig.h PropertyFault) with a negative status fails its
//   slot; with a positive status the slot does its work and answers that
//   status (on the finds: with the object, which the caller must release);
//   a missing object answers S_OK and delivers no object or text. Slot 0
//   (QueryInterface) takes faults like any other slot.
#pragma once

#include "platform/vexlib.h"

#include <cstdint>

namespace vexcam {

// COM property objects created and not yet destroyed, in this process.
VEXLIB_API std::int64_t liveComObjects();

// What QueryInterface answers besides IUnknown on the collection and node
// objects (the typed interfaces answer the Vexlib interface identifiers).
inline constexpr GUID kItemsCollectionIid{0x5A1E0001, 0x7C3D, 0x4B2A, {0x9E, 0x61, 0x0D, 0x4F, 0x52, 0x11, 0xA0, 0x01}};
inline constexpr GUID kPropertyItemIid{0x5A1E0002, 0x7C3D, 0x4B2A, {0x9E, 0x61, 0x0D, 0x4F, 0x52, 0x11, 0xA0, 0x02}};
inline constexpr GUID kElementCollectionIid{0x5A1E0003, 0x7C3D, 0x4B2A, {0x9E, 0x61, 0x0D, 0x4F, 0x52, 0x11, 0xA0, 0x03}};
inline constexpr GUID kPropertyElementIid{0x5A1E0004, 0x7C3D, 0x4B2A, {0x9E, 0x61, 0x0D, 0x4F, 0x52, 0x11, 0xA0, 0x04}};
inline constexpr GUID kTextCollectionIid{0x5A1E0005, 0x7C3D, 0x4B2A, {0x9E, 0x61, 0x0D, 0x4F, 0x52, 0x11, 0xA0, 0x05}};

} // namespace vexcam

// Device properties between Octave values and the host's: values, the
// description propinfo shows, and the error identifier of a refused write.
#pragma once

#include "imaqhost/property_description.h"
#include "imaqhost/video_input.h"

#include <octave/oct.h>

#include <string>

namespace orxoct {

octave_value toOctave(const imaqhost::PropertyValue& value);
// The host value for `value` given the property's type; an empty optional
// when the Octave value cannot stand for it (wrong class or not a scalar).
std::optional<imaqhost::PropertyValue> fromOctave(const imaqhost::PropertyDescription& description,
                                                 const octave_value& value);

// Type, Constraint, ConstraintValue, DefaultValue, ReadOnly, DeviceSpecific.
octave_scalar_map propinfoOf(const imaqhost::PropertyDescription& description, bool deviceSpecific);
// The allowed values as set(src, name) lists them: a cell of texts for an
// enumeration, [lower upper] for a range, empty otherwise.
octave_value allowedValuesOf(const imaqhost::PropertyDescription& description);

// The identifier of a write the host refused: readOnly, readOnlyWhileRunning,
// outOfRange, invalidValue, or setFailed when the adaptor refused it.
std::string refusalId(const imaqhost::PropertyDescription& description, const imaqhost::PropertyValue& value,
                      bool running);

} // namespace orxoct

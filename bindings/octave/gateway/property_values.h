// Device properties between Octave values and the host's: values, the
// description propinfo shows, and the error identifier of a refused write.
#pragma once

#include "imaqsim/property_description.h"
#include "imaqsim/video_input.h"

#include <octave/oct.h>

#include <string>

namespace orxoct {

octave_value toOctave(const imaqsim::PropertyValue& value);
// The host value for `value` given the property's type; an empty optional
// when the Octave value cannot stand for it (wrong class or not a scalar).
std::optional<imaqsim::PropertyValue> fromOctave(const imaqsim::PropertyDescription& description,
                                                 const octave_value& value);

// Type, Constraint, ConstraintValue, DefaultValue, ReadOnly, DeviceSpecific.
octave_scalar_map propinfoOf(const imaqsim::PropertyDescription& description, bool deviceSpecific);
// The allowed values as set(src, name) lists them: a cell of texts for an
// enumeration, [lower upper] for a range, empty otherwise.
octave_value allowedValuesOf(const imaqsim::PropertyDescription& description);

// The identifier of a write the host refused: readOnly, readOnlyWhileRunning,
// outOfRange, invalidValue, or setFailed when the adaptor refused it.
std::string refusalId(const imaqsim::PropertyDescription& description, const imaqsim::PropertyValue& value,
                      bool running);

} // namespace orxoct

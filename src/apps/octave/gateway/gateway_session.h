// The gateway's state and lifetime: one registry of open inputs, and the
// steps that keep Octave safe around it. Once the host session is loaded the
// gateway locks itself in memory (no `clear` can unload the code that owns
// the host's threads) and has the interpreter run imaqreset and a built-in
// shutdown function of its own while it shuts down, so that every object is
// deleted and the session closed before Octave tears down anything. While
// inputs are open it holds the videoinput class: `clear functions` and
// `clear all` would otherwise unregister it, and the objects that live on
// would lose their methods.
#pragma once

#include "input_registry.h"

#include <octave/oct.h>

#include <cstdint>
#include <string>

namespace octave {
class interpreter;
}

namespace orxoct {

// One call of the gateway.
struct Call {
    octave::interpreter& interp;
    const octave_value_list& args;
    int nargout;
};

InputRegistry& registry();
// The adaptor module beside the gateway's own file.
std::string moduleBesideGateway();
// Keeps the gateway's code mapped until the process ends, whatever Octave
// unloads (a gateway folder taken off the path makes Octave drop the
// function, locked or not, while the shutdown and the runtime's threads
// still need its code).
void pinGatewayInMemory();
// The session, loaded on first use, which also locks the gateway and
// registers the shutdown.
imaqhost::Session& sessionFor(const Call& call);
// Keeps the videoinput class loaded until endSession.
void keepObjectClass(octave::interpreter& interp);
// Closes every input and the session; the gateway may then be unloaded.
void endSession(octave::interpreter& interp);
bool isGatewayLocked(octave::interpreter& interp);

// The video input that the handle argument (args(1)) names.
std::int32_t handleArg(const Call& call);
OpenInput& openArg(const Call& call);
imaqhost::VideoInput& inputArg(const Call& call);

// Between two slices of a wait: Ctrl-C becomes Octave's interrupt.
void checkInterrupt();
// Adaptor warnings become Octave warnings with the adaptor's identifier.
void forwardWarnings();

} // namespace orxoct

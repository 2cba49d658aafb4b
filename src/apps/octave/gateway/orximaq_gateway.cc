// __orximaq__(COMMAND, ...): the one gateway between the package's Octave
// functions and the host runtime, a table of named commands. The video
// inputs acquire with the host's own background engine; the gateway's waits
// poll Octave's interrupt flag so that Ctrl-C ends them at once.
//
// The lifetime rules are in gateway_session.h.
#include "gateway_commands.h"
#include "gateway_arguments.h"
#include "gateway_session.h"

#include "imaqhost/host_error.h"
#include "imaqhost/warnings.h"
#include "vexcam/vexcam.h"
#include "vexcam/testing/camera_testing.h"

#include <octave/oct.h>
#include <octave/interpreter.h>
#include <octave/quit.h>

#include <map>

namespace {

using namespace orxoct;

const std::map<std::string, Command>& commands()
{
    static const std::map<std::string, Command> table = {
        {"devices", devicesCommand},   {"open", openCommand},
        {"close", closeCommand},       {"reset", resetCommand},
        {"isopen", isOpenCommand},     {"info", infoCommand},
        {"names", namesCommand},       {"get", getCommand},
        {"set", setCommand},           {"describe", describeCommand},
        {"roi", roiCommand},           {"sources", sourcesCommand},
        {"start", startCommand},       {"stop", stopCommand},
        {"wait", waitCommand},         {"status", statusCommand},
        {"getdata", getDataCommand},   {"peekdata", peekDataCommand},
        {"snapshot", snapshotCommand}, {"flush", flushCommand},
        {"bufferlimit", bufferLimitCommand}, {"memlimit", memoryLimitCommand},
        {"counters", countersCommand},
        {"trigger", triggerCommand},   {"triggerstate", triggerStateCommand},
        {"notify", notifyCommand},     {"events", eventsCommand},
        {"colorspace", colorSpaceCommand},
        {"logging", loggingCommand},   {"writelog", writeLogCommand},
        {"adaptor", adaptorCommand},   {"rig", rigCommand},
        {"defaultrig", defaultRigCommand}, {"locked", lockedCommand},
    };
    return table;
}

[[noreturn]] void raise(const std::string& id, const std::string& message)
{
    forwardWarnings();
    error_with_id(id.c_str(), "%s", message.c_str());
}

octave_value_list dispatch(const Call& call)
{
    const std::string name = orxoct::textArg(call.args, 0, "The gateway command");
    const auto found = commands().find(name);
    if (found == commands().end())
        fail("imaq:orximaq:invalidArgument", "Unknown gateway command '" + name + "'.");
    return found->second(call);
}

} // namespace

DEFMETHOD_DLD(__orximaq__, interp, args, nargout, "-*- texinfo -*-\n@deftypefn {} {} __orximaq__ (@var{command}, @dots{})\nInternal gateway of the orximaq package.\n@end deftypefn")
{
    static const bool prepared = [] {
        imaqhost::setWarningEcho(false);
        pinGatewayInMemory();
        registry().setAdaptorPath(moduleBesideGateway());
        return true;
    }();
    (void)prepared;
    octave_value_list result;
    try {
        result = dispatch(Call{interp, args, nargout});
    } catch (const octave::interrupt_exception&) {
        forwardWarnings();
        throw;
    } catch (const octave::execution_exception&) {
        forwardWarnings();
        throw;
    } catch (const orxoct::GatewayError& error) {
        raise(error.id, error.message);
    } catch (const imaqhost::HostError& error) {
        raise("imaq:orximaq:hostError", error.what());
    } catch (const vexcam::RigError& error) {
        raise("imaq:orximaq:rigError", std::string("rig ") + error.what());
    } catch (const std::bad_alloc&) {
        raise("imaq:orximaq:outOfMemory", "Out of memory.");
    } catch (const std::exception& error) {
        raise("imaq:orximaq:failed", error.what());
    }
    forwardWarnings();
    return result;
}

#include "gateway_session.h"

#include "gateway_arguments.h"

#include "imaqhost/warnings.h"

#include <octave/interpreter.h>
#include <octave/ov-builtin.h>
#include <octave/quit.h>
#include <octave/symtab.h>

#include <dlfcn.h>

#include <filesystem>

namespace orxoct {
namespace {

constexpr const char* kGatewayName = "__orximaq__";
// Octave calls these while it shuts down: a built-in function of the
// gateway's (found even when the package has left the path), and imaqreset.
constexpr const char* kShutdownBuiltin = "__orximaq_shutdown__";
constexpr const char* kShutdownFunctions[] = {kShutdownBuiltin, "imaqreset"};
constexpr const char* kObjectClass = "videoinput";

// Released by reset, before Octave's shutdown; never destroyed statically,
// when the interpreter it belongs to is gone.
octave_value* heldClass = nullptr;

void holdObjectClass(octave::interpreter& interp)
{
    if (heldClass == nullptr)
        heldClass = new octave_value(interp.get_symbol_table().find_function(kObjectClass));
}

void releaseObjectClass()
{
    delete heldClass;
    heldClass = nullptr;
}

void shutdown(octave::interpreter& interp);

octave_value_list shutdownBuiltin(octave::interpreter& interp, const octave_value_list&, int)
{
    shutdown(interp);
    return octave_value_list();
}

void installShutdownBuiltin(octave::interpreter& interp)
{
    auto& symbols = interp.get_symbol_table();
    if (!symbols.is_built_in_function_name(kShutdownBuiltin))
        symbols.install_built_in_function(kShutdownBuiltin,
                                          octave_value(new octave_builtin(&shutdownBuiltin, kShutdownBuiltin)));
}

} // namespace

InputRegistry& registry()
{
    static InputRegistry instance;
    return instance;
}

namespace {

std::string gatewayFile()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&gatewayFile), &info) == 0 || info.dli_fname == nullptr)
        return {};
    return info.dli_fname;
}

} // namespace

// The adaptor module lies beside this gateway, as it lies beside orximaq.
std::string moduleBesideGateway()
{
    const std::string file = gatewayFile();
    return file.empty() ? file : (std::filesystem::path(file).parent_path() / "ORXImaq.so").string();
}

void pinGatewayInMemory()
{
    const std::string file = gatewayFile();
    if (!file.empty())
        dlopen(file.c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
}

// Adaptor warnings become Octave warnings with the adaptor's identifier.
void forwardWarnings()
{
    const auto pending = imaqhost::warnings();
    imaqhost::clearWarnings();
    for (const auto& warning : pending)
        warning_with_id(warning.identifier.empty() ? "ORXadaptor:warning" : warning.identifier.c_str(), "%s",
                        warning.message.c_str());
}


// The session holds the adaptor module and the camera library's threads:
// from the first use on, the gateway stays loaded and Octave's shutdown
// resets everything while the interpreter still runs.
imaqhost::Session& sessionFor(const Call& call)
{
    auto& gateway = registry();
    const bool fresh = !gateway.hasSession();
    imaqhost::Session& session = gateway.session();
    if (fresh) {
        call.interp.mlock();
        installShutdownBuiltin(call.interp);
        // imaqreset runs first, deleting the objects through their delete.
        for (const char* function : kShutdownFunctions) {
            call.interp.remove_atexit_fcn(function);
            call.interp.add_atexit_fcn(function);
        }
    }
    return session;
}

std::int32_t handleArg(const Call& call)
{
    return orxoct::wholeArg(call.args, 1, "The video input handle", 1);
}

OpenInput& openArg(const Call& call)
{
    return registry().find(handleArg(call));
}

imaqhost::VideoInput& inputArg(const Call& call)
{
    return *openArg(call).input;
}

// Between two slices of a wait: Ctrl-C becomes Octave's interrupt.
void checkInterrupt()
{
    octave_quit();
}

void endSession(octave::interpreter& interp)
{
    registry().reset();
    releaseObjectClass();
    if (interp.mislocked(kGatewayName))
        interp.munlock(kGatewayName);
    for (const char* function : kShutdownFunctions)
        interp.remove_atexit_fcn(function);
}

bool isGatewayLocked(octave::interpreter& interp)
{
    return interp.mislocked(kGatewayName);
}

void keepObjectClass(octave::interpreter& interp)
{
    holdObjectClass(interp);
}

namespace {

// The objects go first, through imaqreset, while the interpreter can still
// run their delete; whatever fails there, no object outlives the session and
// the session does not outlive the interpreter.
void shutdown(octave::interpreter& interp)
{
    try {
        interp.feval("__orximaq_objects__", octave_value_list(octave_value("clear")), 0);
    } catch (const octave::execution_exception&) {
        interp.recover_from_exception();
    }
    registry().reset();
    releaseObjectClass();
}

} // namespace

} // namespace orxoct

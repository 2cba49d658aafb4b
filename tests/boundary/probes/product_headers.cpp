// Every layer of the product and the vendors' interfaces: must compile.
#include "adaptor/exports.h"
#include "common/warning.h"
#include "engine/orx_adaptor.h"
#include "platform/imaqkit.h"
#include "properties/run_time_access.h"

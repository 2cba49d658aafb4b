#include "sim/camera/include/vexsim/vexsim.h"

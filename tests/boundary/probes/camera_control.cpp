#include "vexsim/vexsim.h"

#include "win32sim/win32_seam.h"

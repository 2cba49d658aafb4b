#include "vexcam/vexcam.h"

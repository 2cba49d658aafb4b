#include "src/camera/include/vexcam/vexcam.h"

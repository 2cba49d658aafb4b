#include "vexcam/testing/camera_testing.h"

#include "win32seam/testing/win32_seam.h"

#include "imaqsim/session.h"

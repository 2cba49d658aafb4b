#include "imaqhost/session.h"

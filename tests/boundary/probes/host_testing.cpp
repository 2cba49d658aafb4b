#include "imaqhost/testing/accounting.h"

#include "support/FakeModelAccess.h"

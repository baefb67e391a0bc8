#include "app/com_init.h"

#include <objbase.h>

bool initComLibrary() { return SUCCEEDED(CoInitialize(nullptr)); }

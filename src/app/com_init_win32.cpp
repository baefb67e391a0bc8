#include "app/com_init.h"

#include <objbase.h>

namespace fendal::app {

bool initComLibrary() { return SUCCEEDED(CoInitialize(nullptr)); }

}  // namespace fendal::app

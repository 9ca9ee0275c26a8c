#include "engine/core/EngineHooks.h"

// The file-system registry plugs in here when it exists.
void startEngineServices()
{
}

void stopEngineServices()
{
}

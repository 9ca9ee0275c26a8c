#include "engine/core/EngineHooks.h"

#include "engine/core/FileSystems.h"

void startEngineServices()
{
    initFileSystems();
}

void stopEngineServices()
{
    shutdownFileSystems();
}

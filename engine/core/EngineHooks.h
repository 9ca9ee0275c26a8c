// What engineStart and engineStop bring up and tear down besides the frame clock: the
// file-system registry. Kept apart so the clock does not depend on the file systems'
// headers.
#pragma once

void startEngineServices();
void stopEngineServices();

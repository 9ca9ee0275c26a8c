#include "app/Demo.h"

// Empty until the director is in place; the frame loop runs regardless.
void demoInit()
{
}

void demoUpdate()
{
}

void demoRender()
{
}

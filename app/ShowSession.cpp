#include "app/ShowSession.h"

#include "app/DataFolder.h"
#include "engine/core/Console.h"
#include "engine/core/FrameClock.h"
#include "engine/render/AppWindow.h"
#include "engine/render/GLRenderDevice.h"
#include "engine/render/RenderDevice.h"
#include "platform/Events.h"

namespace {

constexpr int BITS_PER_PIXEL = 32;
constexpr bool STENCIL = false;

}

std::string ShowSession::findData(const std::string& given, std::string& missing)
{
    DataFolderSearch data = given.empty() ? findDataFolder() : findDataFolderAmong({given});
    if (data.found.empty())
        missing = describeMissingDataFolder(data);
    return data.found;
}

RenderDevice* ShowSession::makeGLDevice()
{
    return new GLRenderDevice;
}

ShowSession::~ShowSession()
{
    close();
}

bool ShowSession::open(RenderDevice* (*makeDevice)(), const ShowWindowRequest& request)
{
    platform::installSignalHandlers();
    engineStart();
    device_ = makeDevice();
    if (!request.capabilityLog.empty())
        device_->capabilityLog = request.capabilityLog;
    window_ = new AppWindow(request.width, request.height, BITS_PER_PIXEL, STENCIL, request.askFullscreen);
    if (!window_->created()) {
        // No show without a window; its message box has said why.
        delete window_;
        delete device_;
        window_ = nullptr;
        device_ = nullptr;
        engineStop();
        return false;
    }
    device_->attachWindow(window_);
    openConsole();
    return true;
}

ShowLoadReport ShowSession::load(const std::string& dataFolder, std::int32_t startMs)
{
    return show_->load(*device_, dataFolder, startMs);
}

void ShowSession::close()
{
    if (!device_)
        return;
    // What the show holds in the device's tables and the GL context goes back while both
    // are still there.
    show_->close();
    // The device owns the window from attachWindow on and deletes it here.
    device_->detachWindow();
    delete device_;
    device_ = nullptr;
    window_ = nullptr;
    engineStop();
}

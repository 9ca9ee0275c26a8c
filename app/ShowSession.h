// The start-up and shut-down of the show: the one sequence every program that plays it
// runs. Up: the data folder looked for before anything else, then Ctrl+C routed to the
// window close, the engine (file systems and frame clock), the render device, the window
// with its OpenGL context handed to the device, the console, then the show itself,
// loaded from the data folder. Down: the show gives back what it holds in the device's
// tables and the context, the device is detached from its window (which deletes the
// window and every texture, material and program left) and deleted, then the engine
// stopped. The session owns the device and the show between open and close.
#pragma once

#include "app/Show.h"

#include <memory>
#include <string>

class AppWindow;
class RenderDevice;

struct ShowWindowRequest {
    int width = 1024;
    int height = 768;
    bool askFullscreen = true; // false: a window straight away
    // Where the device appends its capability report; empty: "Init.log" in the working
    // directory.
    std::string capabilityLog;
};

class ShowSession {
public:
    // The data folder the show will play from (absolute), looked for before any window
    // opens: given when not empty, else searched for. Empty when there is none, with
    // missing set to where it looked and why each place would not do (one line per place,
    // each ending in '\n').
    static std::string findData(const std::string& given, std::string& missing);
    // The device the show draws with on screen: a GLRenderDevice, owned by the caller.
    static RenderDevice* makeGLDevice();

    ShowSession() = default;
    // Closes what is still open.
    ~ShowSession();
    ShowSession(const ShowSession&) = delete;
    ShowSession& operator=(const ShowSession&) = delete;

    // Everything up to the console, with the device makeDevice returns (owned from
    // here). False when the window could not be made (it has told the user why):
    // everything is shut down again.
    bool open(RenderDevice* (*makeDevice)(), const ShowWindowRequest& request);
    // The show loads from dataFolder (from findData) and its timeline starts, at startMs
    // into the show when that is above 0. Needs open.
    ShowLoadReport load(const std::string& dataFolder, std::int32_t startMs = 0);
    // The show, released, then the device detached and deleted, engine stopped. Does
    // nothing when not open.
    void close();

    Show& show() { return *show_; }
    RenderDevice* device() const { return device_; }
    AppWindow* window() const { return window_; }

private:
    RenderDevice* device_ = nullptr;
    AppWindow* window_ = nullptr; // owned by the device once attached
    std::unique_ptr<Show> show_ = std::make_unique<Show>();
};

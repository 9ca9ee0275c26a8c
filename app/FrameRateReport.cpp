#include "app/FrameRateReport.h"

#include "platform/MessageBox.h"

#include <cmath>
#include <cstdio>

std::string formatFrameRate(std::uint32_t frames, long double seconds)
{
    float count = static_cast<float>(static_cast<std::int64_t>(frames));
    float elapsed = static_cast<float>(seconds);
    float rate = 0.0f;
    if (elapsed > 0.0f) {
        rate = count / elapsed;
        if (!std::isfinite(rate))
            rate = 0.0f;
    }
    char text[1024];
    std::snprintf(text, sizeof text, "FPS=%.2f", static_cast<double>(rate));
    return text;
}

void showFrameRate(const std::string& text)
{
    std::printf("%s\n", text.c_str());
    std::fflush(stdout);
    platform::showMessageBox("Velvet Orbit", text.c_str(), platform::MessageIcon::None);
}

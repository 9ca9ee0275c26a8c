#include "tools/velvet-render/VideoEncoder.h"

#include <cerrno>
#include <unistd.h>
#include <vector>

namespace {

bool writeAll(int fd, const std::uint8_t* bytes, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, bytes, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes += n;
        size -= std::size_t(n);
    }
    return true;
}

}

bool VideoEncoder::open(const std::string& file, const VideoFormat& format, const std::string& soundtrack,
    const SoundSpan& sound, std::string& error)
{
    partial_ = std::make_unique<PartialFile>(file);
    std::vector<std::string> args = {"ffmpeg", "-hide_banner", "-loglevel", "error", "-y", "-f", "rawvideo",
        "-pix_fmt", "rgb24", "-s", std::to_string(format.width) + "x" + std::to_string(format.height),
        "-framerate", std::to_string(format.fps), "-i", "pipe:0"};
    if (!soundtrack.empty())
        appendArguments(args, soundInputArguments(soundtrack, sound));
    appendArguments(args, {"-map", "0:v:0"});
    if (!soundtrack.empty())
        appendArguments(args, {"-map", "1:a:0"});
    appendArguments(args, videoCodecArguments(format.lossless));
    if (!soundtrack.empty())
        appendArguments(args, audioCodecArguments());
    args.push_back(partial_->path());
    frameBytes_ = std::size_t(format.width) * std::size_t(format.height) * 3;
    return ffmpeg_.start(args, true, false, error);
}

bool VideoEncoder::write(const std::uint8_t* rgb, std::string& error)
{
    if (ffmpeg_.input() < 0) {
        error = "the video encoder is not running";
        return false;
    }
    if (!writeAll(ffmpeg_.input(), rgb, frameBytes_)) {
        error = "ffmpeg stopped taking frames (see its message above)";
        return false;
    }
    return true;
}

bool VideoEncoder::close(std::string& error)
{
    if (!partial_) {
        error = "the video encoder was never started";
        return false;
    }
    const bool encoded = ffmpeg_.wait(error);
    const bool named = encoded && partial_->commit(error);
    partial_.reset();
    return named;
}

#include "tools/velvet-render/SegmentJoin.h"

#include "tools/velvet-render/PartialFile.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

// A path as the concat demuxer's list quotes it.
std::string quoted(const std::string& path)
{
    std::string text = "'";
    for (char c : path)
        text += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return text + "'";
}

// "width,height,rate,frames" of file's video stream, as ffprobe counts them; empty with
// error set when ffprobe cannot read it.
std::string videoFacts(const std::string& file, std::string& error)
{
    ToolProcess ffprobe;
    if (!ffprobe.start({"ffprobe", "-v", "error", "-select_streams", "v:0", "-count_packets", "-show_entries",
                           "stream=width,height,r_frame_rate,nb_read_packets", "-of", "csv=p=0", file},
            false, true, error)
        || !ffprobe.wait(error)) {
        error = "cannot read " + file + ": " + error;
        return {};
    }
    std::string facts = ffprobe.output();
    while (!facts.empty() && (facts.back() == '\n' || facts.back() == '\r' || facts.back() == ','))
        facts.pop_back();
    return facts;
}

std::string expectedFacts(const VideoFormat& format, std::int64_t frames)
{
    return std::to_string(format.width) + "," + std::to_string(format.height) + "," + std::to_string(format.fps)
        + "/1," + std::to_string(frames);
}

// The concat demuxer's list: each segment with its exact length, so the next one starts
// on the frame after its last, whatever its container says.
bool writeList(const std::string& path, const std::vector<std::string>& files, const JoinRequest& request,
    std::string& error)
{
    std::ofstream list(path);
    list << "ffconcat version 1.0\n";
    const int n = int(files.size());
    for (int k = 1; k <= n; ++k) {
        const FrameSpan part = segmentOf(request.span, k, n);
        const std::int64_t us = microsecondsAt(part.end, request.format.fps) - microsecondsAt(part.first, request.format.fps);
        char duration[48];
        std::snprintf(duration, sizeof duration, "%lld.%06lld", static_cast<long long>(us / 1000000),
            static_cast<long long>(us % 1000000));
        list << "file " << quoted(fs::absolute(files[std::size_t(k - 1)]).string()) << "\nduration " << duration << "\n";
    }
    list.close();
    if (!list) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

// ffmpeg quiet, with args, writing output.
bool runFfmpeg(const std::vector<std::string>& args, const std::string& output, const std::function<bool()>& stop,
    std::string& error)
{
    std::vector<std::string> all = {"ffmpeg", "-hide_banner", "-loglevel", "error", "-y"};
    appendArguments(all, args);
    all.push_back(output);
    ToolProcess ffmpeg;
    return ffmpeg.start(all, false, false, error) && ffmpeg.wait(error, stop);
}

}

bool encodeSoundtrack(const std::string& output, const std::string& soundtrack, const SoundSpan& sound,
    const std::function<bool()>& stop, std::string& error)
{
    PartialFile file(output);
    std::vector<std::string> args = soundInputArguments(soundtrack, sound);
    appendArguments(args, {"-map", "0:a:0"});
    appendArguments(args, audioCodecArguments());
    return runFfmpeg(args, file.path(), stop, error) && file.commit(error);
}

std::vector<std::string> segmentFiles(const std::string& dir, std::string& error)
{
    std::vector<std::string> files;
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir, ec)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_regular_file() && entry.path().extension() == ".mp4" && name.find(".partial-") == std::string::npos)
            files.push_back(entry.path().string());
    }
    if (ec)
        error = "cannot read the folder " + dir + ": " + ec.message();
    else if (files.empty())
        error = "no segments (*.mp4) in " + dir;
    std::sort(files.begin(), files.end());
    return ec ? std::vector<std::string>{} : files;
}

bool joinSegments(const JoinRequest& request, const std::function<bool()>& stop, std::string& error)
{
    const std::vector<std::string> files = segmentFiles(request.segmentDir, error);
    if (files.empty())
        return false;
    const int n = int(files.size());
    if (n > request.span.frames()) {
        error = std::to_string(n) + " segments in " + request.segmentDir + " for a span of "
            + std::to_string(request.span.frames()) + " frames";
        return false;
    }
    for (int k = 1; k <= n; ++k) {
        const std::string& file = files[std::size_t(k - 1)];
        const std::string facts = videoFacts(file, error);
        if (facts.empty())
            return false;
        const std::string expected = expectedFacts(request.format, segmentOf(request.span, k, n).frames());
        if (facts != expected) {
            error = "segment " + file + " is not part " + std::to_string(k) + " of " + std::to_string(n)
                + " of this span: its width, height, rate and frames are " + facts + ", expected " + expected
                + " (render it with --segment " + std::to_string(k) + "/" + std::to_string(n)
                + " and the same span, size and rate)";
            return false;
        }
    }

    PartialFile video(request.output);
    PartialFile list(video.path() + ".txt");
    if (!writeList(list.path(), files, request, error))
        return false;
    std::vector<std::string> args = {"-f", "concat", "-safe", "0", "-i", list.path()};
    const bool encoded = !request.encodedSoundtrack.empty();
    appendArguments(args, encoded ? std::vector<std::string>{"-i", request.encodedSoundtrack}
                         : soundInputArguments(request.soundtrack, soundOf(request.span, request.format.fps)));
    appendArguments(args, {"-map", "0:v:0", "-map", "1:a:0", "-c:v", "copy"});
    appendArguments(args, encoded ? std::vector<std::string>{"-c:a", "copy"} : audioCodecArguments());
    if (!runFfmpeg(args, video.path(), stop, error))
        return false;

    const std::string facts = videoFacts(video.path(), error);
    const std::string expected = expectedFacts(request.format, request.span.frames());
    if (facts != expected) {
        error = facts.empty() ? error : "the joined video's width, height, rate and frames are " + facts + ", expected " + expected;
        return false;
    }
    return video.commit(error);
}

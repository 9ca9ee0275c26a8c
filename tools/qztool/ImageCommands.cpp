// qztool image: pictures through the engine's own decoders.
//   image decode INPUT OUTPUT   Image::load (file system registry, decoder by name)
//   image dib INPUT OUTPUT      loadDib, the particle sprite's bitmap loader
// Output is Netpbm, top row first (see PnmWriter.h).
#include "engine/material/DibLoader.h"
#include "engine/material/Image.h"
#include "engine/material/PictureBound.h"
#include "engine/math/FileBuffer.h"
#include "tools/qztool/Command.h"
#include "tools/qztool/PnmWriter.h"
#include "tools/qztool/Session.h"

#include <cstdio>

namespace {

const char* USAGE =
    "  qztool image decode INPUT OUTPUT      decode JPG/BMP/TGA through the engine to PPM/PGM/PAM\n"
    "  qztool image dib INPUT OUTPUT         decode a bitmap through the DIB loader to PPM\n";

// Why Image::load refused a file: unreadable, or read but not decodable.
std::string loadFailureReason(const std::string& input)
{
    FileBuffer probe;
    if (!probe.load(input.c_str()))
        return "cannot open or read the file";
    return std::string("not a JPG, BMP or TGA image the engine decodes (the name's last three letters choose the "
                       "decoder), damaged, or over the picture bound (")
        + kPictureBoundText + ")";
}

int decodeCommand(const std::string& input, const std::string& output)
{
    Image image;
    bool loaded;
    std::string reason;
    {
        QzSession session;
        loaded = image.load(input.c_str());
        if (!loaded)
            reason = loadFailureReason(input);
    }
    if (!loaded)
        return qzFailure(input, reason);
    std::string bytes = encodePnm(image);
    if (bytes.empty())
        return qzFailure(input, "decoded to " + std::to_string(image.bitsPerPixel())
                         + " bits per pixel, which has no Netpbm form");
    return writeOutputFile(output, bytes);
}

int dibCommand(const std::string& input, const std::string& output)
{
    // The loader shows its own message (on standard error without a display); this line
    // names the file for scripts.
    std::unique_ptr<DibImage> dib = loadDib(input.c_str());
    if (!dib)
        return qzFailure(input, "the DIB loader refused the file");
    std::uint32_t rows = std::uint32_t(dib->height < 0 ? -std::int64_t(dib->height) : dib->height);
    bool bottomUp = dib->height > 0;
    return writeOutputFile(output, encodePpm(dib->pixels.get(), std::uint32_t(dib->width), rows, bottomUp));
}

int runImage(const std::vector<std::string>& args)
{
    if (args.size() != 3)
        return qzUsageError("usage: qztool image decode|dib INPUT OUTPUT");
    if (args[0] == "decode")
        return decodeCommand(args[1], args[2]);
    if (args[0] == "dib")
        return dibCommand(args[1], args[2]);
    return qzUsageError("unknown image command '" + args[0] + "'");
}

const QzCommand imageCommand("image", USAGE, runImage);

}

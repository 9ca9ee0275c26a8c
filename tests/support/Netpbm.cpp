#include "tests/support/Netpbm.h"

#include <cctype>
#include <sstream>

namespace {

// Reads the next header token, skipping white space and comments.
bool token(const std::string& bytes, std::size_t& pos, std::string& out)
{
    while (pos < bytes.size()) {
        if (bytes[pos] == '#') {
            while (pos < bytes.size() && bytes[pos] != '\n')
                ++pos;
        } else if (std::isspace(static_cast<unsigned char>(bytes[pos]))) {
            ++pos;
        } else {
            break;
        }
    }
    std::size_t start = pos;
    while (pos < bytes.size() && !std::isspace(static_cast<unsigned char>(bytes[pos])))
        ++pos;
    out = bytes.substr(start, pos - start);
    return !out.empty();
}

bool number(const std::string& bytes, std::size_t& pos, std::uint32_t& value)
{
    std::string text;
    if (!token(bytes, pos, text) || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    value = std::uint32_t(std::stoul(text));
    return true;
}

bool parsePam(const std::string& bytes, std::size_t& pos, NetpbmPicture& picture)
{
    std::string key;
    std::uint32_t maxval = 0;
    while (token(bytes, pos, key) && key != "ENDHDR") {
        if (key == "WIDTH" && !number(bytes, pos, picture.width)) return false;
        if (key == "HEIGHT" && !number(bytes, pos, picture.height)) return false;
        if (key == "DEPTH" && !number(bytes, pos, picture.channels)) return false;
        if (key == "MAXVAL" && !number(bytes, pos, maxval)) return false;
        if (key == "TUPLTYPE" && !token(bytes, pos, picture.tupleType)) return false;
    }
    return key == "ENDHDR" && maxval == 255;
}

}

bool parseNetpbm(const std::string& bytes, NetpbmPicture& picture)
{
    std::size_t pos = 0;
    std::string magic;
    if (!token(bytes, pos, magic))
        return false;
    if (magic == "P7") {
        if (!parsePam(bytes, pos, picture))
            return false;
    } else if (magic == "P5" || magic == "P6") {
        std::uint32_t maxval = 0;
        picture.channels = magic == "P5" ? 1 : 3;
        if (!number(bytes, pos, picture.width) || !number(bytes, pos, picture.height)
            || !number(bytes, pos, maxval) || maxval != 255)
            return false;
    } else {
        return false;
    }
    ++pos;  // the single white-space byte before the samples
    std::size_t count = std::size_t(picture.width) * picture.height * picture.channels;
    if (pos > bytes.size() || bytes.size() - pos != count)
        return false;
    picture.samples.assign(bytes.begin() + std::ptrdiff_t(pos), bytes.end());
    return true;
}

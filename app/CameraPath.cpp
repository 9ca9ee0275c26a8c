#include "app/CameraPath.h"

#include "app/TextTokens.h"
#include "demo/ShowFiles.h"
#include "engine/core/Console.h"

#include <cmath>
#include <limits>

namespace {

constexpr int RECORD_FIELDS = 7;
constexpr double FIXED_POINT = 10000.0;
const char* const RECORDING_FILE = showfiles::RECORDED_PATH;

// One record of seven values; false when the file ends before the seventh.
bool readRecord(std::FILE* file, std::int32_t (&fields)[RECORD_FIELDS])
{
    for (std::int32_t& field : fields)
        if (!readValue(file, field))
            return false;
    return true;
}

// Truncates toward zero, saturating at the ends of the 32-bit range (NaN gives 0).
std::int32_t truncate32(double value)
{
    if (!(value == value))
        return 0;
    if (value >= 2147483647.0)
        return std::numeric_limits<std::int32_t>::max();
    if (value <= -2147483648.0)
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

// Writes each value on its own line; false when the stream failed.
bool writeValues(std::FILE* file, const std::int32_t* values, int count)
{
    for (int i = 0; i < count; ++i)
        if (std::fprintf(file, "%d\n", values[i]) < 0)
            return false;
    return true;
}

Vec3 lerp(const Vec3& a, const Vec3& b, float u)
{
    return Vec3((1.0f - u) * a.x + u * b.x, (1.0f - u) * a.y + u * b.y, (1.0f - u) * a.z + u * b.z);
}

// Column of n values replaced by the mean over the window r - w/2 .. r - w/2 + w - 1,
// clipped to 0 .. n - 2; the last entry takes no part and is not computed.
std::vector<float> movingAverage(const std::vector<float>& column, int windowSize)
{
    long n = static_cast<long>(column.size());
    long half = windowSize / 2;
    std::vector<float> result(column);
    for (long r = 0; r + 1 < n; ++r) {
        double sum = 0.0;
        long count = 0;
        for (long d = r - half; d < r - half + windowSize; ++d) {
            if (d < 0 || d > n - 2)
                continue;
            sum += column[static_cast<std::size_t>(d)];
            ++count;
        }
        if (count > 0)
            result[static_cast<std::size_t>(r)] = static_cast<float>(sum / static_cast<double>(count));
    }
    return result;
}

}

CameraPath::~CameraPath()
{
    stopRecording();
}

void CameraPath::readKeys(std::FILE* file)
{
    std::int32_t f[RECORD_FIELDS];
    while (readRecord(file, f)) {
        PathKey key;
        key.time = f[0];
        key.translation = Vec3(static_cast<float>(f[1] / FIXED_POINT), static_cast<float>(f[2] / FIXED_POINT),
            static_cast<float>(f[3] / FIXED_POINT));
        key.angles = Vec3(static_cast<float>(f[4] / FIXED_POINT), static_cast<float>(f[5] / FIXED_POINT),
            static_cast<float>(f[6] / FIXED_POINT));
        keys_.push_back(key);
    }
}

bool CameraPath::load(const char* name, int durationMs)
{
    // A recording still open (R and P in the same frame) ends here, complete.
    stopRecording();
    keys_.clear();
    keyIndex_ = 0;
    fileName_ = name ? name : "";
    clock_ = Stopwatch();
    mode = MODE_PLAYING;

    std::FILE* file = name ? std::fopen(name, "r") : nullptr;
    if (!file) {
        consolePrintf("Impossible d'ouvrir le fichier %s\n", fileName_.c_str());
        timeScale_ = 1.0f;
        return false;
    }
    readKeys(file);
    std::fclose(file);

    // The third key from the end is the one the duration lands on; shorter paths use
    // their last key, and an empty path keeps recorded time.
    timeScale_ = 1.0f;
    if (durationMs > 0 && !keys_.empty()) {
        std::size_t anchor = keys_.size() >= 3 ? keys_.size() - 3 : keys_.size() - 1;
        timeScale_ = static_cast<float>(keys_[anchor].time) / static_cast<float>(durationMs);
    }
    return true;
}

void CameraPath::rewind()
{
    stopRecording();
    keyIndex_ = 0;
    clock_ = Stopwatch();
    mode = MODE_PLAYING;
}

void CameraPath::play(Vec3& translation, Vec3& angles)
{
    clock_.startIfIdle();
    float t = static_cast<float>(clock_.elapsedMs()) * timeScale_;
    std::int32_t whole = truncate32(t);
    std::size_t n = keys_.size();
    while (keyIndex_ + 1 < n && keys_[keyIndex_].time < whole)
        ++keyIndex_;

    if (n == 0) {
        mode = MODE_FREE;
        return;
    }
    if (keyIndex_ + 1 >= n) {
        // Over: hold the next-to-last key (the last one is never played).
        const PathKey& held = keys_[keyIndex_ > 0 ? keyIndex_ - 1 : 0];
        translation = held.translation;
        angles = held.angles;
        mode = MODE_FREE;
        return;
    }
    if (keyIndex_ == 0) {
        translation = keys_[0].translation;
        angles = keys_[0].angles;
        return;
    }
    const PathKey& a = keys_[keyIndex_ - 1];
    const PathKey& b = keys_[keyIndex_];
    if (b.time == a.time) {
        translation = b.translation;
        angles = b.angles;
        return;
    }
    float u = (t - static_cast<float>(a.time)) / static_cast<float>(b.time - a.time);
    translation = lerp(a.translation, b.translation, u);
    angles = lerp(a.angles, b.angles, u);
}

bool CameraPath::startRecording()
{
    stopRecording();
    fileName_ = RECORDING_FILE;
    mode = MODE_RECORDING;
    clock_ = Stopwatch();
    recordFile_ = std::fopen(RECORDING_FILE, "w");
    if (!recordFile_) {
        consolePrintf("Impossible d'ouvrir le fichier %s\n", RECORDING_FILE);
        return false;
    }
    return true;
}

void CameraPath::recordKey(const Vec3& translation, const Vec3& angles)
{
    if (!recordFile_)
        return;
    clock_.startIfIdle();
    std::int32_t record[RECORD_FIELDS] = {
        clock_.elapsedMs(),
        truncate32(translation.x * FIXED_POINT),
        truncate32(translation.y * FIXED_POINT),
        truncate32(translation.z * FIXED_POINT),
        truncate32(angles.x * FIXED_POINT),
        truncate32(angles.y * FIXED_POINT),
        truncate32(angles.z * FIXED_POINT),
    };
    writeValues(recordFile_, record, RECORD_FIELDS);
    // Written through each frame: a crash or a kill keeps everything recorded so far.
    std::fflush(recordFile_);
}

void CameraPath::stopRecording()
{
    if (recordFile_) {
        std::fclose(recordFile_);
        recordFile_ = nullptr;
    }
}

bool CameraPath::smooth(int windowSize, const char* name)
{
    std::string target = name ? name : fileName_;
    std::FILE* in = std::fopen(target.c_str(), "r");
    if (!in) {
        consolePrintf("Convolution Echouee. %s inexistant", target.c_str());
        mode = MODE_FREE;
        return false;
    }
    std::vector<std::int32_t> times;
    std::vector<float> columns[RECORD_FIELDS - 1];
    std::int32_t f[RECORD_FIELDS];
    while (readRecord(in, f)) {
        times.push_back(f[0]);
        for (int c = 0; c < RECORD_FIELDS - 1; ++c)
            columns[c].push_back(static_cast<float>(f[c + 1]));
    }
    std::fclose(in);
    for (std::vector<float>& column : columns)
        column = movingAverage(column, windowSize);

    // Written beside the path and renamed over it only when complete.
    std::string temporary = target + ".tmp";
    std::FILE* out = std::fopen(temporary.c_str(), "w");
    if (!out) {
        consolePrintf("Convolution Echouee. %s non ecrit", target.c_str());
        mode = MODE_FREE;
        return false;
    }
    consolePrintf("time.size %d sigSize %d", static_cast<int>(times.size()),
        static_cast<int>(columns[RECORD_FIELDS - 2].size()));
    bool written = true;
    for (std::size_t r = 0; r + 1 < times.size() && written; ++r) {
        std::int32_t record[RECORD_FIELDS];
        record[0] = times[r];
        for (int c = 0; c < RECORD_FIELDS - 1; ++c)
            record[c + 1] = truncate32(columns[c][r]);
        written = writeValues(out, record, RECORD_FIELDS);
    }
    written = std::fflush(out) == 0 && written;
    written = std::fclose(out) == 0 && written;
    if (!written || std::rename(temporary.c_str(), target.c_str()) != 0) {
        std::remove(temporary.c_str());
        consolePrintf("Convolution Echouee. %s non ecrit", target.c_str());
        mode = MODE_FREE;
        return false;
    }
    mode = MODE_FREE;
    return true;
}

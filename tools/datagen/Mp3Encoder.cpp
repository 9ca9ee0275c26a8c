#include "tools/datagen/Mp3Encoder.h"

#include <lame/lame.h>

#include <algorithm>
#include <memory>

namespace {

struct LameCloser {
    void operator()(lame_global_flags* flags) const { lame_close(flags); }
};

}

bool encodeMp3(const StereoPcm& pcm, int kbps, std::vector<unsigned char>& mp3, std::string& error,
    void (*progress)(double fraction))
{
    mp3.clear();
    std::unique_ptr<lame_global_flags, LameCloser> lame(lame_init());
    if (!lame) {
        error = "LAME could not start";
        return false;
    }
    lame_set_in_samplerate(lame.get(), pcm.sampleRate);
    lame_set_out_samplerate(lame.get(), pcm.sampleRate);
    lame_set_num_channels(lame.get(), 2);
    lame_set_mode(lame.get(), JOINT_STEREO);
    lame_set_brate(lame.get(), kbps);
    lame_set_quality(lame.get(), 7);
    lame_set_bWriteVbrTag(lame.get(), 0);
    if (lame_init_params(lame.get()) < 0) {
        error = "LAME refused the encoding parameters";
        return false;
    }

    const int chunk = 1152 * 64;
    // Worst case from lame.h: 1.25 * samples + 7200.
    std::vector<unsigned char> out(std::size_t(chunk) * 5 / 4 + 7200);
    const std::size_t total = pcm.left.size();
    for (std::size_t at = 0; at < total; at += chunk) {
        const int count = int(std::min<std::size_t>(chunk, total - at));
        const int written = lame_encode_buffer_ieee_float(lame.get(), pcm.left.data() + at, pcm.right.data() + at,
            count, out.data(), int(out.size()));
        if (written < 0) {
            error = "LAME failed while encoding (code " + std::to_string(written) + ")";
            return false;
        }
        mp3.insert(mp3.end(), out.begin(), out.begin() + written);
        if (progress)
            progress(double(at + count) / double(total));
    }
    const int flushed = lame_encode_flush(lame.get(), out.data(), int(out.size()));
    if (flushed < 0) {
        error = "LAME failed while flushing (code " + std::to_string(flushed) + ")";
        return false;
    }
    mp3.insert(mp3.end(), out.begin(), out.begin() + flushed);
    return true;
}

#include "engine/material/JpegDecoder.h"

#include "engine/material/Image.h"
#include "engine/material/PictureBound.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

namespace {

// The error manager with a way out: libjpeg's fatal errors jump back to decodeJpeg,
// which returns false, instead of ending the process.
struct JumpingErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf exit;
};

void leaveOnError(j_common_ptr info)
{
    auto* manager = reinterpret_cast<JumpingErrorManager*>(info->err);
    std::longjmp(manager->exit, 1);
}

void ignoreMessage(j_common_ptr, int) {}
void ignoreOutput(j_common_ptr) {}

// The memory source: the whole file is present from the start, so there is nothing to
// initialise, refill or terminate.
void initSource(j_decompress_ptr) {}
void termSource(j_decompress_ptr) {}

// Called only when the decoder wants bytes past the end of the file: the data ended
// early, which is fatal here rather than padded out with an invented end marker.
boolean fillInput(j_decompress_ptr info)
{
    info->err->msg_code = JERR_INPUT_EOF;
    info->err->error_exit(reinterpret_cast<j_common_ptr>(info));
    return FALSE;
}

// Skips forward, but never past the end of the data.
void skipInput(j_decompress_ptr info, long count)
{
    jpeg_source_mgr* source = info->src;
    if (count <= 0)
        return;
    std::size_t step = static_cast<std::size_t>(count);
    if (step > source->bytes_in_buffer)
        step = source->bytes_in_buffer;
    source->next_input_byte += step;
    source->bytes_in_buffer -= step;
}

// CMYK (and YCCK, which libjpeg turns into CMYK) to R, G, B. Adobe writers store the
// inks inverted, which is what the Adobe marker tells.
void cmykRowToRgb(const JSAMPLE* cmyk, std::uint8_t* rgb, JDIMENSION width, bool inverted)
{
    for (JDIMENSION x = 0; x < width; ++x) {
        unsigned c = cmyk[0], m = cmyk[1], y = cmyk[2], k = cmyk[3];
        if (!inverted) {
            c = 255 - c; m = 255 - m; y = 255 - y; k = 255 - k;
        }
        rgb[0] = std::uint8_t((c * k + 127) / 255);
        rgb[1] = std::uint8_t((m * k + 127) / 255);
        rgb[2] = std::uint8_t((y * k + 127) / 255);
        cmyk += 4;
        rgb += 3;
    }
}

// Arithmetic coding can spend next to nothing on a flat block, and its data may end
// early by design (the decoder reads zeros from there on), so its size proves nothing:
// beyond a picture of this many blocks (a 2048 x 2048 grey one), at least one byte of
// data for this many blocks.
constexpr std::uint64_t ARITHMETIC_FREE_BLOCKS = 65536;
constexpr std::uint64_t ARITHMETIC_BLOCKS_PER_BYTE = 256;

// Whether size bytes can plausibly hold the picture the header claims, judged before
// anything of the picture's size is allocated, so a few hundred bytes cannot make the
// decoder allocate hundreds of megabytes. A sequential Huffman-coded file spends at
// least two bits on every 8 x 8 block (its shortest DC code and end-of-block code); a
// progressive one at least one bit (its first DC scan's shortest code), while the
// decoder keeps 128 bytes of coefficients for every block until the last scan.
bool dataCanHoldPicture(const jpeg_decompress_struct& info, std::size_t size)
{
    std::uint64_t blocks = 0;
    for (int c = 0; c < info.num_components; ++c)
        blocks += std::uint64_t(info.comp_info[c].width_in_blocks) * info.comp_info[c].height_in_blocks;
    std::uint64_t bits = std::uint64_t(size) * 8;
    if (info.arith_code)
        return blocks <= std::max(ARITHMETIC_FREE_BLOCKS, std::uint64_t(size) * ARITHMETIC_BLOCKS_PER_BYTE);
    if (info.progressive_mode)
        return bits >= blocks;
    return bits >= blocks * 2;
}

// Everything that may jump lives in here, with no objects that need destruction, so the
// longjmp skips nothing but plain data.
bool decompress(jpeg_decompress_struct& info, JumpingErrorManager& errors, std::size_t size, Image& image,
                std::vector<JSAMPLE>& cmykRow)
{
    if (setjmp(errors.exit))
        return false;
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK)
        return false;
    bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_calc_output_dimensions(&info);
    if (!pictureWithinBound(info.output_width, info.output_height) || !dataCanHoldPicture(info, size))
        return false;
    jpeg_start_decompress(&info);
    if (!image.allocate(info.output_width, info.output_height, 24))
        return false;
    if (cmyk)
        cmykRow.resize(std::size_t(info.output_width) * 4);
    bool inverted = info.saw_Adobe_marker;
    while (info.output_scanline < info.output_height) {
        std::uint8_t* row = image.pixelAt(0, info.output_scanline);
        JSAMPROW target = cmyk ? cmykRow.data() : row;
        if (jpeg_read_scanlines(&info, &target, 1) != 1)
            return false;
        if (cmyk)
            cmykRowToRgb(cmykRow.data(), row, info.output_width, inverted);
    }
    jpeg_finish_decompress(&info);
    return true;
}

}

bool decodeJpeg(const std::uint8_t* data, std::size_t size, Image& image)
{
    if (!data || size == 0)
        return false;
    jpeg_decompress_struct info;
    JumpingErrorManager errors;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = leaveOnError;
    errors.base.output_message = ignoreOutput;
    errors.base.emit_message = ignoreMessage;
    jpeg_create_decompress(&info);

    jpeg_source_mgr source {};
    source.next_input_byte = data;
    source.bytes_in_buffer = size;
    source.init_source = initSource;
    source.fill_input_buffer = fillInput;
    source.skip_input_data = skipInput;
    source.resync_to_restart = jpeg_resync_to_restart;
    source.term_source = termSource;
    info.src = &source;

    std::vector<JSAMPLE> cmykRow;
    bool ok = decompress(info, errors, size, image, cmykRow);
    jpeg_destroy_decompress(&info);
    return ok;
}

#include "engine/resources/jpeg_frames.h"

#include <csetjmp>
#include <cstdio>
#include <istream>

#include <jpeglib.h>
// After jpeglib.h, which it needs.
#include <jerror.h>

#include "engine/core/exception.h"
#include "engine/resources/resource.h"

namespace orvel {

namespace {

const size_t JPEG_SOURCE_BUFFER_SIZE = 4096;

// A libjpeg source that refills its buffer from a resource stream. When the
// stream runs out it feeds an end-of-image marker, so a truncated picture ends
// early (its missing rows grey) instead of reading past the data.
struct JpegStreamSource {
    jpeg_source_mgr manager;
    std::istream* stream;
    JOCTET buffer[JPEG_SOURCE_BUFFER_SIZE];
};

void InitSource(j_decompress_ptr) {}

void TermSource(j_decompress_ptr) {}

boolean FillInputBuffer(j_decompress_ptr info) {
    JpegStreamSource* source = reinterpret_cast<JpegStreamSource*>(info->src);
    source->stream->read(reinterpret_cast<char*>(source->buffer), JPEG_SOURCE_BUFFER_SIZE);
    size_t count = size_t(source->stream->gcount());
    if (count == 0) {
        WARNMS(info, JWRN_JPEG_EOF);
        source->buffer[0] = 0xFF;
        source->buffer[1] = JPEG_EOI;
        count = 2;
    }
    source->manager.next_input_byte = source->buffer;
    source->manager.bytes_in_buffer = count;
    return TRUE;
}

void SkipInputData(j_decompress_ptr info, long count) {
    jpeg_source_mgr* manager = info->src;
    while (count > long(manager->bytes_in_buffer)) {
        count -= long(manager->bytes_in_buffer);
        FillInputBuffer(info);
    }
    if (count > 0) {
        manager->next_input_byte += count;
        manager->bytes_in_buffer -= size_t(count);
    }
}

// libjpeg's default error handler ends the process. This one jumps back to the
// guarded call, which turns the error into an engine exception.
struct JpegErrorHandler {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void ErrorExit(j_common_ptr info) {
    JpegErrorHandler* handler = reinterpret_cast<JpegErrorHandler*>(info->err);
    std::longjmp(handler->jump, 1);
}

// Warnings about corrupt data are not printed; the picture still decodes.
void OutputMessage(j_common_ptr) {}

// Owns one decompressor over one stream.
class JpegDecoder {
public:
    explicit JpegDecoder(std::istream& stream) {
        info.err = jpeg_std_error(&errors.manager);
        errors.manager.error_exit = ErrorExit;
        errors.manager.output_message = OutputMessage;
        jpeg_create_decompress(&info);
        source.manager.init_source = InitSource;
        source.manager.fill_input_buffer = FillInputBuffer;
        source.manager.skip_input_data = SkipInputData;
        source.manager.resync_to_restart = jpeg_resync_to_restart;
        source.manager.term_source = TermSource;
        source.manager.next_input_byte = nullptr;
        source.manager.bytes_in_buffer = 0;
        source.stream = &stream;
        info.src = &source.manager;
    }
    ~JpegDecoder() { jpeg_destroy_decompress(&info); }
    JpegDecoder(const JpegDecoder&) = delete;
    JpegDecoder& operator=(const JpegDecoder&) = delete;

    bool ReadHeader() {
        if (setjmp(errors.jump) != 0) {
            return false;
        }
        jpeg_read_header(&info, TRUE);
        return true;
    }

    // Asks for RGB output, which libjpeg makes from colour and greyscale only.
    bool Start() {
        const J_COLOR_SPACE space = info.jpeg_color_space;
        if (space != JCS_GRAYSCALE && space != JCS_YCbCr && space != JCS_RGB) {
            return false;
        }
        info.out_color_space = JCS_RGB;
        if (setjmp(errors.jump) != 0) {
            return false;
        }
        jpeg_start_decompress(&info);
        return info.output_components == 3;
    }

    // Decodes every row straight into the sheet, `stride` bytes apart.
    bool ReadRows(uint8_t* firstRow, size_t stride) {
        if (setjmp(errors.jump) != 0) {
            return false;
        }
        while (info.output_scanline < info.output_height) {
            JSAMPROW row = firstRow + size_t(info.output_scanline) * stride;
            jpeg_read_scanlines(&info, &row, 1);
        }
        jpeg_finish_decompress(&info);
        return true;
    }

    // The size the header claims, known before anything is allocated for it.
    uint32_t ClaimedWidth() const { return info.image_width; }
    uint32_t ClaimedHeight() const { return info.image_height; }
    uint32_t Width() const { return info.output_width; }
    uint32_t Height() const { return info.output_height; }

private:
    jpeg_decompress_struct info;
    JpegErrorHandler errors;
    JpegStreamSource source;
};

}  // namespace

void ReadJpegFrame(FrameSheet& sheet, const std::string& name, PixelBuffer& buffer) {
    const IStreamPtr stream = OpenResource(name);
    JpegDecoder decoder(*stream);
    if (!decoder.ReadHeader()) {
        throw ExceptionFileFormatInvalid(name, -1);
    }
    // Decompression sets up buffers for the whole claimed size: a small file
    // may claim a picture of gigabytes.
    CheckFrameFitsTexture(sheet, name, decoder.ClaimedWidth(), decoder.ClaimedHeight());
    if (!decoder.Start()) {
        throw ExceptionFileFormatInvalid(name, -1);
    }
    const FrameSheet before = sheet;
    const size_t sizeBefore = buffer.size();
    const size_t offset = AddFrame(sheet, name, decoder.Width(), decoder.Height(), 24, buffer);
    if (!decoder.ReadRows(buffer.data() + offset, RowStride(sheet))) {
        sheet = before;
        buffer.resize(sizeBefore);
        throw ExceptionFileFormatInvalid(name, -1);
    }
}

}  // namespace orvel

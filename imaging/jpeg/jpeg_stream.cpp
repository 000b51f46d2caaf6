#include "imaging/jpeg/jpeg_stream.h"

#include <jerror.h>

namespace {

[[noreturn]] void ErrorExit(j_common_ptr info) {
    auto* manager = reinterpret_cast<JpegErrorManager*>(info->err);
    char message[JMSG_LENGTH_MAX];
    (*info->err->format_message)(info, message);
    manager->image->SetLastError(message);
    std::longjmp(manager->recovery, 1);
}

void InitSource(j_decompress_ptr info) { reinterpret_cast<JpegStreamSource*>(info->src)->startOfFile = TRUE; }

boolean FillInputBuffer(j_decompress_ptr info) {
    auto* source = reinterpret_cast<JpegStreamSource*>(info->src);
    std::size_t count = source->stream->Read(source->buffer, 1, kJpegStreamBufferSize);
    if (count == 0) {
        if (source->startOfFile) ERREXIT(info, JERR_INPUT_EMPTY);
        // A stream that ends early decodes with what it had: the library is
        // told of the end of the image and fills the missing rows itself.
        WARNMS(info, JWRN_JPEG_EOF);
        source->buffer[0] = 0xFF;
        source->buffer[1] = JPEG_EOI;
        count = 2;
    }
    source->pub.next_input_byte = source->buffer;
    source->pub.bytes_in_buffer = count;
    source->startOfFile = FALSE;
    return TRUE;
}

void SkipInputData(j_decompress_ptr info, long count) {
    if (count <= 0) return;
    jpeg_source_mgr* source = info->src;
    while (static_cast<std::size_t>(count) > source->bytes_in_buffer) {
        count -= static_cast<long>(source->bytes_in_buffer);
        FillInputBuffer(info);
    }
    source->next_input_byte += count;
    source->bytes_in_buffer -= static_cast<std::size_t>(count);
}

void TermSource(j_decompress_ptr) {}

void InitDestination(j_compress_ptr info) {
    auto* destination = reinterpret_cast<JpegStreamDestination*>(info->dest);
    destination->pub.next_output_byte = destination->buffer;
    destination->pub.free_in_buffer = kJpegStreamBufferSize;
}

boolean EmptyOutputBuffer(j_compress_ptr info) {
    auto* destination = reinterpret_cast<JpegStreamDestination*>(info->dest);
    if (destination->stream->Write(destination->buffer, 1, kJpegStreamBufferSize) != kJpegStreamBufferSize) {
        ERREXIT(info, JERR_FILE_WRITE);
    }
    InitDestination(info);
    return TRUE;
}

void TermDestination(j_compress_ptr info) {
    auto* destination = reinterpret_cast<JpegStreamDestination*>(info->dest);
    const std::size_t count = kJpegStreamBufferSize - destination->pub.free_in_buffer;
    if (count > 0 && destination->stream->Write(destination->buffer, 1, count) != count) {
        ERREXIT(info, JERR_FILE_WRITE);
    }
    destination->stream->Flush();
    if (destination->stream->Error()) ERREXIT(info, JERR_FILE_WRITE);
}

}  // namespace

jpeg_error_mgr* JpegUseErrorManager(JpegErrorManager& manager, CRasterImage& image) {
    jpeg_std_error(&manager.pub);
    manager.pub.error_exit = ErrorExit;
    manager.image = &image;
    return &manager.pub;
}

void JpegUseStreamSource(j_decompress_ptr info, JpegStreamSource& source, CRasterStream* stream) {
    source.stream = stream;
    source.pub.init_source = InitSource;
    source.pub.fill_input_buffer = FillInputBuffer;
    source.pub.skip_input_data = SkipInputData;
    source.pub.resync_to_restart = jpeg_resync_to_restart;
    source.pub.term_source = TermSource;
    source.pub.bytes_in_buffer = 0;
    source.pub.next_input_byte = nullptr;
    info->src = &source.pub;
}

void JpegUseStreamDestination(j_compress_ptr info, JpegStreamDestination& destination, CRasterStream* stream) {
    destination.stream = stream;
    destination.pub.init_destination = InitDestination;
    destination.pub.empty_output_buffer = EmptyOutputBuffer;
    destination.pub.term_destination = TermDestination;
    info->dest = &destination.pub;
}

// JP2 files and JPEG-2000 code streams through the JPEG-2000 library, over
// the image stream. Every call has its own codec and stream objects, so two
// pictures decode at once on two threads without sharing anything.
#include "imaging/jpeg2000/jas_picture.h"

#include <openjpeg.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

namespace {

// The image stream as the library sees it: positions count from where the
// stream stood when the call began.
struct StreamBinding {
    CRasterStream* stream;
    long start;
};

OPJ_SIZE_T ReadBytes(void* buffer, OPJ_SIZE_T count, void* user) {
    auto* binding = static_cast<StreamBinding*>(user);
    const std::size_t read = binding->stream->Read(buffer, 1, count);
    return read ? read : static_cast<OPJ_SIZE_T>(-1);
}

OPJ_SIZE_T WriteBytes(void* buffer, OPJ_SIZE_T count, void* user) {
    return static_cast<StreamBinding*>(user)->stream->Write(buffer, 1, count);
}

OPJ_OFF_T SkipBytes(OPJ_OFF_T count, void* user) {
    auto* binding = static_cast<StreamBinding*>(user);
    const long position = binding->stream->Tell();
    if (position < 0 || count > 0x7FFFFFFF - position || position + count < binding->start ||
        !binding->stream->Seek(static_cast<long>(position + count), SEEK_SET)) {
        return -1;
    }
    return count;
}

OPJ_BOOL SeekTo(OPJ_OFF_T offset, void* user) {
    auto* binding = static_cast<StreamBinding*>(user);
    if (offset < 0 || offset > 0x7FFFFFFF - binding->start) return OPJ_FALSE;
    return binding->stream->Seek(static_cast<long>(binding->start + offset), SEEK_SET) ? OPJ_TRUE : OPJ_FALSE;
}

void Quiet(const char*, void*) {}

struct CodecDeleter {
    void operator()(opj_codec_t* codec) const { opj_destroy_codec(codec); }
};
struct StreamDeleter {
    void operator()(opj_stream_t* stream) const { opj_stream_destroy(stream); }
};
using CodecHandle = std::unique_ptr<opj_codec_t, CodecDeleter>;
using StreamHandle = std::unique_ptr<opj_stream_t, StreamDeleter>;

StreamHandle BindStream(StreamBinding& binding, bool input) {
    StreamHandle stream(opj_stream_create(OPJ_J2K_STREAM_CHUNK_SIZE, input ? OPJ_TRUE : OPJ_FALSE));
    if (!stream) return stream;
    opj_stream_set_user_data(stream.get(), &binding, nullptr);
    if (input) {
        const long size = binding.stream->Size();
        opj_stream_set_user_data_length(stream.get(), size > binding.start ? OPJ_UINT64(size - binding.start) : 0);
        opj_stream_set_read_function(stream.get(), ReadBytes);
    } else {
        opj_stream_set_write_function(stream.get(), WriteBytes);
    }
    opj_stream_set_skip_function(stream.get(), SkipBytes);
    opj_stream_set_seek_function(stream.get(), SeekTo);
    return stream;
}

void SilenceCodec(opj_codec_t* codec) {
    opj_set_error_handler(codec, Quiet, nullptr);
    opj_set_warning_handler(codec, Quiet, nullptr);
    opj_set_info_handler(codec, Quiet, nullptr);
}

JasColourSpace ColourSpaceOf(OPJ_COLOR_SPACE space) {
    switch (space) {
    case OPJ_CLRSPC_UNSPECIFIED: return JasColourSpace::Unspecified;
    case OPJ_CLRSPC_GRAY: return JasColourSpace::Grey;
    case OPJ_CLRSPC_SRGB: return JasColourSpace::Srgb;
    case OPJ_CLRSPC_SYCC: return JasColourSpace::Sycc;
    default: return JasColourSpace::Other;
    }
}

std::uint64_t Ceiling(std::uint64_t a, std::uint64_t b) { return (a + b - 1) / b; }

// The size check made between the header and the samples.
bool HeaderAllowed(const opj_image_t& image, std::string& error) {
    if (image.numcomps > 64) {
        error = "error: too much components";
        return false;
    }
    if (image.numcomps == 0 || image.x1 <= image.x0 || image.y1 <= image.y0) return false;
    std::uint64_t samples = 0;
    for (OPJ_UINT32 i = 0; i < image.numcomps; ++i) {
        const opj_image_comp_t& c = image.comps[i];
        if (c.dx == 0 || c.dy == 0) return false;
        samples += Ceiling(image.x1 - image.x0, c.dx) * Ceiling(image.y1 - image.y0, c.dy);
    }
    if (!JasSizeAllowed(image.x1 - image.x0, image.y1 - image.y0, 1) || samples > kJasMaxSamples) {
        error = kJasTooLarge;
        return false;
    }
    return true;
}

}  // namespace

bool ReadJpeg2000(CRasterStream& stream, bool fileFormat, JasPicture& picture, std::string& error) {
    StreamBinding binding{&stream, stream.Tell()};
    if (binding.start < 0) return false;
    StreamHandle input = BindStream(binding, true);
    CodecHandle codec(opj_create_decompress(fileFormat ? OPJ_CODEC_JP2 : OPJ_CODEC_J2K));
    if (!input || !codec) return false;
    SilenceCodec(codec.get());
    opj_dparameters_t parameters;
    opj_set_default_decoder_parameters(&parameters);
    if (!opj_setup_decoder(codec.get(), &parameters)) return false;
    opj_image_t* raw = nullptr;
    const bool header = opj_read_header(input.get(), codec.get(), &raw);
    std::shared_ptr<opj_image_t> image(raw, [](opj_image_t* p) { if (p) opj_image_destroy(p); });
    if (!header || !image || !HeaderAllowed(*image, error)) return false;
    if (!opj_decode(codec.get(), input.get(), image.get()) || !opj_end_decompress(codec.get(), input.get())) {
        return false;
    }
    picture.colourSpace = ColourSpaceOf(image->color_space);
    picture.components.resize(image->numcomps);
    for (OPJ_UINT32 i = 0; i < image->numcomps; ++i) {
        const opj_image_comp_t& from = image->comps[i];
        JasComponent& to = picture.components[i];
        if (!from.data || from.w == 0 || from.h == 0 || from.prec == 0 || from.prec > 31) return false;
        to.width = from.w;
        to.height = from.h;
        to.x0 = from.x0;
        to.y0 = from.y0;
        to.dx = from.dx;
        to.dy = from.dy;
        to.precision = from.prec;
        to.maximum = static_cast<std::uint32_t>((std::uint64_t{1} << from.prec) - 1);
        to.isSigned = from.sgnd != 0;
        to.isAlpha = from.alpha != 0;
        to.samples = from.data;
    }
    picture.libraryImage = image;
    return true;
}

bool WriteJpeg2000(CRasterStream& stream, bool fileFormat, const JasPicture& picture, std::uint8_t quality) {
    const auto& components = picture.components;
    const std::uint32_t width = components[0].width, height = components[0].height;
    std::vector<opj_image_cmptparm_t> parameters(components.size());
    for (opj_image_cmptparm_t& p : parameters) {
        std::memset(&p, 0, sizeof p);
        p.dx = p.dy = 1;
        p.w = width;
        p.h = height;
        p.prec = 8;
    }
    const OPJ_COLOR_SPACE space = components.size() == 1 ? OPJ_CLRSPC_GRAY : OPJ_CLRSPC_SRGB;
    std::unique_ptr<opj_image_t, void (*)(opj_image_t*)> image(
        opj_image_create(static_cast<OPJ_UINT32>(components.size()), parameters.data(), space), opj_image_destroy);
    if (!image) return false;
    image->x1 = width;
    image->y1 = height;
    for (std::size_t i = 0; i < components.size(); ++i) {
        std::copy_n(components[i].samples, std::size_t{width} * height, image->comps[i].data);
    }

    opj_cparameters_t options;
    opj_set_default_encoder_parameters(&options);
    // One quality layer at the compression ratio the JPEG quality asks for
    // (quality q keeps q per cent of the raw size); 100 and above is lossless.
    options.tcp_numlayers = 1;
    options.cp_disto_alloc = 1;
    options.tcp_rates[0] = quality >= 100 ? 0.0f : 100.0f / static_cast<float>(std::max<std::uint8_t>(quality, 1));
    options.irreversible = 0;
    // The wavelet levels a small picture has room for.
    int levels = 1;
    while (levels < 6 && (std::min(width, height) >> levels) > 0) ++levels;
    options.numresolution = levels;

    CodecHandle codec(opj_create_compress(fileFormat ? OPJ_CODEC_JP2 : OPJ_CODEC_J2K));
    StreamBinding binding{&stream, stream.Tell()};
    if (!codec || binding.start < 0) return false;
    SilenceCodec(codec.get());
    StreamHandle output = BindStream(binding, false);
    return output && opj_setup_encoder(codec.get(), &options, image.get()) &&
           opj_start_compress(codec.get(), image.get(), output.get()) && opj_encode(codec.get(), output.get()) &&
           opj_end_compress(codec.get(), output.get());
}

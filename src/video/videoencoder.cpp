#include "videoencoder.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include "osfile.h"

namespace orlex {

namespace {

constexpr int kIoBufferSize = 1 << 16;

std::string AvReason(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

}  // namespace

std::string CheckVideoFormat(const TVideoFormat& f) {
    if (f.Width < 16 || f.Width > 8192 || f.Height < 16 || f.Height > 8192)
        return "The video size must be between 16 x 16 and 8192 x 8192 pixels.";
    if (f.Width % 2 != 0 || f.Height % 2 != 0)
        return "The width and height of a video must be even.";
    if (f.Fps < 1 || f.Fps > 240) return "The frame rate must be between 1 and 240.";
    return {};
}

struct TVideoEncoder::TState {
    TVideoFormat Format;
    std::FILE* File = nullptr;
    AVFormatContext* Muxer = nullptr;
    AVCodecContext* Codec = nullptr;
    AVStream* Stream = nullptr;
    AVIOContext* Io = nullptr;
    SwsContext* Scaler = nullptr;
    AVFrame* Frame = nullptr;
    AVPacket* Packet = nullptr;
    int WriteError = 0;  // errno of the first failed write
    bool HeaderWritten = false;
};

TVideoEncoder::TVideoEncoder() = default;

TVideoEncoder::~TVideoEncoder() {
    Abort();
}

int TVideoEncoder::WriteBytes(const uint8_t* data, int size) {
    errno = 0;
    if (std::fwrite(data, 1, static_cast<std::size_t>(size), S_->File) !=
        static_cast<std::size_t>(size))
        return errno != 0 ? errno : EIO;
    return 0;
}

int TVideoEncoder::WritePacket(void* opaque, uint8_t* data, int size) {
    auto* self = static_cast<TVideoEncoder*>(opaque);
    if (self->S_->WriteError != 0) return AVERROR(self->S_->WriteError);
    const int error = self->WriteBytes(data, size);
    if (error != 0) {
        self->S_->WriteError = error;
        return AVERROR(error);
    }
    return size;
}

int64_t TVideoEncoder::SeekFile(void* opaque, int64_t offset, int whence) {
    auto* self = static_cast<TVideoEncoder*>(opaque);
    std::FILE* file = self->S_->File;
    if (whence == AVSEEK_SIZE) {
        const off_t here = ftello(file);
        if (fseeko(file, 0, SEEK_END) != 0) return AVERROR(errno);
        const off_t size = ftello(file);
        fseeko(file, here, SEEK_SET);
        return size;
    }
    if (fseeko(file, static_cast<off_t>(offset), whence & ~AVSEEK_FORCE) != 0)
        return AVERROR(errno);
    return ftello(file);
}

bool TVideoEncoder::Fail(const std::string& what, int code) {
    const int writeError = S_ ? S_->WriteError : 0;
    std::string reason = writeError != 0 ? std::strerror(writeError) : AvReason(code);
    Error_ = what.empty() ? reason : what + ": " + reason;
    Abort();
    return false;
}

bool TVideoEncoder::Open(const std::string& path, const TVideoFormat& format) {
    Abort();
    Error_.clear();
    Frames_ = 0;
    av_log_set_level(AV_LOG_ERROR);
    if (const std::string bad = CheckVideoFormat(format); !bad.empty()) {
        Error_ = bad;
        return false;
    }
    Path_ = path;
    TempPath_ = path + ".part";
    S_ = std::make_unique<TState>();
    S_->Format = format;
    errno = 0;
    S_->File = OpenFile(TempPath_, "wb");
    if (!S_->File) {
        const int error = errno != 0 ? errno : EIO;
        S_.reset();
        Error_ = std::strerror(error);
        return false;
    }
    int rc = avformat_alloc_output_context2(&S_->Muxer, nullptr, "mp4", nullptr);
    if (rc < 0 || !S_->Muxer) return Fail("MP4 output", rc);
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_H264);
    if (!codec) return Fail("", AVERROR_ENCODER_NOT_FOUND);
    S_->Codec = avcodec_alloc_context3(codec);
    if (!S_->Codec) return Fail("", AVERROR(ENOMEM));
    AVCodecContext* c = S_->Codec;
    c->width = format.Width;
    c->height = format.Height;
    c->time_base = AVRational{1, format.Fps};
    c->framerate = AVRational{format.Fps, 1};
    c->pix_fmt = AV_PIX_FMT_YUV420P;
    c->gop_size = format.Fps * 2;
    if (S_->Muxer->oformat->flags & AVFMT_GLOBALHEADER) c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    av_opt_set(c->priv_data, "preset", "veryfast", 0);
    av_opt_set(c->priv_data, "crf", "20", 0);
    rc = avcodec_open2(c, codec, nullptr);
    if (rc < 0) return Fail("H.264 encoder", rc);
    S_->Stream = avformat_new_stream(S_->Muxer, nullptr);
    if (!S_->Stream) return Fail("", AVERROR(ENOMEM));
    S_->Stream->time_base = c->time_base;
    rc = avcodec_parameters_from_context(S_->Stream->codecpar, c);
    if (rc < 0) return Fail("", rc);

    auto* buffer = static_cast<unsigned char*>(av_malloc(kIoBufferSize));
    if (!buffer) return Fail("", AVERROR(ENOMEM));
    S_->Io = avio_alloc_context(buffer, kIoBufferSize, 1, this, nullptr,
                                &TVideoEncoder::WritePacket, &TVideoEncoder::SeekFile);
    if (!S_->Io) {
        av_free(buffer);
        return Fail("", AVERROR(ENOMEM));
    }
    S_->Muxer->pb = S_->Io;
    S_->Muxer->flags |= AVFMT_FLAG_CUSTOM_IO;

    S_->Frame = av_frame_alloc();
    S_->Packet = av_packet_alloc();
    if (!S_->Frame || !S_->Packet) return Fail("", AVERROR(ENOMEM));
    S_->Frame->format = AV_PIX_FMT_YUV420P;
    S_->Frame->width = format.Width;
    S_->Frame->height = format.Height;
    rc = av_frame_get_buffer(S_->Frame, 0);
    if (rc < 0) return Fail("", rc);
    S_->Scaler =
        sws_getContext(format.Width, format.Height, AV_PIX_FMT_RGB24, format.Width, format.Height,
                       AV_PIX_FMT_YUV420P, SWS_BICUBIC, nullptr, nullptr, nullptr);
    if (!S_->Scaler) return Fail("", AVERROR(ENOMEM));
    rc = avformat_write_header(S_->Muxer, nullptr);
    if (rc < 0) return Fail("", rc);
    S_->HeaderWritten = true;
    return true;
}

bool TVideoEncoder::Encode(bool flush) {
    int rc = avcodec_send_frame(S_->Codec, flush ? nullptr : S_->Frame);
    if (rc < 0) return Fail("", rc);
    for (;;) {
        rc = avcodec_receive_packet(S_->Codec, S_->Packet);
        if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) return true;
        if (rc < 0) return Fail("", rc);
        if (S_->Packet->duration <= 0) S_->Packet->duration = 1;  // one frame
        av_packet_rescale_ts(S_->Packet, S_->Codec->time_base, S_->Stream->time_base);
        S_->Packet->stream_index = S_->Stream->index;
        rc = av_interleaved_write_frame(S_->Muxer, S_->Packet);
        if (rc < 0 || S_->WriteError != 0) return Fail("", rc);
    }
}

bool TVideoEncoder::AddFrame(const uint8_t* rgb, int stride) {
    if (!S_) {
        if (Error_.empty()) Error_ = "The video is not open.";
        return false;
    }
    const int rc = av_frame_make_writable(S_->Frame);
    if (rc < 0) return Fail("", rc);
    const uint8_t* planes[1] = {rgb};
    const int strides[1] = {stride};
    sws_scale(S_->Scaler, planes, strides, 0, S_->Format.Height, S_->Frame->data,
              S_->Frame->linesize);
    S_->Frame->pts = Frames_;
    if (!Encode(false)) return false;
    ++Frames_;
    return true;
}

bool TVideoEncoder::Finish() {
    if (!S_) {
        if (Error_.empty()) Error_ = "The video is not open.";
        return false;
    }
    if (!Encode(true)) return false;
    int rc = av_write_trailer(S_->Muxer);
    S_->HeaderWritten = false;
    avio_flush(S_->Io);
    if (rc < 0 || S_->WriteError != 0 || S_->Io->error < 0)
        return Fail("", rc < 0 ? rc : S_->Io->error);
    errno = 0;
    const bool flushed = std::fflush(S_->File) == 0;
    const int flushError = errno;
    const bool closed = std::fclose(S_->File) == 0;
    const int closeError = errno;
    S_->File = nullptr;
    if (!flushed || !closed) {
        S_->WriteError = flushError != 0 ? flushError : (closeError != 0 ? closeError : EIO);
        return Fail("", 0);
    }
    Close();
    if (std::string why; !RenameFile(TempPath_, Path_, why)) {
        Error_ = why;
        RemoveFile(TempPath_);
        return false;
    }
    return true;
}

void TVideoEncoder::Close() {
    if (!S_) return;
    if (S_->Muxer) {
        S_->Muxer->pb = nullptr;
        avformat_free_context(S_->Muxer);
    }
    if (S_->Io) {
        av_freep(&S_->Io->buffer);
        avio_context_free(&S_->Io);
    }
    avcodec_free_context(&S_->Codec);
    sws_freeContext(S_->Scaler);
    av_frame_free(&S_->Frame);
    av_packet_free(&S_->Packet);
    if (S_->File) std::fclose(S_->File);
    S_.reset();
}

void TVideoEncoder::Abort() {
    if (!S_) return;
    Close();
    RemoveFile(TempPath_);
}

}  // namespace orlex

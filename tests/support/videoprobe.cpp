#include "videoprobe.h"

#include <cmath>
#include <limits>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

namespace orlex::test {

namespace {

void DecodeFirst(AVFormatContext* in, int index, TVideoProbe& probe) {
    const AVCodecParameters* par = in->streams[index]->codecpar;
    const AVCodec* codec = avcodec_find_decoder(par->codec_id);
    AVCodecContext* dec = codec ? avcodec_alloc_context3(codec) : nullptr;
    if (!dec || avcodec_parameters_to_context(dec, par) < 0 ||
        avcodec_open2(dec, codec, nullptr) < 0) {
        avcodec_free_context(&dec);
        return;
    }
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    bool got = false;
    auto take = [&] {
        if (avcodec_receive_frame(dec, frame) != 0) return;
        probe.FirstFrameRgb.assign(static_cast<std::size_t>(frame->width) * frame->height * 3, 0);
        SwsContext* sws = sws_getContext(
            frame->width, frame->height, static_cast<AVPixelFormat>(frame->format), frame->width,
            frame->height, AV_PIX_FMT_RGB24, SWS_BICUBIC, nullptr, nullptr, nullptr);
        uint8_t* planes[1] = {probe.FirstFrameRgb.data()};
        const int strides[1] = {frame->width * 3};
        sws_scale(sws, frame->data, frame->linesize, 0, frame->height, planes, strides);
        sws_freeContext(sws);
        got = true;
    };
    av_seek_frame(in, index, 0, AVSEEK_FLAG_BACKWARD);
    while (!got && av_read_frame(in, packet) >= 0) {
        if (packet->stream_index == index && avcodec_send_packet(dec, packet) >= 0) take();
        av_packet_unref(packet);
    }
    if (!got) {
        avcodec_send_packet(dec, nullptr);
        take();
    }
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&dec);
}

}  // namespace

TVideoProbe ProbeVideo(const std::string& path) {
    TVideoProbe probe;
    AVFormatContext* in = nullptr;
    if (avformat_open_input(&in, path.c_str(), nullptr, nullptr) < 0) return probe;
    if (avformat_find_stream_info(in, nullptr) < 0) {
        avformat_close_input(&in);
        return probe;
    }
    const int index = av_find_best_stream(in, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (index >= 0) {
        probe.Opened = true;
        const AVStream* stream = in->streams[index];
        const AVCodecParameters* par = stream->codecpar;
        probe.Codec = avcodec_get_name(par->codec_id);
        const char* pix = av_get_pix_fmt_name(static_cast<AVPixelFormat>(par->format));
        probe.PixelFormat = pix ? pix : "";
        probe.Width = par->width;
        probe.Height = par->height;
        probe.FrameRate = av_q2d(stream->avg_frame_rate);
        if (in->duration > 0) probe.Duration = static_cast<double>(in->duration) / AV_TIME_BASE;
        AVPacket* packet = av_packet_alloc();
        while (av_read_frame(in, packet) >= 0) {
            if (packet->stream_index == index) ++probe.Packets;
            av_packet_unref(packet);
        }
        av_packet_free(&packet);
        DecodeFirst(in, index, probe);
    }
    avformat_close_input(&in);
    return probe;
}

double Psnr(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    if (a.size() != b.size() || a.empty()) return 0;
    double sum = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const double d = static_cast<double>(a[i]) - b[i];
        sum += d * d;
    }
    if (sum == 0) return std::numeric_limits<double>::infinity();
    return 10 * std::log10(255.0 * 255.0 / (sum / static_cast<double>(a.size())));
}

}  // namespace orlex::test

#include "tools/gamekit/AviWriter.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <cmath>

namespace {

struct Writer {
    AVFormatContext* pFormat = nullptr;
    AVCodecContext* pVideo = nullptr;
    AVCodecContext* pAudio = nullptr;
    AVStream* pVideoStream = nullptr;
    AVStream* pAudioStream = nullptr;
    AVPacket* pPacket = nullptr;
    ~Writer() {
        avcodec_free_context(&pVideo);
        avcodec_free_context(&pAudio);
        av_packet_free(&pPacket);
        if (pFormat) {
            if (pFormat->pb) avio_closep(&pFormat->pb);
            avformat_free_context(pFormat);
        }
    }
    bool Drain(AVCodecContext* c, AVStream* s) {
        while (true) {
            int r = avcodec_receive_packet(c, pPacket);
            if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) return true;
            if (r < 0) return false;
            av_packet_rescale_ts(pPacket, c->time_base, s->time_base);
            pPacket->stream_index = s->index;
            if (av_interleaved_write_frame(pFormat, pPacket) < 0) return false;
        }
    }
};

bool Fail(std::string* pError, const std::string& text) {
    if (pError) *pError = text;
    return false;
}

}  // namespace

bool WriteAvi(const std::string& path, const AviSpec& spec, std::string* pError) {
    av_log_set_level(AV_LOG_QUIET);
    Writer w;
    if (spec.colours.empty() || spec.nWidth <= 0 || spec.nHeight <= 0 || spec.nFps <= 0)
        return Fail(pError, "avi: nothing to write");
    if (avformat_alloc_output_context2(&w.pFormat, nullptr, "avi", path.c_str()) < 0 || !w.pFormat)
        return Fail(pError, "avi: no AVI muxer");
    const AVCodec* pCodec = avcodec_find_encoder(AV_CODEC_ID_MPEG4);
    if (!pCodec) return Fail(pError, "avi: no MPEG-4 encoder");
    w.pVideo = avcodec_alloc_context3(pCodec);
    w.pVideo->width = spec.nWidth;
    w.pVideo->height = spec.nHeight;
    w.pVideo->time_base = AVRational{1, spec.nFps};
    w.pVideo->framerate = AVRational{spec.nFps, 1};
    w.pVideo->pix_fmt = AV_PIX_FMT_YUV420P;
    w.pVideo->gop_size = 10;
    w.pVideo->bit_rate = 800000;
    w.pVideo->codec_tag = MKTAG('F', 'M', 'P', '4');
    if (w.pFormat->oformat->flags & AVFMT_GLOBALHEADER) w.pVideo->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    av_opt_set_int(w.pVideo, "qmax", 4, 0);
    if (avcodec_open2(w.pVideo, pCodec, nullptr) < 0) return Fail(pError, "avi: cannot open the MPEG-4 encoder");
    w.pVideoStream = avformat_new_stream(w.pFormat, nullptr);
    avcodec_parameters_from_context(w.pVideoStream->codecpar, w.pVideo);
    w.pVideoStream->time_base = w.pVideo->time_base;

    const int nAudioRate = 22050;
    if (spec.dToneHz > 0) {
        const AVCodec* pPcm = avcodec_find_encoder(AV_CODEC_ID_PCM_S16LE);
        if (!pPcm) return Fail(pError, "avi: no PCM encoder");
        w.pAudio = avcodec_alloc_context3(pPcm);
        w.pAudio->sample_rate = nAudioRate;
        w.pAudio->sample_fmt = AV_SAMPLE_FMT_S16;
        av_channel_layout_default(&w.pAudio->ch_layout, 1);
        w.pAudio->time_base = AVRational{1, nAudioRate};
        if (avcodec_open2(w.pAudio, pPcm, nullptr) < 0) return Fail(pError, "avi: cannot open the PCM encoder");
        w.pAudioStream = avformat_new_stream(w.pFormat, nullptr);
        avcodec_parameters_from_context(w.pAudioStream->codecpar, w.pAudio);
        w.pAudioStream->time_base = w.pAudio->time_base;
    }
    if (avio_open(&w.pFormat->pb, path.c_str(), AVIO_FLAG_WRITE) < 0) return Fail(pError, "avi: cannot write " + path);
    if (avformat_write_header(w.pFormat, nullptr) < 0) return Fail(pError, "avi: cannot write the header of " + path);
    w.pPacket = av_packet_alloc();

    AVFrame* pRgb = av_frame_alloc();
    AVFrame* pYuv = av_frame_alloc();
    pRgb->format = AV_PIX_FMT_RGB24;
    pRgb->width = spec.nWidth;
    pRgb->height = spec.nHeight;
    pYuv->format = AV_PIX_FMT_YUV420P;
    pYuv->width = spec.nWidth;
    pYuv->height = spec.nHeight;
    av_frame_get_buffer(pRgb, 0);
    av_frame_get_buffer(pYuv, 0);
    SwsContext* pSws = sws_getContext(spec.nWidth, spec.nHeight, AV_PIX_FMT_RGB24, spec.nWidth, spec.nHeight,
                                      AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr, nullptr, nullptr);
    bool bOk = pSws != nullptr;
    int nSamplesPerFrame = nAudioRate / spec.nFps;
    long long nSample = 0;
    for (size_t f = 0; bOk && f < spec.colours.size(); ++f) {
        std::uint32_t c = spec.colours[f];
        int nBar = spec.bMovingBar ? int(f * size_t(spec.nWidth) / spec.colours.size()) : -100;
        for (int y = 0; y < spec.nHeight; ++y) {
            std::uint8_t* row = pRgb->data[0] + y * pRgb->linesize[0];
            for (int x = 0; x < spec.nWidth; ++x) {
                bool bWhite = x >= nBar && x < nBar + spec.nWidth / 16;
                row[3 * x] = bWhite ? 255 : std::uint8_t(c >> 16);
                row[3 * x + 1] = bWhite ? 255 : std::uint8_t(c >> 8);
                row[3 * x + 2] = bWhite ? 255 : std::uint8_t(c);
            }
        }
        av_frame_make_writable(pYuv);
        sws_scale(pSws, pRgb->data, pRgb->linesize, 0, spec.nHeight, pYuv->data, pYuv->linesize);
        pYuv->pts = (long long)f;
        bOk = avcodec_send_frame(w.pVideo, pYuv) == 0 && w.Drain(w.pVideo, w.pVideoStream);
        if (bOk && w.pAudio) {
            AVFrame* pA = av_frame_alloc();
            pA->nb_samples = nSamplesPerFrame;
            pA->format = AV_SAMPLE_FMT_S16;
            pA->sample_rate = nAudioRate;
            av_channel_layout_default(&pA->ch_layout, 1);
            av_frame_get_buffer(pA, 0);
            auto* s = reinterpret_cast<std::int16_t*>(pA->data[0]);
            for (int i = 0; i < nSamplesPerFrame; ++i, ++nSample)
                s[i] = std::int16_t(8000.0 * std::sin(2.0 * M_PI * spec.dToneHz * double(nSample) / nAudioRate));
            pA->pts = nSample - nSamplesPerFrame;
            bOk = avcodec_send_frame(w.pAudio, pA) == 0 && w.Drain(w.pAudio, w.pAudioStream);
            av_frame_free(&pA);
        }
    }
    if (bOk) bOk = avcodec_send_frame(w.pVideo, nullptr) == 0 && w.Drain(w.pVideo, w.pVideoStream);
    if (bOk && w.pAudio) bOk = avcodec_send_frame(w.pAudio, nullptr) == 0 && w.Drain(w.pAudio, w.pAudioStream);
    if (bOk) bOk = av_write_trailer(w.pFormat) == 0;
    sws_freeContext(pSws);
    av_frame_free(&pRgb);
    av_frame_free(&pYuv);
    return bOk ? true : Fail(pError, "avi: encoding " + path + " failed");
}

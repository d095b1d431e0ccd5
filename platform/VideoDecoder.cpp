#include "platform/VideoDecoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include "platform/Files.h"

struct CVideoDecoder::Impl {
    AVFormatContext* pFormat = nullptr;
    AVCodecContext* pVideo = nullptr;
    AVCodecContext* pAudio = nullptr;
    int nVideoStream = -1;
    int nAudioStream = -1;
    AVFrame* pFrame = nullptr;     // the current picture
    AVFrame* pScratch = nullptr;   // audio frames
    AVPacket* pPacket = nullptr;
    SwsContext* pSws = nullptr;
    SwrContext* pSwr = nullptr;
    bool bHavePicture = false;
    bool bInputDone = false;
    std::vector<std::uint8_t> audio;
};

namespace {

AVCodecContext* OpenCodec(AVStream* pStream) {
    const AVCodec* pCodec = avcodec_find_decoder(pStream->codecpar->codec_id);
    if (!pCodec) return nullptr;
    AVCodecContext* c = avcodec_alloc_context3(pCodec);
    if (!c) return nullptr;
    if (avcodec_parameters_to_context(c, pStream->codecpar) < 0 || avcodec_open2(c, pCodec, nullptr) < 0) {
        avcodec_free_context(&c);
        return nullptr;
    }
    return c;
}

}  // namespace

CVideoDecoder::CVideoDecoder() : m_p(new Impl) { av_log_set_level(AV_LOG_QUIET); }

CVideoDecoder::~CVideoDecoder() {
    Close();
    delete m_p;
}

void CVideoDecoder::Close() {
    Impl& d = *m_p;
    if (d.pSws) sws_freeContext(d.pSws);
    if (d.pSwr) swr_free(&d.pSwr);
    av_frame_free(&d.pFrame);
    av_frame_free(&d.pScratch);
    av_packet_free(&d.pPacket);
    avcodec_free_context(&d.pVideo);
    avcodec_free_context(&d.pAudio);
    avformat_close_input(&d.pFormat);
    *m_p = Impl{};
    m_audioFormat = WAVEFORMATEX{};
}

bool CVideoDecoder::Open(const char* pszName) {
    Close();
    Impl& d = *m_p;
    std::string path = ResolvePath(pszName ? pszName : "");
    const std::string strName = pszName ? pszName : "";
    // The library would wait for ever on a named pipe: only regular files are handed on.
    if (!CheckRegularFile(path)) {
        m_strError = "video: " + strName + " " + OpenFileError();
        return false;
    }
    if (avformat_open_input(&d.pFormat, path.c_str(), nullptr, nullptr) < 0) {
        m_strError = "video: cannot open " + strName;
        return false;
    }
    if (avformat_find_stream_info(d.pFormat, nullptr) < 0) {
        m_strError = "video: cannot read the tracks of " + strName;
        Close();
        return false;
    }
    d.nVideoStream = av_find_best_stream(d.pFormat, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (d.nVideoStream < 0 || !(d.pVideo = OpenCodec(d.pFormat->streams[d.nVideoStream])) ||
        d.pVideo->width <= 0 || d.pVideo->height <= 0) {
        m_strError = "video: no playable picture track in " + strName;
        Close();
        return false;
    }
    d.pFrame = av_frame_alloc();
    d.pScratch = av_frame_alloc();
    d.pPacket = av_packet_alloc();
    if (!d.pFrame || !d.pScratch || !d.pPacket) {
        m_strError = "video: out of memory";
        Close();
        return false;
    }
    d.nAudioStream = av_find_best_stream(d.pFormat, AVMEDIA_TYPE_AUDIO, -1, d.nVideoStream, nullptr, 0);
    if (d.nAudioStream >= 0 && (d.pAudio = OpenCodec(d.pFormat->streams[d.nAudioStream]))) {
        int nChannels = d.pAudio->ch_layout.nb_channels >= 2 ? 2 : 1;
        AVChannelLayout outLayout;
        av_channel_layout_default(&outLayout, nChannels);
        int nRate = d.pAudio->sample_rate;
        if (nRate >= 1000 && nRate <= 192000 &&
            swr_alloc_set_opts2(&d.pSwr, &outLayout, AV_SAMPLE_FMT_S16, nRate, &d.pAudio->ch_layout,
                                d.pAudio->sample_fmt, nRate, 0, nullptr) == 0 &&
            swr_init(d.pSwr) == 0) {
            m_audioFormat.wFormatTag = WAVE_FORMAT_PCM;
            m_audioFormat.nChannels = WORD(nChannels);
            m_audioFormat.nSamplesPerSec = DWORD(nRate);
            m_audioFormat.wBitsPerSample = 16;
            m_audioFormat.nBlockAlign = WORD(2 * nChannels);
            m_audioFormat.nAvgBytesPerSec = DWORD(nRate) * m_audioFormat.nBlockAlign;
        } else {
            if (d.pSwr) swr_free(&d.pSwr);
            avcodec_free_context(&d.pAudio);
        }
        av_channel_layout_uninit(&outLayout);
    }
    if (!d.pAudio) d.nAudioStream = -1;
    return true;
}

int CVideoDecoder::Width() const { return m_p->pVideo ? m_p->pVideo->width : 0; }
int CVideoDecoder::Height() const { return m_p->pVideo ? m_p->pVideo->height : 0; }
bool CVideoDecoder::HasAudio() const { return m_p->pAudio != nullptr; }

void CVideoDecoder::TakeAudio(std::vector<std::uint8_t>* pOut) {
    pOut->insert(pOut->end(), m_p->audio.begin(), m_p->audio.end());
    m_p->audio.clear();
}

int CVideoDecoder::NextFrame(double* pdSeconds) {
    Impl& d = *m_p;
    if (!d.pVideo) return -1;
    while (true) {
        int r = avcodec_receive_frame(d.pVideo, d.pFrame);
        if (r == 0) {
            d.bHavePicture = true;
            AVRational tb = d.pFormat->streams[d.nVideoStream]->time_base;
            int64_t pts = d.pFrame->best_effort_timestamp;
            if (pdSeconds) *pdSeconds = pts == AV_NOPTS_VALUE ? 0.0 : double(pts) * av_q2d(tb);
            return 1;
        }
        if (r == AVERROR_EOF) return 0;
        if (r != AVERROR(EAGAIN)) {
            m_strError = "video: picture decode error";
            return -1;
        }
        if (d.bInputDone) return 0;
        r = av_read_frame(d.pFormat, d.pPacket);
        if (r < 0) {
            // End of the file (or a cut-off file): drain what the decoder holds.
            d.bInputDone = true;
            avcodec_send_packet(d.pVideo, nullptr);
            continue;
        }
        if (d.pPacket->stream_index == d.nVideoStream) {
            // A damaged packet is skipped; the decoder goes on with the next one.
            avcodec_send_packet(d.pVideo, d.pPacket);
        } else if (d.pPacket->stream_index == d.nAudioStream && d.pAudio) {
            if (avcodec_send_packet(d.pAudio, d.pPacket) == 0) {
                while (avcodec_receive_frame(d.pAudio, d.pScratch) == 0) {
                    int nOut = swr_get_out_samples(d.pSwr, d.pScratch->nb_samples);
                    if (nOut > 0) {
                        size_t nOld = d.audio.size();
                        d.audio.resize(nOld + size_t(nOut) * m_audioFormat.nBlockAlign);
                        uint8_t* pDst = d.audio.data() + nOld;
                        int nGot = swr_convert(d.pSwr, &pDst, nOut, const_cast<const uint8_t**>(d.pScratch->extended_data),
                                               d.pScratch->nb_samples);
                        d.audio.resize(nOld + size_t(nGot > 0 ? nGot : 0) * m_audioFormat.nBlockAlign);
                    }
                    av_frame_unref(d.pScratch);
                }
            }
        }
        av_packet_unref(d.pPacket);
    }
}

bool CVideoDecoder::DrawFrame(void* pDst, int nPitch, int nWidth, int nHeight, const VideoPixelFormat& fmt) {
    Impl& d = *m_p;
    if (!d.bHavePicture || !pDst || nWidth <= 0 || nHeight <= 0) return false;
    AVPixelFormat dstFormat = AV_PIX_FMT_NONE;
    if (fmt.dwRGBBitCount == 16 && fmt.dwGBitMask == 0x07E0) dstFormat = AV_PIX_FMT_RGB565LE;
    else if ((fmt.dwRGBBitCount == 16 || fmt.dwRGBBitCount == 15) && fmt.dwGBitMask == 0x03E0) dstFormat = AV_PIX_FMT_RGB555LE;
    else if (fmt.dwRGBBitCount == 32) dstFormat = fmt.dwRBitMask == 0xFF0000 ? AV_PIX_FMT_BGR0 : AV_PIX_FMT_RGB0;
    else if (fmt.dwRGBBitCount == 24) dstFormat = fmt.dwRBitMask == 0xFF0000 ? AV_PIX_FMT_BGR24 : AV_PIX_FMT_RGB24;
    if (dstFormat == AV_PIX_FMT_NONE) return false;
    d.pSws = sws_getCachedContext(d.pSws, d.pFrame->width, d.pFrame->height, AVPixelFormat(d.pFrame->format), nWidth,
                                  nHeight, dstFormat, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!d.pSws) return false;
    uint8_t* planes[4] = {static_cast<uint8_t*>(pDst), nullptr, nullptr, nullptr};
    int pitches[4] = {nPitch, 0, 0, 0};
    return sws_scale(d.pSws, d.pFrame->data, d.pFrame->linesize, 0, d.pFrame->height, planes, pitches) == nHeight;
}

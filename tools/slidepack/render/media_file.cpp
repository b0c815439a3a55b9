#include "tools/slidepack/render/media_file.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
}

#include <algorithm>
#include <cstring>

#include "tools/slidepack/render/gif_palette.h"
#include "tools/slidepack/slidepack_error.h"

namespace slidepack::render {

namespace {

constexpr int kChannels = 2;

struct Dictionary {
  AVDictionary* entries = nullptr;
  ~Dictionary() { av_dict_free(&entries); }
  void Set(const char* key, const char* value) { av_dict_set(&entries, key, value, 0); }
};

const AVCodec* FindEncoder(const char* name, AVCodecID fallback) {
  const AVCodec* codec = avcodec_find_encoder_by_name(name);
  return codec ? codec : avcodec_find_encoder(fallback);
}

// The encoder's own format nearest to interleaved float.
AVSampleFormat ChooseSampleFormat(const AVCodec* codec) {
  if (!codec->sample_fmts) return AV_SAMPLE_FMT_FLTP;
  for (AVSampleFormat wanted : {AV_SAMPLE_FMT_FLTP, AV_SAMPLE_FMT_FLT, AV_SAMPLE_FMT_S16}) {
    for (const AVSampleFormat* f = codec->sample_fmts; *f != AV_SAMPLE_FMT_NONE; ++f) {
      if (*f == wanted) return wanted;
    }
  }
  return codec->sample_fmts[0];
}

int16_t ToS16(float sample) {
  return static_cast<int16_t>(std::clamp(sample, -1.0f, 1.0f) * 32767.0f);
}

}  // namespace

MediaFileWriter::MediaFileWriter(OutputKind kind, const std::filesystem::path& path,
                                 const WriterSettings& settings)
    : path_(path), settings_(settings), file_(path), gif_(kind == OutputKind::kGif) {
  av_log_set_level(AV_LOG_FATAL);  // a failure is reported as our own error
  const char* format_name = kind == OutputKind::kMp4 ? "mp4" : gif_ ? "gif" : "webm";
  Check(avformat_alloc_output_context2(&format_, nullptr, format_name, file_.temp_path().c_str()),
        "video");
  packet_ = av_packet_alloc();
  held_ = av_packet_alloc();
  if (!packet_ || !held_) throw SlidepackError("out of memory");
  OpenVideo(kind);
  if (settings_.audio && !gif_) OpenAudio(kind);
  Check(avio_open(&format_->pb, file_.temp_path().c_str(), AVIO_FLAG_WRITE), "video");
  Dictionary options;
  if (kind == OutputKind::kMp4) options.Set("movflags", "+faststart");
  Check(avformat_write_header(format_, &options.entries), "video");
}

MediaFileWriter::~MediaFileWriter() {
  avcodec_free_context(&video_.codec);
  avcodec_free_context(&audio_.codec);
  av_frame_free(&picture_);
  av_frame_free(&sound_);
  av_packet_free(&packet_);
  av_packet_free(&held_);
  if (format_) {
    avio_closep(&format_->pb);
    avformat_free_context(format_);
  }
}

void MediaFileWriter::Check(int result, const char* what) {
  if (result >= 0) return;
  char reason[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(result, reason, sizeof reason);
  throw SlidepackError(path_.string() + ": cannot write the " + what + ": " + reason);
}

void MediaFileWriter::OpenVideo(OutputKind kind) {
  const AVCodec* codec = kind == OutputKind::kMp4    ? FindEncoder("libx264", AV_CODEC_ID_H264)
                         : kind == OutputKind::kWebm ? FindEncoder("libvpx-vp9", AV_CODEC_ID_VP9)
                                                     : avcodec_find_encoder(AV_CODEC_ID_GIF);
  if (!codec) throw SlidepackError(path_.string() + ": this FFmpeg has no encoder for it");
  video_.stream = avformat_new_stream(format_, nullptr);
  video_.codec = avcodec_alloc_context3(codec);
  if (!video_.stream || !video_.codec) throw SlidepackError("out of memory");
  AVCodecContext& c = *video_.codec;
  // 4:2:0 needs even sides: an odd one gets a black line more, as a screen around it would.
  const bool even = NeedsEvenSides(kind);
  c.width = even ? (settings_.width + 1) & ~1 : settings_.width;
  c.height = even ? (settings_.height + 1) & ~1 : settings_.height;
  c.time_base = {1, settings_.fps};
  c.framerate = {settings_.fps, 1};
  c.pix_fmt = gif_ ? AV_PIX_FMT_PAL8 : AV_PIX_FMT_YUV420P;
  if (!gif_) {
    // sRGB pictures, converted with the BT.601 matrix into the limited range.
    c.color_primaries = AVCOL_PRI_BT709;
    c.color_trc = AVCOL_TRC_IEC61966_2_1;
    c.colorspace = AVCOL_SPC_SMPTE170M;
    c.color_range = AVCOL_RANGE_MPEG;
  }
  if (format_->oformat->flags & AVFMT_GLOBALHEADER) c.flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  Dictionary options;
  if (kind == OutputKind::kMp4) {
    options.Set("crf", "18");
  } else if (kind == OutputKind::kWebm) {
    options.Set("crf", "32");
    options.Set("b", "0");
    options.Set("deadline", "good");
    options.Set("cpu-used", "4");
    options.Set("row-mt", "1");
  }
  Check(avcodec_open2(&c, codec, &options.entries), "video");
  Check(avcodec_parameters_from_context(video_.stream->codecpar, &c), "video");
  video_.stream->time_base = c.time_base;
  video_.stream->avg_frame_rate = c.framerate;

  picture_ = av_frame_alloc();
  if (!picture_) throw SlidepackError("out of memory");
  picture_->format = c.pix_fmt;
  picture_->width = c.width;
  picture_->height = c.height;
  Check(av_frame_get_buffer(picture_, 0), "video");
  if (!gif_) {
    std::memset(picture_->data[0], 16, static_cast<size_t>(picture_->linesize[0]) * c.height);
    for (int plane : {1, 2}) {
      std::memset(picture_->data[plane], 128,
                  static_cast<size_t>(picture_->linesize[plane]) * ((c.height + 1) / 2));
    }
  }
}

void MediaFileWriter::OpenAudio(OutputKind kind) {
  const AVCodec* codec = kind == OutputKind::kMp4 ? avcodec_find_encoder(AV_CODEC_ID_AAC)
                                                  : FindEncoder("libopus", AV_CODEC_ID_OPUS);
  if (!codec) throw SlidepackError(path_.string() + ": this FFmpeg has no audio encoder for it");
  audio_.stream = avformat_new_stream(format_, nullptr);
  audio_.codec = avcodec_alloc_context3(codec);
  if (!audio_.stream || !audio_.codec) throw SlidepackError("out of memory");
  AVCodecContext& c = *audio_.codec;
  c.sample_rate = kAudioRate;
  av_channel_layout_default(&c.ch_layout, kChannels);
  c.sample_fmt = ChooseSampleFormat(codec);
  c.bit_rate = kind == OutputKind::kMp4 ? 160000 : 128000;
  c.time_base = {1, kAudioRate};
  if (format_->oformat->flags & AVFMT_GLOBALHEADER) c.flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  Check(avcodec_open2(&c, codec, nullptr), "sound track");
  Check(avcodec_parameters_from_context(audio_.stream->codecpar, &c), "sound track");
  audio_.stream->time_base = c.time_base;

  sound_ = av_frame_alloc();
  if (!sound_) throw SlidepackError("out of memory");
  sound_->format = c.sample_fmt;
  sound_->sample_rate = c.sample_rate;
  sound_->nb_samples = c.frame_size > 0 ? c.frame_size : 1024;
  Check(av_channel_layout_copy(&sound_->ch_layout, &c.ch_layout), "sound track");
  Check(av_frame_get_buffer(sound_, 0), "sound track");
}

void MediaFileWriter::AddFrame(const FrameView& frame) {
  const bool first = frames_ == 0;
  const gdi::Rect changed = first ? gdi::Rect{0, 0, frame.width, frame.height} : frame.changed;
  if (gif_) {
    // An unchanged frame only lengthens the delay of the one before.
    if (!changed.Empty()) {
      Check(av_frame_make_writable(picture_), "video");
      QuantizeFrame(frame, picture_->data[0], picture_->linesize[0],
                    reinterpret_cast<uint32_t*>(picture_->data[1]));
      picture_->pts = frames_;
      Send(video_, picture_);
    }
  } else {
    if (!changed.Empty()) {
      // The encoder may still hold the last frame; then the planes are copied first.
      Check(av_frame_make_writable(picture_), "video");
      const int32_t top = changed.top & ~1;
      const int32_t bottom = std::min(frame.height, (changed.bottom + 1) & ~1);
      ConvertToI420(frame, top, bottom, picture_->data, picture_->linesize);
    }
    picture_->pts = frames_;
    Send(video_, picture_);
  }
  ++frames_;
}

void MediaFileWriter::AddAudio(std::span<const float> samples) {
  if (!audio_.codec) return;
  pending_audio_.insert(pending_audio_.end(), samples.begin(), samples.end());
  const size_t frame_size = static_cast<size_t>(sound_->nb_samples);
  size_t used = 0;
  for (; pending_audio_.size() - used >= frame_size * kChannels; used += frame_size * kChannels) {
    SendAudio(pending_audio_.data() + used, frame_size);
  }
  pending_audio_.erase(pending_audio_.begin(),
                       pending_audio_.begin() + static_cast<ptrdiff_t>(used));
}

// `count` samples of each channel, as the encoder's format.
void MediaFileWriter::SendAudio(const float* in, size_t count) {
  if (count == 0) return;
  Check(av_frame_make_writable(sound_), "sound track");
  sound_->nb_samples = static_cast<int>(count);
  switch (sound_->format) {
    case AV_SAMPLE_FMT_FLTP:
      for (int ch = 0; ch < kChannels; ++ch) {
        auto* out = reinterpret_cast<float*>(sound_->data[ch]);
        for (size_t i = 0; i < count; ++i) out[i] = in[i * kChannels + ch];
      }
      break;
    case AV_SAMPLE_FMT_FLT:
      std::copy_n(in, count * kChannels, reinterpret_cast<float*>(sound_->data[0]));
      break;
    default: {
      auto* out = reinterpret_cast<int16_t*>(sound_->data[0]);
      for (size_t i = 0; i < count * kChannels; ++i) out[i] = ToS16(in[i]);
    }
  }
  sound_->pts = audio_pts_;
  audio_pts_ += static_cast<int64_t>(count);
  Send(audio_, sound_);
}

void MediaFileWriter::Send(Encoder& encoder, AVFrame* frame) {
  const char* what = &encoder == &video_ ? "video" : "sound track";
  Check(avcodec_send_frame(encoder.codec, frame), what);
  for (;;) {
    const int result = avcodec_receive_packet(encoder.codec, packet_);
    if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) return;
    Check(result, what);
    Write(encoder, packet_);
  }
}

void MediaFileWriter::Write(Encoder& encoder, AVPacket* packet) {
  if (gif_) {
    // A GIF frame's delay is its packet's duration: known once the next frame comes.
    if (held_->data) WriteHeldGifPacket(packet->pts);
    av_packet_move_ref(held_, packet);
    return;
  }
  av_packet_rescale_ts(packet, encoder.codec->time_base, encoder.stream->time_base);
  packet->stream_index = encoder.stream->index;
  Check(av_interleaved_write_frame(format_, packet), "video");
}

void MediaFileWriter::WriteHeldGifPacket(int64_t next_pts) {
  held_->duration = next_pts - held_->pts;
  av_packet_rescale_ts(held_, video_.codec->time_base, video_.stream->time_base);
  held_->stream_index = video_.stream->index;
  Check(av_interleaved_write_frame(format_, held_), "video");
}

void MediaFileWriter::Finish() {
  Send(video_, nullptr);
  if (gif_ && held_->data) WriteHeldGifPacket(frames_);
  if (audio_.codec) {
    SendAudio(pending_audio_.data(), pending_audio_.size() / kChannels);
    pending_audio_.clear();
    Send(audio_, nullptr);
  }
  Check(av_write_trailer(format_), "video");
  Check(avio_closep(&format_->pb), "video");
  file_.Commit();
}

}  // namespace slidepack::render

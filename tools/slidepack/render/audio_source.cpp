#include "tools/slidepack/render/audio_source.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
}
#include <fluidsynth.h>

#include <algorithm>
#include <vector>

#include "photos/media_kind.h"
#include "platform/linux/fluidsynth/fluid_log.h"
#include "platform/linux/sound_fonts.h"
#include "tools/slidepack/files.h"

namespace slidepack::render {

using namespace slidesaver::photos;  // the photo pieces shared with the player

namespace {

constexpr int kChannels = 2;

// A file FFmpeg decodes, resampled to the sound track's rate and two channels.
class DecodedFile : public AudioSource {
 public:
  ~DecodedFile() override {
    swr_free(&resampler_);
    av_frame_free(&frame_);
    av_packet_free(&packet_);
    avcodec_free_context(&codec_);
    avformat_close_input(&format_);
  }

  // `demuxer`: FFmpeg's name of the format the header check found; no other reads the file.
  bool Open(const std::string& path, const char* demuxer) {
    const AVInputFormat* input = av_find_input_format(demuxer);
    if (!input || avformat_open_input(&format_, path.c_str(), input, nullptr) < 0) return false;
    if (avformat_find_stream_info(format_, nullptr) < 0) return false;
    const AVCodec* decoder = nullptr;
    stream_ = av_find_best_stream(format_, AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
    if (stream_ < 0 || !decoder) return false;
    codec_ = avcodec_alloc_context3(decoder);
    if (!codec_ || avcodec_parameters_to_context(codec_, format_->streams[stream_]->codecpar) < 0 ||
        avcodec_open2(codec_, decoder, nullptr) < 0) {
      return false;
    }
    // The decoder's own reading of the rate and channels is held to the same bounds.
    if (!slidesaver::media::CheckSoundRateAndChannels("sound", codec_->sample_rate,
                                                      codec_->ch_layout.nb_channels)
             .empty()) {
      return false;
    }
    rate_ = codec_->sample_rate;
    channels_ = codec_->ch_layout.nb_channels;
    if (codec_->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC) {
      av_channel_layout_default(&codec_->ch_layout, codec_->ch_layout.nb_channels);
    }
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    if (swr_alloc_set_opts2(&resampler_, &stereo, AV_SAMPLE_FMT_FLT, kAudioRate, &codec_->ch_layout,
                            codec_->sample_fmt, codec_->sample_rate, 0, nullptr) < 0) {
      return false;
    }
    // A mono sound is heard at its full level on both sides, as SDL2_mixer plays it (the
    // resampler would take it 3 dB down).
    const double mono_to_both[] = {1.0, 1.0};
    if (codec_->ch_layout.nb_channels == 1 && swr_set_matrix(resampler_, mono_to_both, 1) < 0) {
      return false;
    }
    if (swr_init(resampler_) < 0) return false;
    packet_ = av_packet_alloc();
    frame_ = av_frame_alloc();
    return packet_ && frame_;
  }

  size_t Read(float* out, size_t frames) override {
    size_t done = 0;
    while (done < frames) {
      if (at_ == buffer_.size() && !Refill()) break;
      const size_t n = std::min(frames - done, (buffer_.size() - at_) / kChannels);
      std::copy_n(buffer_.data() + at_, n * kChannels, out + done * kChannels);
      at_ += n * kChannels;
      done += n;
    }
    return done;
  }

 private:
  // Decodes until some samples are buffered; false at the end of the sound. A damaged part
  // ends it, as far as it was heard.
  bool Refill() {
    buffer_.clear();
    at_ = 0;
    while (buffer_.empty() && !done_) {
      const int received = avcodec_receive_frame(codec_, frame_);
      if (received == 0) {
        // A chained stream that changes its rate or channels ends the sound there, as the
        // resampler was made for the first.
        if (frame_->sample_rate != rate_ || frame_->ch_layout.nb_channels != channels_) {
          av_frame_unref(frame_);
          Convert(nullptr, 0);
          done_ = true;
          break;
        }
        Convert(const_cast<const uint8_t**>(frame_->extended_data), frame_->nb_samples);
        av_frame_unref(frame_);
      } else if (received == AVERROR(EAGAIN)) {
        const int read = av_read_frame(format_, packet_);
        if (read < 0) {
          avcodec_send_packet(codec_, nullptr);  // the decoder gives what it still holds
        } else {
          if (packet_->stream_index == stream_) avcodec_send_packet(codec_, packet_);
          av_packet_unref(packet_);
        }
      } else {
        Convert(nullptr, 0);  // what the resampler still holds
        done_ = true;
      }
    }
    return !buffer_.empty();
  }

  void Convert(const uint8_t** input, int count) {
    const int room = swr_get_out_samples(resampler_, count);
    if (room <= 0) return;
    const size_t start = buffer_.size();
    buffer_.resize(start + static_cast<size_t>(room) * kChannels);
    uint8_t* output = reinterpret_cast<uint8_t*>(buffer_.data() + start);
    const int made = swr_convert(resampler_, &output, room, input, count);
    buffer_.resize(start + static_cast<size_t>(std::max(made, 0)) * kChannels);
  }

  AVFormatContext* format_ = nullptr;
  AVCodecContext* codec_ = nullptr;
  SwrContext* resampler_ = nullptr;
  AVPacket* packet_ = nullptr;
  AVFrame* frame_ = nullptr;
  int stream_ = -1;
  int rate_ = 0, channels_ = 0;
  std::vector<float> buffer_;
  size_t at_ = 0;
  bool done_ = false;
};

// A MIDI file played by FluidSynth; it ends when the player has played its last event, as
// SDL2_mixer's music does.
class MidiSynth : public AudioSource {
 public:
  ~MidiSynth() override {
    if (player_) delete_fluid_player(player_);
    if (synth_) delete_fluid_synth(synth_);
    if (settings_) delete_fluid_settings(settings_);
  }

  bool Open(const std::vector<uint8_t>& song) {
    static const bool quiet = (slidesaver::linux_platform::SilenceFluidSynthLog(), true);
    (void)quiet;
    const char* font = slidesaver::linux_platform::FindSoundFont();
    if (!font || !(settings_ = new_fluid_settings())) return false;
    fluid_settings_setnum(settings_, "synth.sample-rate", kAudioRate);
    fluid_settings_setstr(settings_, "player.timing-source", "sample");
    fluid_settings_setint(settings_, "synth.lock-memory", 0);
    fluid_settings_setint(settings_, "synth.chorus.active", 0);  // as the Linux player plays MIDI
    if (!(synth_ = new_fluid_synth(settings_))) return false;
    if (fluid_synth_sfload(synth_, font, 1) == FLUID_FAILED) return false;
    // SDL2_mixer's gain at full music volume (FluidSynth's own default is 0.2).
    fluid_synth_set_gain(synth_, 1.2f);
    if (!(player_ = new_fluid_player(synth_))) return false;
    return fluid_player_add_mem(player_, song.data(), song.size()) == FLUID_OK &&
           fluid_player_play(player_) == FLUID_OK;
  }

  size_t Read(float* out, size_t frames) override {
    constexpr size_t kBlock = 64;  // the synthesizer's own block: the end is found to within it
    size_t done = 0;
    while (done < frames && fluid_player_get_status(player_) == FLUID_PLAYER_PLAYING) {
      const int n = static_cast<int>(std::min(kBlock, frames - done));
      float* at = out + done * kChannels;
      if (fluid_synth_write_float(synth_, n, at, 0, kChannels, at, 1, kChannels) != FLUID_OK) {
        break;
      }
      done += static_cast<size_t>(n);
    }
    return done;
  }

 private:
  fluid_settings_t* settings_ = nullptr;
  fluid_synth_t* synth_ = nullptr;
  fluid_player_t* player_ = nullptr;
};

}  // namespace

std::unique_ptr<AudioSource> OpenAudioSource(const std::string& path,
                                             slidesaver::media::SoundUse use) {
  using slidesaver::media::SoundFormat;
  av_log_set_level(AV_LOG_FATAL);  // a sound that doesn't decode is silence, as in the player
  slidesaver::media::SoundHeader header;
  try {
    const slidesaver::Bytes bytes = OpenInput(path);
    if (!bytes.Source() ||
        !slidesaver::media::CheckSoundBeforeDecoding(*bytes.Source(), use, &header).empty()) {
      return nullptr;
    }
    if (header.format == SoundFormat::kMidi) {
      auto midi = std::make_unique<MidiSynth>();
      return midi->Open(bytes.Load()) ? std::move(midi) : nullptr;
    }
  } catch (const std::exception&) {
    return nullptr;  // a missing file plays nothing
  }
  const char* demuxer = header.format == SoundFormat::kWav         ? "wav"
                        : header.format == SoundFormat::kOggVorbis ? "ogg"
                                                                   : "mp3";
  auto decoded = std::make_unique<DecodedFile>();
  return decoded->Open(path, demuxer) ? std::move(decoded) : nullptr;
}

}  // namespace slidepack::render

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>
#include <mutex>
#include <string_view>

#include "engine/source.h"

extern "C" {
#include <cdio/cdio.h>
#include <cdio/logging.h>
#include <cdio/paranoia/cdda.h>
#include <cdio/paranoia/paranoia.h>
}

namespace qmb::engine {

namespace {

constexpr int kFramesPerSector = 588;  // 2352 bytes of 16-bit stereo
constexpr int kSectorBytes = CDIO_CD_FRAMESIZE_RAW;
constexpr int kSectorsPerRead = 16;

void QuietLog(cdio_log_level_t, const char[]) {}

void SilenceCdioOnce() {
  static std::once_flag once;
  std::call_once(once, [] { cdio_log_set_handler(QuietLog); });
}

bool IsCueImage(const std::string& drive) {
  if (drive.size() < 4) return false;
  std::string tail = drive.substr(drive.size() - 4);
  std::transform(tail.begin(), tail.end(), tail.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return tail == ".cue";
}

// libcdio's BIN/CUE parser writes past its track table on a sheet with more
// than 99 TRACK commands, a CD's own limit; such a sheet is refused before it
// gets there. Every "TRACK" word counts, wherever the parser might split a
// long line.
constexpr std::size_t kMaxCueSheetBytes = 1 << 20;
constexpr int kMaxCdTracks = 99;

bool CueSheetFitsParser(const std::string& path, std::string* error) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return true;  // libcdio reports what it cannot open
  std::string sheet(kMaxCueSheetBytes + 1, '\0');
  file.read(sheet.data(), static_cast<std::streamsize>(sheet.size()));
  sheet.resize(static_cast<std::size_t>(file.gcount()));
  if (sheet.size() > kMaxCueSheetBytes) {
    *error = "too large for a cue sheet: " + path;
    return false;
  }
  int tracks = 0;
  std::size_t at = 0;
  while (at < sheet.size()) {
    std::size_t begin = sheet.find_first_not_of(std::string_view(" \t\r\n\v\f\0", 7), at);
    if (begin == std::string::npos) break;
    std::size_t end = sheet.find_first_of(std::string_view(" \t\r\n\v\f\0", 7), begin);
    if (end == std::string::npos) end = sheet.size();
    tracks += std::string_view(sheet).substr(begin, end - begin) == "TRACK";
    at = end;
  }
  if (tracks > kMaxCdTracks) {
    *error = "a cue sheet with more than 99 tracks: " + path;
    return false;
  }
  return true;
}

CdIo_t* OpenDrive(const std::string& drive) {
  SilenceCdioOnce();
  // libcdio's open is not safe on two threads at once: its driver table
  // and cue parser keep state between calls, and a second open under way
  // now and then fails a good image. One open at a time.
  static std::mutex opening;
  std::lock_guard<std::mutex> lock(opening);
  return cdio_open(drive.c_str(), IsCueImage(drive) ? DRIVER_BINCUE : DRIVER_DEVICE);
}

// One audio track. An image is read sector by sector as it is; a real drive
// goes through paranoia, which corrects what a scratched disc gets wrong.
class CdTrackSource final : public Source {
 public:
  CdTrackSource(CdIo_t* cdio, lsn_t first, std::int64_t sectors)
      : cdio_(cdio), first_(first), sectors_(sectors) {}
  ~CdTrackSource() override {
    if (paranoia_ != nullptr) cdio_paranoia_free(paranoia_);
    if (drive_ != nullptr) cdio_cddap_close_no_free_cdio(drive_);
    cdio_destroy(cdio_);
  }
  CdTrackSource(const CdTrackSource&) = delete;
  CdTrackSource& operator=(const CdTrackSource&) = delete;

  bool UseParanoia() {
    drive_ = cdio_cddap_identify_cdio(cdio_, CDDA_MESSAGE_FORGETIT, nullptr);
    if (drive_ == nullptr || cdio_cddap_open(drive_) != 0) return false;
    paranoia_ = cdio_paranoia_init(drive_);
    if (paranoia_ == nullptr) return false;
    cdio_paranoia_modeset(paranoia_, PARANOIA_MODE_FULL ^ PARANOIA_MODE_NEVERSKIP);
    cdio_paranoia_seek(paranoia_, first_, SEEK_SET);
    return true;
  }

  int SampleRate() const override { return 44100; }
  int Channels() const override { return 2; }
  std::int64_t LengthFrames() const override { return sectors_ * kFramesPerSector; }
  std::int64_t LengthBytes() const override { return sectors_ * kSectorBytes; }
  int BitRateKbps() const override { return 1411; }

  std::size_t Read(float* out, std::size_t frames) override {
    std::size_t done = 0;
    while (done < frames && position_ < LengthFrames()) {
      std::int64_t sector = position_ / kFramesPerSector;
      if (sector < bufferFirst_ || sector >= bufferFirst_ + bufferSectors_) {
        if (!Fill(sector)) break;
      }
      std::int64_t bufferEnd = (bufferFirst_ + bufferSectors_) * kFramesPerSector;
      std::size_t n =
          static_cast<std::size_t>(std::min<std::int64_t>(frames - done, bufferEnd - position_));
      const std::uint8_t* bytes =
          buffer_ + (position_ - bufferFirst_ * kFramesPerSector) * 4;  // 4 bytes a frame
      for (std::size_t i = 0; i < n * 2; ++i) {
        auto sample = static_cast<std::int16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
        out[done * 2 + i] = sample / 32768.0f;
      }
      done += n;
      position_ += static_cast<std::int64_t>(n);
    }
    return done;
  }

  bool Seek(std::int64_t frame) override {
    if (frame < 0) return false;
    position_ = std::min(frame, LengthFrames());
    return true;
  }

 private:
  bool Fill(std::int64_t sector) {
    bufferFirst_ = sector;
    bufferSectors_ = 0;
    if (paranoia_ != nullptr) {
      if (sector != paranoiaNext_) cdio_paranoia_seek(paranoia_, first_ + sector, SEEK_SET);
      const std::int16_t* data = cdio_paranoia_read(paranoia_, nullptr);
      if (data == nullptr) return false;
      // Paranoia hands out host-order samples; keep the buffer little-endian.
      for (int i = 0; i < kSectorBytes / 2; ++i) {
        auto value = static_cast<std::uint16_t>(data[i]);
        buffer_[2 * i] = static_cast<std::uint8_t>(value & 0xFF);
        buffer_[2 * i + 1] = static_cast<std::uint8_t>(value >> 8);
      }
      paranoiaNext_ = sector + 1;
      bufferSectors_ = 1;
      return true;
    }
    int count = static_cast<int>(std::min<std::int64_t>(kSectorsPerRead, sectors_ - sector));
    if (count <= 0) return false;
    if (cdio_read_audio_sectors(cdio_, buffer_, first_ + static_cast<lsn_t>(sector),
                                static_cast<std::uint32_t>(count)) != DRIVER_OP_SUCCESS) {
      return false;
    }
    bufferSectors_ = count;
    return true;
  }

  CdIo_t* cdio_;
  cdrom_drive_t* drive_ = nullptr;
  cdrom_paranoia_t* paranoia_ = nullptr;
  const lsn_t first_;
  const std::int64_t sectors_;
  std::int64_t position_ = 0;
  std::int64_t paranoiaNext_ = 0;
  std::uint8_t buffer_[kSectorsPerRead * kSectorBytes] = {};
  std::int64_t bufferFirst_ = -1;
  std::int64_t bufferSectors_ = 0;
};

class CdioDisc final : public CdDisc {
 public:
  CdioDisc(std::string drive, CdIo_t* cdio) : drive_(std::move(drive)), cdio_(cdio) {
    track_t first = cdio_get_first_track_num(cdio_);
    track_t count = cdio_get_num_tracks(cdio_);
    if (first != CDIO_INVALID_TRACK && count != CDIO_INVALID_TRACK) {
      firstTrack_ = first;
      trackCount_ = count;
    }
  }
  ~CdioDisc() override { cdio_destroy(cdio_); }
  CdioDisc(const CdioDisc&) = delete;
  CdioDisc& operator=(const CdioDisc&) = delete;

  int TrackCount() const override { return trackCount_; }

  // Each track gets a handle of its own so that tracks and the disc can be
  // closed in any order and read on different threads.
  std::unique_ptr<Source> OpenTrack(int track, std::string* error) override {
    std::string ignored;
    if (error == nullptr) error = &ignored;
    if (track < 1 || track > trackCount_) {
      *error = "no track " + std::to_string(track);
      return nullptr;
    }
    auto number = static_cast<track_t>(firstTrack_ + track - 1);
    if (cdio_get_track_format(cdio_, number) != TRACK_FORMAT_AUDIO) {
      *error = "track " + std::to_string(track) + " is not audio";
      return nullptr;
    }
    lsn_t first = cdio_get_track_lsn(cdio_, number);
    lsn_t last = cdio_get_track_last_lsn(cdio_, number);
    if (first == CDIO_INVALID_LSN || last == CDIO_INVALID_LSN || last < first) {
      *error = "track " + std::to_string(track) + " has no extent";
      return nullptr;
    }
    CdIo_t* cdio = OpenDrive(drive_);
    if (cdio == nullptr) {
      *error = "cannot open " + drive_;
      return nullptr;
    }
    auto source = std::make_unique<CdTrackSource>(cdio, first, last - first + 1);
    if (!IsCueImage(drive_) && !source->UseParanoia()) {
      *error = "cannot read audio from " + drive_;
      return nullptr;
    }
    return source;
  }

 private:
  std::string drive_;
  CdIo_t* cdio_;
  int firstTrack_ = 1;
  int trackCount_ = 0;
};

}  // namespace

std::unique_ptr<CdDisc> OpenCdDisc(const std::string& drive, std::string* error) {
  std::string ignored;
  if (error == nullptr) error = &ignored;
  if (IsCueImage(drive) && !CueSheetFitsParser(drive, error)) return nullptr;
  CdIo_t* cdio = OpenDrive(drive);
  if (cdio == nullptr) {
    *error = "cannot open the drive or image " + drive;
    return nullptr;
  }
  return std::make_unique<CdioDisc>(drive, cdio);
}

}  // namespace qmb::engine

// The decoder side of the engine: a Source turns one file, address, module,
// MIDI file or CD track into float samples at its own rate. The mixer pulls
// from sources on a decoding thread, never on the mixing thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

namespace qmb::engine {

class Source {
 public:
  virtual ~Source() = default;

  virtual int SampleRate() const = 0;
  // 1 or 2; sources with more channels downmix to stereo themselves.
  virtual int Channels() const = 0;
  // Reads up to `frames` frames, interleaved, into `out`; returns the frames
  // read, 0 at the end. A network source may return 0 before its end only
  // when its connection is gone.
  virtual std::size_t Read(float* out, std::size_t frames) = 0;
  // Moves to `frame` (in this source's frames); false when it cannot.
  virtual bool Seek(std::int64_t frame) = 0;
  // Length in frames without encoder delay and padding; -1 when unknown.
  virtual std::int64_t LengthFrames() const = 0;
  // Encoded bytes (the file's size, or the stream's Content-Length); 0 unknown.
  virtual std::int64_t LengthBytes() const { return 0; }
  // Average bit rate in kbit/s; 0 when unknown.
  virtual int BitRateKbps() const { return 0; }
  // A network stream's station name and current piece title (UTF-8), when
  // either changed since the last call; false when nothing did. Called by
  // whoever reads, after Read.
  virtual bool TakeMetadata(std::string& /*station*/, std::string& /*title*/) { return false; }
};

// A tracker module: positions are orders; it ends at its last order.
class ModuleSource : public Source {
 public:
  virtual int NumOrders() const = 0;
  virtual int CurrentOrder() const = 0;
  virtual bool JumpToOrder(int order) = 0;
  virtual bool Finished() const = 0;
};

// Progress of an address being opened, shared between the opener's thread
// and whoever polls it. It must outlive the source it opened: its abort also
// ends a read or a reconnect under way.
struct OpenProgress {
  std::atomic<bool> abort{false};   // set to give up; the opener returns null soon after
  std::atomic<int> fillPercent{0};  // buffering, 0..100
  std::atomic<bool> buffering{false};
};

// Opens a file through FFmpeg (mp3, mp2, wav, ogg, wma, asf, ...); null when
// it cannot be decoded. `error` receives a short reason for a null result.
std::unique_ptr<Source> OpenFileSource(const std::string& path, std::string* error);

// Opens "http://" or "https://". Blocks the calling thread (the engine runs it
// on its own) until the stream is ready or failed or `progress.abort` is set;
// an address that does not answer fails within 10 s. A live stream (no known
// length) whose connection drops is reopened after 1, 2 and 4 s before Read
// reports its end; a stream of known length, or one that is no station and
// is closed, simply ends.
std::unique_ptr<Source> OpenNetworkSource(const std::string& url, OpenProgress& progress,
                                          std::string* error);

// Opens a MIDI file (mid, midi, rmi) through FluidSynth with the General MIDI
// soundfont found at run time; null with a clear `error` when there is none.
std::unique_ptr<Source> OpenMidiSource(const std::string& path, std::string* error);

// Loads a tracker module (xm, it, s3m, mod); null for anything else.
std::unique_ptr<ModuleSource> OpenModuleSource(const std::string& path, std::string* error);

// A CD: `drive` is a device path or a disc image (.cue).
struct CdDisc {
  virtual ~CdDisc() = default;
  virtual int TrackCount() const = 0;
  // Track numbers count from 1; null for a data track or a bad number.
  virtual std::unique_ptr<Source> OpenTrack(int track, std::string* error) = 0;
};
std::unique_ptr<CdDisc> OpenCdDisc(const std::string& drive, std::string* error);

}  // namespace qmb::engine

// The sound engine's interface: outputs, streams, channels, tracker modules,
// DSP units, the spectrum and the system channel's equalizer effects. The
// engine lives in engine/; callers use only this header.
//
// Threads: every function is for the user-interface thread unless it says
// otherwise. DSP callbacks run on the engine's mixing thread; stream fill
// callbacks on the stream's own decoding thread.
#pragma once

#include <cstdint>
#include <string>

namespace qmb {

struct SoundStream;  // an open stream (file, address, CD, raw data or callback)
struct SoundSample;  // a stream's sample, for its defaults
struct MusicModule;  // a loaded tracker module
struct DspUnit;      // a unit in the mix's DSP chain

// Output types: the indexes of the control panel's output list.
enum OutputType : int {
  kOutputNoSound = 0,  // the engine's own clocked null output
  kOutputWinMm = 1,    // these four are the platform's default output here
  kOutputDirectSound = 2,
  kOutputA3d = 3,
  kOutputOss = 4,
  kOutputEsd = 5,  // PulseAudio, ESD's successor
  kOutputAlsa = 6,
  kOutputAsio = 7,
};
constexpr int kOutputTypeCount = 8;

// Mixer kinds; every kind mixes in floating point, the value is kept for callers.
constexpr int kMixerQuality = 7;

// Init flags (the values keep the library's bits).
enum InitFlags : unsigned {
  kInitUseDefaultMidiSynth = 0x01,
  kInitEnableSystemChannelFx = 0x04,
  kInitAccurateVuLevels = 0x08,
};

// Stream modes (the values keep the library's bits so stored numbers still mean
// the same). Only kStreamNonBlocking and kStreamLoadRaw change how a path opens;
// the sample-format bits describe callback-fed data.
enum StreamMode : unsigned {
  kStream8Bits = 0x08,
  kStream16Bits = 0x10,
  kStreamMono = 0x20,
  kStreamStereo = 0x40,
  kStreamUnsigned = 0x80,
  kStreamSigned = 0x100,
  kStreamLoadRaw = 0x10000,
  kStreamNonBlocking = 0x1000000,
  kStreamNormal = kStream16Bits | kStreamMono | kStreamSigned,                // 0x130
  kStreamCallback16Stereo = kStream16Bits | kStreamStereo | kStreamUnsigned,  // 0xD0
};

// Raw data (kStreamLoadRaw) is read as interleaved stereo signed 16-bit
// little-endian samples at 44 100 Hz, the layout of CD audio, from the first
// byte of the file to its end.
constexpr int kRawSampleRate = 44100;

// Channels.
constexpr int kFreeChannel = -1;       // Stream_Play: any free channel
constexpr int kSystemChannel = -1000;  // the final mix: pause and effects
constexpr int kMaxChannels = 32;

// Open states of FSOUND_Stream_GetOpenState.
enum OpenState : int {
  kOpenReady = 0,
  kOpenInvalid = -1,  // no such stream, or it failed
  kOpenFailed = -3,   // the path or address could not be opened
  kOpenBuffering = -5,
  kOpenConnecting = 1,  // still opening: any value other than those above
};

// Effect types for FSOUND_FX_Enable.
constexpr unsigned kFxParamEq = 7;

// A DSP unit's callback. `originalBuffer` is the block as mixed, before any
// unit; `buffer` is what the previous unit returned. Both hold `length` frames
// of interleaved stereo signed 16-bit samples at the mixer rate. The returned
// pointer (at least `length` frames) goes on to the next unit and the output;
// null keeps `buffer`. Runs on the mixing thread: it must not block, nor call
// functions of this header other than FSOUND_DSP_GetBufferLength.
using DspCallback = void* (*)(void* originalBuffer, void* buffer, int length, void* userData);

// A callback stream's fill function: write up to `length` bytes of sound into
// `buffer` and return how many were written. `length` means more is to come;
// fewer (down to 0) ends the stream after those bytes, which are all heard.
// Runs on the stream's own thread and must not call the functions of this
// header (closing the stream waits for it). 16-bit data is signed whatever
// kStreamUnsigned says; that flag applies to 8-bit data only.
//
// After FSOUND_Stream_SetTime the stream drops what it has read ahead and
// calls the function once with a null buffer and a length of 0 (the answer
// is ignored): every block asked for after that call is heard from the time
// that was set, every block before it is never heard.
using StreamCallback = int (*)(SoundStream* stream, void* buffer, int length, void* userData);

// Set-up, applied at the next FSOUND_Init; false while the engine runs.
bool FSOUND_SetOutput(int outputType);
bool FSOUND_SetDriver(int device);
bool FSOUND_SetBufferSize(int milliseconds);
bool FSOUND_SetMixer(int mixer);
int FSOUND_GetOutput();
// Starts the output. Non-zero on success; 0 when the output cannot be opened
// (there is no fallback to another output).
int FSOUND_Init(int mixRate, int maxChannels, unsigned flags);
// Stops the output and frees every stream, module and DSP unit.
void FSOUND_Close();
int FSOUND_GetMixer();
int FSOUND_GetOutputRate();

// Devices of the output set with FSOUND_SetOutput (of the running one while
// the engine runs).
int FSOUND_GetNumDrivers();
// The name of device `index`; null for a bad index. Valid until the next call.
const char* FSOUND_GetDriverName(int index);

// Streams. Paths: files (by FFmpeg), "http://"/"https://" addresses, MIDI
// (mid, midi, rmi), a CD (a ".cue" image or a device path; tracks are
// sub-streams), raw data (kStreamLoadRaw). "sgt" and "fsb" are refused. Null on
// failure; with kStreamNonBlocking the handle comes back at once and opens on
// an engine thread (poll FSOUND_Stream_GetOpenState; close to abort).
SoundStream* FSOUND_Stream_Open(const char* path, unsigned mode, int offset, int length);
int FSOUND_Stream_GetOpenState(SoundStream* stream);
// Network status: the buffer fill in percent (0..100); other outputs may be null.
bool FSOUND_Stream_Net_GetStatus(SoundStream* stream, int* status, int* bufferPercent, int* bitRate,
                                 unsigned* flags);
// A network stream's ICY texts in UTF-8: the station's name from its response
// headers and the piece's StreamTitle, each empty until known. `serial` grows
// with every change, so a poller can compare it before using the texts.
struct StreamMetadata {
  unsigned serial = 0;
  std::string station;
  std::string title;
};
// False for no such stream; other streams answer serial 0 and empty texts.
bool FSOUND_Stream_Net_GetMetadata(SoundStream* stream, StreamMetadata* metadata);
int FSOUND_Stream_GetNumSubStreams(SoundStream* stream);
bool FSOUND_Stream_SetSubStream(SoundStream* stream, int index);
// A stream fed by `callback` with blocks of `lengthBytes` bytes of `mode`
// data (8 or 16 bits, mono or stereo) at `sampleRate` Hz. Null on failure.
SoundStream* FSOUND_Stream_Create(StreamCallback callback, int lengthBytes, unsigned mode,
                                  int sampleRate, void* userData);
// Plays on `channel` (0..31, replacing what played there) or on any free one
// (kFreeChannel). The channel's volume, pan, mute and pause start at 255, 127,
// off and off. Returns the channel, -1 on failure.
int FSOUND_Stream_Play(int channel, SoundStream* stream);
bool FSOUND_Stream_Stop(SoundStream* stream);
// Stops and frees the stream; waits for a fill callback under way and aborts a
// pending open.
bool FSOUND_Stream_Close(SoundStream* stream);
int FSOUND_Stream_GetLengthMs(SoundStream* stream);  // 0 when unknown (a callback stream)
int FSOUND_Stream_GetLength(SoundStream* stream);    // encoded bytes, 0 when unknown
// The position in ms of the sound mixed so far (so the sound being heard,
// within one mix block), whatever the stream has read ahead; for a callback
// stream the time of its sound since it started or since the last SetTime.
int FSOUND_Stream_GetTime(SoundStream* stream);
// Moves to `ms`. A callback stream cannot move its source: it drops what it
// has read ahead, tells its fill function (see StreamCallback) and counts its
// time from `ms`; its owner moves the source first.
bool FSOUND_Stream_SetTime(SoundStream* stream, int ms);
// True once a playing stream has played to its end.
bool FSOUND_Stream_IsFinished(SoundStream* stream);
SoundSample* FSOUND_Stream_GetSample(SoundStream* stream);
// Any out pointer may be null. The frequency is the stream's own rate in Hz.
bool FSOUND_Sample_GetDefaults(SoundSample* sample, int* frequency, int* volume, int* pan,
                               int* priority);

// Channels: `channel` as Stream_Play returned it. Changes ramp over a few
// milliseconds so they never click. FSOUND_SetPaused also takes kSystemChannel,
// which holds the whole mix.
bool FSOUND_SetVolume(int channel, int volume);  // 0..255
bool FSOUND_SetPan(int channel, int pan);        // 0 left, 127 centre, 255 right
bool FSOUND_SetMute(int channel, bool mute);
bool FSOUND_SetPaused(int channel, bool paused);
bool FSOUND_IsPlaying(int channel);

// Tracker modules: positions count in orders.
MusicModule* FMUSIC_LoadSong(const char* path);
bool FMUSIC_PlaySong(MusicModule* module);
bool FMUSIC_StopSong(MusicModule* module);
bool FMUSIC_FreeSong(MusicModule* module);
bool FMUSIC_SetPaused(MusicModule* module, bool paused);
bool FMUSIC_IsFinished(MusicModule* module);
bool FMUSIC_SetMasterVolume(MusicModule* module, int volume);  // 0..255; 0 silences
int FMUSIC_GetNumOrders(MusicModule* module);
int FMUSIC_GetOrder(MusicModule* module);  // the order being heard
bool FMUSIC_SetOrder(MusicModule* module, int order);

// DSP units run on the mix in ascending priority, after the equalizer; the FFT
// unit runs after all of them. A new unit is inactive.
DspUnit* FSOUND_DSP_Create(DspCallback callback, int priority, void* userData);
// Returns once a callback under way has finished, so after deactivating or
// freeing a unit its callback is not running and will not run.
void FSOUND_DSP_Free(DspUnit* unit);
void FSOUND_DSP_SetActive(DspUnit* unit, bool active);
bool FSOUND_DSP_GetActive(DspUnit* unit);
DspUnit* FSOUND_DSP_GetFFTUnit();
// 512 values in 0..1 (1 for a full-scale sine in its bin), bin i centred on
// i * mixRate / 1024 Hz; null while the FFT unit is inactive. The array belongs
// to the engine and holds the newest spectrum after each call.
const float* FSOUND_DSP_GetSpectrum();
// The frames of one mix block: the length the DSP callbacks get. The buffers
// they get stay valid until FSOUND_Close.
int FSOUND_DSP_GetBufferLength();

// System-channel effects: up to 32 parametric equalizer effects on the final
// mix, before the DSP units. Enable returns the effect's id, -1 on failure.
int FSOUND_FX_Enable(int channel, unsigned fxType);
bool FSOUND_FX_Disable(int channel);
// `center` in Hz, `bandwidth` in semitones (1..36), `gain` in dB (-15..15).
// A band too close to or above half the mixer rate is moved just below it.
bool FSOUND_FX_SetParamEQ(int fxId, float center, float bandwidth, float gain);

}  // namespace qmb

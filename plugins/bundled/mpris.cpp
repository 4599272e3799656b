// The MPRIS2 bridge: a general plug-in that puts the player on the session bus
// as org.mpris.MediaPlayer2.qumble, so panel applets, media keys and phone
// remotes control it. It knows the player only through the host's requests.
//
// Two sides that never wait for each other: the player side lives on the
// user-interface thread, polls the player with cheap requests on a timer and
// runs what remotes ask; the bus side owns the connection on a thread of its
// own, answers from the last poll and signals what changed.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <mutex>

#include "qmb_plugin.h"

namespace qmb {
namespace {

const QString kService = "org.mpris.MediaPlayer2.qumble";
const QString kObjectPath = "/org/mpris/MediaPlayer2";
const QString kRootInterface = "org.mpris.MediaPlayer2";
const QString kPlayerInterface = "org.mpris.MediaPlayer2.Player";
const QString kPropertiesInterface = "org.freedesktop.DBus.Properties";
const QString kNoTrack = "/org/mpris/MediaPlayer2/TrackList/NoTrack";
const QString kTrackPrefix = "/org/qumble/Player/Track/";
constexpr int kPollMs = 250;
// A position further than this from where it should be has jumped.
constexpr qint64 kJumpUs = 1500000;

enum PlayState { kStopped = 1, kPlaying = 2, kPaused = 3 };

// The player as one poll saw it.
struct Snapshot {
  int state = kStopped;
  int entries = 0;
  int row = -1;
  QString title, artist, album, url, artUrl;
  qint64 lengthUs = 0;
  qint64 positionUs = 0;
  double volume = 0;
  bool loop = false;
  bool shuffle = false;

  QString TrackId() const { return row >= 0 ? kTrackPrefix + QString::number(row) : kNoTrack; }
  bool SameTrack(const Snapshot& o) const {
    return row == o.row && title == o.title && artist == o.artist && album == o.album &&
           url == o.url && artUrl == o.artUrl && lengthUs == o.lengthUs;
  }
};

QString StatusText(int state) {
  return state == kPlaying ? "Playing" : state == kPaused ? "Paused" : "Stopped";
}

QString Field(const char (&field)[QMB_TAG_FIELD_SIZE]) {
  return QString::fromUtf8(field, static_cast<qsizetype>(strnlen(field, QMB_TAG_FIELD_SIZE)));
}

bool IsAddress(const QString& path) {
  return path.contains("://");
}

// A cover picture beside a local file, by the names programs save them under.
QString CoverBeside(const QString& path) {
  if (path.isEmpty() || IsAddress(path)) return {};
  QDir folder = QFileInfo(path).dir();
  static const QStringList kNames = {"cover", "folder", "front", "album", "albumart"};
  const QStringList pictures =
      folder.entryList({"*.jpg", "*.jpeg", "*.png"}, QDir::Files, QDir::Name | QDir::IgnoreCase);
  for (const QString& name : kNames) {
    for (const QString& picture : pictures) {
      if (QFileInfo(picture).completeBaseName().compare(name, Qt::CaseInsensitive) == 0) {
        return QUrl::fromLocalFile(folder.filePath(picture)).toString(QUrl::FullyEncoded);
      }
    }
  }
  return {};
}

class Bus;

// The player side: on the user-interface thread, where requests run at once.
class PlayerSide : public QObject {
 public:
  explicit PlayerSide(QmbHost* host) : host_(host) {
    timer_.setInterval(kPollMs);
    QObject::connect(&timer_, &QTimer::timeout, this, [this] { Poll(false); });
  }

  void Start(Bus* bus) {
    if (stopped_) return;  // the player quit while the bus was still connecting
    bus_ = bus;
    timer_.start();
    Poll(false);
  }
  void Stop() {
    stopped_ = true;
    timer_.stop();
    bus_ = nullptr;
  }
  // Runs `work` here, then polls so the bus side sees its effect at once.
  void Post(std::function<void(PlayerSide&)> work, bool seeks = false) {
    QMetaObject::invokeMethod(
        this,
        [this, work = std::move(work), seeks] {
          if (!bus_) return;
          work(*this);
          if (bus_) Poll(seeks);
        },
        Qt::QueuedConnection);
  }

  intptr_t Request(int request, intptr_t lParam = 0) {
    return host_->send(host_, QMB_WM_USER, static_cast<uintptr_t>(request), lParam);
  }
  void Command(int id) { host_->send(host_, QMB_WM_COMMAND, static_cast<uintptr_t>(id), 0); }
  int State() { return static_cast<int>(Request(QMB_REQ_PLAY_STATE)); }

  void Play() {
    if (State() != kPlaying) Command(QMB_CMD_PLAY);
  }
  void Pause() {
    if (State() == kPlaying) Command(QMB_CMD_PAUSE);
  }
  void PlayPause() { Command(State() == kStopped ? QMB_CMD_PLAY : QMB_CMD_PAUSE); }
  void SeekTo(qint64 us) {
    Request(QMB_REQ_SEEK, static_cast<intptr_t>(std::llround(static_cast<double>(us) / 1e6)));
  }
  void SeekBy(qint64 offsetUs) {
    if (State() == kStopped) return;
    qint64 target = Request(QMB_REQ_TIME, QMB_TIME_POSITION_MS) * 1000 + offsetUs;
    qint64 length = Request(QMB_REQ_TIME, QMB_TIME_LENGTH_MS) * 1000;
    if (length > 0 && target > length) {
      Command(QMB_CMD_NEXT);
      return;
    }
    SeekTo(std::max<qint64>(target, 0));
  }
  void SetPosition(int row, qint64 us) {
    if (State() == kStopped || row != Request(QMB_REQ_CURRENT_INDEX)) return;
    qint64 length = Request(QMB_REQ_TIME, QMB_TIME_LENGTH_MS) * 1000;
    if (us < 0 || (length > 0 && us > length)) return;
    SeekTo(us);
  }
  void SetSwitch(int request, int command, bool on) {
    if ((Request(request) != 0) != on) Command(command);
  }

 private:
  void Poll(bool seeked);
  void ReadEntry(Snapshot& s);

  QmbHost* host_;
  QTimer timer_;
  Bus* bus_ = nullptr;
  bool stopped_ = false;
  // Tags are read when the entry changes, not on every poll.
  QString tagKey_;
  QmbTagQuery tags_{};
  bool hasTags_ = false;
  QString cover_;
};

// The bus side: the connection, the object at /org/mpris/MediaPlayer2 and the
// last snapshot, which every property read answers from.
class Bus : public QDBusVirtualObject {
 public:
  explicit Bus(PlayerSide* player) : player_(player) {}

  // On the bus thread. Without a session bus it stays silent and idle.
  void Connect() {
    connection_ = std::make_unique<QDBusConnection>(
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, "qmb-mpris"));
    if (!connection_->isConnected()) return;
    connection_->registerVirtualObject(kObjectPath, this, QDBusConnection::SingleNode);
    PlayerSide* player = player_;
    QMetaObject::invokeMethod(
        player, [player, this] { player->Start(this); }, Qt::QueuedConnection);
  }

  // Once the first poll is in, remotes may find the player by its name. A
  // second player running beside the first takes a name of its own.
  void TakeName() {
    if (!connection_->registerService(kService)) {
      connection_->registerService(kService + ".instance" +
                                   QString::number(QCoreApplication::applicationPid()));
    }
  }

  void Disconnect() {
    if (!connection_) return;
    connection_->unregisterObject(kObjectPath);
    QDBusConnection::disconnectFromBus("qmb-mpris");
    connection_.reset();
  }

  // From the player side: what a poll saw; `seeked` when a seek asked for it.
  void Update(const Snapshot& now, bool seeked);

  QString introspect(const QString& path) const override;
  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

 private:
  QVariant Property(const QString& interface, const QString& name) const;
  static QVariantMap Abilities(const Snapshot& s);
  QVariantMap AllProperties(const QString& interface) const;
  QVariantMap Metadata(const Snapshot& s) const;
  qint64 PositionNow() const;
  bool SetProperty(const QString& name, const QVariant& value, QString* error);
  bool PlayerMethod(const QDBusMessage& message);
  void Reply(const QDBusMessage& message, const QVariantList& arguments = {});
  void Error(const QDBusMessage& message, const QString& name, const QString& text);
  void UnknownMethod(const QDBusMessage& message);

  PlayerSide* player_;
  std::unique_ptr<QDBusConnection> connection_;
  // Written by the player side's updates, read by calls from the bus.
  mutable std::mutex mutex_;
  Snapshot snapshot_;  // what property reads answer
  Snapshot polled_;    // what the last poll saw
  QElapsedTimer sinceSnapshot_;
  bool haveSnapshot_ = false;
};

void PlayerSide::ReadEntry(Snapshot& s) {
  QmbEntryFields entry{};
  entry.row = s.row;
  if (s.row < 0 || Request(QMB_REQ_GET_ENTRY, reinterpret_cast<intptr_t>(&entry)) == 0) return;
  QString entryTitle = QString::fromUtf8(entry.text[0] ? entry.text[0] : "");
  QString path = QString::fromUtf8(entry.text[1] ? entry.text[1] : "");
  // An entry titled anew may have had its tags edited.
  if (path + '\n' + entryTitle != tagKey_) {
    tagKey_ = path + '\n' + entryTitle;
    QByteArray bytes = path.toUtf8();
    tags_ = QmbTagQuery{};
    tags_.path = bytes.constData();
    hasTags_ = !IsAddress(path) && Request(QMB_REQ_READ_TAGS, reinterpret_cast<intptr_t>(&tags_));
    tags_.path = nullptr;
    cover_ = CoverBeside(path);
  }
  QString tagTitle = hasTags_ ? Field(tags_.record.songName) : QString();
  s.title = tagTitle.isEmpty() ? entryTitle : tagTitle;
  if (hasTags_) {
    s.artist = Field(tags_.record.artist);
    s.album = Field(tags_.record.album);
    s.lengthUs = Field(tags_.record.length).toLongLong() * 1000;
  }
  s.url = IsAddress(path) ? path : QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
  s.artUrl = cover_;
}

void PlayerSide::Poll(bool seeked) {
  if (!bus_) return;
  Snapshot s;
  s.state = State();
  s.entries = static_cast<int>(Request(QMB_REQ_ENTRY_COUNT));
  int row = static_cast<int>(Request(QMB_REQ_CURRENT_INDEX));
  s.row = row >= 0 && row < s.entries ? row : -1;
  ReadEntry(s);
  if (s.state != kStopped) {
    const char* streamTitle = reinterpret_cast<const char*>(Request(QMB_REQ_STREAM_TITLE));
    if (streamTitle && *streamTitle) s.title = QString::fromUtf8(streamTitle);
    s.lengthUs = Request(QMB_REQ_TIME, QMB_TIME_LENGTH_MS) * 1000;
    s.positionUs = Request(QMB_REQ_TIME, QMB_TIME_POSITION_MS) * 1000;
  }
  if (auto* volume = reinterpret_cast<const float*>(Request(QMB_REQ_VOLUME))) {
    s.volume = *volume / 255.0;
  }
  s.loop = Request(QMB_REQ_LOOP) != 0;
  s.shuffle = Request(QMB_REQ_RANDOM) != 0;
  bus_->Update(s, seeked);
}

QVariantMap Bus::Metadata(const Snapshot& s) const {
  QVariantMap map;
  map["mpris:trackid"] = QVariant::fromValue(QDBusObjectPath(s.TrackId()));
  if (s.row < 0) return map;
  if (s.lengthUs > 0) map["mpris:length"] = QVariant::fromValue(static_cast<qlonglong>(s.lengthUs));
  if (!s.title.isEmpty()) map["xesam:title"] = s.title;
  if (!s.artist.isEmpty()) map["xesam:artist"] = QStringList{s.artist};
  if (!s.album.isEmpty()) map["xesam:album"] = s.album;
  if (!s.url.isEmpty()) map["xesam:url"] = s.url;
  if (!s.artUrl.isEmpty()) map["mpris:artUrl"] = s.artUrl;
  return map;
}

qint64 Bus::PositionNow() const {
  qint64 position = snapshot_.positionUs;
  // Between polls a playing track moves on at its rate of 1.
  if (snapshot_.state == kPlaying && haveSnapshot_)
    position += sinceSnapshot_.nsecsElapsed() / 1000;
  if (snapshot_.lengthUs > 0) position = std::min(position, snapshot_.lengthUs);
  return position;
}

QVariant Bus::Property(const QString& interface, const QString& name) const {
  const Snapshot& s = snapshot_;
  if (interface == kRootInterface) {
    if (name == "CanQuit" || name == "CanRaise") return true;
    if (name == "CanSetFullscreen" || name == "Fullscreen" || name == "HasTrackList") return false;
    if (name == "Identity") return QString("Qumble Player");
    if (name == "DesktopEntry") return QString("qumble-player");
    if (name == "SupportedUriSchemes") return QStringList{"file", "http", "https"};
    if (name == "SupportedMimeTypes") {
      return QStringList{"audio/mpeg",         "audio/x-wav",      "audio/wav",      "audio/ogg",
                         "audio/x-vorbis+ogg", "audio/x-ms-wma",   "video/x-ms-asf", "audio/midi",
                         "audio/x-midi",       "audio/x-mod",      "audio/x-xm",     "audio/x-it",
                         "audio/x-s3m",        "audio/flac",       "audio/x-flac",   "audio/mp4",
                         "audio/aac",          "audio/x-opus+ogg", "audio/x-aiff",   "audio/x-ape",
                         "audio/x-wavpack",    "audio/x-mpegurl",  "audio/x-scpls"};
    }
    return {};
  }
  if (interface != kPlayerInterface) return {};
  if (name == "PlaybackStatus") return StatusText(s.state);
  if (name == "LoopStatus") return QString(s.loop ? "Playlist" : "None");
  if (name == "Shuffle") return s.shuffle;
  if (name == "Rate" || name == "MinimumRate" || name == "MaximumRate") return 1.0;
  if (name == "Metadata") return Metadata(s);
  if (name == "Volume") return s.volume;
  if (name == "Position") return QVariant::fromValue(static_cast<qlonglong>(PositionNow()));
  if (name == "CanControl") return true;
  return Abilities(s).value(name);
}

// What a remote may do now; these change with the playlist and what plays.
QVariantMap Bus::Abilities(const Snapshot& s) {
  bool any = s.entries > 0;
  return {{"CanGoNext", any},
          {"CanGoPrevious", any},
          {"CanPlay", any},
          {"CanPause", any || s.state != kStopped},
          {"CanSeek", s.state != kStopped && s.lengthUs > 0}};
}

QVariantMap Bus::AllProperties(const QString& interface) const {
  static const QStringList kRoot = {
      "CanQuit",  "CanRaise",     "CanSetFullscreen",    "Fullscreen",        "HasTrackList",
      "Identity", "DesktopEntry", "SupportedUriSchemes", "SupportedMimeTypes"};
  static const QStringList kPlayer = {
      "PlaybackStatus", "LoopStatus", "Rate",        "Shuffle",     "Metadata",
      "Volume",         "Position",   "MinimumRate", "MaximumRate", "CanGoNext",
      "CanGoPrevious",  "CanPlay",    "CanPause",    "CanSeek",     "CanControl"};
  QVariantMap all;
  const QStringList& names = interface == kRootInterface ? kRoot : kPlayer;
  if (interface != kRootInterface && interface != kPlayerInterface) return all;
  for (const QString& name : names) all[name] = Property(interface, name);
  return all;
}

void Bus::Update(const Snapshot& now, bool seeked) {
  std::unique_lock lock(mutex_);
  // Changes are found against the last poll: a value a remote has just set
  // is answered at once but still announced when the player has taken it.
  Snapshot before = polled_;
  qint64 expected = before.positionUs;
  if (before.state == kPlaying && haveSnapshot_) expected += sinceSnapshot_.nsecsElapsed() / 1000;
  bool first = !haveSnapshot_;
  polled_ = now;
  snapshot_ = now;
  sinceSnapshot_.start();
  haveSnapshot_ = true;
  if (first) {
    QMetaObject::invokeMethod(
        this, [this] { TakeName(); }, Qt::QueuedConnection);
    return;
  }

  QVariantMap changed;
  if (now.state != before.state) changed["PlaybackStatus"] = StatusText(now.state);
  if (!now.SameTrack(before)) changed["Metadata"] = Metadata(now);
  if (now.volume != before.volume) changed["Volume"] = now.volume;
  if (now.loop != before.loop) changed["LoopStatus"] = QString(now.loop ? "Playlist" : "None");
  if (now.shuffle != before.shuffle) changed["Shuffle"] = now.shuffle;
  QVariantMap could = Abilities(before);
  QVariantMap can = Abilities(now);
  for (auto it = can.cbegin(); it != can.cend(); ++it) {
    if (could.value(it.key()) != it.value()) changed[it.key()] = it.value();
  }
  bool sameTrack = now.row == before.row && now.url == before.url;
  bool jumped = sameTrack && now.state != kStopped && before.state != kStopped &&
                std::llabs(now.positionUs - expected) > kJumpUs;
  lock.unlock();

  if (!changed.isEmpty()) {
    QDBusMessage signal =
        QDBusMessage::createSignal(kObjectPath, kPropertiesInterface, "PropertiesChanged");
    signal << kPlayerInterface << changed << QStringList();
    connection_->send(signal);
  }
  if ((seeked || jumped) && now.state != kStopped) {
    QDBusMessage signal = QDBusMessage::createSignal(kObjectPath, kPlayerInterface, "Seeked");
    signal << static_cast<qlonglong>(now.positionUs);
    connection_->send(signal);
  }
}

void Bus::Reply(const QDBusMessage& message, const QVariantList& arguments) {
  QDBusMessage reply = message.createReply(arguments);
  connection_->send(reply);
}

void Bus::Error(const QDBusMessage& message, const QString& name, const QString& text) {
  connection_->send(message.createErrorReply(name, text));
}

bool Bus::SetProperty(const QString& name, const QVariant& value, QString* error) {
  PlayerSide* player = player_;
  static const std::map<QString, int> kTypes = {{"Volume", QMetaType::Double},
                                                {"Rate", QMetaType::Double},
                                                {"LoopStatus", QMetaType::QString},
                                                {"Shuffle", QMetaType::Bool}};
  auto type = kTypes.find(name);
  if (type != kTypes.end() && value.metaType().id() != type->second) {
    *error = "The property " + name + " takes another type.";
    return false;
  }
  std::lock_guard lock(mutex_);
  if (name == "Volume") {
    double volume = std::clamp(value.toDouble(), 0.0, 1.0);
    auto level = static_cast<intptr_t>(std::lround(volume * 255.0));
    snapshot_.volume = static_cast<double>(level) / 255.0;
    player->Post([level](PlayerSide& p) { p.Request(QMB_REQ_SET_VOLUME, level); });
    return true;
  }
  if (name == "LoopStatus") {
    QString status = value.toString();
    if (status != "None" && status != "Playlist") {
      *error = "The Loop button repeats the playlist; it has no single-track loop.";
      return false;
    }
    bool on = status == "Playlist";
    snapshot_.loop = on;
    player->Post([on](PlayerSide& p) { p.SetSwitch(QMB_REQ_LOOP, QMB_CMD_LOOP, on); });
    return true;
  }
  if (name == "Shuffle") {
    bool on = value.toBool();
    snapshot_.shuffle = on;
    player->Post([on](PlayerSide& p) { p.SetSwitch(QMB_REQ_RANDOM, QMB_CMD_RANDOM, on); });
    return true;
  }
  // The rate stays 1; a request for another is ignored, as the interface asks.
  if (name == "Rate") return true;
  *error = "The property " + name + " cannot be set.";
  return false;
}

bool Bus::PlayerMethod(const QDBusMessage& message) {
  const QString member = message.member();
  const QVariantList args = message.arguments();
  PlayerSide* player = player_;
  using Work = std::function<void(PlayerSide&)>;
  static const std::map<QString, Work> kSimple = {
      {"Play", [](PlayerSide& p) { p.Play(); }},
      {"Pause", [](PlayerSide& p) { p.Pause(); }},
      {"PlayPause", [](PlayerSide& p) { p.PlayPause(); }},
      {"Stop", [](PlayerSide& p) { p.Command(QMB_CMD_STOP); }},
      {"Next", [](PlayerSide& p) { p.Command(QMB_CMD_NEXT); }},
      {"Previous", [](PlayerSide& p) { p.Command(QMB_CMD_PREVIOUS); }},
  };
  auto simple = kSimple.find(member);
  if (simple != kSimple.end()) {
    player->Post(simple->second);
  } else if (member == "Seek" && message.signature() == "x") {
    qint64 offset = args[0].toLongLong();
    player->Post([offset](PlayerSide& p) { p.SeekBy(offset); }, true);
  } else if (member == "SetPosition" && message.signature() == "ox") {
    QString track = qvariant_cast<QDBusObjectPath>(args[0]).path();
    qint64 position = args[1].toLongLong();
    if (!track.startsWith(kTrackPrefix)) {
      Reply(message);
      return true;
    }
    int row = track.mid(kTrackPrefix.size()).toInt();
    player->Post([row, position](PlayerSide& p) { p.SetPosition(row, position); }, true);
  } else if (member == "OpenUri" && message.signature() == "s") {
    QUrl uri(args[0].toString());
    QString scheme = uri.scheme().toLower();
    QString path = scheme == "file" ? uri.toLocalFile() : uri.toString();
    if ((scheme != "file" && scheme != "http" && scheme != "https") || path.isEmpty()) {
      Error(message, "org.freedesktop.DBus.Error.NotSupported",
            "Only file, http and https addresses can be opened.");
      return true;
    }
    QByteArray bytes = path.toUtf8();
    player->Post([bytes](PlayerSide& p) {
      p.Request(QMB_REQ_OPEN, reinterpret_cast<intptr_t>(bytes.constData()));
    });
  } else {
    return false;
  }
  Reply(message);
  return true;
}

bool Bus::handleMessage(const QDBusMessage& message, const QDBusConnection&) {
  if (!connection_) return false;
  const QString interface = message.interface();
  const QString member = message.member();
  const QVariantList args = message.arguments();
  if (interface == kPropertiesInterface) {
    if (member == "Get" && args.size() == 2) {
      std::unique_lock lock(mutex_);
      QVariant value = Property(args[0].toString(), args[1].toString());
      lock.unlock();
      if (!value.isValid()) {
        Error(message, "org.freedesktop.DBus.Error.UnknownProperty", "No such property.");
      } else {
        Reply(message, {QVariant::fromValue(QDBusVariant(value))});
      }
      return true;
    }
    if (member == "GetAll" && args.size() == 1) {
      std::unique_lock lock(mutex_);
      QVariantMap all = AllProperties(args[0].toString());
      lock.unlock();
      Reply(message, {all});
      return true;
    }
    if (member == "Set" && args.size() == 3) {
      QString error;
      QVariant value = qvariant_cast<QDBusVariant>(args[2]).variant();
      if (args[0].toString() == kPlayerInterface &&
          SetProperty(args[1].toString(), value, &error)) {
        Reply(message);
      } else {
        Error(message, "org.freedesktop.DBus.Error.InvalidArgs",
              error.isEmpty() ? "The property cannot be set." : error);
      }
      return true;
    }
    return false;
  }
  if (interface == kRootInterface ||
      (interface.isEmpty() && (member == "Raise" || member == "Quit"))) {
    PlayerSide* player = player_;
    if (member == "Raise") {
      player->Post([](PlayerSide& p) { p.Request(QMB_REQ_SHOW_WINDOW); });
    } else if (member == "Quit") {
      player->Post([](PlayerSide& p) { p.Request(QMB_REQ_EXIT); });
    } else {
      UnknownMethod(message);
      return true;
    }
    Reply(message);
    return true;
  }
  if (interface == kPlayerInterface || interface.isEmpty()) {
    if (!PlayerMethod(message)) UnknownMethod(message);
    return true;
  }
  return false;
}

void Bus::UnknownMethod(const QDBusMessage& message) {
  Error(message, "org.freedesktop.DBus.Error.UnknownMethod",
        "No method " + message.member() + " with signature \"" + message.signature() + "\".");
}

QString Bus::introspect(const QString&) const {
  return R"(<interface name="org.mpris.MediaPlayer2">
  <method name="Raise"/><method name="Quit"/>
  <property name="CanQuit" type="b" access="read"/>
  <property name="CanRaise" type="b" access="read"/>
  <property name="CanSetFullscreen" type="b" access="read"/>
  <property name="Fullscreen" type="b" access="read"/>
  <property name="HasTrackList" type="b" access="read"/>
  <property name="Identity" type="s" access="read"/>
  <property name="DesktopEntry" type="s" access="read"/>
  <property name="SupportedUriSchemes" type="as" access="read"/>
  <property name="SupportedMimeTypes" type="as" access="read"/>
</interface>
<interface name="org.mpris.MediaPlayer2.Player">
  <method name="Next"/><method name="Previous"/><method name="Pause"/>
  <method name="PlayPause"/><method name="Stop"/><method name="Play"/>
  <method name="Seek"><arg name="Offset" type="x" direction="in"/></method>
  <method name="SetPosition"><arg name="TrackId" type="o" direction="in"/>
    <arg name="Position" type="x" direction="in"/></method>
  <method name="OpenUri"><arg name="Uri" type="s" direction="in"/></method>
  <signal name="Seeked"><arg name="Position" type="x"/></signal>
  <property name="PlaybackStatus" type="s" access="read"/>
  <property name="LoopStatus" type="s" access="readwrite"/>
  <property name="Rate" type="d" access="readwrite"/>
  <property name="Shuffle" type="b" access="readwrite"/>
  <property name="Metadata" type="a{sv}" access="read"/>
  <property name="Volume" type="d" access="readwrite"/>
  <property name="Position" type="x" access="read"/>
  <property name="MinimumRate" type="d" access="read"/>
  <property name="MaximumRate" type="d" access="read"/>
  <property name="CanGoNext" type="b" access="read"/>
  <property name="CanGoPrevious" type="b" access="read"/>
  <property name="CanPlay" type="b" access="read"/>
  <property name="CanPause" type="b" access="read"/>
  <property name="CanSeek" type="b" access="read"/>
  <property name="CanControl" type="b" access="read"/>
</interface>
)";
}

// What Init builds and Quit takes down.
struct Bridge {
  PlayerSide* player = nullptr;
  Bus* bus = nullptr;
  QThread* thread = nullptr;
} bridge;

int32_t Init(QmbHost* host, void*) {
  // No session bus: nothing to do, and nothing to say about it. The address
  // is required so that no bus is ever started on the user's behalf.
  if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS") || !host ||
      !QCoreApplication::instance()) {
    return 0;
  }
  bridge.player = new PlayerSide(host);
  bridge.bus = new Bus(bridge.player);
  bridge.thread = new QThread;
  bridge.thread->setObjectName("MPRIS bridge");
  bridge.bus->moveToThread(bridge.thread);
  bridge.thread->start();
  Bus* bus = bridge.bus;
  QMetaObject::invokeMethod(
      bus, [bus] { bus->Connect(); }, Qt::QueuedConnection);
  return 0;
}

// The bus thread never waits for this thread, so waiting for it here is safe.
void Quit() {
  if (!bridge.thread) return;
  bridge.player->Stop();
  Bus* bus = bridge.bus;
  QMetaObject::invokeMethod(
      bus, [bus] { bus->Disconnect(); }, Qt::BlockingQueuedConnection);
  bridge.thread->quit();
  bridge.thread->wait();
  delete bridge.bus;
  delete bridge.thread;
  // A Quit request from the player side may be what brought us here.
  bridge.player->deleteLater();
  bridge = Bridge{};
}

QmbGeneralModule module = {
    .description = "Qumble MPRIS Remote Control",
    .Init = Init,
    .Configure = nullptr,
    .Quit = Quit,
};

}  // namespace
}  // namespace qmb

extern "C" QMB_EXPORT QmbGeneralModule* GetQMBGeneralModule(void) {
  return &qmb::module;
}

extern "C" QMB_EXPORT int32_t QmbPluginApiVersion(void) {
  return QMB_PLUGIN_API_VERSION;
}

#include "ui/menus.h"
#include "core/command_ids.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QFontMetrics>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPixmap>
#include <QTimer>
#include <QToolTip>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <initializer_list>

namespace qmb {
namespace {

constexpr int kSeparator = 0;

struct Item {
  int id;  // kSeparator for a separator
  const char* text;
};

void FillMenu(QMenu* menu, std::initializer_list<Item> items,
              const std::function<QAction*(QMenu*, const QString&, int)>& add) {
  for (const Item& item : items) {
    if (item.id == kSeparator) {
      menu->addSeparator();
    } else {
      add(menu, QString::fromUtf8(item.text), item.id);
    }
  }
}

// Drawn on a transparent 16x16 square, smoothed.
QPixmap PictureCanvas() {
  QPixmap picture(16, 16);
  picture.fill(Qt::transparent);
  return picture;
}

void DrawAbout(QPainter& p) {
  p.setPen(QPen(QColor(20, 60, 140), 1));
  p.setBrush(QColor(60, 120, 215));
  p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  p.drawEllipse(QRectF(7, 3.5, 2, 2));
  p.drawRect(QRectF(7, 6.5, 2, 6));
}

void DrawUpdate(QPainter& p) {
  p.setPen(QPen(QColor(20, 100, 40), 1));
  p.setBrush(QColor(60, 170, 80));
  p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  p.drawRect(QRectF(7, 4, 2, 5));
  QPolygonF head({QPointF(4.5, 8), QPointF(11.5, 8), QPointF(8, 12)});
  p.drawPolygon(head);
}

void DrawChooseSkin(QPainter& p) {
  // A painter's palette with a thumb hole and four paints.
  QPainterPath board;
  board.addEllipse(QRectF(1.5, 2.5, 13, 11));
  QPainterPath hole;
  hole.addEllipse(QRectF(9, 8.5, 3, 3));
  p.setPen(QPen(QColor(120, 80, 30), 1));
  p.setBrush(QColor(225, 185, 120));
  p.drawPath(board.subtracted(hole));
  p.setPen(Qt::NoPen);
  const QColor paints[] = {QColor(220, 40, 40), QColor(40, 90, 220), QColor(40, 170, 60),
                           QColor(240, 200, 30)};
  const QPointF places[] = {QPointF(4.5, 7), QPointF(7.5, 5), QPointF(11, 5.5), QPointF(5.5, 10.5)};
  for (int i = 0; i < 4; ++i) {
    p.setBrush(paints[i]);
    p.drawEllipse(places[i], 1.4, 1.4);
  }
}

void DrawRefreshSkin(QPainter& p) {
  // A circling arrow.
  QColor colour(30, 120, 190);
  p.setPen(QPen(colour, 2, Qt::SolidLine, Qt::FlatCap));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(3, 3, 10, 10), 90 * 16, 270 * 16);
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  p.drawPolygon(QPolygonF({QPointF(7, 0.5), QPointF(11.5, 4), QPointF(7, 7)}));
}

void DrawExit(QPainter& p) {
  p.setPen(QPen(QColor(130, 20, 20), 1));
  p.setBrush(QColor(210, 45, 45));
  p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 2.5, 2.5);
  p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(5, 5), QPointF(11, 11));
  p.drawLine(QPointF(11, 5), QPointF(5, 11));
}

}  // namespace

QIcon MenuItemPicture(int id) {
  void (*draw)(QPainter&) = nullptr;
  switch (id) {
    case command::kAbout:
      draw = DrawAbout;
      break;
    case command::kCheckForUpdate:
      draw = DrawUpdate;
      break;
    case command::kChooseSkin:
      draw = DrawChooseSkin;
      break;
    case command::kRefreshSkin:
      draw = DrawRefreshSkin;
      break;
    case command::kExit:
      draw = DrawExit;
      break;
    default:
      return QIcon();
  }
  QPixmap picture = PictureCanvas();
  {
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter);
  }
  // Only the unchecked state carries the picture.
  QIcon icon;
  icon.addPixmap(picture, QIcon::Normal, QIcon::Off);
  return icon;
}

PlayerMenus::PlayerMenus(MenuChecks& checks, std::function<void(int id)> dispatch)
    : checks_(checks), dispatch_(std::make_shared<std::function<void(int)>>(std::move(dispatch))) {
  auto popup = [this] {
    popups_.push_back(std::make_unique<QMenu>());
    return popups_.back().get();
  };
  auto item = [this](QMenu* menu, const QString& text, int id) { return AddItem(menu, text, id); };

  main = popup();
  FillMenu(main,
           {{command::kAbout, "About Qumble Player"},
            {command::kCheckForUpdate, "Check For Update"},
            {kSeparator, ""}},
           item);
  configuration = main->addMenu(QStringLiteral("Configuration"));
  FillMenu(configuration,
           {{command::kControlPanel, "Control Panel..."},
            {command::kChooseSkin, "Choose Skin..."},
            {command::kRefreshSkin, "Refresh Skin"}},
           item);
  playback = main->addMenu(QStringLiteral("Playback"));
  FillMenu(playback,
           {{command::kPrevious, "Previous"},
            {command::kPlay, "Play"},
            {command::kPause, "Pause"},
            {command::kStop, "Stop"},
            {command::kNext, "Next"},
            {kSeparator, ""},
            {command::kOpen, "Open"},
            {kSeparator, ""},
            {command::kRandom, "Random"},
            {command::kLoop, "Loop"}},
           item);
  FillMenu(main,
           {{kSeparator, ""},
            {command::kShowPlaylist, "Show Playlist"},
            {command::kHelp, "QMB5 Help"},
            {kSeparator, ""},
            {command::kSaveSettings, "Save Settings"},
            {command::kExit, "Exit"}},
           item);
  for (int id : {command::kAbout, command::kCheckForUpdate, command::kChooseSkin,
                 command::kRefreshSkin, command::kExit})
    FindItem(main, id)->setIcon(MenuItemPicture(id));

  equalizer = popup();
  FillMenu(equalizer,
           {{command::kLoadEqPreset, "Load QEQ File..."},
            {command::kSaveEqPreset, "Save QEQ File..."},
            {kSeparator, ""},
            {command::kRaiseEq, "Raise Eq + 3"},
            {command::kLowerEq, "Lower Eq - 3"},
            {kSeparator, ""},
            {command::kNormalizeEq, "Normalize"},
            {command::kRandomizeEq, "Randomize"}},
           item);

  visual = popup();
  FillMenu(visual,
           {{command::kStartPlugin, "Start Plug-in"},
            {command::kSelectPlugin, "Select Plug-in"},
            {command::kConfigurePlugin, "Configure Plug-in"},
            {command::kStopPlugin, "Stop Plug-in"},
            {kSeparator, ""},
            {command::kDetachVisualWindow, "Detach Visual Window"},
            {command::kAttachVisualWindow, "Attach Visual Window"},
            {kSeparator, ""}},
           item);
  visualization = visual->addMenu(QStringLiteral("Visualization"));
  FillMenu(visualization,
           {{command::kSpectrumFireMode, "Spectrum Fire Mode"},
            {command::kSpectrumDotMode, "Spectrum Dot Mode"},
            {command::kSpectrumVoiceMode, "Spectrum Voice Mode"},
            {kSeparator, ""},
            {command::kScopeLineMode, "Scope Line Mode"},
            {command::kScopeDotMode, "Scope Dot Mode"},
            {command::kScopeWaveMode, "Scope Wave Mode"}},
           item);

  playlistBar = new QMenuBar();
  auto barMenu = [this, &item](const char* title, std::initializer_list<Item> items) {
    QMenu* menu = playlistBar->addMenu(QString::fromUtf8(title));
    FillMenu(menu, items, item);
    return menu;
  };
  playlistFile = barMenu("Playlist", {{command::kSavePlaylist, "Save Playlist..."},
                                      {command::kLoadPlaylist, "Load Playlist..."}});
  edit =
      barMenu("Edit", {{command::kCutItems, "Cut Items"}, {command::kPasteItems, "Paste Items"}});
  add = barMenu("Add", {{command::kAddFiles, "Add Files..."}, {command::kAddUrl, "Add URL..."}});
  remove = barMenu("Delete", {{command::kDeleteSelected, "Delete Selected"},
                              {command::kDeleteAll, "Delete All"}});
  selection = barMenu("Selection", {{command::kSelectAll, "Select All"},
                                    {command::kInvertSelection, "Invert Selection"},
                                    {command::kSelectNone, "Select None"}});
  tags = barMenu("Tags", {{command::kAnalyzeAllFiles, "Analyze All Files"},
                          {command::kAnalyzeSelectedFiles, "Analyze Selected Files"}});
  view =
      barMenu("View", {{command::kSearchWindow, "Search Window"}, {command::kCueList, "Cue List"}});

  playlistContext = popup();
  sendToMedia = playlistContext->addMenu(QStringLiteral("Send To Media"));
  FillMenu(sendToMedia, {{command::kChooseDestination, "Choose..."}, {kSeparator, ""}}, item);
  FillMenu(playlistContext,
           {{kSeparator, ""},
            {command::kCutItems, "Cut Items"},
            {command::kPasteItems, "Paste Items"},
            {kSeparator, ""},
            {command::kAddToCue, "Add To Cue"},
            {kSeparator, ""},
            {command::kProperties, "Properties..."}},
           item);

  seek = popup();
  FillMenu(seek,
           {{command::kSeekToStart, "Seek To Start"},
            {command::kSeekToMiddle, "Seek To Middle"},
            {command::kSeekToEnd, "Seek To End"}},
           item);
  volume = popup();
  FillMenu(volume,
           {{command::kVolumeHigh, "Volume High"},
            {command::kVolumeMedium, "Volume Medium"},
            {command::kVolumeLow, "Volume Low"},
            {kSeparator, ""}},
           item);
  AddCheckItem(volume, QStringLiteral("Mute"), command::kMute, checks_.mute);
  balance = popup();
  FillMenu(balance,
           {{command::kPanLeft, "Pan Left"},
            {command::kPanCenter, "Center"},
            {command::kPanRight, "Pan Right"}},
           item);
  stop = popup();
  AddItem(stop, QStringLiteral("Stop With Fadeout"), command::kStopWithFadeout);
  AddCheckItem(stop, QStringLiteral("Stop After Current"), command::kStopAfterCurrent,
               checks_.stopAfterCurrent);
  AddCheckItem(stop, QStringLiteral("Close After Current"), command::kCloseAfterCurrent,
               checks_.closeAfterCurrent);
  previous = popup();
  AddItem(previous, QStringLiteral("Previous 5 Tracks"), command::kPreviousFive);
  exit = popup();
  AddItem(exit, QStringLiteral("Exit Without Saving Settings"), command::kExitWithoutSaving);
}

PlayerMenus::~PlayerMenus() {
  for (auto [model, id] : connections_) model->changed.Disconnect(id);
  // A bar no window took is still ours.
  if (playlistBar && !playlistBar->parent()) delete playlistBar.data();
}

QAction* PlayerMenus::AddItem(QMenu* menu, const QString& text, int id) {
  QAction* action = menu->addAction(text);
  action->setData(id);
  std::weak_ptr<std::function<void(int)>> dispatch = dispatch_;
  QObject::connect(action, &QAction::triggered, action, [dispatch, id] {
    if (auto d = dispatch.lock(); d && *d) (*d)(id);
  });
  return action;
}

QAction* PlayerMenus::AddCheckItem(QMenu* menu, const QString& text, int id, CheckModel& model) {
  QAction* action = menu->addAction(text);
  action->setData(id);
  action->setCheckable(true);
  action->setChecked(model.Checked());
  QPointer<QAction> guarded(action);
  connections_.emplace_back(&model, model.changed.Connect([guarded, &model] {
    if (guarded) guarded->setChecked(model.Checked());
  }));
  std::weak_ptr<std::function<void(int)>> dispatch = dispatch_;
  QObject::connect(action, &QAction::triggered, action, [dispatch, id, action, &model] {
    // Qt has already flipped the mark; the model decides it, through the
    // command the dispatch runs.
    action->setChecked(model.Checked());
    if (auto d = dispatch.lock(); d && *d) (*d)(id);
  });
  return action;
}

void PlayerMenus::SetDriveItems(const std::vector<std::pair<int, std::string>>& drives) {
  for (QAction* action : sendToMedia->actions()) {
    int id = action->data().toInt();
    if (id >= command::kFirstDrive && id <= command::kLastDrive) {
      sendToMedia->removeAction(action);
      delete action;
    }
  }
  for (const auto& [id, text] : drives) {
    if (id < command::kFirstDrive || id > command::kLastDrive) continue;
    // A mount's name may hold "&", which a menu would take as a mnemonic.
    QString shown = QString::fromStdString(text).replace('&', QStringLiteral("&&"));
    AddItem(sendToMedia, shown, id);
  }
}

QAction* PlayerMenus::FindItem(const QMenu* menu, int id) {
  if (!menu) return nullptr;
  for (QAction* action : menu->actions()) {
    if (action->menu()) {
      if (QAction* found = FindItem(action->menu(), id)) return found;
    } else if (!action->isSeparator() && action->data().toInt() == id) {
      return action;
    }
  }
  return nullptr;
}

ToolTipText SkinButtonToolTip(int button, const ToolTipState& state) {
  auto onOff = [](bool on) { return on ? QStringLiteral("on") : QStringLiteral("off"); };
  switch (button) {
    case 0:
      return {"Main Menu", "Open the main context menu"};
    case 1:
      return {"Hide", "Remove Qumble from sight"};
    case 2:
      return {"Exit", "Close the program"};
    case 3:
      return {"Previous", "Goto the last song that was played"};
    case 4:
      return {"Play", "Play the current file"};
    case 5:
      return {"Pause", "Pause the file"};
    case 6:
      return {"Stop", "Stop the file"};
    case 7:
      return {"Next", "Goto the next song in the playlist"};
    case 8:
      return {"Open", "Open a file"};
    case 9:
      return {"Random", "Playlist randomization is " + onOff(state.random)};
    case 10:
      return {"Loop", "Playlist looping is " + onOff(state.loop)};
    case 11:
      return {"About", "Show the about dialog box"};
    case 12:
      return {"Equalizer", "Open equalizer presets"};
    case 13:
      return {"Playlist", "Show the playlist"};
    case 14: {
      // Numbers shown to the user carry a leading blank when not negative.
      char number[32];
      std::snprintf(number, sizeof number, "% .15G", static_cast<double>(state.stage));
      return {"Expand / Retract", "Skin expansion stage: " + QString::fromLatin1(number)};
    }
    default:
      return {};
  }
}

QString ToolTipHtml(const ToolTipText& tip) {
  constexpr int kMaxWidth = 180;
  constexpr int kMargins = 12;  // the tip's frame and padding
  QString text = tip.text.toHtmlEscaped();
  QString body =
      tip.title.isEmpty()
          ? text
          : QStringLiteral("<b>\u2139 %1</b><br>%2").arg(tip.title.toHtmlEscaped(), text);
  QFontMetrics metrics(QToolTip::font());
  QFont bold = QToolTip::font();
  bold.setBold(true);
  int widest =
      std::max(metrics.horizontalAdvance(tip.text),
               QFontMetrics(bold).horizontalAdvance(QStringLiteral("\u2139 ") + tip.title));
  // Only a long tip is held to the width; a short one keeps its own.
  if (widest > kMaxWidth - kMargins) {
    return QStringLiteral("<table width=\"%1\"><tr><td>%2</td></tr></table>")
        .arg(kMaxWidth - kMargins)
        .arg(body);
  }
  return QStringLiteral("<qt>%1</qt>").arg(body);
}

// Shows a registered button's tip itself, so the delays are ours rather
// than the desktop's, and swallows the desktop's own tip events.
class SkinToolTips::Shower : public QObject {
 public:
  static constexpr int kDelayMs = 200;

  Shower() {
    timer_.setSingleShot(true);
    timer_.setInterval(kDelayMs);
    QObject::connect(&timer_, &QTimer::timeout, this, [this] {
      if (pending_ && pending_->underMouse()) {
        QToolTip::showText(QCursor::pos(), pending_->toolTip(), pending_);
      }
    });
  }
  void Watch(QWidget* button, bool on) {
    if (on) {
      button->installEventFilter(this);
    } else {
      button->removeEventFilter(this);
      if (pending_ == button) timer_.stop();
    }
  }
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* button = qobject_cast<QWidget*>(watched);
    if (!button) return false;
    switch (event->type()) {
      case QEvent::ToolTip:
        return true;
      case QEvent::Enter:
        pending_ = button;
        timer_.start();
        return false;
      case QEvent::Leave:
        if (pending_ == button) timer_.stop();
        QToolTip::hideText();
        return false;
      default:
        return false;
    }
  }

 private:
  QTimer timer_;
  QPointer<QWidget> pending_;
};

SkinToolTips::SkinToolTips() : shower_(std::make_unique<Shower>()) {}
SkinToolTips::~SkinToolTips() = default;

void SkinToolTips::Build(std::span<QWidget* const> buttons, bool enabled, const ToolTipState& state,
                         QColor textColor, QColor backColor) {
  enabled_ = enabled;
  SetColours(textColor, backColor);
  if (!enabled) QToolTip::hideText();
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    QWidget* button = buttons[i];
    if (!button) continue;
    button->setAttribute(Qt::WA_AlwaysShowToolTips, enabled);
    button->setToolTip(enabled ? ToolTipHtml(SkinButtonToolTip(static_cast<int>(i), state))
                               : QString());
    shower_->Watch(button, enabled);
  }
}

void SkinToolTips::UpdateTip(QWidget* button, const ToolTipText& tip) {
  if (!enabled_ || !button) return;
  button->setToolTip(ToolTipHtml(tip));
}

void SkinToolTips::SetColours(QColor textColor, QColor backColor) {
  if (!enabled_) return;
  // Every tip of the player is a skin button's, so the shared palette is theirs.
  QPalette palette = QToolTip::palette();
  palette.setColor(QPalette::ToolTipText, textColor);
  palette.setColor(QPalette::ToolTipBase, backColor);
  QToolTip::setPalette(palette);
}

void SkinToolTips::HideTip() {
  QToolTip::hideText();
}

}  // namespace qmb

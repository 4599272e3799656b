// skin.ini lists its keys in the order the loader reads them. Only keys the
// loader reads are written; empty region names are left out, which reads the
// same.
#include "tools/skins/skin_files.h"

#include <filesystem>
#include <sstream>

#include <QBuffer>
#include <QByteArray>

#include "core/atomic_file.h"

namespace qmb::skins {

namespace {

class IniWriter {
 public:
  void Section(const std::string& name) {
    if (!out_.str().empty()) out_ << "\r\n";
    out_ << '[' << name << "]\r\n";
  }
  template <typename T>
  void Key(const char* key, const T& value) {
    out_ << key << '=' << value << "\r\n";
  }
  void Pair(const char* a, const char* b, Spot spot) {
    Key(a, spot.a);
    Key(b, spot.b);
  }
  void Place(Box box) {
    Key("X", box.x);
    Key("Y", box.y);
    Key("W", box.w);
    Key("H", box.h);
  }
  std::string Text() const { return out_.str(); }

 private:
  std::ostringstream out_;
};

// The title and time displays: the right and bottom edges are exclusive.
void Display(IniWriter& ini, const char* section, Box box, const FontDesign& font, Colour colour) {
  ini.Section(section);
  ini.Key("ForeColor", colour.IniValue());
  ini.Key("X1", box.x);
  ini.Key("Y1", box.y);
  ini.Key("X2", box.Right());
  ini.Key("Y2", box.Bottom());
  ini.Key("Font", font.face);
  ini.Key("FontSize", font.size);
  ini.Key("Bold", font.weight);
  ini.Key("Italic", 0);
  ini.Key("Strikethru", 0);
  ini.Key("Underline", 0);
}

std::string EncodedBytesOf(const QImage& image, const char* format) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, format)) return {};
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace

std::string SkinIniText(const SkinDesign& d, const SkinSpots& spots) {
  const Palette& pal = SkinPalette();
  IniWriter ini;
  ini.Section("Info");
  ini.Key("Name", d.name);
  ini.Key("Version", "QMB50");

  ini.Section("MainForm");
  ini.Key("Graphic", kPictureName);
  ini.Pair("A", "B", spots.face);
  ini.Key("W", d.width);
  ini.Key("H", d.height);
  ini.Key("Transparent", d.transparent);
  ini.Key("DisableInverse", d.disableInverse);
  ini.Key("TipsFC", pal.tipsText.IniValue());
  ini.Key("TipsBC", pal.tipsBack.IniValue());
  ini.Key("NumStages", d.stages.size());

  // The visual area's corners are both inclusive.
  ini.Section("Visual");
  ini.Key("X1", d.visual.x);
  ini.Key("Y1", d.visual.y);
  ini.Key("X2", d.visual.Right() - 1);
  ini.Key("Y2", d.visual.Bottom() - 1);
  ini.Pair("A", "B", spots.visual);
  ini.Key("ForeColor", pal.mint.IniValue());

  Display(ini, "Text", d.text, d.textFont, pal.mint);
  Display(ini, "Time", d.time, d.timeFont, pal.mint);

  ini.Section("Eq");
  ini.Place(d.eq);
  ini.Key("ForeColor", pal.amber.IniValue());

  for (int i = 0; i < kLightCount; ++i) {
    ini.Section("Light" + std::to_string(i));
    ini.Place(d.lights[i]);
    ini.Pair("A0", "B0", spots.lights[i].off);
    ini.Pair("A1", "B1", spots.lights[i].on);
  }
  for (int i = 0; i < kButtonCount; ++i) {
    ini.Section("Main" + std::to_string(i));
    ini.Place(d.buttons[i].box);
    ini.Pair("A0", "B0", spots.buttons[i].normal);
    ini.Pair("A1", "B1", spots.buttons[i].hover);
    ini.Pair("A2", "B2", spots.buttons[i].pressed);
  }
  for (int i = 0; i < kSliderCount; ++i) {
    const SliderDesign& s = d.sliders[i];
    const SliderSpots& at = spots.sliders[i];
    ini.Section("Slider" + std::to_string(i));
    ini.Place(s.track);
    ini.Pair("A", "B", at.track);
    ini.Key("W1", s.thumbW);
    ini.Key("H1", s.thumbH);
    ini.Pair("A1", "B1", at.thumbNormal);
    ini.Pair("A2", "B2", at.thumbHover);
    ini.Pair("A3", "B3", at.thumbPressed);
    // The overlay is the filled track, as large as the track.
    ini.Key("OW", s.track.w);
    ini.Key("OH", s.track.h);
    ini.Pair("OA", "OB", at.overlay);
    ini.Key("Vertical", s.vertical ? 1 : 0);
  }
  return ini.Text();
}

std::string RegionText(const std::vector<Point>& polygon) {
  std::string text;
  for (const Point& p : polygon) {
    if (!text.empty()) text += '\n';
    text += std::to_string(p.x) + ',' + std::to_string(p.y);
  }
  return text;
}

bool WriteSkinFolder(const SkinDesign& design, const std::string& parent) {
  const std::filesystem::path folder = std::filesystem::path(parent) / design.folder;
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) return false;
  const SkinArt art = PaintSkin(design);
  const std::string picture = EncodedBytesOf(art.picture, "BMP");
  if (picture.empty()) return false;
  auto write = [&folder](const std::string& name, const std::string& content) {
    return WriteFileAtomically((folder / name).string(), content);
  };
  bool ok = write(kPictureName, picture) && write("skin.ini", SkinIniText(design, art.spots)) &&
            write("readme.txt", design.readme);
  for (std::size_t stage = 0; ok && stage < design.stages.size(); ++stage) {
    ok = write("region" + std::to_string(stage) + ".txt", RegionText(design.stages[stage]));
  }
  return ok;
}

}  // namespace qmb::skins

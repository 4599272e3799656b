// Send To Media on real folders, and the drive items from mount tables.
#include "media/media_copy.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "core/status_codes.h"
#include "media/drive_items.h"
#include "playlist/playlist_store.h"
#include "support/scripted_desktop.h"
#include "support/temp_folder.h"

namespace qmb {
namespace {

namespace fs = std::filesystem;

// Records what the window showed; the test acts while events are handled.
struct ShownCopy {
  std::vector<std::string> amounts;
  int batchRange = -1, batchDone = -1, windows = 0, open = 0;
};

class RecordingWindow : public CopyWindow {
 public:
  explicit RecordingWindow(ShownCopy& shown) : shown_(shown) { ++shown_.open; }
  ~RecordingWindow() override { --shown_.open; }
  void SetBatchRange(int files) override { shown_.batchRange = files; }
  void SetBatchPosition(int done) override { shown_.batchDone = done; }
  void SetAmountLine(const std::string& text) override { shown_.amounts.push_back(text); }
  void SetDestinationLine(const std::string&) override {}
  void SetFileProgress(const FileProgress&) override {}

 private:
  ShownCopy& shown_;
};

class MediaCopyTest : public ::testing::Test {
 protected:
  MediaCopyTest() {
    copier.openWindow = [this] {
      ++shown.windows;
      return std::make_unique<RecordingWindow>(shown);
    };
    fs::create_directory(target.Path() + "drive");
  }
  void Add(const std::string& name, const std::string& content) {
    fs::create_directories(fs::path(source.Path() + name).parent_path());
    source.Write(name, content);
    AddPlaylistEntry(store, source.Path() + name);
    store.list.SetSelected(store.list.Count() - 1, true);
  }
  int Copy() { return copier.CopySelectionTo(store.list, "  " + target.Path() + "drive  "); }

  test::TempFolder source, target;
  test::ScriptedDesktop desktop;
  ControlPanelModel panel;
  PlaylistStore store{panel};
  MediaCopier copier;
  ShownCopy shown;
};

TEST_F(MediaCopyTest, CopiesTheSelectedFilesByteForByte) {
  std::string big(5 << 20, '\0');
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7 + i / 4096);
  Add("a.mp3", big);
  Add("x/b\nname.ogg", "second file");
  AddPlaylistEntry(store, source.Path() + "not selected.mp3");
  EXPECT_EQ(Copy(), kOk);
  EXPECT_EQ(target.Read("drive/a.mp3"), big);
  EXPECT_EQ(target.Read("drive/b\nname.ogg"), "second file");
  EXPECT_EQ(std::distance(fs::directory_iterator(target.Path() + "drive"), {}), 2);
  EXPECT_EQ(std::tuple(shown.batchRange, shown.batchDone, shown.open), std::tuple(2, 2, 0))
      << "two files of two, and the window goes at the end";
}

TEST_F(MediaCopyTest, ASecondFileOfTheSameNameFailsAndTheFirstStays) {
  Add("one/song.mp3", "first");
  Add("two/song.mp3", "second");
  EXPECT_EQ(Copy(), kCopyFailed);
  EXPECT_EQ(target.Read("drive/song.mp3"), "first");
  // An existing file is never touched.
  store.list.SelectNone();
  store.list.SetSelected(1, true);
  EXPECT_EQ(Copy(), kCopyFailed);
  EXPECT_EQ(target.Read("drive/song.mp3"), "first");
}

TEST_F(MediaCopyTest, CancelMidCopyLeavesNoPartialFileAndASecondBatchIsRefused) {
  source.Write("big.mp3", "");
  fs::resize_file(source.Path() + "big.mp3", 64 << 20);
  AddPlaylistEntry(store, source.Path() + "big.mp3");
  store.list.SetSelected(0, true);
  int events = 0, second = 0;
  desktop.onProcessEvents = [&] {
    if (++events == 2) {
      second = Copy();
      EXPECT_TRUE(fs::exists(target.Path() + "drive/big.mp3")) << "the copy is under way";
      copier.Cancel();
      EXPECT_EQ(shown.open, 0) << "Cancel closes the window at once";
    }
  };
  EXPECT_EQ(Copy(), kCopyCanceled);
  EXPECT_EQ(second, kCopyInProgress);
  EXPECT_EQ(events, 2);
  EXPECT_FALSE(fs::exists(target.Path() + "drive/big.mp3"));
  EXPECT_EQ(shown.windows, 1);
}

TEST_F(MediaCopyTest, AmountLineAndScaledProgress) {
  Add("small.wav", std::string(3000, 's'));
  EXPECT_EQ(Copy(), kOk);
  EXPECT_EQ(shown.amounts.back(), " 2 Of 2 Kilobytes copied so far...");
  struct {
    std::uint64_t done, total;
    int maximum, value;
  } cases[] = {
      {0, 3000, 2, 0},
      {65535ull << 10, 65535ull << 10, 65535, 65535},
      {65536ull << 10, 65536ull << 10, 32768, 32768},
      {100ull << 20, 200ull << 20, 51200, 25600},
  };
  for (auto c : cases) {
    FileProgress p = ScaledFileProgress(c.done, c.total);
    EXPECT_EQ(std::pair(p.maximum, p.value), std::pair(c.maximum, c.value)) << c.total;
  }
}

TEST_F(MediaCopyTest, WhatCannotBeCopiedFailsWithoutHanging) {
  ASSERT_EQ(::mkfifo((source.Path() + "pipe.mp3").c_str(), 0644), 0);
  for (const char* name : {"pipe.mp3", "missing.mp3"}) {
    store.list.RemoveAll();
    AddPlaylistEntry(store, source.Path() + name);
    store.list.SetSelected(0, true);
    EXPECT_EQ(Copy(), kCopyFailed) << name;
  }
  Add("fine.mp3", "x");
  EXPECT_EQ(copier.CopySelectionTo(store.list, target.Path() + "no such folder"), kCopyFailed);
  store.list.SelectNone();
  EXPECT_EQ(Copy(), kOk) << "nothing selected";
  EXPECT_EQ(shown.windows, 4);
}

TEST(DriveItems, WritableUserAndRemovableMountsInTableOrder) {
  const char* table =
      "/dev/sda1 / ext4 rw,relatime 0 0\n"
      "proc /proc proc rw 0 0\n"
      "/dev/sdb1 /media/ann/MY\\040STICK vfat rw,nosuid 0 0\n"
      "/dev/sr0 /media/ann/CDROM iso9660 ro,nosuid 0 0\n"
      "/dev/sdc1 /run/media/ann/Card exfat rw 0 0\n"
      "/dev/sdc2 /run/media/bob/Other exfat rw 0 0\n"
      "/dev/sdd1 /srv/usb ext4 rw 0 0\n"
      "server:/x /mnt/share nfs rw 0 0\n"
      "/dev/sdb1 /media/ann/MY\\040STICK vfat rw,nosuid 0 0\n"
      "broken line\n";
  auto removable = [](const std::string& device) { return device == "sdd1"; };
  DriveItemList items = DriveItemsFrom(table, "ann", removable);
  EXPECT_EQ(items, (DriveItemList{{10000, "/media/ann/MY STICK"},
                                  {10001, "/run/media/ann/Card"},
                                  {10002, "/srv/usb"},
                                  {10003, "/mnt/share"}}));
  std::string many;
  for (int i = 0; i < 30; ++i) many += "/dev/x /media/d" + std::to_string(i) + " vfat rw 0 0\n";
  items = DriveItemsFrom(many, "ann", nullptr);
  ASSERT_EQ(items.size(), 26u);
  EXPECT_EQ(items.back(), (std::pair<int, std::string>{10025, "/media/d25"}));
}

}  // namespace
}  // namespace qmb

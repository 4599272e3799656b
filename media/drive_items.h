// The drive items of "Send To Media": the mounted volumes a user copies to
// (removable media and the user's mounts), rebuilt before the playlist's
// context menu opens.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qmb {

constexpr int kMaxDriveItems = 26;

// (command id, mount folder) pairs, ids from 10000 in order.
using DriveItemList = std::vector<std::pair<int, std::string>>;

// The items from a mount table in the form of /proc/self/mounts: writable
// mounts below /media/, /mnt/ or /run/media/`user`/, and mounts of devices
// that `removable` (given the device's name under /dev/) says are
// removable; each folder once, at most 26.
DriveItemList DriveItemsFrom(std::string_view mountTable, std::string_view user,
                             const std::function<bool(const std::string& device)>& removable);

// The items of this system now.
DriveItemList CurrentDriveItems();

}  // namespace qmb

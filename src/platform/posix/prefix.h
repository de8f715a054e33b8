// The prefix: the folder that stands for the Windows machine on POSIX, as a
// Wine prefix does. It holds dosdevices/ (one link per drive letter: c: to
// ../drive_c and z: to /, made on first use), drive_c/ and the registry.
//
// Drive paths map through the drive's link; a component that has no exact
// match is matched without regard to letter case; ".." never climbs above a
// drive root; a path starting with "/" is a host path used as it stands; a
// network path (\\server\share) and the empty path do not exist. A user
// repoints a drive by changing its link. Thread-safe.
#pragma once

#include <atomic>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "base/text.h"
#include "platform/posix/folder_listings.h"

namespace kavrolin::platform::posix {

struct HostPath {
  std::string path;      // host path; ends in "/" when the Windows path did
  bool is_root = false;  // a drive root ("C:\") or the host root
};

class Prefix {
 public:
  explicit Prefix(std::filesystem::path root);

  // KAVROLIN_PREFIX, else ~/.kavrolin.
  static std::filesystem::path DefaultRoot();

  const std::filesystem::path& root() const { return root_; }

  // Makes the prefix's folders and default drive links when dosdevices/ is
  // absent; a removed link is the user's choice and is not made again.
  void EnsureLayout() const;

  // Throws AutomationError 76 for an empty path, a missing drive or a network
  // path, 52 for a name the platform cannot hold.
  HostPath ToHost(TextView windows_path) const;

  // The Windows form of a host path; a path outside every drive gets Z:.
  Text ToWindows(const std::filesystem::path& host_path) const;

  // "C", "c:", "C:\anything": true when the drive's link leads to a folder.
  bool DriveExists(TextView drive) const;

 private:
  std::string DriveLinkPath(char16_t letter) const;

  // The drive links of dosdevices/ and their texts, as read with one listing
  // of it: a link is never changed in place, so its text holds while the
  // listing does (dosdevices/ cannot be swapped for a link either: a rename
  // changes the folder's change time, which the listing is checked against).
  struct DriveLink {
    char letter;
    std::string text;  // the link's text; "" for a folder
    // Where the link leads when the text alone says so: dosdevices/ then a
    // real folder, and the text free of "." and ".." past a first "..".
    // Meaningful only where a resolved (link-free) path starts with it; "" when
    // the text does not say.
    std::string lexical;
    size_t lexical_depth = 0;  // components in `lexical`
  };
  struct DriveLinks {
    std::shared_ptr<const FolderListings::Listing> listing;
    std::vector<DriveLink> links;
  };
  std::shared_ptr<const DriveLinks> CurrentDriveLinks() const;

  std::filesystem::path root_;
  std::string devices_;  // root_/dosdevices
  mutable std::atomic<bool> ensured_{false};
  mutable FolderListings listings_;
  mutable std::mutex drive_links_mutex_;
  mutable std::shared_ptr<const DriveLinks> drive_links_;
};

}  // namespace kavrolin::platform::posix

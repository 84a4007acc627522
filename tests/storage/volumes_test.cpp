// The volume enumeration and query where the answers vary per case; the recorded machines hold
// the rest.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_machine.h"
#include "storage/volume_ioctls.h"
#include "storage/volumes.h"
#include "volume_replies.h"

namespace {
const wchar_t* const guid_a = L"{a1b2c3d4-0000-4000-8000-00000000000a}";
const wchar_t* const guid_b = L"{a1b2c3d4-0000-4000-8000-00000000000b}";

volume_setup setup_of(const wchar_t* guid, const wchar_t* device) {
  volume_setup s;
  s.guid = guid;
  s.device_name = device;
  return s;
}

// All four signs a RAM-disk driver shows.
volume_setup ram_disk_setup() {
  volume_setup s = setup_of(guid_a, L"\\Device\\0000A1F3");
  s.info.file_system = L"FAT32";
  s.ntfs = false;
  s.extents = {{0xFFFFFFFF, 0, 1073741824}};
  s.unique_id = std::vector<uint8_t>(64, 0x5A);
  s.stable_guid_error = ERROR_NOT_SUPPORTED;
  s.suggested_link_error = ERROR_NOT_FOUND;
  return s;
}

class volumes : public ::testing::Test {
 protected:
  volumes() { sink->set_keep_prefix(true); }
  ~volumes() override {
    log->release();
    sink->release();
  }
  void TearDown() override { EXPECT_EQ(machine.open_handles(), 0); }

  std::string text() const {
    std::string all;
    for (const std::string& l : sink->lines()) all += l;
    return all;
  }
  void fresh_log() {
    log->release();
    sink->release();
    sink = new capturing_logger;
    sink->set_keep_prefix(true);
    log = new indenting_logger(sink);
  }
  bool logged(const std::string& line) const { return text().find(line) != std::string::npos; }

  std::vector<volume_info> enumerate(const std::wstring* filter = nullptr) {
    std::vector<volume_info> found;
    enumerate_volumes(machine, found, log, filter);
    return found;
  }
  // The record enumeration makes of the only volume, without logging it.
  volume_info listed() {
    indenting_logger* quiet = new indenting_logger(&a_null_logger::instance);
    std::vector<volume_info> found;
    enumerate_volumes(machine, found, quiet);
    quiet->release();
    EXPECT_EQ(found.size(), 1u);
    return found.empty() ? volume_info() : found[0];
  }
  volume_info queried(const volume_setup& setup, bool* kept = nullptr) {
    add_volume(machine, setup);
    volume_info v = listed();
    const bool ok = query_volume(machine, v, log);
    if (kept) *kept = ok;
    return v;
  }

  fake_machine machine;
  capturing_logger* sink = new capturing_logger;
  indenting_logger* log = new indenting_logger(sink);
};
}  // namespace

// ---- enumeration

// The recorded machines hold an unrecognised and a locked volume; a drive not ready stays too.
TEST_F(volumes, other_information_failures_stay_listed) {
  volume_setup s = setup_of(guid_a, L"\\Device\\HarddiskVolume1");
  s.info_errors = {ERROR_NOT_READY};
  add_volume(machine, s);
  EXPECT_EQ(enumerate().size(), 1u);
  EXPECT_TRUE(logged("2     GetVolumeInformation() failed with 21\n"));
  EXPECT_FALSE(logged("ignored"));
}

TEST_F(volumes, filter_keeps_one_volume_ignoring_case) {
  add_volume(machine, setup_of(guid_a, L"\\Device\\HarddiskVolume1"));
  add_volume(machine, setup_of(guid_b, L"\\Device\\HarddiskVolume2"));
  std::wstring filter = interface_path_of(setup_of(guid_b, L""));
  for (wchar_t& c : filter) c = wchar_t(towupper(c));
  const std::vector<volume_info> found = enumerate(&filter);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].nt_device_name, L"\\Device\\HarddiskVolume2");
}

TEST_F(volumes, filter_without_its_interface_stops_early) {
  add_volume(machine, setup_of(guid_a, L"\\Device\\HarddiskVolume1"));
  const std::wstring filter = L"\\\\?\\STORAGE#Volume#nowhere";
  std::vector<volume_info> found;
  EXPECT_FALSE(enumerate_volumes(machine, found, log, &filter));
  EXPECT_TRUE(found.empty());
  EXPECT_TRUE(logged("2 Not found: \\\\?\\STORAGE#Volume#nowhere\n"));
  EXPECT_FALSE(logged("Enumerating disk volumes"));
}

// ---- RAM disks

struct ram_case {
  const char* name;
  bool dummy_extents, numbered_name, long_id, no_stable_guid;
  bool ram_disk;
};

TEST_F(volumes, ram_disk_needs_all_four_signs) {
  const ram_case cases[] = {
      {"all four", true, true, true, true, true},       {"real extents", false, true, true, true, false},
      {"named device", true, false, true, true, false}, {"short id", true, true, false, true, false},
      {"stable guid", true, true, true, false, false},
  };
  for (const ram_case& c : cases) {
    machine = fake_machine();
    fresh_log();
    volume_setup s = ram_disk_setup();
    if (!c.dummy_extents) s.extents = {{2, 1048576, 1073741824}};
    if (!c.numbered_name) s.device_name = L"\\Device\\0000A1F3X";
    if (!c.long_id) s.unique_id.resize(63);
    if (!c.no_stable_guid) s.stable_guid_error = ERROR_INVALID_FUNCTION;
    const volume_info v = queried(s);
    EXPECT_EQ(v.is_ram_disk, c.ram_disk) << c.name;
    EXPECT_EQ(v.extents.size(), c.dummy_extents ? 0u : 1u) << c.name;
    EXPECT_EQ(logged("2   Dummy extent set, ignored (SoftPerfect RamDisk?)\n"), c.dummy_extents) << c.name;
    EXPECT_TRUE(logged("IOCTL_MOUNTDEV_QUERY_STABLE_GUID\n0     DeviceIoControl() failed with")) << c.name;
    EXPECT_EQ(machine.open_handles(), 0) << c.name;
  }
}

TEST_F(volumes, secdisc_in_the_device_name_alone_makes_a_ram_disk) {
  volume_setup s = setup_of(guid_a, L"\\Device\\SecdiscVolume1");
  EXPECT_TRUE(queried(s).is_ram_disk);
  machine = fake_machine();
  s.device_name = L"\\Device\\SECDISCVolume1";  // the match is exact
  EXPECT_FALSE(queried(s).is_ram_disk);
}

// ---- extents and sizes

TEST_F(volumes, drive_disk_numbers_once_each_without_unknown) {
  volume_info v;
  for (uint32_t disk : {5u, 0xFFFFFFFFu, 2u, 5u, 0u}) {
    volume_extent e;
    e.disk_number = disk;
    v.extents.push_back(e);
  }
  std::vector<uint32_t> numbers;
  EXPECT_TRUE(drive_disk_numbers(v, numbers));
  EXPECT_EQ(numbers, (std::vector<uint32_t>{0, 2, 5}));
  v.extents.resize(2);
  v.extents[0].disk_number = 0xFFFFFFFF;
  v.extents.pop_back();
  EXPECT_FALSE(drive_disk_numbers(v, numbers));
  EXPECT_TRUE(numbers.empty());
}

TEST_F(volumes, without_extents_free_space_gives_the_size_only_without_quota) {
  volume_setup s = setup_of(guid_a, L"\\Device\\HarddiskVolume8");
  s.length_error = ERROR_INVALID_FUNCTION;
  s.extents_error = ERROR_INVALID_FUNCTION;
  s.free = {1000, 5000, 1000};
  EXPECT_EQ(queried(s).length, 5000u);
  machine = fake_machine();
  s.free = {900, 5000, 1000};  // a quota: the caller's figures say nothing of the volume
  EXPECT_EQ(queried(s).length, unknown_u64);
  machine = fake_machine();
  s.free_error = ERROR_ACCESS_DENIED;
  const volume_info v = queried(s);
  EXPECT_EQ(v.length, unknown_u64);
  EXPECT_EQ(v.free_bytes, unknown_u64);
  EXPECT_EQ(v.free_bytes_for_user, unknown_u64);
  EXPECT_TRUE(logged("0   GetDiskFreeSpaceEx() failed with 5\n2 MountPoints:\n"));
}

TEST_F(volumes, ntfs_data_needs_96_bytes_and_versions_need_the_extended_block) {
  fake_device& d = add_volume(machine, setup_of(guid_a, L"\\Device\\HarddiskVolume8"));
  std::vector<uint8_t> reply = ntfs_data_reply(volume_setup().ntfs_data);
  reply.resize(80);
  d.replies[FSCTL_GET_NTFS_VOLUME_DATA].bytes = reply;
  volume_info v = listed();
  query_volume(machine, v, log);
  EXPECT_FALSE(v.has_ntfs_data);
  EXPECT_TRUE(
      logged("2   FSCTL_GET_NTFS_VOLUME_DATA\n0     CheckReponseSize() failed with ffffffff, 80 96 65536\n"
             "2   IOCTL_MOUNTDEV_QUERY_DEVICE_NAME\n"));

  d.replies[FSCTL_GET_NTFS_VOLUME_DATA].bytes = ntfs_data_reply(volume_setup().ntfs_data);
  v = listed();
  query_volume(machine, v, log);
  EXPECT_TRUE(v.has_ntfs_data);
  EXPECT_EQ(v.ntfs.total_clusters, 26214142);
  EXPECT_EQ(v.ntfs.mft_zone_end, 838112);
  EXPECT_EQ(v.ntfs_major_version, 0);
  EXPECT_TRUE(logged("2   [96 bytes]\n"));
  EXPECT_TRUE(logged("2   Ext.ByteCount              0\n2   Ext.MajorVersion           0\n"));

  d.replies[FSCTL_GET_NTFS_VOLUME_DATA].bytes = ntfs_data_reply(volume_setup().ntfs_data, 3, 1);
  v = listed();
  query_volume(machine, v, log);
  EXPECT_EQ(v.ntfs_major_version, 3);
  EXPECT_EQ(v.ntfs_minor_version, 1);
}

// ---- opening and mount points

TEST_F(volumes, mount_point_lists) {
  volume_setup s = setup_of(guid_a, L"\\Device\\HarddiskVolume9");
  s.mount_points = {};
  EXPECT_TRUE(queried(s).mount_points.empty());
  EXPECT_TRUE(logged("2 MountPoints:\n2   <none>\n2 Opening volume...\n"));

  machine = fake_machine();
  s.mount_points = {L"D:\\", L"D:\\mnt\\data\\"};
  EXPECT_EQ(queried(s).mount_points, s.mount_points);
  EXPECT_TRUE(logged("2 MountPoints:\n2    1. D:\\\n2    2. D:\\mnt\\data\\\n2 Opening volume...\n"));

  machine = fake_machine();
  add_volume(machine, s);
  machine.volumes[0].paths_error = ERROR_MORE_DATA;
  volume_info v = listed();
  v.mount_points = {L"stale"};
  query_volume(machine, v, log);
  EXPECT_TRUE(v.mount_points.empty());
  EXPECT_TRUE(logged("2 MountPoints:\n0   GetVolumePathNamesForVolumeName() failed with 234\n2 Opening volume...\n"));
}

TEST_F(volumes, suggested_link_and_stable_guid_failures_only_report) {
  volume_setup s = setup_of(guid_a, L"\\Device\\HarddiskVolume9");
  s.suggested_link_error = ERROR_NOT_FOUND;
  s.link_only_if_no_other = true;
  const volume_info v = queried(s);
  EXPECT_FALSE(v.is_ram_disk);
  EXPECT_TRUE(
      logged("2   IOCTL_MOUNTDEV_QUERY_SUGGESTED_LINK_NAME\n0     DeviceIoControl() failed with 1168\n"
             "3 --- IOCTL timing ---\n"));
  machine = fake_machine();
  s.suggested_link_error = 0;
  queried(s);
  EXPECT_TRUE(logged("2   UseOnlyIfThereAreNo...     1\n"));
}

// ---- what the main window reads

TEST_F(volumes, letters_mask_counts_drive_roots_only) {
  storage_stack model;
  model.volumes.resize(3);
  model.volumes[0].mount_points = {L"C:\\", L"c:\\"};
  model.volumes[1].mount_points = {L"D:\\mnt\\data\\", L"Q:", L"z"};
  model.volumes[2].mount_points = {L"\\\\?\\Volume{a1b2c3d4-0000-4000-8000-00000000000c}\\", L"E:/", L"1:\\"};
  EXPECT_EQ(volume_letters_mask(model), (1u << 2) | (1u << 3));
  model.volumes[2].mount_points.push_back(L"z:\\");
  EXPECT_EQ(volume_letters_mask(model), (1u << 2) | (1u << 3) | (1u << 25));
  EXPECT_EQ(volume_letters_mask(storage_stack()), 0u);
}

TEST_F(volumes, vds_volume_type_labels) {
  const struct {
    uint32_t type;
    const wchar_t* label;
  } labels[] = {{10, L"Simple"},
                {11, L"Spanned"},
                {12, L"Striped / RAID 0"},
                {13, L"Mirrored / RAID 1"},
                {14, L"With parity / RAID 5"},
                {0, L"?"},
                {9, L"?"},
                {15, L"?"}};
  for (const auto& l : labels) EXPECT_STREQ(vds_volume_type_label(l.type), l.label) << l.type;
}

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
const wchar_t* const guid_c = L"{a1b2c3d4-0000-4000-8000-00000000000c}";

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

TEST_F(volumes, enumeration_log_names_interfaces_and_volumes) {
  add_volume(machine, setup_of(guid_a, L"\\Device\\HarddiskVolume1"));
  volume_setup b = setup_of(guid_b, L"\\Device\\HarddiskVolume2");
  b.has_interface = false;
  add_volume(machine, b);
  const std::vector<volume_info> found = enumerate();
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].nt_device_name, L"\\Device\\HarddiskVolume1");
  EXPECT_EQ(found[0].interface_path, interface_path_of(setup_of(guid_a, L"")));
  EXPECT_TRUE(found[1].interface_path.empty());
  EXPECT_EQ(text(),
            "2 Enumerating volume paths...\n"
            "2  1. \\\\?\\STORAGE#Volume#{a1b2c3d4-0000-4000-8000-00000000000a}#0000000000100000#"
            "{53f5630d-b6bf-11d0-94f2-00a0c91efb8b} -> \\Device\\HarddiskVolume1\n"
            "2 ---\n"
            "2 Enumerating disk volumes...\n"
            "2  1. \\\\?\\Volume{a1b2c3d4-0000-4000-8000-00000000000a}\\\n"
            "2     DosDeviceName                \\Device\\HarddiskVolume1\n"
            "2     VolumeSymlink                \\\\?\\STORAGE#Volume#{a1b2c3d4-0000-4000-8000-00000000000a}#"
            "0000000000100000#{53f5630d-b6bf-11d0-94f2-00a0c91efb8b}\n"
            "2  2. \\\\?\\Volume{a1b2c3d4-0000-4000-8000-00000000000b}\\\n"
            "2     DosDeviceName                \\Device\\HarddiskVolume2\n"
            "2     VolumeSymlink                ?\n");
}

TEST_F(volumes, path_not_found_is_never_listed) {
  volume_setup gone = setup_of(guid_a, L"\\Device\\HarddiskVolume1");
  gone.info_errors = {ERROR_PATH_NOT_FOUND};
  add_volume(machine, gone);
  add_volume(machine, setup_of(guid_b, L"\\Device\\HarddiskVolume2"));
  const std::vector<volume_info> found = enumerate();
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].volume_name, volume_name_of(setup_of(guid_b, L"")));
  EXPECT_TRUE(logged("2     GetVolumeInformation() failed with 3\n2     ** Path not found -- ignored\n"));
}

TEST_F(volumes, other_information_failures_stay_listed) {
  for (DWORD error : {DWORD(ERROR_UNRECOGNIZED_VOLUME), DWORD(0x80310000), DWORD(ERROR_NOT_READY)}) {
    volume_setup s = setup_of(guid_a, L"\\Device\\HarddiskVolume1");
    s.info_errors = {error};
    machine = fake_machine();
    add_volume(machine, s);
    EXPECT_EQ(enumerate().size(), 1u) << error;
  }
  EXPECT_TRUE(logged("2     GetVolumeInformation() failed with 1005\n"));
  EXPECT_TRUE(logged("2     GetVolumeInformation() failed with 2150694912\n"));
  EXPECT_FALSE(logged("ignored"));
}

TEST_F(volumes, duplicate_interface_names_keep_the_first) {
  volume_setup a = setup_of(guid_a, L"\\Device\\HarddiskVolume1");
  a.interface_path = L"\\\\?\\STORAGE#Volume#first";
  add_volume(machine, a);
  fake_interface twin;
  twin.path = L"\\\\?\\STORAGE#Volume#second";
  machine.volume_interfaces.push_back(twin);
  machine.dos_devices[L"STORAGE#Volume#second"] = {L"\\Device\\HarddiskVolume1", L"\\Device\\Other"};
  const std::vector<volume_info> found = enumerate();
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].interface_path, L"\\\\?\\STORAGE#Volume#first");
  EXPECT_TRUE(logged("2  2. \\\\?\\STORAGE#Volume#second -> \\Device\\HarddiskVolume1\n"
                     "2     *** Duplicate! ***\n"
                     "2 ---\n"));
}

TEST_F(volumes, interface_failures_are_reported_and_skipped) {
  add_volume(machine, setup_of(guid_a, L"\\Device\\HarddiskVolume1"));
  fake_interface broken;
  broken.path = L"\\\\?\\STORAGE#Volume#broken";
  broken.detail_error = ERROR_INSUFFICIENT_BUFFER;
  machine.volume_interfaces.insert(machine.volume_interfaces.begin(), broken);
  fake_interface unnamed;
  unnamed.path = L"\\\\?\\STORAGE#Volume#unnamed";
  machine.volume_interfaces.push_back(unnamed);
  const std::vector<volume_info> found = enumerate();
  ASSERT_EQ(found.size(), 1u);
  EXPECT_FALSE(found[0].interface_path.empty());
  EXPECT_TRUE(logged("0   SetupDiGetDeviceInterfaceDetail() failed with 122, 0\n"));
  EXPECT_TRUE(logged("2  3. \\\\?\\STORAGE#Volume#unnamed\n0   QueryDosDevice() failed with 2\n"));
}

TEST_F(volumes, without_an_interface_set_no_symlinks_are_logged) {
  machine.volume_set_error = ERROR_ACCESS_DENIED;
  add_volume(machine, setup_of(guid_a, L"\\Device\\HarddiskVolume1"));
  const std::vector<volume_info> found = enumerate();
  ASSERT_EQ(found.size(), 1u);
  EXPECT_TRUE(found[0].interface_path.empty());
  EXPECT_TRUE(logged("2 Enumerating volume paths...\n0   SetupDiGetClassDevs() failed with 5\n2 ---\n"));
  EXPECT_FALSE(logged("VolumeSymlink"));
}

TEST_F(volumes, unnamed_volume_is_reported_with_its_name) {
  add_volume(machine, setup_of(guid_a, L"\\Device\\HarddiskVolume1"));
  machine.dos_devices.erase(L"Volume{a1b2c3d4-0000-4000-8000-00000000000a}");
  const std::vector<volume_info> found = enumerate();
  ASSERT_EQ(found.size(), 1u);
  EXPECT_TRUE(found[0].nt_device_name.empty());
  EXPECT_TRUE(logged("0       QueryDosDevice() failed with 2, Volume{a1b2c3d4-0000-4000-8000-00000000000a}\n"
                     "2     VolumeSymlink                ?\n"));
}

TEST_F(volumes, no_volumes_at_all_fails) {
  std::vector<volume_info> found;
  EXPECT_FALSE(enumerate_volumes(machine, found, log));
  EXPECT_TRUE(found.empty());
  EXPECT_TRUE(logged("2 Enumerating disk volumes...\n0   FindFirstVolume() failed with 18\n"));
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

// ---- one volume's details

TEST_F(volumes, typical_ntfs_volume_log) {
  volume_setup s = setup_of(guid_a, L"\\Device\\HarddiskVolume2");
  s.ntfs_major = 3;
  s.ntfs_minor = 1;
  bool kept = false;
  const volume_info v = queried(s, &kept);
  EXPECT_TRUE(kept);
  auto timing = [&](const std::string& name) {
    return "3 " + name + std::string(60 - name.size(), ' ') + "        25 usec\n";
  };
  EXPECT_EQ(text(),
            "2 VolumePath                   [\\\\?\\Volume{a1b2c3d4-0000-4000-8000-00000000000a}\\]\n"
            "2 Name                         [System]\n"
            "2 Serial                       1A2B-3C4D\n"
            "2 Flags                        0x03e700ff\n"
            "2 FileSystem                   [NTFS]\n"
            "2 FreeDiskSpace                40000000000\n"
            "2 FreeDiskSpaceForUser         40000000000\n"
            "2 TotalDiskSpaceForUser        107373125632\n"
            "2 MountPoints:\n"
            "2    1. C:\\\n"
            "2 Opening volume...\n"
            "3   OK, with [GR] access\n"
            "2   IOCTL_DISK_GET_LENGTH_INFO\n"
            "2   Length (Size)              107373125632\n"
            "2   IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS\n"
            "2   Extents: 1\n"
            "2    1. DiskNumber             0\n"
            "2       StartingOffset         1048576\n"
            "2       ExtentLength           107373125632\n"
            "2   FSCTL_GET_NTFS_VOLUME_DATA\n"
            "2   [128 bytes]\n"
            "2   VolumeSerialNumber         1A2B3C4D5E6F7081\n"
            "2   NumberSectors              209713136\n"
            "2   TotalClusters              26214142\n"
            "2   FreeClusters               9765625\n"
            "2   TotalReserved              2048\n"
            "2   BytesPerSector             512\n"
            "2   BytesPerCluster            4096\n"
            "2   BytesPerFileRecordSegment  1024\n"
            "2   ClustersPerFileRecordSeg.  0\n"
            "2   MftValidDataLength         262144\n"
            "2   MftStartLcn                786432\n"
            "2   Mft2StartLcn               2\n"
            "2   MftZoneStart               786432\n"
            "2   MftZoneEnd                 838112\n"
            "2   Ext.ByteCount              32\n"
            "2   Ext.MajorVersion           3\n"
            "2   Ext.MinorVersion           1\n"
            "2   IOCTL_MOUNTDEV_QUERY_DEVICE_NAME\n"
            "2   Name                       [\\Device\\HarddiskVolume2]\n"
            "2   IOCTL_MOUNTDEV_QUERY_UNIQUE_ID\n"
            "2   UniqueIdLength             24\n"
            "2   UniqueID:\n"
            "2   0000 | 44 4D 49 4F 3A 49 44 3A  30 31 32 33 34 35 36 37 | DMIO:ID:01234567 |\n"
            "2   0010 | 38 39 3A 3B 3C 3D 3E 3F  __ __ __ __ __ __ __ __ | 89:;<=>?         |\n"
            "2   IOCTL_MOUNTDEV_QUERY_STABLE_GUID\n"
            "2   StableGuid                 0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9\n"
            "2   IOCTL_MOUNTDEV_QUERY_SUGGESTED_LINK_NAME\n"
            "2   UseOnlyIfThereAreNo...     0\n"
            "2   NameLength                 28 bytes\n"
            "2   Name                       [\\DosDevices\\C:]\n"
            "3 --- IOCTL timing ---\n" +
                timing("IOCTL_DISK_GET_LENGTH_INFO") + timing("IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS") +
                timing("FSCTL_GET_NTFS_VOLUME_DATA") + timing("IOCTL_MOUNTDEV_QUERY_DEVICE_NAME") +
                timing("IOCTL_MOUNTDEV_QUERY_UNIQUE_ID") + timing("IOCTL_MOUNTDEV_QUERY_STABLE_GUID") +
                timing("IOCTL_MOUNTDEV_QUERY_SUGGESTED_LINK_NAME"));
}

TEST_F(volumes, volume_without_file_system_is_kept_without_information) {
  volume_setup s = setup_of(guid_a, L"\\Device\\HarddiskVolume4");
  s.info_errors = {ERROR_UNRECOGNIZED_VOLUME};
  s.ntfs = false;
  bool kept = false;
  const volume_info v = queried(s, &kept);
  EXPECT_TRUE(kept);
  EXPECT_FALSE(v.has_info);
  EXPECT_EQ(v.info_error, 1005u);
  EXPECT_FALSE(v.is_locked);
  EXPECT_TRUE(v.file_system.empty());
  EXPECT_TRUE(v.label.empty());
  EXPECT_TRUE(logged("2 VolumePath                   [\\\\?\\Volume{a1b2c3d4-0000-4000-8000-00000000000a}\\]\n"
                     "0   GetVolumeInformation() failed with 1005\n"
                     "2 FreeDiskSpace                40000000000\n"));
  EXPECT_FALSE(logged("Checking"));
}

TEST_F(volumes, bitlocker_locked_volume_is_kept_and_marked) {
  volume_setup s = setup_of(guid_a, L"\\Device\\HarddiskVolume5");
  s.info_errors = {0x80310000};
  bool kept = false;
  const volume_info v = queried(s, &kept);
  EXPECT_TRUE(kept);
  EXPECT_TRUE(v.is_locked);
  EXPECT_FALSE(v.has_info);
  EXPECT_EQ(v.info_error, 0x80310000u);
  EXPECT_TRUE(v.file_system.empty());
  EXPECT_TRUE(logged("0   GetVolumeInformation() failed with 80310000\n2 FreeDiskSpace"));
  EXPECT_FALSE(logged("Checking"));
}

TEST_F(volumes, vanished_volume_is_discarded) {
  volume_setup s = setup_of(guid_a, L"\\Device\\HarddiskVolume6");
  s.info_errors = {0, ERROR_NOT_READY};
  s.passes = 1;  // the second enumeration no longer sees it
  bool kept = true;
  queried(s, &kept);
  EXPECT_FALSE(kept);
  EXPECT_EQ(text(),
            "2 VolumePath                   [\\\\?\\Volume{a1b2c3d4-0000-4000-8000-00000000000a}\\]\n"
            "0   GetVolumeInformation() failed with 21\n"
            "3   Checking if the volume is still present...\n"
            "3     No. Volume ignored.\n");
  EXPECT_TRUE(machine.opens.empty());
}

TEST_F(volumes, volume_found_again_is_replaced_and_queried_on) {
  volume_setup s = setup_of(guid_a, L"\\Device\\HarddiskVolume6");
  s.info_errors = {0, ERROR_NOT_READY, 0};
  add_volume(machine, s);
  volume_info v = listed();
  v.label = L"stale";
  v.serial_number = 7;
  ASSERT_TRUE(query_volume(machine, v, log));
  EXPECT_TRUE(logged("3   Checking if the volume is still present...\n"
                     "3     Yes. Volume retained.\n"
                     "2 FreeDiskSpace                40000000000\n"));
  EXPECT_FALSE(logged("Enumerating"));  // the re-check logs nowhere
  EXPECT_EQ(v.nt_device_name, L"\\Device\\HarddiskVolume6");
  EXPECT_EQ(v.interface_path, interface_path_of(s));
  EXPECT_TRUE(v.label.empty());
  EXPECT_EQ(v.serial_number, 0u);
  EXPECT_FALSE(v.has_info);
  EXPECT_EQ(v.open_access, DWORD(GENERIC_READ));
  EXPECT_EQ(v.extents.size(), 1u);
}

TEST_F(volumes, volume_without_interface_cannot_be_found_again) {
  volume_setup s = setup_of(guid_a, L"\\Device\\HarddiskVolume6");
  s.has_interface = false;
  s.info_errors = {0, ERROR_NOT_READY, 0};
  bool kept = true;
  queried(s, &kept);
  EXPECT_FALSE(kept);
  EXPECT_TRUE(logged("3     No. Volume ignored.\n"));
}

// ---- RAM disks

struct ram_case {
  const char* name;
  bool dummy_extents, numbered_name, long_id, no_stable_guid;
  bool ram_disk;
};

TEST_F(volumes, ram_disk_needs_all_four_signs) {
  const ram_case cases[] = {
      {"all four", true, true, true, true, true},
      {"real extents", false, true, true, true, false},
      {"named device", true, false, true, true, false},
      {"short id", true, true, false, true, false},
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

TEST_F(volumes, ram_disk_length_and_dummy_set) {
  volume_setup s = ram_disk_setup();
  s.length_error = ERROR_INVALID_FUNCTION;
  s.free = {1073000000, 1073741824, 1073000000};
  const volume_info v = queried(s);
  EXPECT_TRUE(v.is_ram_disk);
  EXPECT_TRUE(v.extents.empty());
  EXPECT_EQ(v.length, 1073741824u);  // the dummy extent's length is gone; free space tells it
  EXPECT_TRUE(logged("2   Extents: 1\n"
                     "2    1. DiskNumber             4294967295\n"
                     "2       StartingOffset         0\n"
                     "2       ExtentLength           1073741824\n"
                     "2   Dummy extent set, ignored (SoftPerfect RamDisk?)\n"));
  EXPECT_TRUE(logged("2 EstimatedSize                1073741824\n3 --- IOCTL timing ---\n"));
}

TEST_F(volumes, secdisc_in_the_device_name_alone_makes_a_ram_disk) {
  volume_setup s = setup_of(guid_a, L"\\Device\\SecdiscVolume1");
  EXPECT_TRUE(queried(s).is_ram_disk);
  machine = fake_machine();
  s.device_name = L"\\Device\\SECDISCVolume1";  // the match is exact
  EXPECT_FALSE(queried(s).is_ram_disk);
}

// ---- extents and sizes

TEST_F(volumes, spanned_volume_lists_both_disks) {
  volume_setup s = setup_of(guid_a, L"\\Device\\HarddiskVolume7");
  s.extents = {{3, 1048576, 500107862016ull}, {1, 135266304, 1000204886016ull}};
  const volume_info v = queried(s);
  ASSERT_EQ(v.extents.size(), 2u);
  EXPECT_EQ(v.extents[0].disk_number, 3u);
  EXPECT_EQ(v.extents[1].disk_number, 1u);
  EXPECT_EQ(v.extents[1].offset, 135266304u);
  EXPECT_EQ(v.extents[1].length, 1000204886016ull);
  EXPECT_EQ(v.extents[1].link, -1);
  EXPECT_FALSE(v.is_ram_disk);
  std::vector<uint32_t> numbers{99};
  EXPECT_TRUE(drive_disk_numbers(v, numbers));
  EXPECT_EQ(numbers, (std::vector<uint32_t>{1, 3}));
  EXPECT_TRUE(logged("2   Extents: 2\n"));
  EXPECT_TRUE(logged("2    2. DiskNumber             1\n"
                     "2       StartingOffset         135266304\n"
                     "2       ExtentLength           1000204886016\n"));
}

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

TEST_F(volumes, failed_length_is_estimated_from_extents) {
  volume_setup s = setup_of(guid_a, L"\\Device\\HarddiskVolume8");
  s.length_error = ERROR_INVALID_FUNCTION;
  s.extents = {{0, 1048576, 1000000000}, {1, 2097152, 234567}};
  const volume_info v = queried(s);
  EXPECT_EQ(v.length, 1000234567u);
  EXPECT_TRUE(logged("2   IOCTL_DISK_GET_LENGTH_INFO\n0     DeviceIoControl() failed with 1\n"
                     "2   IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS\n"));
  EXPECT_FALSE(logged("Length (Size)"));
  EXPECT_TRUE(logged("2 EstimatedSize                1000234567\n"));
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

TEST_F(volumes, short_length_reply_is_reported_and_not_logged) {
  fake_device& d = add_volume(machine, setup_of(guid_a, L"\\Device\\HarddiskVolume8"));
  d.replies[IOCTL_DISK_GET_LENGTH_INFO].bytes = reply_writer().u32(0x12345678).done();
  volume_info v = listed();
  query_volume(machine, v, log);
  EXPECT_TRUE(logged("2   IOCTL_DISK_GET_LENGTH_INFO\n0     CheckReponseSize() failed with ffffffff, 4 8 8\n"));
  EXPECT_FALSE(logged("Length (Size)"));
  EXPECT_EQ(v.length, 0xFFFFFFFF12345678ull);  // what came back, over the unknown value
}

TEST_F(volumes, extents_reply_shorter_than_its_count_is_ignored) {
  fake_device& d = add_volume(machine, setup_of(guid_a, L"\\Device\\HarddiskVolume8"));
  std::vector<uint8_t> reply = disk_extents_reply({{0, 1048576, 1000}, {1, 1048576, 1000}});
  reply.resize(8 + 24);
  d.replies[IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS].bytes = reply;
  volume_info v = listed();
  query_volume(machine, v, log);
  EXPECT_TRUE(v.extents.empty());
  EXPECT_TRUE(logged("2   IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS\n0     CheckResponseSpec() failed with 11114, 56 32\n"
                     "2   FSCTL_GET_NTFS_VOLUME_DATA\n"));
}

TEST_F(volumes, ntfs_data_needs_96_bytes_and_versions_need_the_extended_block) {
  fake_device& d = add_volume(machine, setup_of(guid_a, L"\\Device\\HarddiskVolume8"));
  std::vector<uint8_t> reply = ntfs_data_reply(volume_setup().ntfs_data);
  reply.resize(80);
  d.replies[FSCTL_GET_NTFS_VOLUME_DATA].bytes = reply;
  volume_info v = listed();
  query_volume(machine, v, log);
  EXPECT_FALSE(v.has_ntfs_data);
  EXPECT_TRUE(logged("2   FSCTL_GET_NTFS_VOLUME_DATA\n0     CheckReponseSize() failed with ffffffff, 80 96 65536\n"
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

// ---- opening

TEST_F(volumes, unopenable_volume_keeps_what_it_had) {
  volume_setup s = setup_of(guid_a, L"\\Device\\HarddiskVolume9");
  s.accepted_access = {GENERIC_WRITE};
  s.free = {1000, 5000, 1000};  // no quota: an opened volume would take 5000 as its size
  const volume_info v = queried(s);
  EXPECT_EQ(v.open_access, unknown_u32);
  EXPECT_EQ(v.length, unknown_u64);
  EXPECT_TRUE(v.extents.empty());
  EXPECT_FALSE(v.has_ntfs_data);
  EXPECT_TRUE(v.has_info);
  EXPECT_EQ(v.mount_points, std::vector<std::wstring>{L"C:\\"});
  const std::wstring path = device_path_of(s);
  EXPECT_EQ(machine.opens, (std::vector<std::wstring>{path + L"|2147483648", path + L"|128"}));
  EXPECT_TRUE(logged("2 Opening volume...\n"
                     "0   CreateFile() failed with 5, GR\n"
                     "0   CreateFile() failed with 5, RA\n"
                     "3   Failed\n"
                     "3 --- IOCTL timing ---\n"));
  EXPECT_FALSE(logged("IOCTL_"));
}

TEST_F(volumes, attributes_access_is_the_second_try) {
  volume_setup s = setup_of(guid_a, L"\\Device\\HarddiskVolume9");
  s.accepted_access = {FILE_READ_ATTRIBUTES};
  const volume_info v = queried(s);
  EXPECT_EQ(v.open_access, 0x80u);
  EXPECT_EQ(v.length, s.length);
  EXPECT_TRUE(logged("0   CreateFile() failed with 5, GR\n3   OK, with [RA] access\n"));
}

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
  EXPECT_TRUE(logged("2   IOCTL_MOUNTDEV_QUERY_SUGGESTED_LINK_NAME\n0     DeviceIoControl() failed with 1168\n"
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
  } labels[] = {{10, L"Simple"},           {11, L"Spanned"},
                {12, L"Striped / RAID 0"}, {13, L"Mirrored / RAID 1"},
                {14, L"With parity / RAID 5"}, {0, L"?"},
                {9, L"?"},                 {15, L"?"}};
  for (const auto& l : labels) EXPECT_STREQ(vds_volume_type_label(l.type), l.label) << l.type;
}

TEST_F(volumes, numbered_volumes_stand_apart) {
  add_volume(machine, numbered_volume(1, L'C', {{0, 1048576, 4000}, {1, 1048576, 500}}));
  add_volume(machine, numbered_volume(12, 0, {{2, 2097152, 7000}}));
  std::vector<volume_info> found = enumerate();
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].volume_name, L"\\\\?\\Volume{a1b2c3d4-0000-4000-8000-000000000001}\\");
  EXPECT_EQ(found[1].volume_name, L"\\\\?\\Volume{a1b2c3d4-0000-4000-8000-00000000000c}\\");
  EXPECT_EQ(found[1].nt_device_name, L"\\Device\\HarddiskVolume12");
  for (volume_info& v : found) EXPECT_TRUE(query_volume(machine, v, log));
  EXPECT_EQ(found[0].length, 4500u);
  EXPECT_EQ(found[0].mount_points, std::vector<std::wstring>{L"C:\\"});
  EXPECT_EQ(found[0].extents.size(), 2u);
  EXPECT_EQ(found[1].length, 7000u);
  EXPECT_TRUE(found[1].mount_points.empty());
  storage_stack model;
  model.volumes = found;
  EXPECT_EQ(volume_letters_mask(model), 1u << 2);
}

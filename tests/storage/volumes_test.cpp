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

volume_spec spec_of(const wchar_t* guid, const wchar_t* device) {
  volume_spec s;
  s.guid = guid;
  s.device_name = device;
  return s;
}

// All four signs a RAM-disk driver shows.
volume_spec ram_disk_spec() {
  volume_spec s = spec_of(guid_a, L"\\Device\\0000A1F3");
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
  volume_info queried(const volume_spec& spec, bool* kept = nullptr) {
    add_volume(machine, spec);
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
  add_volume(machine, spec_of(guid_a, L"\\Device\\HarddiskVolume1"));
  volume_spec b = spec_of(guid_b, L"\\Device\\HarddiskVolume2");
  b.has_interface = false;
  add_volume(machine, b);
  const std::vector<volume_info> found = enumerate();
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].nt_device_name, L"\\Device\\HarddiskVolume1");
  EXPECT_EQ(found[0].interface_path, interface_path_of(spec_of(guid_a, L"")));
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
  volume_spec gone = spec_of(guid_a, L"\\Device\\HarddiskVolume1");
  gone.info_errors = {ERROR_PATH_NOT_FOUND};
  add_volume(machine, gone);
  add_volume(machine, spec_of(guid_b, L"\\Device\\HarddiskVolume2"));
  const std::vector<volume_info> found = enumerate();
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].volume_name, volume_name_of(spec_of(guid_b, L"")));
  EXPECT_TRUE(logged("2     GetVolumeInformation() failed with 3\n2     ** Path not found -- ignored\n"));
}

TEST_F(volumes, other_information_failures_stay_listed) {
  for (DWORD error : {DWORD(ERROR_UNRECOGNIZED_VOLUME), DWORD(0x80310000), DWORD(ERROR_NOT_READY)}) {
    volume_spec s = spec_of(guid_a, L"\\Device\\HarddiskVolume1");
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
  volume_spec a = spec_of(guid_a, L"\\Device\\HarddiskVolume1");
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
  add_volume(machine, spec_of(guid_a, L"\\Device\\HarddiskVolume1"));
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
  add_volume(machine, spec_of(guid_a, L"\\Device\\HarddiskVolume1"));
  const std::vector<volume_info> found = enumerate();
  ASSERT_EQ(found.size(), 1u);
  EXPECT_TRUE(found[0].interface_path.empty());
  EXPECT_TRUE(logged("2 Enumerating volume paths...\n0   SetupDiGetClassDevs() failed with 5\n2 ---\n"));
  EXPECT_FALSE(logged("VolumeSymlink"));
}

TEST_F(volumes, unnamed_volume_is_reported_with_its_name) {
  add_volume(machine, spec_of(guid_a, L"\\Device\\HarddiskVolume1"));
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
  add_volume(machine, spec_of(guid_a, L"\\Device\\HarddiskVolume1"));
  add_volume(machine, spec_of(guid_b, L"\\Device\\HarddiskVolume2"));
  std::wstring filter = interface_path_of(spec_of(guid_b, L""));
  for (wchar_t& c : filter) c = wchar_t(towupper(c));
  const std::vector<volume_info> found = enumerate(&filter);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].nt_device_name, L"\\Device\\HarddiskVolume2");
}

TEST_F(volumes, filter_without_its_interface_stops_early) {
  add_volume(machine, spec_of(guid_a, L"\\Device\\HarddiskVolume1"));
  const std::wstring filter = L"\\\\?\\STORAGE#Volume#nowhere";
  std::vector<volume_info> found;
  EXPECT_FALSE(enumerate_volumes(machine, found, log, &filter));
  EXPECT_TRUE(found.empty());
  EXPECT_TRUE(logged("2 Not found: \\\\?\\STORAGE#Volume#nowhere\n"));
  EXPECT_FALSE(logged("Enumerating disk volumes"));
}

// ---- one volume's details

TEST_F(volumes, typical_ntfs_volume_log) {
  volume_spec s = spec_of(guid_a, L"\\Device\\HarddiskVolume2");
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

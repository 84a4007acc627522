// The Virtual Disk Service phase: reaching the service, walking its objects (and releasing every
// one of them), and matching its volumes and extents to the scanned volumes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "captured_log.h"
#include "drive_replies.h"
#include "fake_vds.h"
#include "storage/vds.h"

namespace {
constexpr uint64_t gib = 1ull << 30;

std::string walk(fake_vds& vds, std::vector<vds_item>& items, bool& reached) {
  captured_log out;
  reached = query_vds(vds, items, out.log);
  return out.text();
}

volume_extent extent(uint32_t disk, uint64_t offset, uint64_t length) {
  volume_extent e;
  e.disk_number = disk;
  e.offset = offset;
  e.length = length;
  return e;
}

// A pack of two disks (the second no longer in the pack's list) with a striped volume across them.
fake_vds_provider dynamic_provider() {
  fake_vds_pack pack;
  pack.disks = {{test_guid(0xA0), L"\\\\?\\PhysicalDrive0", 500 * gib, L"Disk 0"},
                {test_guid(0xA2), L"\\\\?\\Disk{00000000-0000-0000-0000-000000000000}", 500 * gib, L"Odd"}};
  fake_vds_volume striped;
  striped.name = L"\\\\?\\GLOBALROOT\\Device\\HarddiskDmVolumes\\PCDg0\\Volume2";
  striped.type = 12;
  fake_vds_plex plex;
  plex.members = 3;
  plex.extents = {{test_guid(0xA0), gib, 10 * gib, 0},       // matches the volume's first extent
                  {test_guid(0xA1), gib, 10 * gib, 1},       // a disk VDS no longer lists
                  {test_guid(0xA0), 90 * gib, 10 * gib, 2},  // no extent of the volume there
                  {test_guid(0xA2), gib, 10 * gib, 2}};      // a disk without a drive number
  striped.plexes = {plex};
  fake_vds_volume spare;
  spare.name = L"\\\\?\\GLOBALROOT\\Device\\HarddiskDmVolumes\\PCDg0\\Volume9";
  pack.volumes = {striped, spare};
  fake_vds_provider p;
  p.name = L"";  // a provider without a name
  p.packs = {pack};
  return p;
}
}  // namespace

TEST(vds, service_out_of_reach) {
  fake_vds vds;
  std::vector<vds_item> items;
  bool reached = true;
  EXPECT_EQ(walk(vds, items, reached), "2 Querying VDS...\n0   CoCreateInstance() failed with 80040154\n");
  EXPECT_FALSE(reached);

  vds.loader_error = S_OK;
  vds.load_error = E_ACCESSDENIED;
  EXPECT_NE(walk(vds, items, reached).find("0   IVdsServiceLoader::LoadService() failed with 80070005\n"),
            std::string::npos);
  EXPECT_FALSE(reached);

  vds.load_error = S_OK;
  vds.ready_error = 0x80042401;  // VDS_E_INITIALIZED_FAILED
  EXPECT_NE(walk(vds, items, reached).find("0   IVdsService::WaitForServiceReady() failed with 80042401\n"),
            std::string::npos);
  EXPECT_FALSE(reached);

  // The service answers but lists nothing: reached, no items.
  vds.ready_error = S_OK;
  vds.fail = [](const char* call) { return std::string(call) == "IVdsService::QueryProviders" ? E_FAIL : S_OK; };
  EXPECT_NE(walk(vds, items, reached).find("0   IVdsService::QueryProviders() failed with 80004005\n"),
            std::string::npos);
  EXPECT_TRUE(reached);
  EXPECT_TRUE(items.empty());
  EXPECT_EQ(vds.live_objects(), 0);
}

// Right after it is started the service is still gathering its disks: the walk waits for it.
TEST(vds, a_service_just_started_is_waited_for) {
  fake_vds vds;
  vds.loader_error = S_OK;
  vds.starting = true;
  vds.providers = {dynamic_provider()};
  std::vector<vds_item> items;
  bool reached = false;
  const std::string log = walk(vds, items, reached);
  EXPECT_TRUE(reached);
  EXPECT_NE(log.find("2  1. [<null>]\n"), std::string::npos) << log;
  EXPECT_EQ(items.size(), 2u);
  EXPECT_EQ(vds.live_objects(), 0);
}

TEST(vds, walk_and_match) {
  fake_vds vds;
  vds.loader_error = S_OK;
  vds.providers = {dynamic_provider()};
  fake_vds_provider hardware;
  hardware.name = L"Vendor Hardware Provider";
  hardware.software = false;
  vds.providers.push_back(hardware);
  std::vector<vds_item> items;
  bool reached = false;
  const std::string log = walk(vds, items, reached);
  EXPECT_TRUE(reached);
  EXPECT_EQ(vds.live_objects(), 0);
  EXPECT_NE(log.find("2  1. [<null>]\n"), std::string::npos);
  EXPECT_NE(log.find("2  2. [Vendor Hardware Provider]\n"), std::string::npos);
  EXPECT_NE(log.find("0       IUnknown::QueryInterface() failed with 80004002, IVdsSwProvider\n"), std::string::npos)
      << log;
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0].type, 12u);
  ASSERT_EQ(items[0].extents.size(), 4u);
  EXPECT_TRUE(items[0].extents[1].disk_name.empty());

  std::vector<volume_info> volumes(2);
  volumes[0].nt_device_name = L"\\Device\\HarddiskVolume1";  // no VDS item: a basic volume
  volumes[1].nt_device_name = L"\\Device\\HarddiskDmVolumes\\PCDg0\\Volume2";
  volumes[1].extents = {extent(0, gib, 10 * gib)};
  captured_log out;
  match_vds(volumes, items, out.log);
  EXPECT_EQ(out.text(),
            "2 Matching volumes to VDS info...\n"
            "2 Volume 1 matched to VDS item 0\n"
            "2   Matching volume extents...\n"
            "2     VDS extent 0 - matched to extent 0\n"
            "2     VDS extent 1 - on a missing drive, added\n"
            "2     VDS extent 2 - disk 0, offset 96636764160, size 10737418240 - NO MATCH\n"
            "2     VDS extent 3 - bad disk name [\\\\?\\Disk{00000000-0000-0000-0000-000000000000}]\n"
            "2 Unused VDS item 1, [\\\\?\\GLOBALROOT\\Device\\HarddiskDmVolumes\\PCDg0\\Volume9]\n");
  EXPECT_FALSE(volumes[0].vds_matched);
  ASSERT_TRUE(volumes[1].vds_matched);
  EXPECT_EQ(volumes[1].vds_volume_type, 12u);
  ASSERT_EQ(volumes[1].extents.size(), 2u);
  EXPECT_EQ(volumes[1].extents[1].disk_number, 0xFFFFFFFFu);
  EXPECT_EQ(volumes[1].extents[1].member_index, 1u);
  EXPECT_TRUE(items[0].used);
  EXPECT_FALSE(items[1].used);
}

TEST(vds, failing_calls_are_reported_and_the_walk_goes_on) {
  fake_vds vds;
  vds.loader_error = S_OK;
  vds.providers = {dynamic_provider()};
  vds.fail = [](const char* call) {
    const std::string c = call;
    return c == "IVdsPack::QueryDisks" || c == "IVdsVolumePlex::QueryExtents" ? HRESULT(0x80042405) : S_OK;
  };
  std::vector<vds_item> items;
  bool reached = false;
  const std::string log = walk(vds, items, reached);
  EXPECT_TRUE(reached);
  EXPECT_NE(log.find("0           IVdsPack::QueryDisks() failed with 80042405\n"), std::string::npos) << log;
  EXPECT_NE(log.find("0                   IVdsVolumePlex::QueryExtents() failed with 80042405\n"), std::string::npos)
      << log;
  ASSERT_EQ(items.size(), 2u);  // the volumes are still listed, without extents
  EXPECT_TRUE(items[0].extents.empty());
  EXPECT_EQ(vds.live_objects(), 0);
}

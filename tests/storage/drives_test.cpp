#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "drive_replies.h"

#include <winioctl.h>
#include "storage/drives.h"

namespace {
constexpr uint64_t mib = 1ull << 20;

struct captured {
  capturing_logger* lines = new capturing_logger;
  indenting_logger* log = new indenting_logger(lines);
  captured() { lines->set_keep_prefix(true); }
  ~captured() {
    log->release();
    lines->release();
  }
  std::string text() {
    std::string all;
    for (const std::string& l : lines->lines()) all += l;
    return all;
  }
  bool has(const std::string& line) {
    for (const std::string& l : lines->lines())
      if (l == line) return true;
    return false;
  }
  size_t count_containing(const std::string& part) {
    size_t n = 0;
    for (const std::string& l : lines->lines()) n += l.find(part) != std::string::npos;
    return n;
  }
};

class drives : public ::testing::Test {
 protected:
  fake_machine machine;
  captured out;
  std::vector<drive_info> found;

  void TearDown() override { EXPECT_EQ(machine.open_handles(), 0); }

  void enumerate() { enumerate_drives(machine, found, out.log); }
  // Enumerates and queries the only disk.
  drive_info& scan_one() {
    enumerate();
    EXPECT_EQ(found.size(), 1u);
    if (found.empty()) found.emplace_back();
    query_drive(machine, found[0], scan_options{}, out.log);
    return found[0];
  }
};

fake_disk gpt_disk() {
  fake_disk d;
  d.disk_id = test_guid(0xA1B2C3D4);
  fake_partition efi;
  efi.number = 1;
  efi.offset = 1 * mib;
  efi.length = 100 * mib;
  efi.gpt_type = test_guid(0xC12A7328);
  efi.gpt_id = test_guid(0x00000001);
  efi.gpt_attributes = 0x8000000000000000ull;
  efi.gpt_name = L"EFI system partition";
  fake_partition data = efi;
  data.number = 2;
  data.offset = 101 * mib;
  data.length = 900 * mib;
  data.gpt_type = basic_data_type;
  data.gpt_id = test_guid(0x00000002);
  data.gpt_attributes = 0;
  data.gpt_name = L"Basic data partition";
  d.partitions = {efi, data};
  return d;
}

fake_disk mbr_disk() {
  fake_disk d;
  d.layout = mbr_layout;
  fake_partition a;
  a.number = 1;
  a.offset = 1 * mib;
  a.length = 500 * mib;
  a.boot = true;
  a.hidden_sectors = 2048;
  fake_partition b = a;
  b.number = 2;
  b.offset = 501 * mib;
  b.boot = false;
  b.hidden_sectors = 1026048;
  d.partitions = {a, b};
  return d;
}
}  // namespace

TEST_F(drives, acronis_virtual_disk_never_enters) {
  fake_disk acronis;
  acronis.instance_id = L"ACRONISVBUS\\VirtualDisk\\1&2";
  add_disk(machine, acronis);
  fake_disk plain;
  plain.number = 1;
  add_disk(machine, plain);
  enumerate();
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].device_number, 1u);
  EXPECT_TRUE(out.has("2     ** Acronis virtual disk -- ignored\n"));
}

TEST_F(drives, read_attributes_only_open_keeps_descriptors_and_partitions) {
  fake_disk d = gpt_disk();
  d.accepted_access = {FILE_READ_ATTRIBUTES};
  add_disk(machine, d);
  drive_info& drive = scan_one();
  EXPECT_TRUE(drive.opened);
  EXPECT_EQ(drive.open_access, DWORD(FILE_READ_ATTRIBUTES));
  EXPECT_TRUE(out.has("3   OK, with [RA] access\n"));
  EXPECT_TRUE(out.has("0   CreateFile() failed with 5, GR+GW\n"));
  EXPECT_TRUE(out.has("0   CreateFile() failed with 5, GR\n"));
  EXPECT_TRUE(out.has("0   CreateFile() failed with 5, RD+RA\n"));
  const std::vector<std::wstring> opens(machine.opens.end() - 4, machine.opens.end());
  EXPECT_EQ(opens, (std::vector<std::wstring>{L"\\\\.\\PhysicalDrive0|3221225472", L"\\\\.\\PhysicalDrive0|2147483648",
                                              L"\\\\.\\PhysicalDrive0|129", L"\\\\.\\PhysicalDrive0|128"}));
  EXPECT_EQ(drive.product_org, "ST1000DM003-1ER162");
  EXPECT_EQ(drive.layout_style, 2u);
  ASSERT_EQ(drive.partitions.size(), 2u);
  EXPECT_EQ(drive.partitions[1].gpt_name, L"Basic data partition");
}

TEST_F(drives, mbr_lists_every_slot_but_keeps_used_ones) {
  add_disk(machine, mbr_disk());
  drive_info& drive = scan_one();
  EXPECT_EQ(out.count_containing(". PartitionNumber        "), 4u);
  EXPECT_TRUE(out.has("2    4. PartitionNumber        0\n"));
  EXPECT_EQ(drive.layout_style, 1u);
  ASSERT_EQ(drive.partitions.size(), 2u);
  EXPECT_EQ(drive.partitions[0].mbr_type, 0x07);
  EXPECT_TRUE(drive.partitions[0].boot);
  EXPECT_EQ(drive.partitions[1].hidden_sectors, 1026048u);
  EXPECT_EQ(drive.partitions[1].offset, 501 * mib);
}

TEST_F(drives, usb_mass_storage_gets_the_host_controller_name) {
  fake_disk d;
  d.parent_id = L"USB\\VID_0781&PID_5581\\4C530001";
  d.parent_class = L"USB";
  d.parent_desc = L"USB Mass Storage Device";
  d.above_parent = {{L"USB\\ROOT_HUB30\\4&1", L"USB", L"USB Root Hub (USB 3.0)"},
                    {L"PCI\\VEN_8086&DEV_A12F\\3&1", L"USB", L"Intel(R) USB 3.0 eXtensible Host Controller"}};
  add_disk(machine, d);
  enumerate();
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].controller_name, L"Intel(R) USB 3.0 eXtensible Host Controller");
  EXPECT_EQ(found[0].parent_vendor_id, 0x0781);
  EXPECT_EQ(found[0].parent_product_id, 0x5581);
  EXPECT_TRUE(out.has("2       USB controller             Intel(R) USB 3.0 eXtensible Host Controller\n"));
}

TEST_F(drives, usb_walk_stops_at_a_node_of_another_class) {
  fake_disk d;
  d.parent_class = L"USB";
  d.parent_desc = L"USB Mass Storage Device";
  d.above_parent = {{L"ACPI\\1", L"System", L"PCI Express Root Controller"}};
  add_disk(machine, d);
  enumerate();
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].controller_name, L"USB Mass Storage Device");
  EXPECT_EQ(out.count_containing("USB controller"), 0u);
}

TEST_F(drives, vendor_with_a_non_ascii_byte_is_empty) {
  fake_disk d;
  d.vendor = "WD\xA0";
  add_disk(machine, d);
  drive_info& drive = scan_one();
  EXPECT_EQ(drive.vendor_org, "");
  EXPECT_EQ(drive.product_org, "ST1000DM003-1ER162");
  EXPECT_EQ(drive.serial, "Z4Y8B2QK");
  EXPECT_EQ(drive.serial_raw, "            Z4Y8B2QK");
}

TEST_F(drives, no_trim_or_seek_penalty_query_before_windows_7) {
  for (int index : {4, 5}) {
    fake_machine m;
    m.os_index = index;
    add_disk(m, fake_disk());
    captured c;
    std::vector<drive_info> list;
    enumerate_drives(m, list, c.log);
    ASSERT_EQ(list.size(), 1u);
    query_drive(m, list[0], scan_options{}, c.log);
    EXPECT_EQ(list[0].trim_enabled, unknown_u32) << index;
    EXPECT_EQ(list[0].incurs_seek_penalty, unknown_u32) << index;
    EXPECT_EQ(c.count_containing("StorageDeviceTrim"), 0u) << index;
    EXPECT_EQ(c.count_containing("StorageDeviceSeekPenalty"), 0u) << index;
    EXPECT_EQ(m.open_handles(), 0);
  }
  machine.os_index = 6;
  add_disk(machine, fake_disk());
  drive_info& drive = scan_one();
  EXPECT_EQ(drive.trim_enabled, 0u);
  EXPECT_EQ(drive.incurs_seek_penalty, 1u);
}

TEST(descriptor_string, extraction_rules) {
  const std::string reply("\0ABC  \0  pad  \0tab\there\0hi\xA0\0\x7F\0   \0tail", 38);
  const auto* bytes = reinterpret_cast<const uint8_t*>(reply.data());
  const struct {
    size_t offset;
    bool trim;
    const char* expected;
  } cases[] = {
      {0, true, ""},            // offset 0 means absent
      {1, false, "ABC  "},      // up to the NUL
      {1, true, "ABC"},         //
      {7, true, "pad"},         // both ends trimmed
      {7, false, "  pad  "},    //
      {15, true, ""},           // a control character
      {24, true, ""},           // a byte of 0x80 and above
      {28, true, ""},           // DEL
      {30, true, ""},           // blanks only
      {34, true, "tail"},       // ends with the reply, no NUL
      {38, true, ""},           // at the end
      {1000, true, ""},         // past the end
  };
  for (const auto& c : cases)
    EXPECT_EQ(descriptor_string(bytes, reply.size(), c.offset, c.trim), c.expected) << c.offset << " " << c.trim;
}

TEST_F(drives, interface_detail_failure_skips_only_that_interface) {
  add_disk(machine, fake_disk());
  fake_disk second;
  second.number = 1;
  add_disk(machine, second);
  machine.disk_interfaces[0].detail_error = ERROR_ACCESS_DENIED;
  enumerate();
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].device_number, 1u);
  EXPECT_TRUE(out.has("0   SetupDiGetDeviceInterfaceDetail() failed with 5, 0\n"));
  EXPECT_EQ(out.log->indentation(), 0);
}

TEST_F(drives, device_id_failure_skips_the_interface) {
  add_disk(machine, fake_disk());
  machine.nodes[disk_devinst(fake_disk())].id_error = 0x0D;
  enumerate();
  EXPECT_TRUE(found.empty());
  EXPECT_TRUE(out.has("0       CM_Get_Device_ID() failed with 13, 0\n"));
  EXPECT_EQ(out.log->indentation(), 0);
}

TEST_F(drives, parent_failures_are_reported_and_the_drive_kept) {
  fake_disk d;
  add_disk(machine, d);
  machine.nodes[parent_devinst(d)].id_error = 0x0D;
  enumerate();
  ASSERT_EQ(found.size(), 1u);
  EXPECT_TRUE(out.has("0       CM_Get_Device_ID() failed with 13\n"));
  EXPECT_EQ(found[0].parent_devinst, parent_devinst(d));
  EXPECT_EQ(found[0].parent_instance_id, L"");
  EXPECT_EQ(found[0].controller_name, L"");
}

TEST_F(drives, interface_that_does_not_open_is_dropped) {
  fake_disk d;
  add_disk(machine, d);
  machine.devices.erase(disk_interface_path(d));
  enumerate();
  EXPECT_TRUE(found.empty());
  EXPECT_TRUE(out.has("0       CreateFile() failed with 2, " +
                      std::string("\\\\?\\scsi#disk&ven_&prod_st1000dm003-1er1#4&2a0c7e1&0&000000#"
                                  "{53f56307-b6bf-11d0-94f2-00a0c91efb8b}\n")));
}

TEST_F(drives, device_number_failure_drops_the_interface) {
  fake_disk d;
  add_disk(machine, d);
  machine.devices[disk_interface_path(d)].replies.clear();
  enumerate();
  EXPECT_TRUE(found.empty());
  EXPECT_TRUE(out.has("0       DeviceIoControl() failed with 1\n"));
}

TEST_F(drives, class_set_failure_reports_and_finds_nothing) {
  machine.disk_set_error = ERROR_ACCESS_DENIED;
  add_disk(machine, fake_disk());
  EXPECT_FALSE(enumerate_drives(machine, found, out.log));
  EXPECT_TRUE(found.empty());
  EXPECT_EQ(out.text(), "0   SetupDiGetClassDevs() failed with 5\n");
}

TEST_F(drives, missing_dos_device_is_reported) {
  fake_disk d;
  d.msdos_device.clear();
  add_disk(machine, d);
  enumerate();
  ASSERT_EQ(found.size(), 1u);
  EXPECT_TRUE(out.has("0       QueryDosDevice() failed with 2, PhysicalDrive0\n"));
  EXPECT_EQ(found[0].msdos_device, L"");
}

TEST_F(drives, all_opens_failing_leave_no_geometry_or_layout) {
  fake_disk d = gpt_disk();
  d.accepted_access = {FILE_WRITE_DATA};
  add_disk(machine, d);
  enumerate();
  ASSERT_EQ(found.size(), 1u);
  EXPECT_FALSE(query_drive(machine, found[0], scan_options{}, out.log));
  EXPECT_FALSE(found[0].opened);
  EXPECT_EQ(found[0].open_access, unknown_u32);
  EXPECT_FALSE(found[0].has_geometry);
  EXPECT_EQ(found[0].layout_style, 0u);
  EXPECT_EQ(out.count_containing("CreateFile() failed with 5, "), 4u);
  EXPECT_TRUE(out.has("3   Failed\n"));
  EXPECT_EQ(out.count_containing("IOCTL"), 1u);  // only the enumeration's device number
}

TEST_F(drives, open_without_reporting_is_silent) {
  fake_disk d;
  d.accepted_access = {FILE_READ_ATTRIBUTES};
  add_disk(machine, d);
  drive_info drive;
  drive.device_path = L"\\\\.\\PhysicalDrive0";
  device_query query(machine, out.log);
  scoped_api_handle h(machine, open_drive(query, drive, false));
  EXPECT_TRUE(h);
  EXPECT_EQ(out.text(), "2 Opening device...\n3   OK, with [RA] access\n");
}

TEST_F(drives, short_adapter_reply_is_ignored) {
  fake_disk d;
  d.adapter_bus_type = 8;
  add_disk(machine, d);
  std::vector<uint8_t>& bytes = disk_device(machine, d).property_replies[1].bytes;
  bytes.resize(20);
  drive_info& drive = scan_one();
  EXPECT_EQ(drive.adapter_bus_type, 0u);
  EXPECT_TRUE(out.has("0   CheckReponseSize() failed with ffffffff, 20 30 65536\n"));
}

TEST_F(drives, layout_with_too_few_entries_is_ignored) {
  fake_disk d = gpt_disk();
  add_disk(machine, d);
  std::vector<uint8_t>& bytes = disk_device(machine, d).replies[IOCTL_DISK_GET_DRIVE_LAYOUT_EX].bytes;
  bytes.resize(48 + 144);
  drive_info& drive = scan_one();
  EXPECT_EQ(drive.layout_style, 0u);
  EXPECT_TRUE(drive.partitions.empty());
  EXPECT_TRUE(out.has("0   CheckResponseSpec() failed with 11114, 336 192\n"));
}

TEST_F(drives, raw_properties_are_dumped_or_flagged) {
  fake_disk d;
  d.raw_properties = {0x01, 0x02, 0x03};
  add_disk(machine, d);
  scan_one();
  EXPECT_TRUE(out.has("2   RawDeviceProperties:\n"));
  EXPECT_TRUE(out.has("2   0000 | 01 02 03 __ __ __ __ __  __ __ __ __ __ __ __ __ | ...              |\n"));

  fake_machine m;
  fake_disk big;
  big.raw_properties.assign(200, 0x20);
  add_disk(m, big);
  std::vector<uint8_t>& bytes = disk_device(m, big).property_replies[0].bytes;
  bytes.resize(100);
  captured c;
  std::vector<drive_info> list;
  enumerate_drives(m, list, c.log);
  query_drive(m, list.at(0), scan_options{}, c.log);
  EXPECT_TRUE(c.has("2   RawDeviceProperties        INVALID SIZE!\n"));
  EXPECT_EQ(m.open_handles(), 0);
}

TEST_F(drives, device_identifiers_of_kept_types_only) {
  fake_disk d;
  d.ids = {{1, 1, 0, {'A', 'T', 'A'}}, {1, 0, 0, {9, 9}}, {1, 2, 0, {1, 2, 3, 4, 5, 6, 7, 8}}, {3, 8, 0, {'n', 's'}}};
  add_disk(machine, d);
  drive_info& drive = scan_one();
  EXPECT_EQ(drive.device_ids, (std::vector<std::string>{"ATA", std::string("\1\2\3\4\5\6\7\x08"), "ns"}));
  EXPECT_TRUE(out.has("2    4. CodeSet                3\n"));
}

TEST_F(drives, removal_policy_texts) {
  const struct {
    DWORD policy;
    const char* line;
  } cases[] = {{1, "No removal"}, {2, "Orderly"}, {3, "Surprise"}, {7, "[7]"}};
  for (size_t i = 0; i < 4; ++i) {
    fake_disk d;
    d.number = uint32_t(i);
    d.removal_policy = cases[i].policy;
    add_disk(machine, d);
  }
  enumerate();
  for (const auto& c : cases)
    EXPECT_TRUE(out.has(std::string("2     RemovalPolicy                ") + c.line + "\n")) << c.line;
}

TEST_F(drives, parent_ids_need_the_exact_pattern) {
  const struct {
    const wchar_t* parent;
    uint16_t vendor, product;
  } cases[] = {
      {L"PCI\\VEN_8086&DEV_A102&SUBSYS_86941043", 0x8086, 0xA102},
      {L"USB\\VID_0781&PID_5581\\4C53", 0x0781, 0x5581},
      {L"PCI\\VEN_86&DEV_A102", 0, 0},  // short numbers do not count
      {L"PCI\\VEN_8086", 0, 0},
      {L"SCSI\\VEN_8086&DEV_A102", 0, 0},
  };
  for (size_t i = 0; i < 5; ++i) {
    fake_disk d;
    d.number = uint32_t(i);
    d.parent_id = cases[i].parent;
    add_disk(machine, d);
  }
  enumerate();
  ASSERT_EQ(found.size(), 5u);
  for (size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(found[i].parent_vendor_id, cases[i].vendor) << i;
    EXPECT_EQ(found[i].parent_product_id, cases[i].product) << i;
  }
}

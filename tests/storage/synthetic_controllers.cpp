#include "synthetic_controllers.h"

#include "volume_replies.h"

namespace {
constexpr uint64_t mib = 1ull << 20;
constexpr uint64_t gib = 1ull << 30;

std::wstring wide(const std::string& s) { return std::wstring(s.begin(), s.end()); }

std::wstring adapter_path(const std::wstring& instance_id) {
  std::wstring path = L"\\\\?\\";
  for (wchar_t c : instance_id) path += c == L'\\' ? L'#' : wchar_t(towlower(c));
  return path + L"#{2accfe60-c130-11d2-b082-00a0c91efb8b}";
}

fake_adapter adapter(const std::wstring& instance_id, const std::wstring& name, DWORD devinst) {
  fake_adapter a;
  a.interface_path = adapter_path(instance_id);
  a.instance_id = instance_id;
  a.friendly_name = name;
  a.devinst = devinst;
  return a;
}

// A disk the RAID controller makes of its drives: no ATA command reaches it.
synthetic_drive logical_disk(uint32_t number, const std::string& vendor, const std::string& product,
                             const std::wstring& controller_id, const std::wstring& controller_name,
                             uint64_t capacity) {
  synthetic_drive s;
  fake_disk& d = s.disk;
  d.number = number;
  std::wstring lower_product;
  for (char c : product) lower_product += c == ' ' ? L'_' : wchar_t(tolower(c));
  d.interface_path = L"\\\\?\\scsi#disk&ven_" + wide(vendor) + L"&prod_" + lower_product + L"#4&2a0c7e1&0&00000" +
                     std::to_wstring(number) + L"#{53f56307-b6bf-11d0-94f2-00a0c91efb8b}";
  d.instance_id = L"SCSI\\Disk&Ven_" + wide(vendor) + L"&Prod_" + lower_product + L"\\4&2A0C7E1&0&00000" +
                  std::to_wstring(number);
  d.friendly_name = wide(vendor) + L" " + wide(product);
  d.msdos_device = L"\\Device\\Harddisk" + std::to_wstring(number) + L"\\DR" + std::to_wstring(number);
  d.vendor = vendor;
  d.product = product;
  d.revision = "1.0";
  d.serial = "";
  d.bus_type = 8;
  d.adapter_bus_type = 8;
  d.parent_id = controller_id;
  d.parent_class = L"SCSIAdapter";
  d.parent_desc = controller_name;
  d.parent_manufacturer = L"";
  d.capacity = capacity;
  d.trim = -1;
  fake_partition p;
  p.offset = mib;
  p.length = capacity - 2 * mib;
  p.gpt_type = basic_data_type;
  p.gpt_id = test_guid(0x2000 + number);
  p.gpt_name = L"Basic data partition";
  d.partitions = {p};
  s.health.paths = {{false, false, false, false}};
  return s;
}

void add_volume_on(fake_machine& m, unsigned n, wchar_t letter, uint32_t disk, uint64_t capacity) {
  add_volume(m, numbered_volume(n, letter, {{disk, mib, capacity - 2 * mib}}));
}

fake_csmi_phy empty_phy(uint8_t id) {
  fake_csmi_phy p;
  p.phy_id = id;
  p.port = id;
  p.attached_type = 0;
  return p;
}

const std::wstring rst_id = L"PCI\\VEN_8086&DEV_2822&SUBSYS_86941043&REV_31\\3&11583659&0&FA";
const std::wstring rst_name = L"Intel(R) Desktop/Workstation/Server Express Chipset SATA RAID Controller";
}  // namespace

void add_intel_raid1(fake_machine& m) {
  const uint64_t member_sectors = 3907029168ull;
  fake_adapter a = adapter(rst_id, rst_name, 5000);
  a.has_csmi = true;
  a.csmi.phys = {sata_phy(0, port_address(0), sata_health("ST2000DM008-2FR102", "ZFL3K2AB", member_sectors, false)),
                 sata_phy(1, port_address(1), sata_health("ST2000DM008-2FR102", "ZFL3K7CD", member_sectors, false, 20517)),
                 empty_phy(2), empty_phy(3)};
  fake_csmi_set set;
  set.capacity_mb = 1907715;
  set.stripe_kb = 64;
  set.raid_type = 2;
  set.drives = {{"ST2000DM008-2FR102", "0001", "ZFL3K2AB", port_address(0), 1},
                {"ST2000DM008-2FR102", "0001", "ZFL3K7CD", port_address(1), 1}};
  a.csmi.sets = {set};
  add_adapter(m, a);
  const uint64_t capacity = uint64_t(set.capacity_mb) * mib;
  add_synthetic(m, logical_disk(0, "Intel", "Raid 1 Volume", rst_id, rst_name, capacity));
  add_volume_on(m, 1, L'C', 0, capacity);
}

void add_csmi_hba_with_spare(fake_machine& m) {
  const std::wstring id = L"PCI\\VEN_1000&DEV_0072&SUBSYS_30201000&REV_03\\4&1A2B3C4D&0&00E0";
  const std::wstring name = L"LSI Adapter, SAS2 2008 Falcon -StorPort";
  fake_adapter a = adapter(id, name, 5100);
  a.has_csmi = true;
  a.csmi.driver = "lsi_sas2";
  a.csmi.description = "LSI SAS2 StorPort driver";
  a.csmi.version = {{2, 0, 72, 0}};
  a.csmi.board_id = 0x30201000;
  a.csmi.raid = false;
  synthetic_drive first = seagate_hdd(1), second = wd_hdd(2);
  a.csmi.phys = {sata_phy(0, {{0x44, 0x33, 0x22, 0x11, 0, 0, 0, 1}}, first.health),
                 sata_phy(1, {{0x44, 0x33, 0x22, 0x11, 0, 0, 0, 2}}, second.health),
                 sata_phy(2, {{0x44, 0x33, 0x22, 0x11, 0, 0, 0, 3}},
                          sata_health("WDC WD20EFRX-68EUZN0", "WD-WCC4M5HJ2E1A", 3907029168ull, false))};
  add_adapter(m, a);
  for (synthetic_drive* s : {&first, &second}) {
    s->disk.parent_id = id;
    s->disk.parent_desc = name;
    s->disk.bus_type = 10;
    s->disk.adapter_bus_type = 10;
    add_synthetic(m, *s);
  }
}

void add_ciss_logical_drive(fake_machine& m) {
  const std::wstring id = L"PCI\\VEN_103C&DEV_323B&SUBSYS_3351103C&REV_01\\4&3A1B2C3D&0&0018";
  const std::wstring name = L"Smart Array P420i Controller";
  const std::array<uint8_t, 16> page83{{0x60, 0x05, 0x08, 0xB1, 0x00, 0x1C, 0x4A, 0x2E, 0x91, 0x3D, 0x77, 0x0F,
                                        0xC2, 0x5E, 0x18, 0x44}};
  fake_adapter a = adapter(id, name, 5200);
  a.has_ciss = true;
  fake_ciss_logical l;
  l.label = "Logical Drive 1";
  l.volume_id = 0x2E4A1C00;
  l.page83 = page83;
  l.blocks = 585871964ull;
  l.stripe_blocks = 512;
  l.fault_tolerance = 2;
  l.drives = {0, 1};
  a.ciss.logical = {l};
  for (uint8_t bay : {1, 2}) {
    fake_ciss_physical p;
    p.number = bay - 1u;
    p.model = "HP      EG0300FCVBF";
    p.serial = bay == 1 ? "PEJ1B7ZA" : "PEJ1C2QB";
    p.firmware = "HPD9";
    p.bay = bay;
    p.blocks = 585937500ull;
    p.wwid = {{0x50, 0x00, 0xC5, 0x00, 0x4A, 0x1B, 0x2C, uint8_t(0x30 + bay)}};
    p.counters = bay == 1 ? std::array<uint32_t, 16>{{0, 0, 17, 0, 0, 2, 0, 0, 0, 0, 0, 1432, 98, 0, 12, 3}}
                          : std::array<uint32_t, 16>{{0, 1, 4, 0, 0, 0, 0, 0, 1, 0, 0, 877, 41, 0, 6, 0}};
    p.power_on_minutes = 2312040;
    p.temperature = uint8_t(30 + bay);
    a.ciss.physical.push_back(p);
  }
  add_adapter(m, a);
  const uint64_t capacity = l.blocks * 512;
  synthetic_drive s = logical_disk(3, "HP", "LOGICAL VOLUME", id, name, capacity);
  s.disk.ids = {{1, 3, 0, std::vector<uint8_t>(page83.begin(), page83.end())}};
  add_synthetic(m, s);
  add_volume_on(m, 3, L'E', 3, capacity);
}

void add_dual_interface_controller(fake_machine& m, size_t csmi_sets) {
  const std::wstring id = L"PCI\\VEN_9005&DEV_028D&SUBSYS_05A31028&REV_01\\4&22B3C4D5&0&0020";
  fake_adapter a = adapter(id, L"Adaptec Series 8 RAID Controller", 5300);
  a.has_csmi = true;
  a.csmi.driver = "arcsas";
  a.csmi.description = "Adaptec SAS RAID";
  a.csmi.phys = {sata_phy(0, port_address(0), sata_health("SAMSUNG MZ7LN256HMJP-000L7", "S2X9NX0J301234", 500118192ull, true)),
                 sata_phy(1, port_address(1), sata_health("SAMSUNG MZ7LN256HMJP-000L7", "S2X9NX0J305678", 500118192ull, true))};
  fake_csmi_set set;
  set.capacity_mb = 244198;
  set.stripe_kb = 256;
  set.raid_type = 1;  // RAID 0
  set.drives = {{"SAMSUNG MZ7LN256HMJP-000L7", "MAT02L6Q", "S2X9NX0J301234", port_address(0), 1},
                {"SAMSUNG MZ7LN256HMJP-000L7", "MAT02L6Q", "S2X9NX0J305678", port_address(1), 1}};
  a.csmi.sets.assign(csmi_sets, set);
  a.has_ciss = true;
  a.ciss.vendor = "Adaptec";
  a.ciss.product = "ASR8805";
  fake_ciss_logical l;
  l.label = "Stripe";
  l.page83 = {{0x60, 0x00, 0x5A, 0x90, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C}};
  l.blocks = 1000236032ull;
  l.stripe_blocks = 512;
  l.fault_tolerance = 0;
  l.drives = {0, 1};
  a.ciss.logical = {l};
  for (uint32_t n : {0u, 1u}) {
    fake_ciss_physical p;
    p.number = n;
    p.model = "ATA     SAMSUNG MZ7LN256";
    p.serial = n == 0 ? "S2X9NX0J301234" : "S2X9NX0J305678";
    p.connector = "0I";
    p.bay = uint8_t(n);
    p.blocks = 500118192ull;
    p.rpm = 0;
    a.ciss.physical.push_back(p);
  }
  add_adapter(m, a);
  synthetic_drive s = logical_disk(4, "Adaptec", "Stripe", id, L"Adaptec Series 8 RAID Controller", l.blocks * 512);
  s.disk.ids = {{1, 3, 0, std::vector<uint8_t>(l.page83.begin(), l.page83.end())}};
  add_synthetic(m, s);
}

void add_vds_mirror(fake_machine& m) {
  const std::wstring dm_volume = L"\\Device\\HarddiskDmVolumes\\BENCH-PCDg0\\Volume1";
  const uint64_t data_start = 1 * mib + 31 * mib, size = 500 * gib;
  fake_vds_pack pack;
  pack.id = test_guid(0xD0);
  pack.name = L"BENCH-PCDg0";
  fake_vds_volume v;
  v.id = test_guid(0xD1);
  v.name = L"\\\\?\\GLOBALROOT" + dm_volume;
  v.type = 13;  // mirror
  v.size = size;
  for (uint32_t number : {5u, 6u}) {
    synthetic_drive s = number == 5 ? seagate_hdd(number) : wd_hdd(number);
    s.disk.layout = mbr_layout;
    fake_partition p;
    p.offset = mib;
    p.length = s.disk.capacity - 2 * mib;
    p.mbr_type = 0x42;  // dynamic disk
    s.disk.partitions = {p};
    add_synthetic(m, s);
    const GUID disk_id = test_guid(0xD5 + number);
    pack.disks.push_back({disk_id, L"\\\\?\\PhysicalDrive" + std::to_wstring(number), s.disk.capacity,
                          s.disk.friendly_name});
    fake_vds_plex plex;
    plex.id = test_guid(0xE0 + number);
    plex.size = size;
    plex.extents = {{disk_id, data_start, size, 0}};
    v.plexes.push_back(plex);
  }
  pack.volumes = {v};
  fake_vds_provider provider;
  provider.id = test_guid(0xC0);
  provider.name = L"Microsoft Virtual Disk Service Dynamic Provider";
  provider.version = L"6.1.0000";
  provider.packs = {pack};
  m.vds.loader_error = S_OK;
  m.vds.providers.push_back(provider);
  volume_setup setup = numbered_volume(5, L'M', {{5, data_start, size}, {6, data_start, size}});
  setup.device_name = dm_volume;
  setup.length = size;
  add_volume(m, setup);
}

fake_usb_port usb2_port() {
  fake_usb_port port;
  port.speed = 2;     // high speed
  port.flags = 2;     // SuperSpeed capable, not at it
  port.hub_type = 2;  // a USB 2.0 hub
  return port;
}

DWORD add_usb3_disk(fake_machine& m, const fake_usb_port& port) {
  synthetic_drive s = usb_bridge_hdd(7);
  s.disk.parent_class = L"USB";
  s.disk.parent_desc = L"USB Mass Storage Device";
  s.disk.above_parent = {{L"USB\\ROOT_HUB30\\4&1F2E3D4C&0&0", L"USB", L"USB Root Hub (USB 3.0)"},
                         {L"PCI\\VEN_8086&DEV_A12F&SUBSYS_86941043&REV_31\\3&11583659&0&A0", L"USB",
                          L"Intel(R) USB 3.0 eXtensible Host Controller - 1.0 (Microsoft)"}};
  s.disk.partitions = {};
  fake_partition p;
  p.offset = mib;
  p.length = s.disk.capacity - 2 * mib;
  p.gpt_type = basic_data_type;
  p.gpt_id = test_guid(0x2007);
  s.disk.partitions = {p};
  add_synthetic(m, s);
  add_usb_port(m, s.disk, port);
  add_volume_on(m, 7, L'U', 7, s.disk.capacity);
  return parent_devinst(s.disk);
}

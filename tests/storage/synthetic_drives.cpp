#include "synthetic_drives.h"

namespace {
constexpr uint16_t prefail = 0x0003, advisory = 0x0032;

fake_disk sata_disk(uint32_t number, const std::string& model, const std::string& serial) {
  fake_disk d;
  d.number = number;
  d.interface_path = L"\\\\?\\scsi#disk&ven_&prod_" + std::wstring(model.begin(), model.end()) + L"#4&2a0c7e1&0&00000" +
                     std::to_wstring(number) + L"#{53f56307-b6bf-11d0-94f2-00a0c91efb8b}";
  d.friendly_name = std::wstring(model.begin(), model.end());
  d.msdos_device = L"\\Device\\Harddisk" + std::to_wstring(number) + L"\\DR" + std::to_wstring(number);
  d.product = model.substr(0, 16);
  d.serial = serial;
  d.target = uint8_t(number);
  return d;
}

fake_health answering(const identify_fields& id, const std::vector<attribute_fields>& attributes,
                      const std::vector<std::pair<uint8_t, uint8_t>>& thresholds) {
  fake_health h;
  h.has_identify = true;
  h.identify = identify_block(id);
  h.has_smart = true;
  h.attributes = attributes_block(attributes);
  h.thresholds = thresholds_block(thresholds);
  return h;
}

std::vector<std::pair<uint8_t, uint8_t>> thresholds_for(const std::vector<attribute_fields>& attributes,
                                                        const std::vector<std::pair<uint8_t, uint8_t>>& nonzero) {
  std::vector<std::pair<uint8_t, uint8_t>> t;
  for (const attribute_fields& a : attributes) {
    uint8_t value = 0;
    for (const auto& n : nonzero)
      if (n.first == a.id) value = n.second;
    t.push_back({a.id, value});
  }
  return t;
}

const std::vector<attribute_fields> seagate_attributes = {
    {1, 0x000F, 77, 64, 0x00000370B658ull},
    {3, prefail, 97, 96, 0},
    {4, advisory, 100, 100, 312},
    {5, 0x0033, 100, 100, 0},
    {7, 0x000F, 84, 60, 0x00000152A3F1ull},
    {9, advisory, 88, 88, 10954},
    {10, 0x0013, 100, 100, 0},
    {12, advisory, 100, 100, 315},
    {183, advisory, 100, 100, 0},
    {184, advisory, 100, 100, 0},
    {187, advisory, 100, 100, 0},
    {188, advisory, 100, 100, 0},
    {189, 0x003A, 100, 100, 0},
    {190, 0x0022, 64, 55, 0x0000241A0024ull},
    {191, advisory, 100, 100, 0},
    {192, advisory, 100, 100, 175},
    {193, advisory, 96, 96, 8912},
    {194, 0x0022, 36, 45, 0x001200000024ull},
    {195, 0x001A, 77, 64, 57896024},
    {197, 0x0012, 100, 100, 0},
    {198, 0x0010, 100, 100, 0},
    {199, 0x003E, 200, 200, 0},
    {240, 0x0000, 100, 253, 0x9C5F00002A55ull},
    {241, 0x0000, 100, 253, 12345678901ull},
    {242, 0x0000, 100, 253, 23456789012ull},
};
}  // namespace

synthetic_drive seagate_hdd(uint32_t number) {
  synthetic_drive s;
  s.disk = sata_disk(number, "ST2000DM008-2FR102", "ZFL3K2AB");
  s.health = answering({"ST2000DM008-2FR102", "ZFL3K2AB", "0001", 3907029168ull, 7200, false, true}, seagate_attributes,
                       thresholds_for(seagate_attributes,
                                      {{1, 6}, {4, 20}, {5, 10}, {7, 45}, {10, 97}, {12, 20}, {184, 99}, {190, 40}}));
  // The disk driver hands out the SMART data as the failure prediction's vendor bytes.
  s.health.predict_failure = 0;
  s.health.predict_vendor = s.health.attributes;
  return s;
}

synthetic_drive wd_hdd(uint32_t number) {
  const std::vector<attribute_fields> a = {
      {1, 0x002F, 200, 200, 0},    {3, 0x0027, 175, 172, 2233},   {4, 0x0032, 100, 100, 1532},
      {5, 0x0033, 200, 200, 0},    {7, 0x002E, 200, 200, 0},      {9, 0x0032, 62, 62, 28109},
      {10, 0x0032, 100, 100, 0},   {11, 0x0032, 100, 100, 0},     {12, 0x0032, 100, 100, 1529},
      {192, 0x0032, 200, 200, 86}, {193, 0x0032, 200, 200, 1445}, {194, 0x0022, 110, 97, 33},
      {196, 0x0032, 200, 200, 0},  {197, 0x0032, 200, 200, 0},    {198, 0x0030, 100, 253, 0},
      {199, 0x0032, 200, 200, 0},  {200, 0x0008, 100, 253, 0},
  };
  synthetic_drive s;
  s.disk = sata_disk(number, "WDC WD10EZEX-08WN4A0", "WD-WCC6Y3KV1234");
  s.health = answering({"WDC WD10EZEX-08WN4A0", "WD-WCC6Y3KV1234", "01.01A01", 1953525168ull, 7200, false, true}, a,
                       thresholds_for(a, {{1, 51}, {3, 21}, {5, 140}, {10, 0}, {11, 0}, {200, 0}}));
  return s;
}

synthetic_drive samsung_mz_ssd(uint32_t number) {
  const std::vector<attribute_fields> a = {
      {5, 0x0033, 100, 100, 0},   {9, 0x0032, 97, 97, 12044},
      {12, 0x0032, 99, 99, 1834}, {177, 0x0013, 96, 96, 61},
      {179, 0x0013, 100, 100, 0}, {181, 0x0032, 100, 100, 0},
      {182, 0x0032, 100, 100, 0}, {183, 0x0013, 100, 100, 0},
      {187, 0x0032, 100, 100, 0}, {190, 0x0032, 68, 53, 32},
      {195, 0x001A, 200, 200, 0}, {199, 0x003E, 100, 100, 0},
      {235, 0x0012, 99, 99, 95},  {241, 0x0032, 99, 99, 40177631642ull},
  };
  synthetic_drive s;
  s.disk = sata_disk(number, "SAMSUNG MZ7LN256HMJP-000L7", "S2X9NX0J301234");
  s.disk.seek_penalty = 0;
  s.disk.trim = 1;
  s.health = answering({"SAMSUNG MZ7LN256HMJP-000L7", "S2X9NX0J301234", "MAT02L6Q", 500118192ull, 1, true, true}, a,
                       thresholds_for(a, {{5, 10}, {177, 5}, {179, 10}, {181, 10}, {182, 10}, {183, 10}}));
  return s;
}

synthetic_drive nvme_ssd(uint32_t number) {
  synthetic_drive s;
  s.disk = sata_disk(number, "Samsung SSD 970 EVO Plus 1TB", "0025_3852_91B0_1234.");
  s.disk.interface_path =
      L"\\\\?\\scsi#disk&ven_nvme&prod_samsung_ssd_970#5&1b8c2f3c&0&000000#"
      L"{53f56307-b6bf-11d0-94f2-00a0c91efb8b}";
  s.disk.vendor = "NVMe";
  s.disk.product = "Samsung SSD 970";
  s.disk.revision = "2B2QEXM7";
  s.disk.bus_type = 17;
  s.disk.adapter_bus_type = 17;
  s.disk.parent_desc = L"Standard NVM Express Controller";
  s.disk.port = 2;
  s.disk.target = 0;
  s.disk.seek_penalty = 0;
  s.disk.trim = 1;
  s.disk.capacity = 1000204886016ull;
  s.health.paths = {{false, false, false, false}};
  s.health.nvme_protocol = true;
  s.health.nvme_identify = nvme_identify_block({0x144D, "S4EWNX0R123456A", "Samsung SSD 970 EVO Plus 1TB", "2B2QEXM7"});
  nvme_health_fields f;
  f.temperature = 311;
  f.used = 2;
  f.counters[0] = {28934512, 0};   // data units read
  f.counters[1] = {40127755, 0};   // data units written
  f.counters[2] = {512344321, 0};  // read commands
  f.counters[3] = {934223110, 0};  // write commands
  f.counters[4] = {1290, 0};       // busy minutes
  f.counters[5] = {1024, 0};       // power cycles
  f.counters[6] = {6810, 0};       // power-on hours
  f.counters[7] = {61, 0};         // unsafe shutdowns
  f.counters[9] = {2233, 0};       // error log entries
  s.health.nvme_log = nvme_health_block(f);
  return s;
}

synthetic_drive usb_bridge_hdd(uint32_t number) {
  const std::vector<attribute_fields> a = {
      {1, 0x000B, 100, 100, 0},
      {2, 0x0005, 100, 100, 0},
      {3, 0x0027, 100, 100, 1433},
      {4, 0x0032, 100, 100, 5521},
      {5, 0x0033, 100, 100, 0},
      {7, 0x000B, 100, 100, 0},
      {9, 0x0032, 84, 84, 6452},
      {10, 0x0033, 204, 100, 0},
      {12, 0x0032, 100, 100, 3012},
      {191, 0x0032, 100, 100, 58},
      {192, 0x0032, 100, 100, 201},
      {193, 0x0032, 92, 92, 81231},
      {194, 0x0022, 100, 100, 0x002D00100027ull},
      {196, 0x0032, 100, 100, 0},
      {197, 0x0032, 100, 100, 0},
      {198, 0x0030, 100, 100, 0},
      {199, 0x0032, 200, 200, 0},
      {220, 0x0002, 100, 100, 0},
      {222, 0x0032, 86, 86, 5734},
      {223, 0x0032, 100, 100, 0},
      {224, 0x0022, 100, 100, 0},
      {226, 0x0026, 100, 100, 248},
      {240, 0x0001, 100, 100, 0},
  };
  synthetic_drive s;
  s.disk = sata_disk(number, "2115", "00000000000000000000");
  s.disk.instance_id = L"USBSTOR\\Disk&Ven_ASMT&Prod_2115&Rev_0\\00000000000000000000&0";
  s.disk.friendly_name = L"ASMT 2115 USB Device";
  s.disk.parent_id = L"USB\\VID_174C&PID_55AA\\00000000000000000000";
  s.disk.parent_class = L"USB";
  s.disk.parent_desc = L"USB Attached SCSI (UAS) Mass Storage Device";
  s.disk.vendor = "ASMT";
  s.disk.revision = "0";
  s.disk.bus_type = 7;
  s.disk.adapter_bus_type = 7;
  s.disk.trim = -1;
  s.disk.seek_penalty = -1;
  s.disk.smart_version = false;
  s.health = answering({"TOSHIBA MQ01ABD100", "Y5G8T1ABCD", "AX0P3D", 1953525168ull, 5400, false, true}, a,
                       thresholds_for(a, {{1, 50}, {2, 50}, {3, 1}, {5, 50}, {7, 50}, {10, 30}}));
  s.health.paths = {{false, false, true, true}};
  s.health.sense = sense_style::none;  // ignores the request for registers
  return s;
}

synthetic_drive bad_checksum_hdd(uint32_t number) {
  const std::vector<attribute_fields> a = {
      {1, 0x000B, 100, 100, 0},
      {2, 0x0005, 134, 134, 103},
      {3, 0x0007, 121, 121, 366},
      {4, 0x0012, 100, 100, 2912},
      {5, 0x0033, 100, 100, 0},
      {7, 0x000B, 100, 100, 0},
      {8, 0x0005, 112, 112, 39},
      {9, 0x0012, 95, 95, 38721},
      {10, 0x0013, 100, 100, 0},
      {12, 0x0032, 100, 100, 2890},
      {192, 0x0032, 98, 98, 3021},
      {193, 0x0012, 98, 98, 3021},
      {194, 0x0002, 171, 171, 0x003700130023ull},
      {196, 0x0032, 100, 100, 0},
      {197, 0x0022, 100, 100, 0},
      {198, 0x0008, 100, 100, 0},
      {199, 0x000A, 200, 200, 0},
  };
  synthetic_drive s;
  s.disk = sata_disk(number, "Hitachi HDS721010CLA332", "JP2940HD0ABCDC");
  s.health = answering({"Hitachi HDS721010CLA332", "JP2940HD0ABCDC", "JP4OA3MA", 1953525168ull, 7200, false, true}, a,
                       thresholds_for(a, {{1, 16}, {2, 54}, {3, 24}, {5, 5}, {7, 67}, {8, 20}, {10, 60}}));
  s.health.attributes[511] ^= 0x5A;  // the firmware writes a stale checksum
  return s;
}

void add_synthetic(fake_machine& machine, const synthetic_drive& drive) {
  add_disk(machine, drive.disk);
  add_health(machine, drive.disk, drive.health);
}

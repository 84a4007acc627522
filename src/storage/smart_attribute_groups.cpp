// The SMART attribute groups as data, in search order: each group's definitions one per line
// (ID, value format, unit, name), then the group table itself.
#include "storage/smart_attribute_groups.h"

#include <iterator>

using namespace smart_codes;

namespace {
constexpr uint8_t hdd = smart_hdd, ssd = smart_ssd, any_kind = smart_hdd | smart_ssd;

// Common (HDD and SSD; every drive)
const smart_attribute_def common[] = {
    {1, raw_hex, no_unit, "Raw read error rate"},
    {2, value, no_unit, "Throughput drive performance"},
    {3, raw_hex, no_unit, ""},
    {4, raw32, no_unit, "Start/stop count"},
    {5, raw32, no_unit, "Reallocated sector count"},
    {7, raw_hex, no_unit, "Seek error rate"},
    {8, value, no_unit, "Seek time performance"},
    {9, raw32, no_unit, "Power-on hours"},
    {10, raw32, no_unit, "Spin retry count"},
    {12, raw32, no_unit, "Power cycle count"},
    {13, raw_hex, no_unit, "Uncorrectable soft read error rate"},
    {174, raw32, no_unit, "Unexpected power loss count"},
    {183, raw32, no_unit, "SATA downshift count"},
    {184, raw32, no_unit, "End-to-end error count"},
    {187, raw32, no_unit, "Uncorrectable error count"},
    {188, raw_hex, no_unit, "Command timeouts"},
    {190, raw8, celsius, "Temperature"},
    {192, raw32, no_unit, "Unexpected power-off count"},
    {194, raw8, celsius, "Temperature"},
    {195, raw_hex, no_unit, "ECC error recovery rate"},
    {196, raw32, no_unit, "Reallocation event count"},
    {197, raw32, no_unit, "Unstable sector count"},
    {198, raw32, no_unit, "Uncorrectable sector count"},
    {199, raw32, no_unit, "CRC error count"},
    {200, raw_hex, no_unit, "Write error rate"},
    {201, raw_hex, no_unit, "Uncorrectable soft read error rate"},
    {241, raw40, sectors, "Lifetime writes"},
    {242, raw40, sectors, "Lifetime reads"},
};
static_assert(std::size(common) == 28, "Common");

// Common (HDD) (HDD; every drive)
const smart_attribute_def common_hdd[] = {
    {3, raw16, ms, "Spin-up time"},
    {11, raw32, no_unit, "Recalibration count"},
    {189, raw32, no_unit, "High-fly write count"},
    {191, raw32, no_unit, "Errors due to shock/vibration"},
    {193, raw32, no_unit, "Head load/unload count"},
    {202, raw32, no_unit, "Read head search errors"},
    {220, raw32, no_unit, "Disk shift relative to spindle"},
    {221, raw32, no_unit, "Errors due to shock/vibration"},
    {222, raw32, no_unit, "Hours in the data zone"},
    {223, raw32, no_unit, "Head load/unload failures"},
    {224, raw32, no_unit, "Head load friction"},
    {225, raw32, no_unit, "Head load/unload count"},
    {226, raw32, no_unit, "Hours not in the parking zone"},
    {241, raw40, sectors, keeps_name},
    {242, raw40, sectors, keeps_name},
    {254, raw32, no_unit, "Count of free fall events"},
};
static_assert(std::size(common_hdd) == 16, "Common (HDD)");

// Seagate HDD (HDD; seagate|*)
const smart_attribute_def seagate_hdd[] = {
    {7, hi32_lo32, no_unit, "Seek error rate"},
    {11, raw32, no_unit, keeps_name},
    {180, raw_hex, no_unit, ""},
    {181, raw_hex, no_unit, ""},
    {240, raw32, no_unit, "Head flying hours"},
    {250, raw_hex, no_unit, ""},
    {251, raw_hex, no_unit, ""},
    {252, raw_hex, no_unit, ""},
};
static_assert(std::size(seagate_hdd) == 8, "Seagate HDD");

// Hitachi HDD (HDD; hitachi|*)
const smart_attribute_def hitachi_hdd[] = {
    {160, raw_hex, no_unit, ""},
    {185, raw_hex, no_unit, ""},
    {192, raw_hex, no_unit, ""},
};
static_assert(std::size(hitachi_hdd) == 3, "Hitachi HDD");

// Hitachi HTS (HDD; hitachi|HTS*)
const smart_attribute_def hitachi_hts[] = {
    {3, raw_hex, no_unit, ""},
    {187, raw_hex, no_unit, ""},
};
static_assert(std::size(hitachi_hts) == 2, "Hitachi HTS");

// Samsung HDD (HDD; samsung|*)
const smart_attribute_def samsung_hdd[] = {
    {181, raw_hex, no_unit, ""},
    {187, raw_hex, no_unit, ""},
    {223, raw_hex, no_unit, ""},
    {225, raw_hex, no_unit, ""},
};
static_assert(std::size(samsung_hdd) == 4, "Samsung HDD");

// Fujitsu HDD (HDD; fujitsu|*)
const smart_attribute_def fujitsu_hdd[] = {
    {203, raw_hex, no_unit, ""},
    {240, raw_hex, no_unit, ""},
};
static_assert(std::size(fujitsu_hdd) == 2, "Fujitsu HDD");

// Fujitsu MHZ (HDD; fujitsu|MHZ*)
const smart_attribute_def fujitsu_mhz[] = {
    {182, raw_hex, no_unit, ""},
    {185, raw_hex, no_unit, ""},
    {186, raw_hex, no_unit, ""},
    {191, raw_hex, no_unit, ""},
    {192, raw32, no_unit, "Unexpected power-off count"},
    {196, raw16, no_unit, keeps_name},
};
static_assert(std::size(fujitsu_mhz) == 6, "Fujitsu MHZ");

// WDC HDD (HDD; wdc|*, western digital|*)
const smart_attribute_def wdc_hdd[] = {
    {16, raw_hex, no_unit, ""},
    {240, raw32, no_unit, "Head flying hours"},
};
static_assert(std::size(wdc_hdd) == 2, "WDC HDD");

// WDC HDD (HDD; maxdigital|md*)
const smart_attribute_def wdc_hdd_2[] = {
    {16, raw_hex, no_unit, ""},
    {240, raw32, no_unit, "Head flying hours"},
};
static_assert(std::size(wdc_hdd_2) == 2, "WDC HDD");

// HGST HDD (HDD; hgst|*)
const smart_attribute_def hgst_hdd[] = {
    {188, raw_hex, no_unit, ""},
};
static_assert(std::size(hgst_hdd) == 1, "HGST HDD");

// HGST HTS (HDD; hgst|HTS*)
const smart_attribute_def hgst_hts[] = {
    {3, raw_hex, no_unit, ""},
    {240, raw_hex, no_unit, ""},
};
static_assert(std::size(hgst_hts) == 2, "HGST HTS");

// HGST HUH (HDD; hgst|HUH*)
const smart_attribute_def hgst_huh[] = {
    {22, value, percent, "HelioSeal (Helium fill) status"},
};
static_assert(std::size(hgst_huh) == 1, "HGST HUH");

// Maxtor HDD (HDD; maxtor|*)
const smart_attribute_def maxtor_hdd[] = {
    {6, raw_hex, no_unit, ""},   {99, raw_hex, no_unit, ""},
    {100, raw_hex, no_unit, ""}, {101, raw_hex, no_unit, ""},
    {203, raw_hex, no_unit, ""}, {204, raw_hex, no_unit, ""},
    {205, raw_hex, no_unit, ""}, {207, raw_hex, no_unit, ""},
    {208, raw_hex, no_unit, ""}, {209, raw_hex, no_unit, ""},
    {210, raw_hex, no_unit, ""}, {211, raw_hex, no_unit, ""},
    {212, raw_hex, no_unit, ""}, {240, raw32, no_unit, "Head flying hours"},
};
static_assert(std::size(maxtor_hdd) == 14, "Maxtor HDD");

// Toshiba HDD (HDD; toshiba|*)
const smart_attribute_def toshiba_hdd[] = {
    {6, raw_hex, no_unit, ""},
    {185, raw_hex, no_unit, ""},
    {240, raw_hex, no_unit, ""},
};
static_assert(std::size(toshiba_hdd) == 3, "Toshiba HDD");

// Common (SSD) (SSD; every drive)
const smart_attribute_def common_ssd[] = {
    {170, value, percent, "Available reserved space"},
    {171, raw32, no_unit, "Flash programming failures"},
    {172, raw32, no_unit, "Flash erasing failures"},
    {173, raw32, no_unit, "Average program/erase cycles"},
    {175, raw32, no_unit, "Flash programming failures (worst)"},
    {176, raw32, no_unit, "Flash erasing failures (worst)"},
    {177, raw32, no_unit, "Flash wear leveling count"},
    {178, raw32, no_unit, "Used reserved block count (worst)"},
    {179, raw32, no_unit, "Used reserved block count (total)"},
    {180, raw32, no_unit, "Unused reserved block count"},
    {181, raw32, no_unit, "Flash programming failures (total)"},
    {182, raw32, no_unit, "Flash erasing failures (total)"},
    {204, raw_hex, no_unit, "Soft ECC correction rate"},
    {218, raw32, no_unit, "CRC error count"},
    {231, value, percent, "Lifetime remaining"},
    {232, value, percent, "Available reserved space"},
    {233, value, percent, "Media wearout indicator"},
    {241, raw40, sectors, "Lifetime data written"},
    {242, raw40, sectors, "Lifetime data read"},
};
static_assert(std::size(common_ssd) == 19, "Common (SSD)");

// Common (SSDx) (SSD; *|CT*, *|MKN*, *|TS*, *|SPCC Solid State Disk, *|ROCKET*, Intenso|*)
const smart_attribute_def common_ssdx[] = {
    {160, raw32, no_unit, "Uncorrectable sector count"},
    {161, raw32, no_unit, "Valid spare block count"},
    {162, raw32, no_unit, "Cache data block count"},
    {163, raw32, no_unit, "Initial invalid block count"},
    {164, raw32, no_unit, "Total erase count"},
    {165, raw32, no_unit, "Maximum erase count"},
    {166, raw32, no_unit, "Minimum erase count"},
    {167, raw32, no_unit, "Average erase count"},
    {168, raw32, no_unit, "Maximum erase count of spec"},
    {169, raw32, percent, "Lifetime remaining"},
    {241, raw32, gb, keeps_name},
    {242, raw32, gb, keeps_name},
};
static_assert(std::size(common_ssdx) == 12, "Common (SSDx)");

// Intel SSD (SSD; intel|*)
const smart_attribute_def intel_ssd[] = {
    {175, raw32, no_unit, "Power loss protection failures"},
    {225, raw32, mb32, "Host-written bytes"},
    {226, raw32, no_unit, "Timed workload media wear"},
    {227, raw32, percent, "Timed workload R/W ratio"},
    {228, raw32, minutes, "Timed workload timer"},
    {234, raw_hex, no_unit, "Thermal throttle status"},
    {236, raw_hex, no_unit, ""},
    {238, raw_hex, no_unit, ""},
    {241, raw32, mb32, keeps_name},
    {242, raw32, mb32, keeps_name},
    {249, raw32, gb, "NAND writes"},
};
static_assert(std::size(intel_ssd) == 11, "Intel SSD");

// Samsung SSD (SSD; samsung|*)
const smart_attribute_def samsung_ssd[] = {
    {183, raw32, no_unit, "Flash operation failures"},
    {202, raw_hex, no_unit, "SSD mode status"},
    {234, raw_hex, no_unit, ""},
    {235, raw32, no_unit, "Power recovery count"},
    {236, raw_hex, no_unit, ""},
    {237, raw_hex, no_unit, ""},
    {238, raw_hex, no_unit, ""},
    {241, raw40, sectors, keeps_name},
    {242, raw40, sectors, keeps_name},
    {250, raw32, no_unit, "SATA downshift count"},
};
static_assert(std::size(samsung_ssd) == 10, "Samsung SSD");

// Samsung MZ (SSD; samsung|MZ*)
const smart_attribute_def samsung_mz[] = {
    {11, raw_hex, no_unit, ""},        {170, raw32, no_unit, "Grown bad blocks"},
    {233, raw32, gb, "NAND writes"},   {234, raw_hex, no_unit, ""},
    {236, raw_hex, no_unit, ""},       {237, raw_hex, no_unit, ""},
    {238, raw_hex, no_unit, ""},       {241, raw40, sectors, keeps_name},
    {242, raw40, sectors, keeps_name},
};
static_assert(std::size(samsung_mz) == 9, "Samsung MZ");

// Seagate SSD (SSD; seagate|*)
const smart_attribute_def seagate_ssd[] = {
    {234, raw_hex, no_unit, ""},
    {250, raw_hex, no_unit, ""},
};
static_assert(std::size(seagate_ssd) == 2, "Seagate SSD");

// Crucial SSD (SSD; crucial|*)
const smart_attribute_def crucial_ssd[] = {
    {189, raw_hex, no_unit, ""},
    {202, value, percent, "Lifetime remaining"},
    {206, raw32, no_unit, "NAND program fail count"},
    {210, raw32, no_unit, "Successful RAIN recovery count"},
    {245, raw32, no_unit, "NAND writes"},
    {246, raw40, sectors, "Total host sector writes"},
    {247, raw40, no_unit, "Host program page count"},
    {248, raw40, no_unit, "FTL program page count"},
};
static_assert(std::size(crucial_ssd) == 8, "Crucial SSD");

// Crucial M4 (SSD; crucial|M4-*)
const smart_attribute_def crucial_m4[] = {
    {181, raw_hex, no_unit, ""},
    {189, raw_hex, no_unit, ""},
    {194, raw_hex, no_unit, ""},
};
static_assert(std::size(crucial_m4) == 3, "Crucial M4");

// Kingston SSD (SSD; kingston|*, kingfast|*)
const smart_attribute_def kingston_ssd[] = {
    {2, raw32, no_unit, keeps_name},
    {3, raw_hex, no_unit, keeps_name},
    {7, raw32, no_unit, keeps_name},
    {8, raw32, no_unit, keeps_name},
    {10, raw32, no_unit, keeps_name},
    {100, raw32, no_unit, "Total erase count"},
    {101, raw_hex, no_unit, ""},
    {160, raw_hex, no_unit, ""},
    {161, raw_hex, no_unit, ""},
    {162, raw_hex, no_unit, ""},
    {163, raw_hex, no_unit, ""},
    {164, raw_hex, no_unit, ""},
    {165, raw_hex, no_unit, ""},
    {166, raw_hex, no_unit, ""},
    {167, raw_hex, no_unit, ""},
    {168, raw32, no_unit, "PHY error count"},
    {169, raw_hex, no_unit, ""},
    {173, hi16_lo16, no_unit, "Flash erase count (average / max)"},
    {177, raw32, no_unit, "Flash wear leveling count"},
    {189, raw8, celsius, "Temperature"},
    {192, raw32, no_unit, keeps_name},
    {196, raw_hex, no_unit, ""},
    {197, raw_hex, no_unit, ""},
    {199, raw32, no_unit, keeps_name},
    {230, raw_hex, no_unit, "SSD life curve status"},
    {231, value, percent, "SSD time left"},
    {233, raw32, gb, "Lifetime flash writes"},
    {234, raw32, gb, "Total programmed sector count"},
    {240, raw_hex, no_unit, ""},
    {241, raw32, gb, keeps_name},
    {242, raw32, gb, keeps_name},
    {244, raw32, no_unit, "Average erase count"},
    {245, raw32, no_unit, "Maximum erase count"},
    {246, raw32, no_unit, "Total erase count"},
    {250, raw32, no_unit, "Total NAND read retry count"},
};
static_assert(std::size(kingston_ssd) == 35, "Kingston SSD");

// Mushkin SSD (SSD; mushkin|*)
const smart_attribute_def mushkin_ssd[] = {
    {230, raw_hex, no_unit, "SSD life curve status"},
    {234, raw32, gb, "Total programmed sector count"},
    {245, raw_hex, no_unit, ""},
};
static_assert(std::size(mushkin_ssd) == 3, "Mushkin SSD");

// Kingfast SSD (SSD; kingfast|*)
const smart_attribute_def kingfast_ssd[] = {
    {194, raw_hex, no_unit, ""},
};
static_assert(std::size(kingfast_ssd) == 1, "Kingfast SSD");

// Deotera SSD (SSD; deotera|viva*)
const smart_attribute_def deotera_ssd[] = {
    {160, raw_hex, no_unit, ""}, {161, raw_hex, no_unit, ""}, {163, raw_hex, no_unit, ""}, {164, raw_hex, no_unit, ""},
    {165, raw_hex, no_unit, ""}, {166, raw_hex, no_unit, ""}, {167, raw_hex, no_unit, ""}, {168, raw_hex, no_unit, ""},
    {169, raw_hex, no_unit, ""}, {245, raw_hex, no_unit, ""},
};
static_assert(std::size(deotera_ssd) == 10, "Deotera SSD");

// Transcend SSD (SSD; transcend|TS*)
const smart_attribute_def transcend_ssd[] = {
    {234, raw_hex, no_unit, ""},
    {240, raw_hex, no_unit, ""},
    {245, raw40, sectors, "Total host sector writes"},
};
static_assert(std::size(transcend_ssd) == 3, "Transcend SSD");

// SK hynix SSD (SSD; sk hynix|*)
const smart_attribute_def sk_hynix_ssd[] = {
    {100, raw32, no_unit, "Total erase count"},
    {168, raw_hex, no_unit, ""},
    {169, raw_hex, no_unit, ""},
    {191, raw_hex, no_unit, ""},
    {212, raw_hex, no_unit, ""},
    {231, value, percent, keeps_name},
    {234, raw_hex, no_unit, ""},
    {250, raw32, no_unit, "Total NAND read retry count"},
};
static_assert(std::size(sk_hynix_ssd) == 8, "SK hynix SSD");

// Corsair SSD (SSD; corsair|*)
const smart_attribute_def corsair_ssd[] = {
    {160, raw_hex, no_unit, ""},
    {161, raw_hex, no_unit, ""},
    {162, raw_hex, no_unit, ""},
    {163, raw_hex, no_unit, ""},
    {164, raw_hex, no_unit, ""},
    {165, raw_hex, no_unit, ""},
    {166, raw_hex, no_unit, ""},
    {167, raw_hex, no_unit, ""},
    {168, raw_hex, no_unit, ""},
    {169, raw_hex, no_unit, ""},
    {170, raw_hex, no_unit, ""},
    {193, raw_hex, no_unit, ""},
    {225, raw_hex, no_unit, ""},
    {230, raw_hex, no_unit, "Life curve status"},
    {233, raw_hex, no_unit, ""},
    {234, raw_hex, no_unit, ""},
    {250, raw_hex, no_unit, "Read error retry rate"},
};
static_assert(std::size(corsair_ssd) == 17, "Corsair SSD");

// SanDisk SSD (SSD; sandisk|*)
const smart_attribute_def sandisk_ssd[] = {
    {165, raw32, no_unit, "Block erase count (SLC)"},
    {166, raw32, no_unit, "Minimum program/erase cycles"},
    {167, raw32, no_unit, "Maxumum bad blocks per die"},
    {168, raw32, no_unit, "Maximum program/erase cycles"},
    {169, raw32, no_unit, "Total bad blocks"},
    {170, raw32, no_unit, "Grown bad blocks"},
    {187, raw32, no_unit, keeps_name},
    {188, raw32, no_unit, keeps_name},
    {212, raw32, no_unit, "PHY error count"},
    {230, raw_hex, no_unit, "Media wearout indicator"},
    {231, value, percent, "SSD time left"},
    {233, raw32, gb, "NAND writes"},
    {234, raw32, gb, "NAND writes (SLC)"},
    {235, raw32, no_unit, "Power recovery count"},
    {238, value, percent, "Media wearout indicator"},
    {243, raw_hex, no_unit, "Throttle statistics"},
    {244, raw_hex, no_unit, "Thermal throttle status"},
    {249, raw32, gb, "NAND writes"},
};
static_assert(std::size(sandisk_ssd) == 18, "SanDisk SSD");

// SanDisk Extreme (SSD; sandisk|pSSD*)
const smart_attribute_def sandisk_extreme[] = {
    {233, raw_hex, no_unit, ""},
    {234, raw_hex, no_unit, ""},
    {241, raw32, gb, keeps_name},
    {242, raw32, gb, keeps_name},
};
static_assert(std::size(sandisk_extreme) == 4, "SanDisk Extreme");

// ADATA SSD (SSD; adata|*), and again (HDD; adata|SP*) for SP models that do not say they are solid state
const smart_attribute_def adata_ssd[] = {
    {1, raw_hex, no_unit, "Read error rate"},
    {2, raw_hex, no_unit, "Read error rate"},
    {3, raw_hex, no_unit, "Read error rate"},
    {5, raw32, no_unit, "Reallocated sector count"},
    {8, raw_hex, no_unit, ""},
    {10, raw32, no_unit, "Reallocated sector count"},
    {148, raw_hex, no_unit, ""},
    {149, raw_hex, no_unit, ""},
    {150, raw_hex, no_unit, ""},
    {151, raw_hex, no_unit, ""},
    {160, raw_hex, no_unit, ""},
    {161, raw_hex, no_unit, ""},
    {163, raw_hex, no_unit, ""},
    {164, raw_hex, no_unit, ""},
    {165, raw_hex, no_unit, ""},
    {166, raw_hex, no_unit, ""},
    {167, raw_hex, no_unit, ""},
    {168, raw_hex, no_unit, ""},
    {169, raw_hex, no_unit, ""},
    {170, raw_hex, no_unit, ""},
    {173, raw_hex, no_unit, ""},
    {175, raw_hex, no_unit, ""},
    {176, raw_hex, no_unit, ""},
    {177, raw32, no_unit, "Wear range delta"},
    {178, raw_hex, no_unit, ""},
    {179, raw_hex, no_unit, ""},
    {180, raw32, no_unit, "Flash erasing failures"},
    {181, raw_hex, no_unit, ""},
    {182, raw_hex, no_unit, ""},
    {192, raw32, no_unit, "Flash programming failures"},
    {197, raw_hex, no_unit, ""},
    {230, raw_hex, no_unit, "SSD life curve status"},
    {231, raw_hex, no_unit, ""},
    {233, raw_hex, no_unit, ""},
    {234, raw_hex, no_unit, ""},
    {240, raw_hex, no_unit, "Soft ECC correction rate"},
    {241, raw32, gb, keeps_name},
    {242, raw32, gb, keeps_name},
    {245, raw_hex, no_unit, ""},
    {246, raw_hex, no_unit, ""},
    {247, raw_hex, no_unit, ""},
};
static_assert(std::size(adata_ssd) == 41, "ADATA SSD");

// Liteon SSD (SSD; liteon|*)
const smart_attribute_def liteon_ssd[] = {
    {11, raw_hex, no_unit, ""},
    {184, raw_hex, no_unit, ""},
    {241, raw32, mb32, keeps_name},
    {242, raw32, mb32, keeps_name},
};
static_assert(std::size(liteon_ssd) == 4, "Liteon SSD");

// Liteon CV1 (SSD; liteon|CV1-*)
const smart_attribute_def liteon_cv1[] = {
    {249, raw_hex, no_unit, ""},
};
static_assert(std::size(liteon_cv1) == 1, "Liteon CV1");

// Micron SSD (SSD; micron|*)
const smart_attribute_def micron_ssd[] = {
    {11, raw_hex, no_unit, ""},
    {181, raw_hex, no_unit, ""},
    {188, raw_hex, no_unit, ""},
    {238, raw_hex, no_unit, ""},
};
static_assert(std::size(micron_ssd) == 4, "Micron SSD");

// Micron M550/M600 (SSD; micron|M550*, micron|M600*)
const smart_attribute_def micron_m550_m600[] = {
    {202, value, percent, "Lifetime remaining"},
    {206, raw_hex, no_unit, "Write error rate, in fails/MB"},
    {210, raw32, no_unit, "Successful RAIN recovery count"},
    {246, raw40, sectors, "Total host sector writes"},
    {247, raw40, no_unit, "Host program page count"},
    {248, raw40, no_unit, "Background program page count"},
};
static_assert(std::size(micron_m550_m600) == 6, "Micron M550/M600");

// OCZ SSD (SSD; ocz|*)
const smart_attribute_def ocz_ssd[] = {
    {167, raw_hex, no_unit, "SSD protect mode"},
    {168, raw32, no_unit, "PHY error count"},
    {169, raw32, no_unit, "Total bad blocks"},
    {171, raw32, no_unit, "Available OP sector count"},
    {194, raw_hex, no_unit, ""},
    {195, raw32, no_unit, "Flash programming failures (total)"},
    {196, raw32, no_unit, "Flash erasing failures (total)"},
    {197, raw32, no_unit, "Total read errors"},
    {198, raw32, gb, "Host reads"},
    {199, raw32, gb, "Host writes"},
    {201, raw_hex, no_unit, "Uncorrectable soft read error rate"},
    {202, raw_hex, no_unit, ""},
    {203, raw_hex, no_unit, ""},
    {204, raw_hex, no_unit, "Soft ECC correction rate"},
    {205, raw32, no_unit, "Max rated program/erase count"},
    {206, raw32, no_unit, "Minimum erase count"},
    {207, raw32, no_unit, "Maximum erase count"},
    {208, raw32, no_unit, "Average erase count"},
    {209, raw_hex, no_unit, ""},
    {210, raw32, no_unit, "CRC error count"},
    {211, raw_hex, no_unit, ""},
    {212, raw32, no_unit, "Pages requiring read retry"},
    {213, raw32, no_unit, "Simple retry attempts"},
    {214, raw32, no_unit, "Adapative retry attempts"},
    {222, raw32, no_unit, "RAID recovery count"},
    {224, yes_no, no_unit, "In warranty"},
    {225, raw32, no_unit, "DAS polarity (0 = normal)"},
    {226, yes_no, no_unit, "Partial pfail"},
    {230, raw_hex, no_unit, "Write throttling"},
    {233, raw_hex, no_unit, ""},
    {234, raw_hex, no_unit, ""},
    {249, raw40, no_unit, "NAND writes, in pages"},
    {251, raw40, no_unit, "NAND reads, in pages"},
};
static_assert(std::size(ocz_ssd) == 33, "OCZ SSD");

// OCZ SSD / Group 1 (SSD; ocz|vector, ocz|vertex 4, ocz|arc 100)
const smart_attribute_def ocz_ssd_group_1[] = {
    {233, value, percent, "Lifetime remaining"},
};
static_assert(std::size(ocz_ssd_group_1) == 1, "OCZ SSD / Group 1");

// OCZ SSD / Group 2 (SSD; ocz|agility, ocz|onyx, ocz|vertex)
const smart_attribute_def ocz_ssd_group_2[] = {
    {209, value, percent, "Lifetime remaining"},
    {211, raw32, no_unit, "CRC error count"},
};
static_assert(std::size(ocz_ssd_group_2) == 2, "OCZ SSD / Group 2");

// OCZ SSD / Group 3 (SSD; ocz|trion*)
const smart_attribute_def ocz_ssd_group_3[] = {
    {194, raw8, celsius, "Temperature"},
};
static_assert(std::size(ocz_ssd_group_3) == 1, "OCZ SSD / Group 3");

// Zheino SSD (SSD; zheino|*)
const smart_attribute_def zheino_ssd[] = {
    {189, raw_hex, no_unit, ""},
    {202, value, percent, "Lifetime remaining"},
    {206, raw32, no_unit, "NAND program fail count"},
    {210, raw32, no_unit, "Successful RAIN recovery count"},
    {245, raw32, no_unit, "NAND writes"},
    {246, raw40, sectors, "Total host sector writes"},
    {247, raw40, no_unit, "Host program page count"},
    {248, raw40, no_unit, "FTL program page count"},
};
static_assert(std::size(zheino_ssd) == 8, "Zheino SSD");

// Apple SSD (SSD; apple|*)
const smart_attribute_def apple_ssd[] = {
    {160, raw_hex, no_unit, ""},
    {169, raw_hex, no_unit, ""},
    {173, value, percent, "Media wearout indicator"},
    {174, raw32, mb32, "Host reads"},
    {175, raw32, mb32, "Host writes"},
};
static_assert(std::size(apple_ssd) == 5, "Apple SSD");

// HGST SSD (SSD; hgst|*)
const smart_attribute_def hgst_ssd[] = {
    {233, value, percent, "Lifetime remaining"},
};
static_assert(std::size(hgst_ssd) == 1, "HGST SSD");

// Patriot SSD (SSD; Patriot|*)
const smart_attribute_def patriot_ssd[] = {
    {168, raw32, no_unit, "PHY error count"},
    {173, hi16_lo16, no_unit, "Flash erase count (average / max)"},
    {230, raw_hex, no_unit, ""},
    {234, raw_hex, no_unit, ""},
};
static_assert(std::size(patriot_ssd) == 4, "Patriot SSD");

// HDC (SSD; HDC|*)
const smart_attribute_def hdc[] = {
    {245, raw_hex, no_unit, ""},
};
static_assert(std::size(hdc) == 1, "HDC");

// Intenso (SSD; Intenso|*)
const smart_attribute_def intenso[] = {
    {168, raw_hex, no_unit, ""},
    {245, raw_hex, no_unit, ""},
};
static_assert(std::size(intenso) == 2, "Intenso");

// Galaxy (SSD; Galaxy|*)
const smart_attribute_def galaxy[] = {
    {167, raw_hex, no_unit, ""}, {168, raw_hex, no_unit, ""}, {169, raw_hex, no_unit, ""},
    {173, raw_hex, no_unit, ""}, {240, raw_hex, no_unit, ""},
};
static_assert(std::size(galaxy) == 5, "Galaxy");

// Smartbuy (SSD; Smartbuy|*)
const smart_attribute_def smartbuy[] = {
    {168, raw_hex, no_unit, ""},
};
static_assert(std::size(smartbuy) == 1, "Smartbuy");

// PNY (SSD; PNY*|*)
const smart_attribute_def pny[] = {
    {168, raw_hex, no_unit, ""},
    {230, raw_hex, no_unit, ""},
    {234, raw_hex, no_unit, ""},
};
static_assert(std::size(pny) == 3, "PNY");

// Toshiba SSD (SSD; Toshiba|THNS*)
const smart_attribute_def toshiba_ssd[] = {
    {167, raw_hex, no_unit, ""}, {168, raw_hex, no_unit, ""}, {169, raw_hex, no_unit, ""},
    {232, raw_hex, no_unit, ""}, {240, raw_hex, no_unit, ""}, {249, raw_hex, no_unit, ""},
};
static_assert(std::size(toshiba_ssd) == 6, "Toshiba SSD");

// Acasis (SSD; *|ACSC*)
const smart_attribute_def acasis[] = {
    {160, raw_hex, no_unit, ""}, {161, raw_hex, no_unit, ""}, {162, raw_hex, no_unit, ""}, {163, raw_hex, no_unit, ""},
    {164, raw_hex, no_unit, ""}, {165, raw_hex, no_unit, ""}, {166, raw_hex, no_unit, ""}, {167, raw_hex, no_unit, ""},
};
static_assert(std::size(acasis) == 8, "Acasis");

// WDC SSD (SSD; wdc|*, western digital|*)
const smart_attribute_def wdc_ssd[] = {
    {165, raw_hex, no_unit, ""}, {166, raw_hex, no_unit, ""}, {167, raw_hex, no_unit, ""}, {168, raw_hex, no_unit, ""},
    {169, raw_hex, no_unit, ""}, {230, raw_hex, no_unit, ""}, {234, raw_hex, no_unit, ""}, {244, raw_hex, no_unit, ""},
};
static_assert(std::size(wdc_ssd) == 8, "WDC SSD");

// Silicon Power (SSD; silicon power|*)
const smart_attribute_def silicon_power[] = {
    {168, raw_hex, no_unit, ""},
};
static_assert(std::size(silicon_power) == 1, "Silicon Power");

}  // namespace

const smart_attribute_group smart_attribute_groups[] = {
    {"Common", any_kind, {}, {}, common},
    {"Common (HDD)", hdd, {}, {}, common_hdd},
    {"Seagate HDD", hdd, {"seagate|*"}, {}, seagate_hdd},
    {"Hitachi HDD", hdd, {"hitachi|*"}, {}, hitachi_hdd},
    {"Hitachi HTS", hdd, {"hitachi|HTS*"}, {}, hitachi_hts},
    {"Samsung HDD", hdd, {"samsung|*"}, {}, samsung_hdd},
    {"Fujitsu HDD", hdd, {"fujitsu|*"}, {}, fujitsu_hdd},
    {"Fujitsu MHZ", hdd, {"fujitsu|MHZ*"}, {}, fujitsu_mhz},
    {"WDC HDD", hdd, {"wdc|*", "western digital|*"}, {}, wdc_hdd},
    {"WDC HDD", hdd, {"maxdigital|md*"}, {}, wdc_hdd_2},
    {"HGST HDD", hdd, {"hgst|*"}, {}, hgst_hdd},
    {"HGST HTS", hdd, {"hgst|HTS*"}, {}, hgst_hts},
    {"HGST HUH", hdd, {"hgst|HUH*"}, {}, hgst_huh},
    {"Maxtor HDD", hdd, {"maxtor|*"}, {}, maxtor_hdd},
    {"Toshiba HDD", hdd, {"toshiba|*"}, {}, toshiba_hdd},
    {"Common (SSD)", ssd, {}, {}, common_ssd},
    {"Common (SSDx)",
     ssd,
     {"*|CT*", "*|MKN*", "*|TS*", "*|SPCC Solid State Disk", "*|ROCKET*", "Intenso|*"},
     {},
     common_ssdx},
    {"Intel SSD", ssd, {"intel|*"}, {}, intel_ssd},
    {"Samsung SSD", ssd, {"samsung|*"}, {}, samsung_ssd},
    {"Samsung MZ", ssd, {"samsung|MZ*"}, {}, samsung_mz},
    {"Seagate SSD", ssd, {"seagate|*"}, {}, seagate_ssd},
    {"Crucial SSD", ssd, {"crucial|*"}, {}, crucial_ssd},
    {"Crucial M4", ssd, {"crucial|M4-*"}, {}, crucial_m4},
    {"Kingston SSD", ssd, {"kingston|*", "kingfast|*"}, {}, kingston_ssd},
    {"Mushkin SSD", ssd, {"mushkin|*"}, {}, mushkin_ssd},
    {"Kingfast SSD", ssd, {"kingfast|*"}, {}, kingfast_ssd},
    {"Deotera SSD", ssd, {"deotera|viva*"}, {}, deotera_ssd},
    {"Transcend SSD", ssd, {"transcend|TS*"}, {}, transcend_ssd},
    {"SK hynix SSD", ssd, {"sk hynix|*"}, {}, sk_hynix_ssd},
    {"Corsair SSD", ssd, {"corsair|*"}, {}, corsair_ssd},
    {"SanDisk SSD", ssd, {"sandisk|*"}, {}, sandisk_ssd},
    {"SanDisk Extreme", ssd, {"sandisk|pSSD*"}, {}, sandisk_extreme},
    {"ADATA SSD", ssd, {"adata|*"}, {}, adata_ssd},
    {"ADATA SSD", hdd, {"adata|SP*"}, {}, adata_ssd},
    {"Liteon SSD", ssd, {"liteon|*"}, {}, liteon_ssd},
    {"Liteon CV1", ssd, {"liteon|CV1-*"}, {}, liteon_cv1},
    {"Micron SSD", ssd, {"micron|*"}, {}, micron_ssd},
    {"Micron M550/M600", ssd, {"micron|M550*", "micron|M600*"}, {}, micron_m550_m600},
    {"OCZ SSD", ssd, {"ocz|*"}, {}, ocz_ssd},
    {"OCZ SSD / Group 1", ssd, {"ocz|vector", "ocz|vertex 4", "ocz|arc 100"}, {}, ocz_ssd_group_1},
    {"OCZ SSD / Group 2", ssd, {"ocz|agility", "ocz|onyx", "ocz|vertex"}, {}, ocz_ssd_group_2},
    {"OCZ SSD / Group 3", ssd, {"ocz|trion*"}, {}, ocz_ssd_group_3},
    {"Zheino SSD", ssd, {"zheino|*"}, {}, zheino_ssd},
    {"Apple SSD", ssd, {"apple|*"}, {}, apple_ssd},
    {"HGST SSD", ssd, {"hgst|*"}, {}, hgst_ssd},
    {"Patriot SSD", ssd, {"Patriot|*"}, {}, patriot_ssd},
    {"HDC", ssd, {"HDC|*"}, {}, hdc},
    {"Intenso", ssd, {"Intenso|*"}, {}, intenso},
    {"Galaxy", ssd, {"Galaxy|*"}, {}, galaxy},
    {"Smartbuy", ssd, {"Smartbuy|*"}, {}, smartbuy},
    {"PNY", ssd, {"PNY*|*"}, {}, pny},
    {"Toshiba SSD", ssd, {"Toshiba|THNS*"}, {}, toshiba_ssd},
    {"Acasis", ssd, {"*|ACSC*"}, {}, acasis},
    {"WDC SSD", ssd, {"wdc|*", "western digital|*"}, {}, wdc_ssd},
    {"Silicon Power", ssd, {"silicon power|*"}, {}, silicon_power},
};
static_assert(std::size(smart_attribute_groups) == 55, "attribute groups");
const size_t smart_attribute_group_count = std::size(smart_attribute_groups);

const smart_attribute_def* smart_attribute_defs::find(uint8_t id) const {
  for (size_t i = 0; i < count; ++i)
    if (rows[i].id == id) return &rows[i];
  return nullptr;
}

#include "storage/drive_name_tables.h"

#include <iterator>

// The tables keep their columns.
// clang-format off
namespace {

constexpr const char* digits = "0123456789";

const model_pattern_row model_pattern_rows[] = {
    // prefix              next chars      excluded  vendor
    {"ST",                 digits,         nullptr,  "Seagate"},
    {"STM",                digits,         nullptr,  "Maxtor"},
    {"MH",                 "TUVWXYZ",      nullptr,  "Fujitsu"},
    {"MJA",                nullptr,        nullptr,  "Fujitsu"},
    {"HD",                 "EPST",         nullptr,  "Hitachi"},
    {"HTS",                digits,         nullptr,  "Hitachi or HGTS"},
    {"HDN",                digits,         nullptr,  "HGST"},
    {"HUA",                digits,         nullptr,  "HGST"},
    {"HD",                 digits,         nullptr,  "Samsung"},
    {"HE",                 digits,         nullptr,  "Samsung"},
    {"HM",                 digits,         nullptr,  "Samsung"},
    {"HN-",                nullptr,        nullptr,  "Samsung"},
    {"MM",                 "CD",           nullptr,  "Samsung"},
    {"MZ",                 nullptr,        nullptr,  "Samsung"},
    {"PM",                 digits,         nullptr,  "Samsung"},
    {"DT",                 digits,         nullptr,  "Toshiba"},
    {"MG",                 digits,         nullptr,  "Toshiba"},
    {"MK",                 digits,         nullptr,  "Toshiba"},
    {"MQ",                 digits,         nullptr,  "Toshiba"},
    {"THN",                nullptr,        nullptr,  "Toshiba"},
    {"DT01",               nullptr,        nullptr,  "Toshiba"},
    {"TS",                 digits,         nullptr,  "Transcend"},
    {"WD",                 digits,         nullptr,  "Western Digital"},
    {"My Book",            nullptr,        nullptr,  "Western Digital"},
    {"My Pass",            nullptr,        nullptr,  "Western Digital"},
    {"MFC-",               nullptr,        nullptr,  "Brother"},
    {"MTF",                nullptr,        nullptr,  "Micron"},
    {"CT",                 digits,         nullptr,  "Crucial"},
    {"M4-",                nullptr,        nullptr,  "Crucial"},
    {"C300-",              nullptr,        nullptr,  "Crucial"},
    {"C400-",              nullptr,        nullptr,  "Crucial"},
    {"LA",                 "MT",           nullptr,  "Liteon"},
    {"LC",                 "HMST",         nullptr,  "Liteon"},
    {"LM",                 "HT",           nullptr,  "Liteon"},
    {"L8H",                nullptr,        nullptr,  "Liteon"},
    {"LDH",                nullptr,        nullptr,  "Liteon"},
    {"LJH",                nullptr,        nullptr,  "Liteon"},
    {"PX-",                nullptr,        nullptr,  "Plextor"},
    {"SD",                 digits,         nullptr,  "SanDisk"},
    {"SD",                 "SW",           nullptr,  "SanDisk"},
    {"HFS",                digits,         nullptr,  "SK hynix"},
    {"MKN",                nullptr,        nullptr,  "Mushkin"},
    {"MD",                 digits,         "-RO",    "MDT (Magnetic Data Technologies)"},
    {"MD",                 digits,         "BDS",    "MaxDigital"},
    {"CHN",                "0123456789 ",  nullptr,  "Zheino"},
    {"PERC ",              nullptr,        nullptr,  "Dell"},
    {"SSD2SC",             nullptr,        nullptr,  "PNY"},
    {"SSD Smartbuy ",      nullptr,        nullptr,  "Smartbuy"},
    {"ACSC",               nullptr,        nullptr,  "KingSpec"},
    {"LDLC",               nullptr,        nullptr,  "KingFast"},
    {"VIVA",               digits,         nullptr,  "Deotera"},
};
static_assert(std::size(model_pattern_rows) == 51, "model-pattern rows");

const model_prefix_row model_prefix_rows[] = {
    // vendor              prefixes, tried in order
    {"Western Digital",    {"WDC "}},
    {"Hewlett Packard",    {"HP "}},
    {"Liteon",             {"LITEON IT ", "LITEONIT ", "LITEON "}},
    {"Crucial",            {"Crucial_ ", "Crucial_", "Crucial "}},
    {"Micron",             {"Micron_ ", "Micron_", "Micron "}},
    {"ADATA",              {"ADATA "}},
    {"HGST",               {"HGST "}},
    {"Samsung",            {"SAMSUNG "}},
    {"Corsair",            {"Corsair "}},
    {"Hitachi",            {"Hitachi "}},
    {"Intel",              {"INTEL "}},
    {"Kingston",           {"KINGSTON "}},
    {"Toshiba",            {"TOSHIBA "}},
    {"SK hynix",           {"HYNIX ", "SK hynix "}},
    {"OCZ",                {"OCZ ", "OCZ-"}},
    {"SanDisk",            {"SanDisk "}},
    {"Maxtor",             {"Maxtor "}},
    {"Fujitsu",            {"Fujitsu "}},
    {"ExcelStor",          {"ExcelStor Technology ", "ExcelStor "}},
    {"Apple",              {"APPLE "}},
    {"TDK",                {"TDK "}},
    {"JMicron",            {"JMicron "}},
    {"Patriot",            {"Patriot "}},
    {"HDC",                {"HDC "}},
    {"Intenso",            {"INTENSO "}},
    {"Plextor",            {"PLEXTOR "}},
    {"VmWare",             {"VmWare "}},
    {"MTRON",              {"MTRON "}},
    {"Galaxy",             {"Galaxy "}},
    {"Seagate",            {"Seagate "}},
    {"PNY",                {"PNY "}},
    {"Silicon Power",      {"SPCC "}},
};
static_assert(std::size(model_prefix_rows) == 32, "model-prefix rows");

const generic_vendor_row generic_vendor_rows[] = {
    // vendor equals  vendor starts  model starts
    {nullptr,         "W",           "WDC "},
    {"WD",            nullptr,       "My Book"},
    {"WD",            nullptr,       "My Passport"},
    {nullptr,         "HGST ",       "HGST "},
    {nullptr,         "HUA",         "HUA"},
    {nullptr,         "OCZ-",        "OCZ-"},
    {"NVMe",          nullptr,       nullptr},
    {"ATA",           nullptr,       nullptr},
    {"MKNSSDEC",      nullptr,       nullptr},
    {nullptr,         "MTFDD",       nullptr},
    {nullptr,         "MKNSSD",      "MKNSSD"},
    {nullptr,         "TS",          "TS"},
    {"Multiple",      nullptr,       "Card "},
    {"Single",        nullptr,       "Flash "},
    {"MTRON MS",      nullptr,       "MTRON MS"},
    {nullptr,         "VIVA",        "VIVA"},
    {"Mass",          nullptr,       nullptr},
    {"SATA",          nullptr,       nullptr},
    {"USB2.0",        nullptr,       nullptr},
    {"USB 2.0",       nullptr,       nullptr},
};
static_assert(std::size(generic_vendor_rows) == 20, "generic-vendor rows");

const vendor_name_row vendor_name_rows[] = {
    {"Seagate"},
    {"Toshiba"},
    {"Samsung"},
    {"Kingston"},
    {"Liteon"},
    {"Transcend"},
    {"Transcend"},
    {"Hitachi"},
    {"Fujitsu"},
    {"Dell"},
    {"Mushkin"},
    {"SanDisk"},
    {"Buffalo"},
    {"Ricoh"},
    {"ASMedia"},
};
static_assert(std::size(vendor_name_rows) == 15, "vendor name rows");

const enclosure_row enclosure_rows[] = {
    // reported        display
    {"ACASIS",         "Acasis"},
    {"Apricorn",       "Apricorn"},
    {"ASMT",           "ASMT"},
    {"Norelsys",       "Norelsys"},
    {"Fantom",         "Fantom"},
    {"StoreJet",       "Transcend"},
    {"ADplus",         "Inateck"},
    {"Initio",         "Initio"},
    {"MAIWO",          "MAIWO"},
    {"MICRONET",       "Micronet"},
    {"Silicon Power",  "Silicon Power"},
    {"Netac",          "Netac"},
    {"LaCie",          "LaCie"},
    {"ASMedia",        "ASMedia"},
    {"Intenso",        "Intenso"},
};
static_assert(std::size(enclosure_rows) == 15, "enclosure rows");

const flash_name_row flash_name_rows[] = {
    {"Storage Device"},
    {"Flash Disk"},
    {"Flash Drive"},
    {"USB Flash Disk"},
    {"USB Flash Drive"},
};
static_assert(std::size(flash_name_rows) == 5, "flash-name rows");

const model_family_row model_family_rows[] = {
    {"Agility"},
    {"ARC"},
    {"Colossus"},
    {"Octane"},
    {"Onyx"},
    {"Petrol"},
    {"Radeon"},
    {"RevoDrive"},
    {"Solid"},
    {"Trion"},
    {"Vector"},
    {"Vertex"},
    {"Rocket"},
};
static_assert(std::size(model_family_rows) == 13, "model-family rows");

template <typename row, size_t n>
constexpr name_table<row> table_of(const row (&rows)[n]) {
  return {rows, n};
}

// clang-format on
}  // namespace

const name_table<model_pattern_row> model_pattern_table = table_of(model_pattern_rows);
const name_table<model_prefix_row> model_prefix_table = table_of(model_prefix_rows);
const name_table<generic_vendor_row> generic_vendor_table = table_of(generic_vendor_rows);
const name_table<vendor_name_row> vendor_name_table = table_of(vendor_name_rows);
const name_table<enclosure_row> enclosure_table = table_of(enclosure_rows);
const name_table<flash_name_row> flash_name_table = table_of(flash_name_rows);
const name_table<model_family_row> model_family_table = table_of(model_family_rows);

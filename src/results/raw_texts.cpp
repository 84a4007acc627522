#include "results/raw_texts.h"

const raw_column raw_columns[3] = {
    {L" I/O buffers ", L" 22 x 999999999 "},
    {L" I/O mode ", L" raw seq "},
    {L" Resulting read rate", nullptr},
};

const wchar_t raw_read_heading[] = L"# Read test";
const wchar_t raw_write_heading[] = L"# Write test";
const wchar_t raw_units_heading[] = L"   [1K = 1024]      [1K = 1000]";
const wchar_t raw_best_read_heading[] = L"Best read rate:";
const wchar_t raw_best_write_heading[] = L"Best write rate:";
const wchar_t raw_no_result[] = L"n/a";

const wchar_t status_running_reads[] = L"Running read tests...";
const wchar_t status_running_writes[] = L"Running write tests...";

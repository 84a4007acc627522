#include "results/report_texts.h"

const char report_box_rule[] = "+----------------------------------+";
const char report_box_blank[] = "|                                  |";
const char report_box_title[] = "|     FOLVI Benchmark, ";
const char report_read_heading[] = "--- Read measurements ---";
const char report_write_heading[] = "--- Write measurements ---";
const char report_separator[] = "\r\n-------\r\n\r\n";

#include "ui/graph_style.h"

const graph_style graph_colours = {
    /* header         */ 0xFF1B304F,
    /* background     */ 0xFF203A60,
    /* grid           */ 0x20000000,
    /* title_active   */ 0xFFFFFFFF,
    /* title_idle     */ 0xFF7989A0,
    /* caption        */ 0xFF7989A0,
    /* zero_value     */ 0xFF637590,
    /* best_running   */ 0xFFFFD201,
    /* best_done      */ 0xFFAAEEFF,
    /* bar_running    */ 0xFF4D7594,
    /* bar_done       */ 0xFF3D6082,
    /* failed_running */ 0xFF0044DD,
    /* failed_done    */ 0x800044DD,
    /* new_best_start */ 0xFFFFFFFF,
};

const wchar_t graph_title_placeholder[] = L"$fixme";
const wchar_t graph_read_title[] = L"Read speed";
const wchar_t graph_write_title[] = L"Write speed";

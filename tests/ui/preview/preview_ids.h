#ifndef PREVIEW_IDS_H
#define PREVIEW_IDS_H
/* The preview window: the main window's location, summary, graph and list controls with their
   own ids (resource_ids.h), and a button that opens the test profile dialog. */
#define IDD_UI_PREVIEW 950
#define IDC_PREVIEW_PROFILE 2001
#endif

// The ids of the saver's resources, shared by tarvelimunde.rc and the code
// that loads them; the resource compiler reads only the preprocessor, hence
// macros.
#ifndef TARVELIMUNDE_RESOURCES_RESOURCE_H
#define TARVELIMUNDE_RESOURCES_RESOURCE_H

// The saver window's class icon, also shown in the setup dialog.
#define IDI_SAVER 100
#define IDD_SETUP 2003
// The setup dialog's line that tells whether the display suits the palette animation.
#define IDC_DISPLAY_VERDICT 1000
// Never loaded by the program.
#define IDS_SCR_TAG 100
#define IDS_SAVER_NAME 1007

#endif

// Ids of Klevane's resources (menu, icon, dialogs) and of the dialogs' controls, shared by the
// resource script and the C++ code. They are plain #defines because the resource compiler reads
// this file too. Controls are named by kind: IDX check box, IDR radio button, IDE edit, IDT static
// text, IDB push button, IDC combo box; IDM menu and its commands, IDD dialog, IDI icon.
#ifndef KLEVANE_RESOURCE_IDS_H
#define KLEVANE_RESOURCE_IDS_H

#define IDC_STATIC (-1)

// Main window menu.
#define IDM_MAIN 100
#define IDM_QUIT 101
#define IDM_CONFIGURE 102
#define IDM_ABOUT 105

#define IDD_ABOUT 200

// Configure: the three folders.
#define IDD_CONFIGURE 400
#define IDE_SIM_FOLDER 401
#define IDE_ROUTE_FOLDER 402
#define IDE_TRAIN_FOLDER 403
#define IDB_SAVE 404
#define IDB_CONFIGURE_CANCEL 405

#define IDI_KLEVANE 500

// Route information.
#define IDD_ROUTE_INFO 600
#define IDE_ROUTE_DESCRIPTION 601
#define IDT_ROUTE_NAME 602
#define IDT_DEFAULT_TRAIN 603

// Train information.
#define IDD_TRAIN_INFO 620
#define IDE_TRAIN_DESCRIPTION 621
#define IDT_TRAIN_NAME 623

// Starting options. The radio button ids are the values of the two modes in AppState and klv.cfg.
#define IDD_START_OPTIONS 630
#define IDX_DEVELOPER_MODE 631
#define IDE_INTERVAL_SPREAD 633
#define IDE_INTERVAL_RANGE 634
#define IDE_ADHESION_SPREAD 636
#define IDX_RANDOM_TRACK_QUALITY 637
#define IDX_RANDOM_STATION_WAIT 638
#define IDX_RANDOM_STATION_JAM 639
#define IDX_RANDOM_STARTER_ASPECT 640
#define IDX_TILTING_TRAIN 641
#define IDC_SIGNAL_SYSTEM 642
#define IDB_SIGNAL_INFO 643
#define IDR_INTERVAL_NO_EFFECT 650
#define IDR_INTERVAL_RANDOMIZE 651
#define IDR_INTERVAL_FORCE 652
#define IDR_ADHESION_NO_EFFECT 653
#define IDR_ADHESION_RANDOMIZE 654
#define IDR_ADHESION_SUPER 655

#endif

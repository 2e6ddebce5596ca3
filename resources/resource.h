// Resource ids of ZelmoSound, named once. Shared by the resource script, the program logic and
// the simulated desktop (which reads the #define lines of this file).
#pragma once

// Strings
#define IDS_APPNAME 1

// Commands of the main window's class menu and of the tray menu
#define IDM_START 11
#define IDM_EXIT 99
#define IDM_SOUNDSETTINGS 201
#define IDM_OTHERSETTINGS 202
#define IDM_REGISTWAVE 203
#define IDM_DELETEWAVE 204
#define IDM_PAUSE 205
#define IDM_JELLY 206
#define IDM_HELP 208
#define IDM_ABOUT 209
#define IDM_QUIT 210

// Controls without an id of their own (static texts, group boxes)
#define IDC_STATIC -1

// Dialog templates
#define IDD_PAGE1 3
#define IDD_PAGE2 4
#define IDD_REGIST 6
#define IDD_DELETE 7
#define IDD_ABOUT 702

// Buttons
#define IDC_STARTUP 451
#define IDC_OK 452
#define IDC_CANCEL 453
#define IDC_FINISH 454
#define IDC_REGIST 456
#define IDC_DELETE 457
#define IDC_REFERENCE 458
#define IDC_LISTEN 459

// Sound settings: check box 301 + group, drop-down list 361 + group; time signal 321 and 381
#define IDC_SOUND01 301
#define IDC_SOUND02 302
#define IDC_SOUND03 303
#define IDC_SOUND04 304
#define IDC_SOUND05 305
#define IDC_SOUND06 306
#define IDC_SOUND07 307
#define IDC_SOUND11 311
#define IDC_SOUND12 312
#define IDC_SOUND13 313
#define IDC_SOUND14 314
#define IDC_SOUND18 318
#define IDC_SOUND19 319
#define IDC_SOUND20 320
#define IDC_TSIGNAL 321
#define IDCB_SOUND01 361
#define IDCB_SOUND02 362
#define IDCB_SOUND03 363
#define IDCB_SOUND04 364
#define IDCB_SOUND05 365
#define IDCB_SOUND06 366
#define IDCB_SOUND07 367
#define IDCB_SOUND11 371
#define IDCB_SOUND12 372
#define IDCB_SOUND13 373
#define IDCB_SOUND14 374
#define IDCB_SOUND18 378
#define IDCB_SOUND19 379
#define IDCB_SOUND20 380
#define IDCB_TSIGNAL 381
#define IDC_SOUND_FIRST 301
#define IDCB_SOUND_FIRST 361

// Add and delete dialogs: radio button 601 + group, file fields and list
#define IDC_GROUP01 601
#define IDC_GROUP02 602
#define IDC_GROUP03 603
#define IDC_GROUP04 604
#define IDC_GROUP05 605
#define IDC_GROUP06 606
#define IDC_GROUP07 607
#define IDC_GROUP11 611
#define IDC_GROUP12 612
#define IDC_GROUP13 613
#define IDC_GROUP14 614
#define IDC_GROUP18 618
#define IDC_GROUP19 619
#define IDC_GROUP20 620
#define IDC_GROUP_FIRST 601
#define IDC_GROUP_LAST 620
#define IDC_FILENAME 631
#define IDC_FOLDER 632
#define IDC_SELECTED 633
#define IDC_FILELIST 634

// About box
#define IDC_ABOUTICON 703

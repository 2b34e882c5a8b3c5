// Resource ids of PD.EXE and PDDLL.DLL.
//
// Id scheme:
//   IDR_*   menu, accelerator table and icons of the main window (fixed: 100, 101, 102, 108)
//   IDS_*   string-table texts; the ids named by the design are used as they stand, grouped by feature
//   IDM_*   command ids (menu items, accelerators, buttons); fixed by the design
//   IDC_*   control ids of the main window; fixed by the design
//   IDD_*   nothing: dialog templates are named by upper-case words ("ABOUTDLG", ...)
//   per-dialog control ids: each dialog owns the range named next to it below
//     ABOUTDLG 3000-3019, SORTFILES 3020-3039, FILTER/MARK/UNMARK/CD/EDITNEW 3040-3059,
//     DIRHIST 3060-3079, COPY and RENMOVE 3100-3119 (one set of ids for both templates),
//     STATUSCOPY 3120-3139 (plus the fixed ids 1260, 1290, 1332), OVERWRITE 3140-3159,
//     BUTTONPARMS 3500-3519, FKEYS 3520-3539 (plus the fixed lists 2980-2988)
//     DELETEDIR 3200-3219, CALCSPACE 3260-3279; RENAME and NEWDIR share the one-field ids;
//     FILEATTR, FILEATTRALL, DIRATTR, DIRATTRALL use the fixed ids 1260, 1570-1640, 1930-1960;
//     STATUSREMOVE and STATUSCALC use only 1260
//     hex editor: the fixed ids 41000-41008 in its dialogs ("IDD_FINDDIALOG" ... "IDD_CHARACTERSETDIALOG"),
//     labels and extra controls 3600-3699; its menu and accelerator table are 111, commands 40004-41017
//     THISCOMPUTER uses the fixed ids 2030-2130; VIEW has no controls
//     FILECONT, UNZIP, PASSWORD, PASSWORDUSE 3700-3739 (FILECONT's title is the fixed 1260, its extract
//     command the fixed 2170); STATUSUNZIP uses 1260, 1332 and the STATUSCOPY progress bar 3120
//     printing, options and system commands: PRINTDLG 104-106, PRSETUP 1840/1870 and the options
//     dialogs' fixed ids; ids the design leaves open 3900-3999 (PRSETUP's list, PRINTSETTINGS,
//     CONFIRMATIONS, the COLORS samples, DISKSTATION); menu 107 with its placeholder 57664
//     text window "REDIT": the control 3850; its menu and accelerator table are 103, commands 5900-5990,
//     6390, 40039, 40040 (fixed by the design)
//     FTPSITES, NEWSITE, FTPSETTINGS, STATUSFTP: the fixed ids of the design, labels and extras 3300-3399
//     ZIPOPTIONS, ZIPNAME, NEWPASSWORD 3740-3799; texts of zip creation 4350, 4640, 4650, 9650-9699
//     FILECOMP: the fixed ids 2540-2630, lists and scroll bar 3870-3879; FILECOMPSETTINGS 3880-3899
//     FILESEARCH: the fixed ids of the design (1180-3391), labels and extras 3400-3449; STATUSSEARCH uses 1260
//     COMPARE (directory compare and synchronise) 3450-3499; its strings 8270, 9980-9999 and 9420-9449
//     mouse, drag and drop, file types and shortcuts: ASSOCIATE 3540-3599; texts 9450-9499; drag cursors by name
//   our own texts that the design does not number: 9000-9099 general, 9100-9199 delete and attributes,
//     9200-9299 command line and buttons (9250-9299 what a started command may be given), 4700-4706 copy and move,
//     9300-9349 copy, move and delete safety, 9350-9399 FTP engine, 9400-9419 panels, 9500-9599 hex editor,
//     9600-9699 archives, 9700-9749 image viewer and system information, 9750-9799 text viewer, editor and
//     compare, 9800-9899 printing, options and system commands,
//     9900-9949 FTP sites and FTP panels, 9950-9979 file search, 10050-10099 FTP over TLS
//   FTP over TLS: the security choice of FTPSITES and NEWSITE 3800-3829
// No bare numbers appear in the .rc files.
#pragma once

// ---- icons, menu, accelerators
#define IDR_MAIN                100
#define IDI_MAIN                100
// the notification-area icons: shutdown, desktop menu, control-panel menu
#define IDI_STOPICON            101
#define IDI_MENUICON            102
#define IDI_CPLICON             108

// ---- strings: start-up and general messages
#define IDS_WIN32S              4150
#define IDS_OLDNT               4160
#define IDS_NETERROR            4170
#define IDS_CANTSTART           4171
#define IDS_NOENTRY             4173
#define IDS_OUTOFMEMORY         4177
#define IDS_NOPROGRAM           4178
#define IDS_CANTSTARTVIEWER     4179
#define IDS_UNKNOWNERROR        8190
// " on " between a printer and its port, on the printing status, printer setup and system pages
#define IDS_ON                  4181
// ---- strings: tool tips of the main window
#define IDS_TIP_APPBUTTON       4010
#define IDS_TIP_FKEY            4015
#define IDS_TIP_SELALL          4020
#define IDS_TIP_DESELALL        4025
#define IDS_TIP_ROOT            4030
#define IDS_TIP_PARENT          4040
#define IDS_TIP_BACK            8310
// ---- strings: panels
#define IDS_SEL_ONE             4193
#define IDS_SEL_BYTESIN         4194
#define IDS_SEL_FILES           4195
#define IDS_SEL_NONE            8290
#define IDS_SEL_FILESTOTAL      8260
#define IDS_COL_NAME            4215
#define IDS_COL_SIZE            4216
#define IDS_COL_DATE            4217
#define IDS_NAV_SELALL          4240
#define IDS_NAV_DESELALL        4245
#define IDS_NAV_BACK            8300
#define IDS_CMDBUTTON           4560
// ---- strings: command names of the function-key table
#define IDS_CMD_COPY            4270
#define IDS_CMD_RENMOVE         4290
#define IDS_CMD_DELETE          4300
#define IDS_CMD_EXIT            4310
#define IDS_CMD_FILESEARCH      4850
#define IDS_CMD_ATTRIBUTES      4860
#define IDS_CMD_ASSOCIATE       4870
#define IDS_CMD_FILECOMP        4880
#define IDS_CMD_DIRCOMP         4890
#define IDS_CMD_CALCSPACE       4900
#define IDS_CMD_REFRESH         4910
#define IDS_CMD_INVERT          4920
#define IDS_CMD_ZIPSELF         8010
#define IDS_CMD_SWAP            8020
#define IDS_CMD_DSKPROP         8030
#define IDS_CMD_CONNECT         8040
#define IDS_CMD_DISCON          8050
#define IDS_CMD_COLSIZES        8220
#define IDS_CMD_SHORTCUT        8230
// ---- strings: FTP refusals
#define IDS_NOTONFTP            4480
#define IDS_NOTONFTP_PRINT      4510

// ---- strings: drives and drive information
#define IDS_DRIVE_TOTAL         4213
#define IDS_DRIVE_FREE          4214
#define IDS_DRIVE_NONETNAME     4222
// ---- strings: copy and move (the ids of the design)
#define IDS_COPY_NOMEMORY       4177
#define IDS_COPY_NOTHING        4187
#define IDS_DELETE_FAILED       4192
#define IDS_COPY_CANTOPEN       4197
#define IDS_COPY_CANTCREATE     4198
#define IDS_COPY_READERROR      4199
#define IDS_COPY_WRITEERROR     4200
#define IDS_COPY_MKDIRFAILED    4201
#define IDS_MOVE_TITLE          4224
#define IDS_OVERWRITE_TEXT      4250
#define IDS_OVERWRITE_NAME      4260
#define IDS_COPY_PROMPT         4800
#define IDS_COPY_DIRECTORIES    4810
#define IDS_MOVE_PROMPT         4820
#define IDS_COPY_ONEROW         4930
#define IDS_COPY_NEEDPATTERN    4940
// ---- strings: copy and move (our own, 4700-4719)
#define IDS_COPY_ONTOITSELF     4700
#define IDS_COPY_INTOITSELF     4701
#define IDS_COPY_LINKSKIPPED    4702
#define IDS_DELETE_LINKKEPT     4703
#define IDS_MOVE_RENAMEFAILED   4704
#define IDS_COPY_TITLE          4705
#define IDS_OVERWRITE_BYTES     4706
// ---- strings: delete, rename, make directory, attributes and space (the ids of the design)
#define IDS_ATTR_FAILED         4172
#define IDS_NOTADIRECTORY       4204
#define IDS_SPACE_PROMPT        4205
#define IDS_ATTR_FILEPROMPT     4223
#define IDS_DELETE_QUESTION     4226
#define IDS_ATTR_DIRPROMPT      4235
#define IDS_DELETE_QUESTIONEND  4320
#define IDS_DELETE_DIRQUESTION  4330
#define IDS_DELETE_READONLY     8240
// ---- strings: delete, rename, attributes (our own)
#define IDS_DATE_INVALID        9100
#define IDS_RENAME_LINK         9101
#define IDS_ATTR_SEVERALFILES   9102
#define IDS_ATTR_SEVERALDIRS    9103
// ---- strings: copy, move and delete safety (our own, 9300-9349)
#define IDS_MOVE_NEWENTRIES     9300
#define IDS_MOVE_DIRKEPT        9301

// ---- commands
#define IDM_HELP                57670
#define IDM_FKEY_F2             2980
#define IDM_FKEY_F3             2981
#define IDM_FKEY_F4             2982
#define IDM_FKEY_F5             2983
#define IDM_FKEY_F6             2984
#define IDM_FKEY_F7             2985
#define IDM_FKEY_F8             2986
#define IDM_FKEY_F9             2987
#define IDM_FKEY_F10            2988
#define IDM_CMDBUTTON           2680
#define IDM_PRINT               1320
#define IDM_VIEW                6500
#define IDM_EDIT                1180
#define IDM_EDITNEW             1185
#define IDM_HEXEDIT             1187
#define IDM_COPY                1190
#define IDM_RENMOVE             1370
#define IDM_MKDIR               1210
#define IDM_DELETE              1220
#define IDM_DELETENOW           2970
#define IDM_EXITWIN             1380
#define IDM_FILESEARCH          6010
#define IDM_ATTRIBUTES          6000
#define IDM_DATETIME            6005
#define IDM_ASSOCIATE           6020
#define IDM_FILECOMP            6030
#define IDM_FILTER              6035
#define IDM_SELECT              6040
#define IDM_DESELECT            6050
#define IDM_SELECTALL           6060
#define IDM_DESELECTALL         6070
#define IDM_PRSETUP             6090
#define IDM_ZIP                 6100
#define IDM_ZIPSELF             6110
#define IDM_EXIT                6150
#define IDM_DIRCOMP             6200
#define IDM_CALCSPACE           6220
#define IDM_CONNECT             6223
#define IDM_DISCON              6226
#define IDM_DSKFRMT             6227
#define IDM_DSKPROP             6228
#define IDM_DSKCPY              6229
#define IDM_CONFIG              6240
#define IDM_GENFONT             6245
#define IDM_SAVEPATHS           6250
#define IDM_PANELFONT           6255
#define IDM_FTPSITES            6257
#define IDM_HELPONHELP          6270
#define IDM_HELPSEARCH          6280
#define IDM_HELPCONTEXT         6290
#define IDM_ABOUTWINDOWS        6300
#define IDM_ABOUT               6320
#define IDM_TOGGLEPANEL         6330
#define IDM_PATHS               6350
#define IDM_PRINTSETTINGS       6360
#define IDM_CONFIRMATIONS       6370
#define IDM_COMPSETTINGS        6375
#define IDM_FTPSETTINGS         6377
#define IDM_REFRESH             6380
#define IDM_COLORS              6410
#define IDM_FOCUSCMDLINE        6420
#define IDM_OPENARCH            6430
#define IDM_INVERT              6440
#define IDM_FKEYS               6450
#define IDM_SAVESORT            6460
#define IDM_PRTDIR              6470
#define IDM_PRTTREE             6480
#define IDM_CD                  6510
#define IDM_SWAP                6520
#define IDM_DIRHIST             6530
#define IDM_COLSIZES            6540
#define IDM_SHORTCUT            6550
#define IDM_SAVEDIR             6560
#define IDM_SAVETREE            6570
#define IDM_SYNCH               6580
#define IDM_EJECT               6590
#define IDM_SYSINFO             1590
#define IDM_ESCAPE              2240
#define IDM_PARENT              2320
#define IDM_DRIVEBOXL           2300
#define IDM_DRIVEBOXR           2310
#define IDM_SORTNAME            2260
#define IDM_SORTEXT             2270
#define IDM_SORTSIZE            2280
#define IDM_SORTDATE            2290
#define IDM_EXTENDDOWN          2890
#define IDM_EXTENDUP            2900
#define IDM_EXTENDPAGEDOWN      2910
#define IDM_EXTENDPAGEUP        2920
#define IDM_EXTENDHOME          2930
#define IDM_EXTENDEND           2940

// ---- controls of the main window
#define IDC_DRIVEL              1050
#define IDC_DRIVER              1060
#define IDC_PANELL              1070
#define IDC_PANELR              1080
#define IDC_PROMPT              0xFFFF
#define IDC_CMDLINE             1340
#define IDC_SELALLL             1450
#define IDC_DESELALLL           1455
#define IDC_ROOTL               1100
#define IDC_PARENTL             1230
#define IDC_BACKL               1113
#define IDC_SELALLR             1460
#define IDC_DESELALLR           1465
#define IDC_ROOTR               1110
#define IDC_PARENTR             1240
#define IDC_BACKR               1116
#define IDC_APPBUTTON1          2000

// ---- ABOUTDLG
#define IDC_ABOUT_VERSION       3000
// ---- SORTFILES
#define IDC_SORT_NAME           3020
#define IDC_SORT_EXTENSION      3021
// ---- FILTER, MARK, UNMARK, CD, EDITNEW: the one text field
#define IDC_TEXT_FIELD          3040
#define IDC_TEXT_LABEL          3041
// ---- DIRHIST
#define IDC_DIRHIST_LIST        3060

// ---- our own texts
#define IDS_NOHELPFILE          9000
#define IDS_NOTAVAILABLE        9001
#define IDS_NOINTERNALEDITOR    9003
#define IDS_NOARCHIVES          9004

// ---- COPY and RENMOVE
#define IDC_COPY_PROMPT         3100
#define IDC_COPY_TARGET         3101
#define IDC_COPY_ONLYNEWER      3102
#define IDC_COPY_XFERTYPE       3103

// ---- STATUSCOPY
#define IDC_STATUS_SOURCE       1260
#define IDC_STATUS_TARGET       1290
#define IDC_STATUS_BYTES        1332
#define IDC_STATUS_PROGRESS     3120

// ---- OVERWRITE
#define IDC_OVERWRITE_TEXT      3140
#define IDC_OVERWRITE_SOURCE    3141
#define IDC_OVERWRITE_TARGET    3142
#define IDC_OVERWRITE_ALL       3143
#define IDC_OVERWRITE_SKIP      3144

// ---- command line, application buttons and function keys
#define IDS_ASK_PERENTRY        4993
#define IDS_CMDLINE_TOOLONG     9200
// ---- launching: names that cannot be passed to a command safely (9250-9299)
#define IDS_LAUNCH_UNSAFENAME   9250
// ---- BUTTONPARMS
#define IDC_BP_NAME             3500
#define IDC_BP_PROGRAM          3501
#define IDC_BP_PARMS            3502
#define IDC_BP_WORKDIR          3503
#define IDC_BP_NORMAL           3504
#define IDC_BP_MAXIMISED        3505
#define IDC_BP_MINIMISED        3506
#define IDC_BP_LABEL            3519
// ---- FKEYS: the lists of F2 ... F10 are 2980 ... 2988
#define IDC_FKEYS_F2            2980
#define IDC_FKEYS_LABEL         3539
// ---- attribute dialogs (fixed ids; 1260 shows the name or the prompt)
#define IDC_ATTR_NAME           1260
#define IDC_ATTR_SYSTEM_SET     1570
#define IDC_ATTR_SYSTEM_CLEAR   1580
#define IDC_ATTR_HIDDEN_SET     1595
#define IDC_ATTR_HIDDEN_CLEAR   1600
#define IDC_ATTR_ARCHIVE_SET    1610
#define IDC_ATTR_ARCHIVE_CLEAR  1620
#define IDC_ATTR_READONLY_SET   1630
#define IDC_ATTR_READONLY_CLEAR 1640
#define IDC_ATTR_KEEPTIME       1930
#define IDC_ATTR_NOW            1931
#define IDC_ATTR_TYPEDTIME      1932
#define IDC_ATTR_DATE           1950
#define IDC_ATTR_TIME           1960
// ---- DELETEDIR
#define IDC_DELDIR_TEXT         3200
#define IDC_DELDIR_ALL          3201
// ---- CALCSPACE
#define IDC_SPACE_PROMPT        3260
#define IDC_SPACE_DIRS          3261
#define IDC_SPACE_FILES         3262
#define IDC_SPACE_BYTES         3263

// ---- hex editor: menu and accelerator table 111, commands 40004-41017 (fixed by the design)
#define IDR_HEXEDIT             111
#define IDM_HEX_TOP             40004
#define IDM_HEX_BOTTOM          40005
#define IDM_HEX_COLUMNLEFT      40007
#define IDM_HEX_COLUMNRIGHT     40008
#define IDM_HEX_LINEUP          40009
#define IDM_HEX_LINEDOWN        40010
#define IDM_HEX_SAVE            40011
#define IDM_HEX_SAVEAS          40012
#define IDM_HEX_PANE            40014
#define IDM_HEX_FIND            40015
#define IDM_HEX_GOTO            40016
#define IDM_HEX_NOTHING         40023
#define IDM_HEX_SELRIGHT        40029
#define IDM_HEX_SELLEFT         40030
#define IDM_HEX_SELUP           40031
#define IDM_HEX_SELDOWN         40032
#define IDM_HEX_SELLINEEND      40033
#define IDM_HEX_SELLINESTART    40034
#define IDM_HEX_SELTOSTART      40035
#define IDM_HEX_SELTOEND        40036
#define IDM_HEX_TEXTCOLOR       40039
#define IDM_HEX_BKCOLOR         40040
#define IDM_HEX_CHARSET         40047
#define IDM_HEX_DELETE          40048
#define IDM_HEX_INSERT          40049
#define IDM_HEX_BACKSPACE       40050
#define IDM_HEX_SELECTALL       40051
#define IDM_HEX_SELPAGEDOWN     40056
#define IDM_HEX_SELPAGEUP       40057
#define IDM_HEX_SEPCOLOR        40064
#define IDM_HEX_CLOSE           40093
#define IDM_HEX_CUT             40094
#define IDM_HEX_COPY            40095
#define IDM_HEX_PASTE           40096
#define IDM_HEX_FINDNEXT        41016
#define IDM_HEX_FONT            41017
// ---- hex editor dialogs: the fields 41000-41008 (fixed by the design), labels 3600-3699
#define IDC_HEX_FIELD           41000
#define IDC_HEX_OPTION1         41001
#define IDC_HEX_OPTION2         41002
#define IDC_HEX_OPTION3         41003
#define IDC_HEX_FIELD2          41004
#define IDC_HEX_FIELD3          41008
#define IDC_HEX_LABEL1          3600
#define IDC_HEX_LABEL2          3601
#define IDC_HEX_LABEL3          3602
#define IDC_HEX_GROUP           3603
#define IDC_HEX_INSERTMODE      3604
// ---- hex editor strings (the ids of the design); 4177 and 4197-4200 are the general file texts
#define IDS_HEX_NOROOM          4177
#define IDS_HEX_CANTOPEN        4197
#define IDS_HEX_CANTCREATE      4198
#define IDS_HEX_READERROR       4199
#define IDS_HEX_WRITEERROR      4200
#define IDS_HEX_UNSAVED         8060
#define IDS_HEX_NOTFOUND        8070
#define IDS_HEX_EMPTYPATTERN    8080
#define IDS_HEX_ENDBEFORESTART  8090
#define IDS_HEX_CUTBEYOND       8110
#define IDS_HEX_BADSTART        8120
#define IDS_HEX_BADEND          8130
#define IDS_HEX_BADCOUNT        8140
#define IDS_HEX_BADFONTSIZE     8150
#define IDS_HEX_BACKSPACEFAILED 8160
#define IDS_HEX_BADGOTO         8170
// ---- hex editor strings (our own, 9500-9599)
#define IDS_HEX_NOTPAGED        9500
#define IDS_HEX_REPLACE         9501
#define IDS_HEX_SAVEFAILED      9502
// ---- image viewer: menu and accelerator table 109, its commands and texts
#define IDR_VIEW                109
#define IDM_VIEW_OPENWITH       5905
#define IDM_VIEW_SAVEAS         5910
#define IDM_VIEW_COPY           5940
#define IDS_VIEW_REPLACE        9701
#define IDS_VIEW_NOCLIPBOARD    9702
#define IDS_VIEW_NAMETOOLONG    9703
// ---- THISCOMPUTER (fixed ids) and its texts
#define IDC_SYS_MANUFACTURER    2030
#define IDC_SYS_MEMORY          2050
#define IDC_SYS_PAGEFILE        2060
#define IDC_SYS_DISPLAY         2070
#define IDC_SYS_DRIVER          2080
#define IDC_SYS_PRINTER         2090
#define IDC_SYS_OS              2120
#define IDC_SYS_BIOS            2130
#define IDS_SYSINFO_COLOURS     4221
#define IDS_SYSINFO_NONE        9700
// ---- archives: browsing and extraction (the ids of the design)
#define IDS_UNZIP_NOTARGET      4174
#define IDS_UNZIP_CREATE1       4175
#define IDS_UNZIP_CREATE2       4176
#define IDS_UNZIP_FOLDERS       4790
#define IDS_ARC_UNREADABLE      15002
#define IDM_ARC_EXTRACT         2170
// ---- archives: our own texts
#define IDS_ARC_TITLE           9600
#define IDS_ARC_DAMAGED         9601
#define IDS_ARC_STATUSTITLE     9602
#define IDS_ARC_COUNT           9603
#define IDS_ARC_ENCRYPTEDLIST   9604
#define IDS_ARC_TOOMANY         9605
#define IDS_ARC_SPANNED         9606
#define IDS_ARC_COLDATE         9607
#define IDS_ARC_OUTSIDETARGET   9610
#define IDS_ARC_DEVICENAME      9611
#define IDS_ARC_BADCHARACTER    9612
#define IDS_ARC_EMPTYNAME       9613
#define IDS_ARC_TOOLONG         9614
#define IDS_ARC_LINK            9615
#define IDS_ARC_OTHERKIND       9616
#define IDS_ARC_CRC             9617
#define IDS_ARC_DAMAGEDDATA     9618
#define IDS_ARC_TRUNCATED       9619
#define IDS_ARC_SIZE            9620
#define IDS_ARC_OUTSIDEFILE     9621
#define IDS_ARC_OVERLAP         9622
#define IDS_ARC_METHOD          9623
#define IDS_ARC_ENCRYPTION      9624
#define IDS_ARC_WRONGPASSWORD   9625
#define IDS_ARC_NOPASSWORD      9626
#define IDS_ARC_RARCOMPRESSED   9627
#define IDS_ARC_RARENCRYPTED    9628
#define IDS_ARC_INTHEWAY        9629
#define IDS_ARC_CANTWRITE       9630
#define IDS_ARC_THROUGHLINK     9631
#define IDS_ARC_BADHEADER       9632
#define IDS_ARC_SPLIT           9633
#define IDS_ARC_PASSWORDPROMPT  9634
#define IDS_ARC_PASSWORDUSE     9635
#define IDS_ARC_MKDIRFAILED     9636
// ---- FILECONT
#define IDC_ARC_TITLE           1260
#define IDC_ARC_LIST            3700
#define IDC_ARC_ALL             3701
#define IDC_ARC_SELECTALL       3702
#define IDC_ARC_DESELECTALL     3703
// ---- UNZIP
#define IDC_UNZIP_TARGET        3710
#define IDC_UNZIP_LABEL         3711
// ---- PASSWORD
#define IDC_PASSWORD_TEXT       3720
#define IDC_PASSWORD_FORALL     3721
#define IDC_PASSWORD_PROMPT     3722
// ---- PASSWORDUSE (Cancel answers -1)
#define IDC_PASSWORDUSE_PROMPT  3730
#define IDC_PASSWORDUSE_NEW     3731
#define IDC_PASSWORDUSE_ONCE    3732
#define IDC_PASSWORDUSE_ALL     3733
// ---- printing, options dialogs and system commands
// strings (the ids of the design)
#define IDS_PRINT_PRINTING      4206
#define IDS_PRINT_PAGE          4207
#define IDS_NOTONFOUNDFILES     8210
// strings (our own, 9800-9899)
#define IDS_PRINT_NOPRINTER     9800
#define IDS_PRINT_CANTOPENFILE  9801
#define IDS_PRINT_ISDIRECTORY   9802
#define IDS_PRINT_PRINTERFAILED 9803
#define IDS_LISTING_FAILED      9804
#define IDS_LISTING_CANTWRITE   9805
#define IDS_LISTING_NAMETOOLONG 9806
#define IDS_PRSETUP_NONE        9807
#define IDS_PRSETUP_FAILED      9808
#define IDS_EJECT_LOCKFAILED    9810
#define IDS_EJECT_BUSYDRIVE     9811
#define IDS_CPL_NONE            9812
#define IDS_STARTFAILED         9813
// PRINTDLG
#define IDC_PRINT_PRINTER       104
#define IDC_PRINT_FILE          105
#define IDC_PRINT_PAGE          106
// PRSETUP
#define IDC_PRSETUP_DEFAULT     1840
#define IDC_PRSETUP_SETDEFAULT  1870
#define IDC_PRSETUP_LIST        3900
#define IDC_PRSETUP_LABEL       3901
// PRINTSETTINGS
#define IDC_PS_CUT              3910
#define IDC_PS_NUMBERS          3911
#define IDC_PS_PORTRAIT         3912
#define IDC_PS_LANDSCAPE        3913
#define IDC_PS_TWOPAGES         3914
#define IDC_PS_TAB              3915
#define IDC_PS_ANSI             3916
#define IDC_PS_OEM              3917
#define IDC_PS_LABEL            3919
// CONFIG
#define IDC_CFG_HIDDEN          1550
#define IDC_CFG_SYSTEM          1560
#define IDC_CFG_HIDDENDIR       2990
#define IDC_CFG_SYSTEMDIR       3000
#define IDC_CFG_NAMES_UPPER     2450
#define IDC_CFG_NAMES_LOWER     2460
#define IDC_CFG_NAMES_UPPERFILES 2463
#define IDC_CFG_NAMES_LOWERFILES 2467
#define IDC_CFG_NAMES_ASIS      2470
#define IDC_CFG_MENU_OWN        2480
#define IDC_CFG_MENU_SHELL      2490
// PATHS
#define IDC_PATHS_EDITOR        1530
#define IDC_PATHS_VIEWER        1535
#define IDC_PATHS_EDITOR_INT    2670
#define IDC_PATHS_EDITOR_EXT    2671
#define IDC_PATHS_VIEWER_INT    2672
#define IDC_PATHS_VIEWER_EXT    2673
#define IDC_PATHS_APPLBUTTONS   1130
#define IDC_PATHS_SECONDROW     1135
#define IDC_PATHS_SHOWICON      2800
#define IDC_PATHS_CMDPROMPT     1540
#define IDC_PATHS_STOPICON      1503
#define IDC_PATHS_MENUICON      1507
#define IDC_PATHS_CPLICON       3100
#define IDC_PATHS_FUNCTIONKEYS  1940
#define IDC_PATHS_TITLE         1730
#define IDC_PATHS_DATE          2010
#define IDC_PATHS_ESC           2020
// CONFIRMATIONS
#define IDC_CONF_OVERWRITE      3920
#define IDC_CONF_DELFILES       3921
#define IDC_CONF_DELDIRS        3922
#define IDC_CONF_STOPICON       3923
// COLORS: 2766 the frame, 2770-2781 the twelve row colours, 2763 the defaults; samples 3930-3936
#define IDC_COLORS_DEFAULTS     2763
#define IDC_COLORS_FRAME        2766
#define IDC_COLORS_FIRST        2770
#define IDC_COLORS_SAMPLE1      3930
#define IDC_COLORS_FRAMESAMPLE  3936
// EXITWIN
#define IDC_EXITWIN_SHUTDOWN    1390
#define IDC_EXITWIN_RESTART     1400
#define IDC_EXITWIN_LOGOFF      1410
// DISKSTATION
#define IDC_DISK_DRIVES         3940
#define IDC_DISK_LABEL          3941
// menu 107: the desktop menu; its items take the ids from 32772
#define IDR_DESKTOPMENU         107
#define IDM_DESKTOP_PLACEHOLDER 57664
#define IDM_DESKTOP_FIRST       32772
#define IDM_DESKTOP_LAST        57343
// ---- text window "REDIT": menu and accelerator table 103, commands (fixed by the design), control 3850
#define IDR_TEXTEDIT            103
#define IDM_TE_SAVE             5900
#define IDM_TE_SAVEAS           5910
#define IDM_TE_CLOSE            5920
#define IDM_TE_UNDO             5925
#define IDM_TE_CUT              5930
#define IDM_TE_COPY             5940
#define IDM_TE_SAVESEL          5945
#define IDM_TE_PASTE            5950
#define IDM_TE_INSERTFILE       5955
#define IDM_TE_DELETE           5960
#define IDM_TE_SELECTALL        5965
#define IDM_TE_FIND             5970
#define IDM_TE_FINDNEXT         5975
#define IDM_TE_REPLACE          5980
#define IDM_TE_FONT             5990
#define IDM_TE_WORDWRAP         6390
#define IDM_TE_TEXTCOLOR        40039
#define IDM_TE_BKCOLOR          40040
#define IDC_TE_TEXT             3850
// ---- text window strings (the ids of the design)
#define IDS_TE_NOTFOUND         4400
#define IDS_TE_SAVECHANGES      4410
// ---- text window strings (our own, 9750-9769)
#define IDS_TE_READFAILED       9750
#define IDS_TE_NOTEXACT         9751
#define IDS_TE_UNMAPPABLE       9752
#define IDS_TE_ISDIRECTORY      9753
#define IDS_TE_LOADING          9754
#define IDS_TE_READONLYTITLE    9755
// ---- FILECOMP (fixed ids of the design), its lists and scroll bar 3870-3879
#define IDC_FC_LEFTPATH         2540
#define IDC_FC_RIGHTPATH        2550
#define IDM_FC_FONT             2560
#define IDM_FC_NEXTDIFF         2570
#define IDM_FC_NEXTSAME         2580
#define IDM_FC_PREVDIFF         2590
#define IDM_FC_PREVSAME         2600
#define IDM_FC_EDITLEFT         2620
#define IDM_FC_EDITRIGHT        2630
#define IDC_FC_LEFTLIST         3870
#define IDC_FC_RIGHTLIST        3871
#define IDC_FC_SCROLL           3872
// ---- FILECOMPSETTINGS
#define IDC_FCS_BLANKS          3880
#define IDC_FCS_CASE            3881
#define IDC_FCS_TAB             3882
#define IDC_FCS_TABLABEL        3883
// ---- file compare strings (the ids of the design; 4173 and 4510 are the general refusals)
#define IDS_FC_ATSTART          4570
#define IDS_FC_ATEND            4580
// ---- file compare strings (our own, 9770-9799)
#define IDS_FC_CANTREAD         9770
#define IDS_FC_NODIFFERENCES    9771
#define IDS_FC_BADTAB           9772
// ---- FILESEARCH (fixed ids of the design; 1180 and 6500 are IDM_EDIT and IDM_VIEW)
#define IDC_FS_DIRECTORY        1480
#define IDC_FS_MASK             3350
#define IDC_FS_TEXT             1490
#define IDC_FS_SUBDIRS          1510
#define IDC_FS_IGNORECASE       1520
#define IDC_FS_ALLWORDS         3390
#define IDC_FS_ANYWORD          3391
#define IDC_FS_ANYSIZE          3330
#define IDC_FS_SIZEBETWEEN      3331
#define IDC_FS_MINSIZE          3290
#define IDC_FS_MAXSIZE          3300
#define IDC_FS_ANYDATE          3340
#define IDC_FS_DATEBETWEEN      3341
#define IDC_FS_FIRSTDATE        3310
#define IDC_FS_LASTDATE         3320
#define IDC_FS_START            1500
#define IDC_FS_PREVIOUS         3020
#define IDC_FS_RUN              1350
#define IDC_FS_GOTO             2440
#define IDC_FS_FEED             3280
#define IDC_FS_RESULTS          1470
// ---- file search strings (the ids of the design; 4171, 4177-4179 and 4215-4217 are shared)
#define IDS_FS_NOTFOUND         4180
#define IDS_FS_NODRIVE          4184
#define IDS_FS_SEARCHING        4220
#define IDS_FS_PANELCAPTION     8200
#define IDS_FS_STOREFAILED      8250
// ---- file search strings (our own, 9950-9979)
#define IDS_FS_BADDATE          9950
#define IDS_FS_BADSIZE          9951
// ---- FTP sites, options and panels: strings of the design
#define IDS_FTP_EXISTS          4430
#define IDS_FTP_PANELSHOWS      4440
#define IDS_FTP_CONNECTED       4460
#define IDS_FTP_DISCONNECTED    4470
#define IDS_FTP_CONFIRMFETCH    4490
#define IDS_FTP_NODIRCOPY       4500
#define IDS_FTP_NOVMSDIR        4505
#define IDS_FTP_TITLECONNECTED  4540
#define IDS_FTP_TITLE           4550
// ---- FTP: our own strings 9900-9949
#define IDS_FTP_CANTREAD        9900
#define IDS_FTP_UNSAFENAME      9901
#define IDS_FTP_STATUS          9902
#define IDS_FTP_LOST            9903
#define IDS_FTP_NOLOG           9904
#define IDS_FTP_XFERBINARY      9905
#define IDS_FTP_XFERASCII       9906
#define IDS_FTP_XFERL8          9907
#define IDS_FTP_XFERAUTO        9908
// FTP over TLS: the site's security choice and the certificate question.
#define IDS_FTP_TLS_PLAIN       10050
#define IDS_FTP_TLS_IFOFFERED   10051
#define IDS_FTP_TLS_REQUIRED    10052
#define IDS_FTP_CERT_QUESTION   10053
#define IDS_FTP_CERT_CHANGED    10054
#define IDS_FTP_CONNECTED_TLS   10055
#define IDS_FTP_TLS_FIREWALL    10056
#define IDC_FTP_SECURITY        3800
// ---- FTPSITES and NEWSITE (fixed ids of the design)
#define IDC_FTP_SITELIST        2720
#define IDC_FTP_NEW             1420
#define IDC_FTP_DELETE          1220
#define IDC_FTP_ANONYMOUS       2750
#define IDC_FTP_FIREWALL        3030
#define IDC_FTP_FWKIND1         3080
#define IDC_FTP_FWKIND2         3081
#define IDC_FTP_FWKIND3         3082
#define IDC_FTP_FWKIND4         3083
#define IDC_FTP_VIEWLOG         3260
#define IDC_FTP_CONNECT         2730
#define IDC_FTP_DISCONNECT      2740
#define IDC_FTP_HOST            2710
#define IDC_FTP_PORT            41018
#define IDC_FTP_USER            2690
#define IDC_FTP_PASSWORD        2700
#define IDC_FTP_INITDIR         2830
#define IDC_FTP_FWHOST          3040
#define IDC_FTP_FWPORT          3050
#define IDC_FTP_FWUSER          3060
#define IDC_FTP_FWPASSWORD      3070
#define IDC_FTP_KEEPALIVE       3380
#define IDC_FTP_PASSIVE         1144
#define IDC_FTP_SITENAME        3090
// ---- FTPSETTINGS (fixed ids of the design)
#define IDC_FTPS_LOGGING        2805
#define IDC_FTPS_LOGFILE        2810
#define IDC_FTPS_XFER1          2820
#define IDC_FTPS_XFER2          2821
#define IDC_FTPS_XFER3          2822
#define IDC_FTPS_XFER4          2823
#define IDC_FTPS_DIRUPD         2830
#define IDC_FTPS_EMAIL          2840
#define IDC_FTPS_CONFIRM        2870
#define IDC_FTPS_ADD            1225
#define IDC_FTPS_REMOVE         1220
#define IDC_FTPS_EXTLIST        3300
#define IDC_FTPS_EXTEDIT        3301
#define IDC_FTPS_PACING         3302
#define IDC_FTPS_ALWAYSASCII    3303
#define IDC_FTPS_ALWAYSBINARY   3304
// ---- STATUSFTP: source 1260, target 1290, transfer type 2820, bytes 1332
#define IDC_FTPSTATUS_TYPE      2820
// ---- directory compare and synchronise: "COMPARE" 3450-3499; strings 8270 (the design's) and 9980-9999
#define IDC_DIRCOMP_TEXT        3450
#define IDS_DIRSYNC_QUESTION    8270
#define IDS_DIRSYNC_TITLE       9980
#define IDS_DIRSYNC_NESTED      9981
#define IDS_DIRSYNC_MISSING     9982
#define IDS_DIRSYNC_LEFTALONE   9983
#define IDS_DIRSYNC_TWINS       9984
#define IDS_DIRSYNC_FILEDIR     9985
#define IDS_DIRSYNC_UNLISTABLE  9986
#define IDS_DIRSYNC_LINK        9987
#define IDS_DIRSYNC_NOTCREATED  9988
#define IDS_DIRSYNC_MORE        9989
#define IDS_DIRCOMP_UNLISTABLE  9990

// ---- zip creation and self-extracting archives
#define IDS_ZIP_TITLE           4350
#define IDS_ZIP_DISK1           4640
#define IDS_ZIP_DISK2           4650
#define IDS_ZIP_DIRLINK         9650
#define IDS_ZIP_DUPLICATE       9651
#define IDS_ZIP_NOTARCHIVE      9652
#define IDS_ZIP_WRITEFAILED     9653
#define IDS_ZIP_NOSTUB          9654
#define IDS_ZIP_MISMATCH        9655
#define IDS_ZIP_EMPTYPASSWORD   9656
#define IDS_ZIP_NONAME          9657
#define IDC_ZIP_MODE0           3740
#define IDC_ZIP_MODE1           3741
#define IDC_ZIP_MODE2           3742
#define IDC_ZIP_PASSWORD        3743
#define IDC_ZIP_NAME            3750
#define IDC_NEWPASSWORD_TEXT    3760
#define IDC_NEWPASSWORD_AGAIN   3761
// the self-extractor pdsfx32.bin: its target dialog "SFXTARGET" and its own texts
#define IDC_SFX_TARGET          3770
#define IDC_SFX_BROWSE          3771
#define IDC_SFX_PROMPT          3772
#define IDS_SFX_NOARCHIVE       9670
#define IDS_SFX_PROMPT          9671
#define IDS_SFX_DONE            9672
#define IDS_SFX_PROBLEMS        9673
#define IDS_SFX_MKDIRFAILED     9674
#define IDS_SFX_EXISTS          9675
#define IDS_SFX_SKIPPING        9676


// ---- mouse, drag and drop, shell context menu, file types and shortcuts (the ids of the design)
#define IDS_MENU_NOTHING        4185
#define IDS_MENU_NOATTRIBUTES   4186
#define IDS_ASSOC_NOEXTENSION   4188
#define IDS_ASSOC_COMPONENT     4189
#define IDS_ASSOC_TYPESUFFIX    4225
#define IDS_SHORTCUT_PREFIX     8180
// ---- the same (our own, 9450-9499)
#define IDS_ASSOC_WRITEFAILED   9450
#define IDS_SHORTCUT_FAILED     9451
#define IDS_DROP_SAMEDIR        9452
#define IDS_SHORTCUT_NODESKTOP  9453
#define IDS_MENU_FAILED         9454
// ---- ASSOCIATE
#define IDC_ASSOC_EXTENSION     3540
#define IDC_ASSOC_DESCRIPTION   3541
#define IDC_ASSOC_COMMAND       3542

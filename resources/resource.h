/* Resource ids of the launcher. Shared by the resource script and the code. */
#ifndef QUIB_RESOURCE_H
#define QUIB_RESOURCE_H

/* Menu picture and product box art */
#define IDB_MENU              110
#define IDB_BOXART_REELIES    115   /* title 5 */
#define IDB_BOXART_JOCKO      116   /* title 3 */
#define IDB_BOXART_WHIRL      117   /* title 6 */
#define IDB_BOXART_GLIM       118   /* title 4 */
#define IDB_BOXART_VOL1       119   /* title 0 */
#define IDB_BOXART_VOL2       120   /* title 1 */
#define IDB_BOXART_VOL3       121   /* title 2 */
#define IDB_BOXART_NODIAL     155   /* title 7 */
#define IDB_BOXART_BRASHER    161   /* title 8 */

/* Install button frames (not in id order: see the frame table in menu code) */
#define IDB_INSTALL_ACTIVATED 122
#define IDB_INSTALL_PRESSED   123
#define IDB_INSTALL_FOCUSED   124
#define IDB_INSTALL_NORMAL    125
/* Play button frames */
#define IDB_PLAY_NORMAL       126
#define IDB_PLAY_PRESSED      127
#define IDB_PLAY_FOCUSED      128
#define IDB_PLAY_ACTIVATED    129
/* The online edition's Install and Play frames: carried, never loaded */
#define IDB_CHAT_INSTALL_ACTIVATED 130
#define IDB_CHAT_INSTALL_PRESSED   131
#define IDB_CHAT_INSTALL_FOCUSED   132
#define IDB_CHAT_INSTALL_NORMAL    133
#define IDB_CHAT_PLAY_NORMAL       134
#define IDB_CHAT_PLAY_PRESSED      135
#define IDB_CHAT_PLAY_FOCUSED      136
#define IDB_CHAT_PLAY_ACTIVATED    137
/* Quit button frames */
#define IDB_QUIT_NORMAL       138
#define IDB_QUIT_PRESSED      139
#define IDB_QUIT_FOCUSED      140
#define IDB_QUIT_ACTIVATED    141
/* Background of the information dialogs */
#define IDB_INFO_BACKGROUND   148

/* Icon and cursor */
#define IDI_LAUNCHER          103
#define IDC_QUESTION          145

/* Disc prompts */
#define IDD_INSTALL_FIRST     103
#define IDD_PLAY_FIRST        105
#define IDD_INSTALL_RETRY     106
#define IDD_PLAY_RETRY        107
#define IDD_CHAT_RETRY        142
#define IDD_CHAT_FIRST        143

/* Information dialogs, one per product box */
#define IDD_INFO_VOL1         149
#define IDD_INFO_VOL2         146
#define IDD_INFO_VOL3         150
#define IDD_INFO_JOCKO        152
#define IDD_INFO_GLIM         32257
#define IDD_INFO_REELIES      153
#define IDD_INFO_WHIRL        151
#define IDD_INFO_NODIAL       156

/* Controls of the disc prompts */
#define IDC_PROMPT_OK         1004
#define IDC_PROMPT_CANCEL     1005
#define IDC_PROMPT_REMARK     1006
#define IDC_PROMPT_RETRYTEXT  1010
#define IDC_PROMPT_TEXT       1011
/* Two more ids that end a prompt like Cancel. No prompt carries them; the
   dialog procedure still answers them, as the older prompts' Cancel buttons
   did, so a prompt template that has them keeps working. */
#define IDC_PROMPT_OLDCANCEL1 1002
#define IDC_PROMPT_OLDCANCEL2 1003
/* Controls of the information dialogs */
#define IDC_INFO_BACK         1002
/* Text blocks carry consecutive ids from the first: the layout stops at
   the first id missing. */
#define IDC_INFO_TEXT1        1013
#define IDC_INFO_TEXT2        1014
#define IDC_INFO_TEXT3        1015
#define IDC_INFO_TEXT4        1016
#define IDC_INFO_TEXT5        1017
#define IDC_INFO_TEXT6        1018

#endif

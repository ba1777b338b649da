/* Command, control and resource ids of the viewer: read by the resource compiler and the code. */
#pragma once

#define CM_FILEPRINT 24337
#define CM_PRINTNOTES 11843
#define CM_EXIT 24310
#define CM_EDITUNDO 24321
#define CM_EDITCUT 24322
#define CM_EDITCOPY 24323
#define CM_EDITPASTE 24324
#define CM_EDITCLEAR 24326
#define CM_EDITFIND 24351
#define CM_EDITFINDNEXT 24353
#define CM_HELPDOCUMENT 11842
#define CM_HELPABOUT 2009

#define IDM_SCRIVORA 100     /* menu and accelerator table */
#define IDI_SCRIVORA 1001    /* frame icon, also shown in the About box */
#define IDD_PRINTPROGRESS 1  /* print progress dialog */
#define IDD_DOCCONTENT 2     /* document description dialog */
#define IDD_ABOUT 22000      /* About box */

#define IDC_TEXTPANE 1024
#define IDC_NOTESPANE 1025
#define IDC_DOCCONTENT_TEXT 101
#define IDC_PRINTPROGRESS_PAGE 101  /* page number in the print progress dialog */
#define IDC_ABOUT_VERSION 22001
#define IDC_ABOUT_COPYRIGHT 22002
#define IDC_ABOUT_SPECIALBUILD 22003

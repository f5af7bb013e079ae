// Resource ids of the module: icons, strings and the controls of its six
// dialogs. The dialog templates themselves are named resources
// ("IDD_ORVIX_FAX", ...), so their names are not defined here.
//
// Control ids are shared by several dialogs with different meanings, so each
// dialog has its own names; the numbers are what the drivers' world knows.
#ifndef ORVIXFAX_RESOURCE_H
#define ORVIXFAX_RESOURCE_H

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Icons
#define IDI_COVER_SHEET 107
#define IDI_ULTRAFINE 111
#define IDI_FINE 112
#define IDI_FAX_MACHINE 1000

// Strings
#define IDS_ERROR 1
#define IDS_WARNING 3
#define IDS_GROUP_EXISTS 4
#define IDS_GROUP_NO_NAME 5
#define IDS_GROUP_NO_MEMBERS 6
#define IDS_NEW_GROUP 9
#define IDS_NEW_PERSON 11
#define IDS_NEW_NUMBER 13
#define IDS_LABEL_FAX 18
#define IDS_LABEL_TO 19
#define IDS_LABEL_FROM 24
#define IDS_LABEL_FAX_NUMBER 25
#define IDS_LABEL_BUSINESS_PHONE 26
#define IDS_LABEL_HOME_PHONE 27
#define IDS_LABEL_DATE_TIME 28
#define IDS_DAY_MONDAY 118
#define IDS_DAY_TUESDAY 119
#define IDS_DAY_WEDNESDAY 120
#define IDS_DAY_THURSDAY 121
#define IDS_DAY_FRIDAY 122
#define IDS_DAY_SATURDAY 123
#define IDS_DAY_SUNDAY 124
#define IDS_MONTH_JANUARY 125  // ... to December, 136
#define IDS_MONTH_DECEMBER 136
#define IDS_LANGUAGE 1045      // "Kanji" switches names and PostScript escaping
#define IDS_MAX_RECIPIENTS 1046
#define IDS_BOOK_UNREADABLE 1047

// IDD_ORVIX_FAX, the fax dialog
#define IDC_FAX_RECIPIENTS 1000
#define IDC_FAX_NUMBERS 1032
#define IDC_FAX_EDIT_BOOK 1004
#define IDC_FAX_NEW_RECIPIENT 1039
#define IDC_FAX_NEW_NAME_LABEL 1040
#define IDC_FAX_NEW_NUMBER_LABEL 1041
#define IDC_FAX_NEW_NAME 1042
#define IDC_FAX_NEW_NUMBER 1043
#define IDC_FAX_ULTRAFINE 1044
#define IDC_FAX_FINE 1045
#define IDC_FAX_RESOLUTION_ICON 1046
#define IDC_FAX_USE_COVER 1037
#define IDC_FAX_EDIT_COVER 1038
#define IDC_FAX_PRINT 1047
// "F&ax" is IDOK

// IDD_COVER_PAGE, the cover page dialog
#define IDC_COVER_SENDER_NAME 1036
#define IDC_COVER_SENDER_FAX 1039
#define IDC_COVER_SENDER_HOME 1037
#define IDC_COVER_SENDER_BUSINESS 1042
#define IDC_COVER_RECIP_NAME 1040
#define IDC_COVER_RECIP_COMPANY 1041
#define IDC_COVER_RECIP_NUMBER 1043
#define IDC_COVER_NOTE 1019
#define IDC_COVER_NAME 1022
#define IDC_COVER_FAX 1023
#define IDC_COVER_BUSINESS 1020
#define IDC_COVER_HOME 1021

// IDD_EDIT_ADDRESS_BOOK, the address book dialog
#define IDC_BOOK_PEOPLE 1030
#define IDC_BOOK_GROUPS 1031
#define IDC_BOOK_LIST 1017
#define IDC_BOOK_NEW_GROUP 1012
#define IDC_BOOK_NEW_PERSON 1011
#define IDC_BOOK_EDIT 1025
#define IDC_BOOK_DELETE 1024

// IDD_EDIT_GROUPS, the group editor
#define IDC_GROUP_NAME 1014
#define IDC_GROUP_AVAILABLE 1027
#define IDC_GROUP_ADD 1015
#define IDC_GROUP_MEMBERS 1018
#define IDC_GROUP_REMOVE 1016

// IDD_EDIT_INDIV, the person editor
#define IDC_PERSON_FIRST 1011
#define IDC_PERSON_LAST 1014
#define IDC_PERSON_COMPANY 1012
#define IDC_PERSON_DEPARTMENT 1013
#define IDC_PERSON_NUMBERS 1028
#define IDC_PERSON_ADD 1015
#define IDC_PERSON_EDIT 1025
#define IDC_PERSON_DELETE 1024
#define IDC_PERSON_NOTES 1003

// IDD_EDIT_NUMBER, the number editor
#define IDC_NUMBER_NUMBER 1012
#define IDC_NUMBER_DETAILS 1003

#endif

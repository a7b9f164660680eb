// Ids and publisher texts shared by kem.rc and the window code. Plain #defines
// only: the resource compiler reads this file through the C preprocessor.
#pragma once

// Input fields, top to bottom; the focus ring walks them in this order.
#define IDC_PRICE 110
#define IDC_COST 111
#define IDC_BUY 112
#define IDC_SELL 113

// Result fields of the "Calculated" panel, top to bottom.
#define IDC_ANNUAL_SALES 1008
#define IDC_GROSS_PROFIT 1009
#define IDC_GP_PERCENT 1010
#define IDC_MONTHS_SUPPLY 1011
#define IDC_AVG_INVENTORY 1012
#define IDC_RETURN_ON_INVENTORY 1013

// Buttons; the Quit button uses IDOK (1), so a click on it is a quit command.
#define IDC_RECALCULATE 1000
#define IDC_WEBSITE 1015

// Commands from the menu and from the key filters.
#define CMD_ABOUT 100
#define CMD_CLEAR_FIELDS 102
#define CMD_ONLINE_HELP 103
#define CMD_WEBSITE_KEY 108
#define CMD_NEXT_FIELD 115
#define CMD_PREV_FIELD 116

// Captions the window and the About box are found by.
#define MAIN_CAPTION "KEM Calculator - " PUBLISHER_NAME
#define ABOUT_CAPTION "About KEM Calculator"

// The menu; the letter after "&" chooses an entry from the keyboard.
#define MENU_CLEAR_FIELDS "Clear &Fields"
#define MENU_HELP "&Help"
#define MENU_ONLINE_HELP "Online &Help"
#define MENU_ABOUT "&About KEM..."

// The publisher: each text lives here once, for the banner, the About box,
// the version block and the page addresses.
#define PUBLISHER_NAME "Varnok"
#define PUBLISHER_PHONE "1-800-555-0147"
#define PUBLISHER_NOTICE "Copyright 2026 Varnok"
#define PUBLISHER_HOST "www.varnok.example"

// The reader of the window's resources and the markup made from them, on
// small sources that try what kem.rc and the headers may hold.
//
// Usage: node tests/web/resources-test.mjs
import assert from 'node:assert/strict';
import { mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { test } from 'node:test';

import { readWindowResources } from '../../web/tools/resources.mjs';
import {
  accessLetter,
  createLayout,
  renderLayoutCss,
  renderMainWindow,
} from '../../web/tools/window-markup.mjs';

const kHeader = `// ids
#pragma once
#define IDC_FIELD 110 // the only field
#define IDC_RESULT 1008
#define CMD_ONE 102
// names a define that only comes further down, as the preprocessor allows
#define TITLE "Title // not " LATER
#define HOST "www.example.test"
#define NAME "Shop"
#define LATER "a comment"
`;

const kRc = `#include <windows.h>
#include "resource.h"
#define BUTTON_CLASS 0x80
#define EDIT_CLASS 0x81
#define STATIC_CLASS 0x82
1 RT_MANIFEST "app.manifest"
PROGICON ICON "app.ico"
KEMMENU MENU
BEGIN
    MENUITEM "One &Command", CMD_ONE
    POPUP "&More"
    BEGIN
        MENUITEM "A && B", 103
        MENUITEM SEPARATOR
    END
END
/* a comment "with a quote" */
KEMWCLASS DIALOGEX 1, 2, 100, 50
STYLE WS_CAPTION | DS_SETFONT
EXSTYLE 0
CAPTION TITLE
CLASS "KEMWClass"
FONT 8, "System", 0, 0, 1
BEGIN
    CONTROL "", -1, BUTTON_CLASS, WS_CHILD | BS_GROUPBOX, 0, 0, 100, 30, WS_EX_DLGMODALFRAME
    CONTROL "&Amount <1>", -1, STATIC_CLASS, WS_CHILD | SS_LEFT, 4, 5, 50, 8
    CONTROL "", IDC_FIELD, EDIT_CLASS, WS_CHILD | ES_RIGHT, 60, 5, 30, 12
    CONTROL "Result", -1, STATIC_CLASS, WS_CHILD | SS_NOPREFIX, 4, 35, 50, 8
    CONTROL "", IDC_RESULT, STATIC_CLASS, WS_CHILD | SS_RIGHT | SS_SUNKEN, 60, 35, 30, 8
    CONTROL NAME "  " "555", -1, STATIC_CLASS, WS_CHILD | SS_CENTER, 0, 44, 100, 6
    CONTROL "&Go", IDOK, BUTTON_CLASS, WS_CHILD | BS_DEFPUSHBUTTON, 4, 20, 30, 8
END
VS_VERSION_INFO VERSIONINFO
FILEVERSION 1, 0, 0, 0
BEGIN
    BLOCK "StringFileInfo"
    BEGIN
        VALUE "CompanyName", NAME
    END
END
ABOUTBOX DIALOG 6, 17, 40, 20
STYLE WS_POPUP
CAPTION "About"
FONT 12, "Times New Roman"
BEGIN
    CONTROL "OK", IDOK, BUTTON_CLASS, WS_CHILD | BS_DEFPUSHBUTTON, 5, 5, 20, 10
END
`;

const kWindowHeader = `inline constexpr char HomePage[] = "http://" HOST "/home.htm"; // a page
inline constexpr char HelpPage[] = "http://" HOST "/help.htm";
`;

function readSample() {
  const dir = mkdtempSync(join(tmpdir(), 'kem-resources-'));
  try {
    const paths = {
      resourceHeader: join(dir, 'resource.h'),
      rcFile: join(dir, 'kem.rc'),
      windowHeader: join(dir, 'window.h'),
    };
    writeFileSync(paths.resourceHeader, kHeader);
    writeFileSync(paths.rcFile, kRc);
    writeFileSync(paths.windowHeader, kWindowHeader);
    return readWindowResources(paths);
  } finally {
    rmSync(dir, { recursive: true });
  }
}

test('reads ids, texts, the menu, the templates and the page addresses', () => {
  const resources = readSample();
  assert.equal(resources.defines.IDC_FIELD, 110);
  assert.equal(resources.defines.IDOK, 1);
  assert.deepEqual(resources.pages, {
    HomePage: 'http://www.example.test/home.htm',
    HelpPage: 'http://www.example.test/help.htm',
  });
  assert.deepEqual(resources.menu, [
    { text: 'One &Command', id: 102 },
    { text: '&More', items: [{ text: 'A && B', id: 103 }, { separator: true }] },
  ]);
  const main = resources.mainWindow;
  assert.deepEqual([main.x, main.y, main.width, main.height], [1, 2, 100, 50]);
  assert.equal(main.caption, 'Title // not a comment');
  assert.deepEqual(main.font, { size: 8, face: 'System' });
  assert.deepEqual(
    main.controls.map((c) => [c.text, c.id, c.kind, c.x, c.y, c.width, c.height]),
    [
      ['', -1, 'Button', 0, 0, 100, 30],
      ['&Amount <1>', -1, 'Static', 4, 5, 50, 8],
      ['', 110, 'Edit', 60, 5, 30, 12],
      ['Result', -1, 'Static', 4, 35, 50, 8],
      ['', 1008, 'Static', 60, 35, 30, 8],
      ['Shop  555', -1, 'Static', 0, 44, 100, 6],
      ['&Go', 1, 'Button', 4, 20, 30, 8],
    ],
  );
  assert.deepEqual(main.controls[0].exStyles, ['WS_EX_DLGMODALFRAME']);
  assert.deepEqual(main.controls[4].styles, ['WS_CHILD', 'SS_RIGHT', 'SS_SUNKEN']);
  assert.equal(resources.aboutBox.caption, 'About');
  assert.equal(resources.aboutBox.controls.length, 1);
});

test('access letters: the character after a single ampersand', () => {
  const cases = [
    ['&Quit ', 'Q'],
    ['Clear &Fields', 'F'],
    ['What is your selling &price', 'P'],
    ['A && B', ''],
    ['&&x &y', 'Y'],
    ['plain', ''],
  ];
  for (const [text, letter] of cases) {
    assert.equal(accessLetter(text), letter, text);
  }
});

test('the markup nests, labels, underlines and escapes as the template says', () => {
  const layout = createLayout();
  const html = renderMainWindow(readSample(), layout, new Map([[1008, '$0.00 <']]));
  const css = renderLayoutCss(layout);
  // The field and the Go button sit in the group box, at positions relative to it.
  assert.match(
    html,
    /<div class="control groupbox ws-ex-dlgmodalframe at-\d+">.*data-control-id="110".*data-control-id="1".*<\/div>\n<span/s,
  );
  assert.match(
    html,
    /<label class="control static at-\d+" for="control-110"><u>A<\/u>mount &lt;1&gt;<\/label>/,
  );
  // Each control's place is a rule of the layout, named by a class of its
  // own: the markup holds no style attribute.
  const field =
    /<input class="[^"]*\b(at-\d+)"[^>]*data-control-id="110"[^>]*aria-keyshortcuts="Alt\+A"/.exec(html);
  assert.ok(field, html);
  assert.ok(css.includes(`.${field[1]} { --x: 60; --y: 5; --w: 30; --h: 12; }`), css);
  assert.doesNotMatch(html, /style=/);
  assert.match(
    html,
    /<output class="control static ss-right ss-sunken at-\d+" data-control-id="1008" aria-labelledby="label-1008" tabindex="-1">\$0\.00 &lt;<\/output>/,
  );
  assert.match(html, /<div class="control static ss-center at-\d+">Shop  555<\/div>/);
  assert.match(html, /<button [^>]*data-command-id="103"[^>]*>A &amp; B<\/button>/);
  assert.match(html, /aria-keyshortcuts="Alt\+M"[^>]*><u>M<\/u>ore/);
  assert.match(html, /<h1 class="title-text" id="main-caption">Title \/\/ not a comment<\/h1>/);
});

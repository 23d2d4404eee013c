// Scenario files: input and checks for a headless run, one command a line.
//
//   tap X Y              press and release at a screen point
//   press X Y            the pen goes down (drags: press, move…, release)
//   move X Y
//   release X Y
//   key NAME             a key pressed and released: VK_ names (VK_UP, VK_NEXT,
//                        also without "VK_"), F1 to F24, A to Z, 0 to 9, after any
//                        of the prefixes Ctrl+, Alt+ and Shift+
//   char TEXT            each UTF-16 unit of TEXT (UTF-8) as a WM_CHAR
//   command ID           WM_COMMAND with ID to the foreground window
//   idle                 wait until no message waits and nothing is left to paint
//   screenshot FILE      the screen as a PNG; a relative path is taken from the
//                        scenario file's folder
//   expect window WHICH  a shown window whose class or title is WHICH; with a
//                        '|', CLASS|TITLE, each part matching exactly, an empty
//                        part matching anything
//   expect messagebox TEXT   a message box with this text was shown since the
//                        last one matched
//   answer ANSWER        the answer of the next message box: OK, CANCEL, ABORT,
//                        RETRY, IGNORE, YES, NO, or its number
//   # comment
//
// Every command waits until the program is idle. In TEXT, \n is a new line,
// \t a tab, \s a space and \\ a backslash. Coordinates are 0 to 32767.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/types.h"

struct ScenarioCommand {
  enum Kind : uint8_t { kTap, kPress, kMove, kRelease, kKey, kChar, kCommand, kIdle, kScreenshot,
                        kExpectWindow, kExpectMessageBox, kAnswer };
  Kind kind = kIdle;
  int line = 0;
  int x = 0;
  int y = 0;
  UINT key = 0;                 // kKey: the virtual key; kCommand: the id; kAnswer: the answer
  std::vector<UINT> modifiers;  // kKey: VK_CONTROL, VK_MENU, VK_SHIFT, in the order given
  std::u16string text;          // kChar, kExpectMessageBox; kExpectWindow: the title
  std::u16string className;     // kExpectWindow
  bool anyClass = true;         // kExpectWindow
  bool anyTitle = true;         // kExpectWindow
  bool either = false;          // kExpectWindow: WHICH without '|' (class or title)
  std::string path;             // kScreenshot, as written
};

struct Scenario {
  std::string file;    // as named in messages
  std::string folder;  // for relative screenshot paths; empty: the working directory
  std::vector<ScenarioCommand> commands;
};

// Parses the whole text; every bad line adds "file:line: message" to errors.
// True when there were none.
bool ParseScenario(const std::string& text, const std::string& file, Scenario* scenario,
                   std::vector<std::string>* errors);
bool LoadScenarioFile(const std::string& path, Scenario* scenario, std::vector<std::string>* errors);

// A key name as the scenario writes it ("Ctrl+F", "VK_NEXT"); false when unknown.
bool ParseKeyName(const std::string& name, UINT* key, std::vector<UINT>* modifiers);
